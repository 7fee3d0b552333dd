// Not a test: how often learning a button of each protocol ends in the right code
// string, over random devices and functions, at nominal timing and with timing
// jitter. Prints a Markdown table for docs/benchmarks.md.
//
//   kestrel_accuracy_bench [--buttons N] [--seed S] [--stretch US] [--sweep]
//
// --sweep adds a table at nominal timing for transceivers that hold each mark
// longer than the light lasts (0 to 200 us).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "tests/kestrel/learn_button.h"

namespace {

using kestrel_test::Ending;
using kestrel_test::LearnButton;
using kestrel_test::LearnSetup;

struct Tally {
  int right = 0, wrong = 0, abandoned = 0, unchanged = 0, endless = 0;
  int Total() const { return right + wrong + abandoned + unchanged + endless; }
};

std::string Percent(int part, int whole) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f %%", whole == 0 ? 0.0 : 100.0 * part / whole);
  return text;
}

Tally Learn(sir::Protocol p, int buttons, std::uint32_t seed, double jitter, std::uint32_t stretch) {
  std::mt19937 random(seed);  // the same buttons in every column
  Tally tally;
  for (int b = 0; b < buttons; ++b) {
    std::uint32_t device = random() & 0xFFFF;
    std::uint32_t function = random() & 0xFF;
    LearnSetup setup;
    setup.jitter = jitter;
    setup.seed = random();
    setup.pollPhaseUs = random() % 50000;
    setup.markStretchUs = stretch;
    kestrel_test::Learned learned = LearnButton(p, device, function, setup);
    std::optional<std::string> expected = kestrel_test::ExpectedCode(p, device, function);
    switch (learned.ending) {
      case Ending::Complete: (expected && learned.code == *expected ? tally.right : tally.wrong)++; break;
      case Ending::Abandoned: tally.abandoned++; break;
      case Ending::Unchanged: tally.unchanged++; break;
      case Ending::TooManyPasses: tally.endless++; break;
    }
  }
  return tally;
}

}  // namespace

int main(int argc, char** argv) {
  int buttons = 200;
  std::uint32_t seed = 2026;
  std::uint32_t stretch = 0;
  bool sweep = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--sweep") == 0) {
      sweep = true;
      continue;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "usage: %s [--buttons N] [--seed S] [--stretch US] [--sweep]\n", argv[0]);
      return 2;
    }
    ++i;
    if (std::strcmp(argv[i - 1], "--buttons") == 0) buttons = std::atoi(argv[i]);
    else if (std::strcmp(argv[i - 1], "--seed") == 0) seed = static_cast<std::uint32_t>(std::strtoul(argv[i], nullptr, 10));
    else if (std::strcmp(argv[i - 1], "--stretch") == 0) stretch = static_cast<std::uint32_t>(std::strtoul(argv[i], nullptr, 10));
    else {
      std::fprintf(stderr, "usage: %s [--buttons N] [--seed S] [--stretch US] [--sweep]\n", argv[0]);
      return 2;
    }
  }
  if (buttons < 1) buttons = 1;

  const sir::Protocol protocols[] = {sir::Protocol::Nec,    sir::Protocol::NecExtended, sir::Protocol::Sony12,
                                     sir::Protocol::Sony15, sir::Protocol::Sony20,      sir::Protocol::Jvc,
                                     sir::Protocol::Sharp,  sir::Protocol::Mitsubishi,  sir::Protocol::Panasonic,
                                     sir::Protocol::Pioneer};
  const double jitters[] = {0.0, 0.05, 0.10};

  std::printf("%d buttons per protocol, seed %u, mark stretch %u us\n\n", buttons, seed, stretch);
  std::printf("| protocol | right at nominal timing | right at 5 %% jitter | right at 10 %% jitter | "
              "at 10 %%: wrong code / abandoned / unchanged / still AGAIN |\n");
  std::printf("|---|---|---|---|---|\n");
  for (sir::Protocol p : protocols) {
    std::string cells[3];
    Tally last;
    for (int j = 0; j < 3; ++j) {
      last = Learn(p, buttons, seed, jitters[j], stretch);
      cells[j] = Percent(last.right, last.Total());
    }
    std::printf("| %s | %s | %s | %s | %d / %d / %d / %d |\n", kestrel_test::ProtocolName(p), cells[0].c_str(),
                cells[1].c_str(), cells[2].c_str(), last.wrong, last.abandoned, last.unchanged, last.endless);
  }
  if (sweep) {
    const std::uint32_t stretches[] = {0, 50, 100, 150, 200};
    std::printf("\nRight at nominal timing, by how much longer the transceiver holds each mark:\n\n| protocol |");
    for (std::uint32_t us : stretches) std::printf(" +%u us |", us);
    std::printf("\n|---|");
    for (std::size_t i = 0; i < std::size(stretches); ++i) std::printf("---|");
    std::printf("\n");
    for (sir::Protocol p : protocols) {
      std::printf("| %s |", kestrel_test::ProtocolName(p));
      for (std::uint32_t us : stretches) {
        Tally t = Learn(p, buttons, seed, 0.0, us);
        std::printf(" %s |", Percent(t.right, t.Total()).c_str());
      }
      std::printf("\n");
    }
  }
  return 0;
}

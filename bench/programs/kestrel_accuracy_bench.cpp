// Not a test: how often learning a button of each protocol ends in the right code
// string, over random devices and functions, at nominal timing and with timing
// jitter. Prints a Markdown table for docs/benchmarks.md.
//
//   kestrel_accuracy_bench [--buttons N] [--seed S] [--offset US] [--dither] [--pulses] [--sweep] [--running] [--sony-bytes] [--extended-nec]
//
// --sweep adds tables at nominal timing by mark offset (-100 to +200 us: real
// remotes and transceivers hold marks longer than nominal), right and right within two presses. --dither puts each
// edge up to a tick of the UART's clock late in the learning tables too. --pulses
// models a transceiver that answers each carrier pulse with 3/16 of a bit time. --running measures presses caught
// the way the watcher catches them, in the program's format code, at random poll
// phases with each edge up to a tick of the UART clock late, by mark offset. --sony-bytes
// lists the second bytes Sony presses give the first, 4800-baud capture, and counts
// the other protocols' first captures that are taken for Sony.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "kestrel/decode.h"
#include "kestrel/format_records.h"
#include "kestrel/level_picture.h"
#include "remotes/sir/uart_bytes.h"
#include "remotes/sir/learn_button.h"

namespace {

using sir::Ending;
using sir::LearnButton;
using sir::LearnSetup;

struct Tally {
  int right = 0, wrong = 0, abandoned = 0, unchanged = 0, endless = 0;
  int rightInTwo = 0;  // right after at most two presses of the button
  int Total() const { return right + wrong + abandoned + unchanged + endless; }
};

std::string Percent(int part, int whole) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f %%", whole == 0 ? 0.0 : 100.0 * part / whole);
  return text;
}

bool g_dither = false;
bool g_pulses = false;

// One random button and how it is pressed; the same seed draws the same buttons
// in every column.
struct Button {
  std::uint32_t device, function;
  LearnSetup setup;
};

Button Draw(std::mt19937& random, double jitter, std::int32_t offset, bool dither) {
  Button b;
  b.device = random() & 0xFFFF;
  b.function = random() & 0xFF;
  b.setup.jitter = jitter;
  b.setup.seed = random();
  b.setup.pollPhaseUs = random() % 50000;
  b.setup.markOffsetUs = offset;
  b.setup.dither = dither;
  b.setup.pulses = g_pulses;
  return b;
}

Tally Learn(sir::Protocol p, int buttons, std::uint32_t seed, double jitter, std::int32_t offset) {
  std::mt19937 random(seed);
  Tally tally;
  for (int i = 0; i < buttons; ++i) {
    auto [device, function, setup] = Draw(random, jitter, offset, g_dither);
    sir::Learned learned = LearnButton(p, device, function, setup);
    std::optional<std::string> expected = sir::ExpectedCode(p, device, function);
    switch (learned.ending) {
      case Ending::Complete:
        if (expected && learned.code == *expected) {
          tally.right++;
          if (learned.passes.size() <= 2) tally.rightInTwo++;
        } else {
          tally.wrong++;
        }
        break;
      case Ending::Abandoned: tally.abandoned++; break;
      case Ending::Unchanged: tally.unchanged++; break;
      case Ending::TooManyPasses: tally.endless++; break;
    }
  }
  return tally;
}

struct Running {
  int right = 0, wrong = 0, nothing = 0;
  int Total() const { return right + wrong + nothing; }
};

// The format the program runs in once a button of this protocol was learned.
const char* RunningFormat(sir::Protocol p) {
  return p == sir::Protocol::Sony12 || p == sir::Protocol::Sony15 || p == sir::Protocol::Sony20 ? "SO" : "NE";
}

// `stream`: through the watcher's stream path instead of one capture per press.
Running Catch(sir::Protocol p, int buttons, std::uint32_t seed, double jitter, std::int32_t offset, bool stream) {
  std::mt19937 random(seed);
  Running tally;
  for (int i = 0; i < buttons; ++i) {
    auto [device, function, setup] = Draw(random, jitter, offset, true);
    sir::Caught caught = stream ? sir::StreamPress(p, device, function, RunningFormat(p), setup)
                                : sir::CatchPress(p, device, function, RunningFormat(p), setup);
    std::optional<std::string> expected = sir::ExpectedCode(p, device, function);
    if (!caught.got) tally.nothing++;
    else (expected && caught.code == *expected ? tally.right : tally.wrong)++;
  }
  return tally;
}

void PrintRunning(int buttons, std::uint32_t seed, const sir::Protocol* protocols, std::size_t count, bool stream) {
  const std::int32_t offsets[] = {-100, -50, 0, 50, 100, 150, 200};
  if (stream) {
    std::printf("\nThe same presses through the watcher's stream path (the port read between presses, each byte\n"
                "fed as it arrives; the first code reported):\n\n| protocol |");
  } else {
    std::printf("\nPresses caught in the program's format (\"SO\" for Sony, \"NE\" otherwise), random poll phase,\n"
                "each edge up to a UART clock tick late: right %% (wrong %%) by mark offset, and at 10 %% jitter;\n"
                "the last column counts wrong codes over the whole row.\n\n| protocol |");
  }
  for (std::int32_t us : offsets) std::printf(" %+d us |", us);
  std::printf(" 10 %% jitter | wrong codes |\n|---|");
  for (std::size_t i = 0; i <= std::size(offsets); ++i) std::printf("---|");
  std::printf("---|\n");
  for (std::size_t i = 0; i < count; ++i) {
    sir::Protocol p = protocols[i];
    std::printf("| %s |", sir::ProtocolName(p));
    int wrong = 0;
    auto cell = [&](Running r) {
      wrong += r.wrong;
      std::printf(" %s (%s) |", Percent(r.right, r.Total()).c_str(), Percent(r.wrong, r.Total()).c_str());
    };
    for (std::int32_t us : offsets) cell(Catch(p, buttons, seed, 0.0, us, stream));
    cell(Catch(p, buttons, seed, 0.10, 0, stream));
    std::printf(" %d |\n", wrong);
  }
}

// The second byte of every first capture (at 4800 baud) of Sony presses whose
// first byte is the leader's 0x00, over devices, functions, poll phases and mark
// offsets from -100 to +200 us, with edges dithered.
void PrintSonySecondBytes(int buttons, std::uint32_t seed) {
  std::map<int, int> seen;
  std::mt19937 random(seed);
  for (sir::Protocol p : {sir::Protocol::Sony12, sir::Protocol::Sony15}) {
    for (std::int32_t offset = -100; offset <= 200; offset += 10) {
      for (int b = 0; b < buttons; ++b) {
        LearnSetup setup;
        setup.seed = random();
        setup.pollPhaseUs = random() % 50000;
        setup.markOffsetUs = offset;
        setup.dither = true;
        std::vector<std::uint8_t> bytes = sir::FirstCapture(p, random() & 0xFFFF, random() & 0xFF, setup);
        if (bytes.size() >= 2 && bytes[0] == 0x00) seen[bytes[1]]++;
      }
    }
  }
  std::printf("\nSecond bytes of Sony's first capture after a leader byte 0x00 (count):");
  for (auto [value, n] : seen) std::printf(" 0x%02X (%d)", value, n);
  std::printf("\n");
}

// How many first captures of the other protocols the first pass sends on to "SO",
// over the same offsets, at nominal timing and at 10 % jitter.
void PrintTakenForSony(int buttons, std::uint32_t seed, const sir::Protocol* protocols, std::size_t count) {
  std::printf("\nFirst captures of other protocols sent on as Sony (of all, offsets -100 to +200 us in 10 us steps,\n"
              "nominal timing and 10 %% jitter):");
  for (std::size_t i = 0; i < count; ++i) {
    sir::Protocol p = protocols[i];
    if (std::strcmp(RunningFormat(p), "SO") == 0) continue;
    std::mt19937 random(seed);
    int taken = 0, all = 0;
    for (double jitter : {0.0, 0.10}) {
      for (std::int32_t offset = -100; offset <= 200; offset += 10) {
        for (int b = 0; b < buttons; ++b) {
          auto [device, function, setup] = Draw(random, jitter, offset, true);
          std::vector<std::uint8_t> bytes = sir::FirstCapture(p, device, function, setup);
          kestrel::RecognitionState state = kestrel::FreshState();
          kestrel::DecodeCapture(bytes.data(), bytes.size(), state);
          taken += std::strncmp(state.CodePrefix, "SO", 2) == 0;
          ++all;
        }
      }
    }
    std::printf("\n  %s: %d of %d", sir::ProtocolName(p), taken, all);
  }
  std::printf("\n");
}

// Why extended NEC addresses give NE codes, and what refusing them would cost.
// For every extended press caught with a code, the standard frame of that code is
// rendered the same way: when both give the same bytes, no reading of the bytes can
// tell them apart. Then the trade: the codes NEC, Pioneer and extended presses give
// today, and those left if no address bit were taken from its complement.
void PrintExtendedNec(int buttons, std::uint32_t seed) {
  int coded = 0, sameBytes = 0;
  std::mt19937 random(seed);
  for (std::int32_t offset = -100; offset <= 200; offset += 50) {
    for (int b = 0; b < buttons; ++b) {
      auto [device, function, setup] = Draw(random, 0.0, offset, false);
      sir::Caught caught = sir::StreamPress(sir::Protocol::NecExtended, device, function, "NE", setup);
      if (!caught.got) continue;
      ++coded;
      unsigned address = 0;
      std::sscanf(caught.code.c_str() + 3, "%x", &address);
      const std::uint32_t standard = (address & 0xFF) | ((~address & 0xFF) << 8);
      auto bytes = [&](sir::Protocol p, std::uint32_t d) {
        std::vector<std::uint32_t> light = sir::RenderPress(p, d, function, {.frames = 1});
        return sir::UartValues(sir::OffsetMarks(light, offset), 4800);
      };
      sameBytes += bytes(sir::Protocol::NecExtended, device) == bytes(sir::Protocol::NecExtended, standard);
    }
  }
  std::printf("\nExtended NEC presses that give a code (nominal timing, offsets -100 to +200 us in 50 us steps): %d;\n"
              "of them, the same bytes at 4800 baud as the standard frame of that code: %d\n",
              coded, sameBytes);

  std::printf("\n| protocol | presses | right today | wrong today | right without address fill | wrong without address fill |\n"
              "|---|---|---|---|---|---|\n");
  for (sir::Protocol p : {sir::Protocol::Nec, sir::Protocol::Pioneer, sir::Protocol::NecExtended}) {
    int all = 0, right = 0, wrong = 0, strictRight = 0, strictWrong = 0;
    std::mt19937 r(seed);
    for (std::int32_t offset = -100; offset <= 200; offset += 50) {
      for (int b = 0; b < buttons; ++b) {
        auto [device, function, setup] = Draw(r, 0.0, offset, true);
        ++all;
        sir::Caught caught = sir::CatchPress(p, device, function, "NE", setup);
        if (!caught.got) continue;
        const std::optional<std::string> expected = sir::ExpectedCode(p, device, function);
        const bool ok = expected && caught.code == *expected;
        (ok ? right : wrong)++;
        // The bits of that capture: an address bit whose partner decided it.
        std::vector<std::uint8_t> bytes = sir::FirstCapture(p, device, function, setup);
        std::string bits;
        kestrel::DecodeBits(kestrel::LevelPicture(bytes.data(), bytes.size()), kestrel::KnownFormat(kestrel::kFirstPass),
                            bits);
        bool filled = false;
        for (std::size_t i = 0; i < 8; ++i) filled = filled || kestrel::At(bits, i) == '?' || kestrel::At(bits, i + 8) == '?';
        if (!filled) (ok ? strictRight : strictWrong)++;
      }
    }
    std::printf("| %s | %d | %d | %d | %d | %d |\n", sir::ProtocolName(p), all, right, wrong, strictRight, strictWrong);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int buttons = 200;
  std::uint32_t seed = 2026;
  std::int32_t offset = 0;
  bool sweep = false, running = false, sonyBytes = false, extendedNec = false;
  for (int i = 1; i < argc; ++i) {
    bool* flag = std::strcmp(argv[i], "--sweep") == 0        ? &sweep
                 : std::strcmp(argv[i], "--running") == 0    ? &running
                 : std::strcmp(argv[i], "--sony-bytes") == 0 ? &sonyBytes
                 : std::strcmp(argv[i], "--extended-nec") == 0 ? &extendedNec
                 : std::strcmp(argv[i], "--dither") == 0     ? &g_dither
                 : std::strcmp(argv[i], "--pulses") == 0     ? &g_pulses
                                                             : nullptr;
    if (flag) {
      *flag = true;
      continue;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "usage: %s [--buttons N] [--seed S] [--offset US] [--dither] [--pulses] [--sweep] [--running] [--sony-bytes] [--extended-nec]\n", argv[0]);
      return 2;
    }
    ++i;
    if (std::strcmp(argv[i - 1], "--buttons") == 0) buttons = std::atoi(argv[i]);
    else if (std::strcmp(argv[i - 1], "--seed") == 0) seed = static_cast<std::uint32_t>(std::strtoul(argv[i], nullptr, 10));
    else if (std::strcmp(argv[i - 1], "--offset") == 0) offset = static_cast<std::int32_t>(std::strtol(argv[i], nullptr, 10));
    else {
      std::fprintf(stderr, "usage: %s [--buttons N] [--seed S] [--offset US] [--dither] [--pulses] [--sweep] [--running] [--sony-bytes] [--extended-nec]\n", argv[0]);
      return 2;
    }
  }
  if (buttons < 1) buttons = 1;

  const sir::Protocol protocols[] = {sir::Protocol::Nec,    sir::Protocol::NecExtended, sir::Protocol::Sony12,
                                     sir::Protocol::Sony15, sir::Protocol::Sony20,      sir::Protocol::Jvc,
                                     sir::Protocol::Sharp,  sir::Protocol::Mitsubishi,  sir::Protocol::Panasonic,
                                     sir::Protocol::Pioneer};
  const double jitters[] = {0.0, 0.05, 0.10};

  std::printf("%d buttons per protocol, seed %u, mark offset %+d us%s%s\n\n", buttons, seed, offset,
              g_dither ? ", edges up to a UART clock tick late" : "",
              g_pulses ? ", 3/16 of a bit time per carrier pulse" : "");
  std::printf("| protocol | right at nominal timing | right at 5 %% jitter | right at 10 %% jitter | "
              "at 10 %%: wrong code / abandoned / unchanged / still AGAIN |\n");
  std::printf("|---|---|---|---|---|\n");
  for (sir::Protocol p : protocols) {
    std::string cells[3];
    Tally last;
    for (int j = 0; j < 3; ++j) {
      last = Learn(p, buttons, seed, jitters[j], offset);
      cells[j] = Percent(last.right, last.Total());
    }
    std::printf("| %s | %s | %s | %s | %d / %d / %d / %d |\n", sir::ProtocolName(p), cells[0].c_str(),
                cells[1].c_str(), cells[2].c_str(), last.wrong, last.abandoned, last.unchanged, last.endless);
  }
  if (sweep) {
    const std::int32_t offsets[] = {-100, -50, 0, 50, 100, 150, 200};
    std::printf("\nLearned right (wrong code) at nominal timing, by how much longer (shorter) than nominal the marks "
                "are:\n\n| protocol |");
    for (std::int32_t us : offsets) std::printf(" %+d us |", us);
    std::printf("\n|---|");
    for (std::size_t i = 0; i < std::size(offsets); ++i) std::printf("---|");
    std::printf("\n");
    std::string inTwo;
    for (sir::Protocol p : protocols) {
      std::printf("| %s |", sir::ProtocolName(p));
      inTwo += std::string("| ") + sir::ProtocolName(p) + " |";
      for (std::int32_t us : offsets) {
        Tally t = Learn(p, buttons, seed, 0.0, us);
        std::printf(" %s (%s) |", Percent(t.right, t.Total()).c_str(), Percent(t.wrong, t.Total()).c_str());
        inTwo += " " + Percent(t.rightInTwo, t.Total()) + " |";
      }
      std::printf("\n");
      inTwo += "\n";
    }
    std::printf("\nLearned right within two presses of the button, by mark offset:\n\n| protocol |");
    for (std::int32_t us : offsets) std::printf(" %+d us |", us);
    std::printf("\n|---|");
    for (std::size_t i = 0; i < std::size(offsets); ++i) std::printf("---|");
    std::printf("\n%s", inTwo.c_str());
  }
  if (running) {
    PrintRunning(buttons, seed, protocols, std::size(protocols), false);
    PrintRunning(buttons, seed, protocols, std::size(protocols), true);
  }
  if (extendedNec) PrintExtendedNec(buttons, seed);
  if (sonyBytes) {
    PrintSonySecondBytes(buttons, seed);
    PrintTakenForSony(buttons, seed, protocols, std::size(protocols));
  }
  return 0;
}

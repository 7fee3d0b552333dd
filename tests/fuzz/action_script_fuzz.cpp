// Entries can be typed by hand in the main window: the walk must play only
// well-formed events and never read outside the entry.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/events/action_script.h"

using namespace vantor;

namespace {
struct Counter final : InputSink {
  std::size_t events = 0;
  void Play(const InputEvent& e) override {
    ++events;
    if (e.kind != InputKind::Move && (e.dx || e.dy)) std::abort();
    if (e.kind != InputKind::KeyDown && e.kind != InputKind::KeyUp && (e.key || e.scan || e.extended)) std::abort();
  }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // No terminating zero: the walk must respect the length it is given.
  std::vector<char> entry(data, data + size);
  Counter counter;
  WalkActionScript(entry.data(), entry.size(), counter);
  // A token plays at most one event per keyword test, and tokens need two ";".
  std::size_t separators = static_cast<std::size_t>(std::count(entry.begin(), entry.end(), ';'));
  if (counter.events > 9 * (separators ? separators - 1 : 0)) std::abort();
  return 0;
}

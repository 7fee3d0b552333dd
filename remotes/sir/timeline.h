// Building mark/space timelines for the protocol renderers.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace sir {

class Timeline {
 public:
  Timeline(double jitter, std::uint32_t seed) : Jitter(jitter), Random(seed) {}

  void Mark(std::uint32_t us) { Add(us, true); }
  void Space(std::uint32_t us) { Add(us, false); }
  // Pulse-distance bits, least significant first: a mark, then a short or long space.
  void Bits(std::uint64_t value, int count, std::uint32_t mark, std::uint32_t zeroSpace, std::uint32_t oneSpace) {
    for (int i = 0; i < count; ++i) {
      Mark(mark);
      Space((value >> i) & 1 ? oneSpace : zeroSpace);
    }
  }
  // Silence until `period` after `frameStart` (at least `minimum`), for repeats
  // timed start to start.
  void SpaceUntil(std::uint64_t frameStart, std::uint32_t period, std::uint32_t minimum) {
    std::uint64_t end = frameStart + period;
    Space(end > Clock + minimum ? static_cast<std::uint32_t>(end - Clock) : minimum);
  }
  std::uint64_t Now() const { return Clock; }
  std::vector<std::uint32_t> Take() { return std::move(Out); }

 private:
  void Add(std::uint32_t us, bool mark) {
    if (Jitter > 0) {
      std::uniform_real_distribution<double> scale(1 - Jitter, 1 + Jitter);
      us = static_cast<std::uint32_t>(us * scale(Random) + 0.5);
    }
    // Marks sit at even positions: two of a kind in a row are one longer stretch.
    if (mark == (Out.size() % 2 == 1)) {
      if (Out.empty()) {
        Out.push_back(0);  // a space first: no light at time 0
      } else {
        Out.back() += us;
        Clock += us;
        return;
      }
    }
    Out.push_back(us);
    Clock += us;
  }

  double Jitter;
  std::mt19937 Random;
  std::vector<std::uint32_t> Out;
  std::uint64_t Clock = 0;
};

}  // namespace sir

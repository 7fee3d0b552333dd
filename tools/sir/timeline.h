// Building mark/space timelines for the protocol renderers.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace sir {

class Timeline {
 public:
  Timeline(double jitter, std::uint32_t seed) : jitter_(jitter), random_(seed) {}

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
    Space(end > now_ + minimum ? static_cast<std::uint32_t>(end - now_) : minimum);
  }
  std::uint64_t Now() const { return now_; }
  std::vector<std::uint32_t> Take() { return std::move(out_); }

 private:
  void Add(std::uint32_t us, bool mark) {
    if (jitter_ > 0) {
      std::uniform_real_distribution<double> scale(1 - jitter_, 1 + jitter_);
      us = static_cast<std::uint32_t>(us * scale(random_) + 0.5);
    }
    // Marks sit at even positions: two of a kind in a row are one longer stretch.
    if (mark == (out_.size() % 2 == 1)) {
      if (out_.empty()) {
        out_.push_back(0);  // a space first: no light at time 0
      } else {
        out_.back() += us;
        now_ += us;
        return;
      }
    }
    out_.push_back(us);
    now_ += us;
  }

  double jitter_;
  std::mt19937 random_;
  std::vector<std::uint32_t> out_;
  std::uint64_t now_ = 0;
};

}  // namespace sir

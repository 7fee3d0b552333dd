#include "remotes/sir/uart_bytes.h"

#include <algorithm>
#include <cstddef>
#include <random>

namespace sir {
namespace {

// Time is counted in ticks of 1/(2 * baud) microseconds: every edge (whole
// microseconds) and every bit centre (odd multiples of half a bit) is then an
// exact integer and no sample falls on the wrong side of an edge by rounding.
using Tick = std::uint64_t;
constexpr Tick kHalfBit = 1'000'000;  // half a bit: 1e6 / (2 * baud) us, in ticks
constexpr Tick kBit = 2 * kHalfBit;
// Bounds that keep every tick count well inside 64 bits.
constexpr std::uint32_t kMaxBaud = 115200;
constexpr Tick kMaxTotalUs = 3'600'000'000;

struct Low {
  Tick from, to;  // line low in [from, to)
};

std::vector<Low> LowIntervals(std::span<const std::uint32_t> markSpaceUs, Tick ticksPerUs) {
  std::vector<Low> lows;
  Tick t = 0;
  for (std::size_t i = 0; i < markSpaceUs.size(); ++i) {
    Tick d = Tick{markSpaceUs[i]} * ticksPerUs;
    bool mark = i % 2 == 0;
    if (mark && d > 0) {
      // A mark right after another one (zero space) is the same stretch of light.
      if (!lows.empty() && lows.back().to == t) {
        lows.back().to = t + d;
      } else {
        lows.push_back({t, t + d});
      }
    }
    t += d;
  }
  return lows;
}

class Line {
 public:
  explicit Line(const std::vector<Low>& lows) : Lows(lows) {}

  // Level at t; t never goes backwards between calls.
  bool LowAt(Tick t) {
    while (Next < Lows.size() && Lows[Next].to <= t) ++Next;
    return Next < Lows.size() && Lows[Next].from <= t;
  }
  // Where the next frame starts when the receiver is ready again at t: the next
  // falling edge at or after t. A line that is still low at t has to rise first,
  // as a UART takes one break character for a long stretch of light; false when
  // no edge is left.
  bool NextStart(Tick t, Tick& start) {
    LowAt(t);
    std::size_t i = Next;
    if (i < Lows.size() && Lows[i].from < t) ++i;
    if (i >= Lows.size()) return false;
    start = Lows[i].from;
    return true;
  }

 private:
  const std::vector<Low>& Lows;
  std::size_t Next = 0;
};

}  // namespace

std::vector<UartByte> UartBytes(std::span<const std::uint32_t> markSpaceUs, std::uint32_t baud) {
  std::vector<UartByte> out;
  if (baud == 0 || baud > kMaxBaud) return out;
  Tick totalUs = 0;
  for (std::uint32_t d : markSpaceUs) totalUs += d;
  if (totalUs > kMaxTotalUs) return out;
  const Tick ticksPerUs = 2 * Tick{baud};
  const std::vector<Low> lows = LowIntervals(markSpaceUs, ticksPerUs);
  Line line(lows);

  Tick look = 0;
  Tick start = 0;
  while (line.NextStart(look, start)) {
    std::uint8_t value = 0;
    for (int bit = 0; bit < 8; ++bit) {
      Tick centre = start + kBit + kHalfBit + Tick(bit) * kBit;
      if (!line.LowAt(centre)) value = static_cast<std::uint8_t>(value | (1u << bit));
    }
    Tick stopCentre = start + 9 * kBit + kHalfBit;
    bool framingError = line.LowAt(stopCentre);
    out.push_back({value, framingError, static_cast<double>(stopCentre) / static_cast<double>(ticksPerUs)});
    // Like a 16550, the receiver hunts for the next start bit as soon as it has
    // sampled the stop bit, not half a bit later.
    look = stopCentre;
  }
  return out;
}

std::vector<std::uint32_t> OffsetMarks(std::span<const std::uint32_t> markSpaceUs, std::int32_t us) {
  std::vector<std::uint32_t> out(markSpaceUs.begin(), markSpaceUs.end());
  for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
    if (us >= 0) {
      std::uint32_t taken = std::min<std::uint32_t>(out[i + 1], static_cast<std::uint32_t>(us));
      out[i] += taken;
      out[i + 1] -= taken;
    } else {
      std::uint32_t given = std::min<std::uint32_t>(out[i], static_cast<std::uint32_t>(-static_cast<std::int64_t>(us)));
      out[i] -= given;
      out[i + 1] += given;
    }
  }
  return out;
}

std::vector<std::uint32_t> DitherEdges(std::span<const std::uint32_t> markSpaceUs, double us, std::uint32_t seed) {
  std::vector<std::uint32_t> out(markSpaceUs.begin(), markSpaceUs.end());
  if (out.empty() || us <= 0) return out;
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> within(0.0, us);
  // Edge k ends duration k; the first mark's start stays at time 0.
  double movedBefore = 0;
  for (std::size_t k = 0; k < out.size(); ++k) {
    double moved = k + 1 < out.size() ? within(random) : 0.0;
    double length = static_cast<double>(out[k]) + moved - movedBefore;
    out[k] = length > 0 ? static_cast<std::uint32_t>(length + 0.5) : 0;
    movedBefore = moved;
  }
  return out;
}

std::vector<std::uint32_t> CarrierPulses(std::span<const std::uint32_t> markSpaceUs, double carrierHz,
                                         double pulseUs) {
  const double period = carrierHz > 0 ? 1e6 / carrierHz : 0;
  if (period <= 0 || pulseUs <= 0 || pulseUs >= period) return {markSpaceUs.begin(), markSpaceUs.end()};
  // Edges at whole microseconds of the running time, so rounding never adds up.
  std::vector<std::uint32_t> out;
  double at = 0;               // start of the current duration
  std::uint64_t written = 0;   // whole microseconds handed out so far
  auto emit = [&](double until, bool mark) {
    std::uint64_t end = static_cast<std::uint64_t>(until + 0.5);
    std::uint32_t length = static_cast<std::uint32_t>(end > written ? end - written : 0);
    // Durations alternate mark, space: a second duration of the same kind joins the first.
    if ((out.size() % 2 == 0) == mark) out.push_back(length);
    else out.back() += length;
    written += length;
  };
  for (std::size_t i = 0; i < markSpaceUs.size(); ++i) {
    double end = at + markSpaceUs[i];
    if (i % 2 == 1) {
      emit(end, false);
    } else {
      for (double pulse = at; pulse < end; pulse += period) {
        double lit = std::min(pulse + pulseUs, end);
        emit(lit, true);
        if (lit < end) emit(std::min(pulse + period, end), false);
      }
      if (markSpaceUs[i] == 0) emit(end, true);
    }
    at = end;
  }
  return out;
}

std::vector<std::uint8_t> UartValues(std::span<const std::uint32_t> markSpaceUs, std::uint32_t baud) {
  std::vector<std::uint8_t> values;
  for (const UartByte& b : UartBytes(markSpaceUs, baud)) values.push_back(b.value);
  return values;
}

}  // namespace sir

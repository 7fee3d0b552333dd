// Sony. Source: the protocol's published timing (40 kHz carrier): leader 2.4 ms
// mark and 600 us space; 7 command bits then 5, 8 or 13 (5 device and 8 extended)
// device bits, least significant first; each bit a 1200 us (1) or 600 us (0) mark
// followed by a 600 us space. The frame is sent at least three times, every 45 ms
// start to start.
#include "remotes/sir/protocol_renderers.h"

namespace sir {
namespace {

constexpr std::uint32_t SONY_LEADER_MARK_US = 2400;
constexpr std::uint32_t SONY_SPACE_US = 600;
constexpr std::uint32_t SONY_ONE_MARK_US = 1200;
constexpr std::uint32_t SONY_ZERO_MARK_US = 600;
constexpr std::uint32_t SONY_PERIOD_US = 45000;
constexpr std::uint32_t SONY_MIN_GAP_US = 8000;

}  // namespace

void RenderSony(Timeline& t, std::uint32_t device, std::uint32_t function, int frames, int deviceBits) {
  std::uint64_t word = (function & 0x7F) | (std::uint64_t{device} << 7);
  for (int i = 0; i < frames; ++i) {
    std::uint64_t start = t.Now();
    t.Mark(SONY_LEADER_MARK_US);
    for (int b = 0; b < 7 + deviceBits; ++b) {
      t.Space(SONY_SPACE_US);
      t.Mark((word >> b) & 1 ? SONY_ONE_MARK_US : SONY_ZERO_MARK_US);
    }
    t.SpaceUntil(start, SONY_PERIOD_US, SONY_MIN_GAP_US);
  }
}

}  // namespace sir

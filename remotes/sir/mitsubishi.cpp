// Mitsubishi. Source: the published recording of a Mitsubishi TV remote (RM 75501,
// in 50 us ticks: marks of 7, spaces of 17 or 18 and of 41 or 42): no leader; 8
// address and 8 command bits, least significant first; each bit a 350 us mark and
// a space of the recording's mean length, 867 us (0) or 2083 us (1); a closing
// mark; the frame repeats every 45 ms, start to start.
#include "remotes/sir/protocol_renderers.h"

namespace sir {
namespace {

constexpr std::uint32_t MITSUBISHI_BIT_MARK_US = 350;
constexpr std::uint32_t MITSUBISHI_ZERO_SPACE_US = 867;
constexpr std::uint32_t MITSUBISHI_ONE_SPACE_US = 2083;
constexpr std::uint32_t MITSUBISHI_PERIOD_US = 45000;
constexpr std::uint32_t MITSUBISHI_MIN_GAP_US = 10000;

}  // namespace

void RenderMitsubishi(Timeline& t, std::uint32_t device, std::uint32_t function, int frames) {
  for (int i = 0; i < frames; ++i) {
    std::uint64_t start = t.Now();
    t.Bits((device & 0xFF) | ((function & 0xFF) << 8), 16, MITSUBISHI_BIT_MARK_US, MITSUBISHI_ZERO_SPACE_US,
           MITSUBISHI_ONE_SPACE_US);
    t.Mark(MITSUBISHI_BIT_MARK_US);
    t.SpaceUntil(start, MITSUBISHI_PERIOD_US, MITSUBISHI_MIN_GAP_US);
  }
}

}  // namespace sir

// JVC. Source: the protocol's published timing (38 kHz carrier): leader 8.4 ms
// mark and 4.2 ms space, sent once; 8 address and 8 command bits, least
// significant first, each a 526 us mark and a 526 us (0) or 1574 us (1) space;
// a closing mark. Held buttons repeat the frame without the leader, every 55 ms.
#include "remotes/sir/protocol_renderers.h"

namespace sir {
namespace {

constexpr std::uint32_t JVC_LEADER_MARK_US = 8400;
constexpr std::uint32_t JVC_LEADER_SPACE_US = 4200;
constexpr std::uint32_t JVC_BIT_MARK_US = 526;
constexpr std::uint32_t JVC_ZERO_SPACE_US = 526;
constexpr std::uint32_t JVC_ONE_SPACE_US = 1574;
constexpr std::uint32_t JVC_PERIOD_US = 55000;
constexpr std::uint32_t JVC_MIN_GAP_US = 10000;

}  // namespace

void RenderJvc(Timeline& t, std::uint32_t device, std::uint32_t function, int frames) {
  for (int i = 0; i < frames; ++i) {
    std::uint64_t start = t.Now();
    if (i == 0) {
      t.Mark(JVC_LEADER_MARK_US);
      t.Space(JVC_LEADER_SPACE_US);
    }
    t.Bits((device & 0xFF) | ((function & 0xFF) << 8), 16, JVC_BIT_MARK_US, JVC_ZERO_SPACE_US, JVC_ONE_SPACE_US);
    t.Mark(JVC_BIT_MARK_US);
    t.SpaceUntil(start, JVC_PERIOD_US, JVC_MIN_GAP_US);
  }
}

}  // namespace sir

// Sharp. Source: the protocol's published timing (38 kHz carrier): no leader;
// 5 address bits, 8 command bits, an expansion bit (1) and a check bit (0), least
// significant first; each bit a 320 us mark and a 680 us (0) or 1680 us (1)
// space; a closing mark. 40 ms later the same frame follows with command,
// expansion and check bits inverted.
#include "remotes/sir/protocol_renderers.h"

namespace sir {
namespace {

constexpr std::uint32_t SHARP_BIT_MARK_US = 320;
constexpr std::uint32_t SHARP_ZERO_SPACE_US = 680;
constexpr std::uint32_t SHARP_ONE_SPACE_US = 1680;
constexpr std::uint32_t SHARP_GAP_US = 40000;

}  // namespace

void RenderSharp(Timeline& t, std::uint32_t device, std::uint32_t function, int frames) {
  std::uint32_t word = (device & 0x1F) | ((function & 0xFF) << 5) | (1u << 13);
  for (int i = 0; i < frames; ++i) {
    std::uint32_t sent = i % 2 == 0 ? word : word ^ 0x7FE0;  // the second half inverts bits 5..14
    t.Bits(sent, 15, SHARP_BIT_MARK_US, SHARP_ZERO_SPACE_US, SHARP_ONE_SPACE_US);
    t.Mark(SHARP_BIT_MARK_US);
    t.Space(SHARP_GAP_US);
  }
}

}  // namespace sir

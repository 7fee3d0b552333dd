// NEC and Pioneer. Source: the NEC protocol's published timing (38 kHz carrier):
// leader 9 ms mark and 4.5 ms space; 32 bits least significant first, address,
// inverted address (or a 16-bit extended address), command, inverted command;
// each bit a 560 us mark and a 560 us (0) or 1690 us (1) space; a closing 560 us
// mark. While the button is held, a repeat code (9 ms mark, 2.25 ms space, 560 us
// mark) follows every 108 ms, start to start. Pioneer remotes use the same frame
// at a 40 kHz carrier and send the whole frame again instead of a repeat code.
#include "remotes/sir/protocol_renderers.h"

namespace sir {
namespace {

constexpr std::uint32_t NEC_LEADER_MARK_US = 9000;
constexpr std::uint32_t NEC_LEADER_SPACE_US = 4500;
constexpr std::uint32_t NEC_BIT_MARK_US = 560;
constexpr std::uint32_t NEC_ZERO_SPACE_US = 560;
constexpr std::uint32_t NEC_ONE_SPACE_US = 1690;
constexpr std::uint32_t NEC_REPEAT_SPACE_US = 2250;
constexpr std::uint32_t NEC_PERIOD_US = 108000;
constexpr std::uint32_t NEC_MIN_GAP_US = 20000;

void Frame(Timeline& t, std::uint32_t device, std::uint32_t function, bool extended) {
  std::uint32_t address = extended ? (device & 0xFFFF) : ((device & 0xFF) | ((~device & 0xFF) << 8));
  std::uint32_t command = (function & 0xFF) | ((~function & 0xFF) << 8);
  t.Mark(NEC_LEADER_MARK_US);
  t.Space(NEC_LEADER_SPACE_US);
  t.Bits(address | (command << 16), 32, NEC_BIT_MARK_US, NEC_ZERO_SPACE_US, NEC_ONE_SPACE_US);
  t.Mark(NEC_BIT_MARK_US);
}

}  // namespace

void RenderNec(Timeline& t, std::uint32_t device, std::uint32_t function, int frames, bool extended) {
  for (int i = 0; i < frames; ++i) {
    std::uint64_t start = t.Now();
    if (i == 0) {
      Frame(t, device, function, extended);
    } else {
      t.Mark(NEC_LEADER_MARK_US);
      t.Space(NEC_REPEAT_SPACE_US);
      t.Mark(NEC_BIT_MARK_US);
    }
    t.SpaceUntil(start, NEC_PERIOD_US, NEC_MIN_GAP_US);
  }
}

void RenderPioneer(Timeline& t, std::uint32_t device, std::uint32_t function, int frames) {
  for (int i = 0; i < frames; ++i) {
    std::uint64_t start = t.Now();
    Frame(t, device, function, false);
    t.SpaceUntil(start, NEC_PERIOD_US, NEC_MIN_GAP_US);
  }
}

}  // namespace sir

// Panasonic (Kaseikyo). Source: the protocol's published timing (37 kHz carrier):
// leader 3.456 ms mark and 1.728 ms space; 48 bits least significant first: the
// maker code 0x2002, a parity nibble over it, a system nibble, 8 device bits, 8
// function bits and an 8-bit XOR check; each bit a 432 us mark and a 432 us (0) or
// 1296 us (1) space; a closing mark; the frame repeats every 75 ms.
#include "remotes/sir/protocol_renderers.h"

namespace sir {
namespace {

constexpr std::uint32_t KASEIKYO_LEADER_MARK_US = 3456;
constexpr std::uint32_t KASEIKYO_LEADER_SPACE_US = 1728;
constexpr std::uint32_t KASEIKYO_BIT_MARK_US = 432;
constexpr std::uint32_t KASEIKYO_ZERO_SPACE_US = 432;
constexpr std::uint32_t KASEIKYO_ONE_SPACE_US = 1296;
constexpr std::uint32_t KASEIKYO_PERIOD_US = 75000;
constexpr std::uint32_t KASEIKYO_MIN_GAP_US = 10000;
constexpr std::uint64_t KASEIKYO_MAKER = 0x2002;

}  // namespace

void RenderPanasonic(Timeline& t, std::uint32_t device, std::uint32_t function, int frames) {
  std::uint32_t parity = (KASEIKYO_MAKER ^ (KASEIKYO_MAKER >> 4) ^ (KASEIKYO_MAKER >> 8) ^ (KASEIKYO_MAKER >> 12)) & 0xF;
  std::uint32_t d = device & 0xFF, f = function & 0xFF;
  std::uint32_t check = (parity /* system 0 */) ^ d ^ f;
  std::uint64_t word = KASEIKYO_MAKER | (std::uint64_t{parity} << 16) | (std::uint64_t{d} << 24) |
                       (std::uint64_t{f} << 32) | (std::uint64_t{check & 0xFF} << 40);
  for (int i = 0; i < frames; ++i) {
    std::uint64_t start = t.Now();
    t.Mark(KASEIKYO_LEADER_MARK_US);
    t.Space(KASEIKYO_LEADER_SPACE_US);
    t.Bits(word, 48, KASEIKYO_BIT_MARK_US, KASEIKYO_ZERO_SPACE_US, KASEIKYO_ONE_SPACE_US);
    t.Mark(KASEIKYO_BIT_MARK_US);
    t.SpaceUntil(start, KASEIKYO_PERIOD_US, KASEIKYO_MIN_GAP_US);
  }
}

}  // namespace sir

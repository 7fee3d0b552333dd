// The synthesizer's protocol half against the published frame layouts: durations
// come out as mark, space, mark, ..., starting with the light.
#include "remotes/sir/protocols.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "remotes/sir/uart_bytes.h"

namespace {

using sir::Protocol;
using Durations = std::vector<std::uint32_t>;

// Reads `count` pulse-distance bits (least significant first) starting at index
// `at` (a mark): a space longer than `threshold` is a 1.
std::uint64_t DistanceBits(const Durations& d, std::size_t at, int count, std::uint32_t threshold) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; ++i) {
    if (d.at(at + 2 * i + 1) > threshold) value |= std::uint64_t{1} << i;
  }
  return value;
}

std::uint64_t Sum(const Durations& d, std::size_t from, std::size_t to) {
  std::uint64_t s = 0;
  for (std::size_t i = from; i < to && i < d.size(); ++i) s += d[i];
  return s;
}

TEST(SirPress, NecFrameThenRepeatCodesEvery108Ms) {
  Durations d = sir::RenderPress(Protocol::Nec, 0x12, 0x34);
  ASSERT_GE(d.size(), 2u + 64 + 2);
  EXPECT_EQ(d[0], 9000u);
  EXPECT_EQ(d[1], 4500u);
  // Address, inverted address, command, inverted command.
  EXPECT_EQ(DistanceBits(d, 2, 32, 1000), 0xCB34ED12u);
  for (std::size_t i = 2; i < 66; i += 2) EXPECT_EQ(d[i], 560u);
  EXPECT_EQ(d[66], 560u);  // the closing mark
  // The repeat code: 9 ms, 2.25 ms, 560 us, starting 108 ms after the frame.
  EXPECT_EQ(Sum(d, 0, 68), 108000u);
  EXPECT_EQ(d[68], 9000u);
  EXPECT_EQ(d[69], 2250u);
  EXPECT_EQ(d[70], 560u);
}

TEST(SirPress, ExtendedNecSendsSixteenAddressBitsAndPioneerRepeatsTheFrame) {
  Durations ext = sir::RenderPress(Protocol::NecExtended, 0x1234, 0x41);
  EXPECT_EQ(DistanceBits(ext, 2, 32, 1000), 0xBE411234u);
  Durations pioneer = sir::RenderPress(Protocol::Pioneer, 0xA6, 0x03);
  // The second frame starts with the full leader and the same 32 bits.
  EXPECT_EQ(pioneer[68], 9000u);
  EXPECT_EQ(pioneer[69], 4500u);
  EXPECT_EQ(DistanceBits(pioneer, 70, 32, 1000), DistanceBits(pioneer, 2, 32, 1000));
  EXPECT_EQ(DistanceBits(pioneer, 2, 32, 1000), 0xFC0359A6u);
}

TEST(SirPress, SonyCodesItsBitsInTheMarksAndRepeatsEvery45Ms) {
  for (auto [p, bits] : {std::pair{Protocol::Sony12, 12}, std::pair{Protocol::Sony15, 15}, std::pair{Protocol::Sony20, 20}}) {
    Durations d = sir::RenderPress(p, 0x0A5, 0x41);
    EXPECT_EQ(d[0], 2400u);
    std::uint32_t word = 0;
    for (int i = 0; i < bits; ++i) {
      EXPECT_EQ(d[1 + 2 * i], 600u);
      std::uint32_t mark = d[2 + 2 * i];
      ASSERT_TRUE(mark == 600 || mark == 1200) << mark;
      if (mark == 1200) word |= 1u << i;
    }
    std::uint32_t deviceMask = bits == 12 ? 0x1F : bits == 15 ? 0xFF : 0x1FFF;
    EXPECT_EQ(word, 0x41u | ((0x0A5u & deviceMask) << 7)) << bits;
    EXPECT_EQ(Sum(d, 0, 2 + 2 * bits), 45000u);  // next leader 45 ms after the first
    EXPECT_EQ(d[2 + 2 * bits], 2400u);
  }
}

TEST(SirPress, JvcSendsItsLeaderOnlyOnce) {
  Durations d = sir::RenderPress(Protocol::Jvc, 0x1F, 0x7F);
  EXPECT_EQ(d[0], 8400u);
  EXPECT_EQ(d[1], 4200u);
  EXPECT_EQ(DistanceBits(d, 2, 16, 1000), 0x7F1Fu);
  // The repeat starts 55 ms after the frame, straight with the data bits.
  EXPECT_EQ(Sum(d, 0, 36), 55000u);
  EXPECT_EQ(d[36], 526u);
  EXPECT_EQ(DistanceBits(d, 36, 16, 1000), 0x7F1Fu);
}

TEST(SirPress, SharpInvertsCommandExpansionAndCheckInItsSecondFrame) {
  Durations d = sir::RenderPress(Protocol::Sharp, 0x12, 0x34, {.frames = 2});
  EXPECT_EQ(d[0], 320u);
  EXPECT_EQ(DistanceBits(d, 0, 15, 1200), 0x12u | (0x34u << 5) | (1u << 13));
  EXPECT_EQ(d[31], 40000u);
  EXPECT_EQ(DistanceBits(d, 32, 15, 1200), 0x12u | ((~0x34u & 0xFF) << 5) | (1u << 14));
}

TEST(SirPress, MitsubishiAndKaseikyoLayouts) {
  Durations m = sir::RenderPress(Protocol::Mitsubishi, 0xAA, 0x1C);
  EXPECT_EQ(m[0], 350u);
  EXPECT_EQ(DistanceBits(m, 0, 16, 1500), 0x1CAAu);
  Durations k = sir::RenderPress(Protocol::Panasonic, 0x12, 0x34);
  EXPECT_EQ(k[0], 3456u);
  EXPECT_EQ(k[1], 1728u);
  // Maker 0x2002, parity nibble 0 over it, system 0, device, function, and the
  // check: XOR of the three bytes before it.
  EXPECT_EQ(DistanceBits(k, 2, 48, 800), 0x2634'12'00'2002ull);
}

TEST(SirPress, JitterStaysInItsBoundsAndFollowsTheSeed) {
  Durations nominal = sir::RenderPress(Protocol::Nec, 0x12, 0x34, {.frames = 1});
  Durations a = sir::RenderPress(Protocol::Nec, 0x12, 0x34, {.frames = 1, .jitter = 0.1, .seed = 5});
  Durations b = sir::RenderPress(Protocol::Nec, 0x12, 0x34, {.frames = 1, .jitter = 0.1, .seed = 5});
  Durations c = sir::RenderPress(Protocol::Nec, 0x12, 0x34, {.frames = 1, .jitter = 0.1, .seed = 6});
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  ASSERT_EQ(a.size(), nominal.size());
  bool moved = false;
  for (std::size_t i = 0; i + 1 < a.size(); ++i) {  // the last space is the gap to the next frame
    EXPECT_GE(a[i], nominal[i] * 0.9 - 1) << i;
    EXPECT_LE(a[i], nominal[i] * 1.1 + 1) << i;
    moved = moved || a[i] != nominal[i];
  }
  EXPECT_TRUE(moved);
}

TEST(SirPress, AHeldButtonSendsFramesUntilItIsReleased) {
  EXPECT_EQ(Sum(sir::RenderPress(Protocol::Sony12, 1, 1, {.frames = 3}), 0, 1000), 3 * 45000u);
  // A quarter second of Sony: six frames of 45 ms.
  EXPECT_EQ(Sum(sir::RenderPress(Protocol::Sony12, 1, 1, {.frames = 3, .holdUs = 250000}), 0, 1000), 6 * 45000u);
  // Never fewer than asked for.
  EXPECT_EQ(Sum(sir::RenderPress(Protocol::Nec, 1, 1, {.frames = 4, .holdUs = 1000}), 0, 1000), 4 * 108000u);
}

TEST(SirPress, OffsetMarksTradeTimeWithTheFollowingSpace) {
  EXPECT_EQ(sir::OffsetMarks(Durations{560, 560, 560, 1690}, 100), (Durations{660, 460, 660, 1590}));
  EXPECT_EQ(sir::OffsetMarks(Durations{560, 50, 560}, 100), (Durations{610, 0, 560}));
  EXPECT_EQ(sir::OffsetMarks(Durations{560}, 100), (Durations{560}));
  EXPECT_EQ(sir::OffsetMarks(Durations{600, 600, 1200, 600}, -100), (Durations{500, 700, 1100, 700}));
  EXPECT_EQ(sir::OffsetMarks(Durations{50, 600, 600}, -100), (Durations{0, 650, 600}));
}

TEST(SirPress, ATransceiverThatPulsesPerCarrierPulseBreaksMarksUpOnlyWhenItsPulseIsShorter) {
  // 40 kHz: a pulse every 25 us; 10 us pulses leave the line high between them.
  EXPECT_EQ(sir::CarrierPulses(Durations{100, 50}, 40000, 10), (Durations{10, 15, 10, 15, 10, 15, 10, 65}));
  // 3/16 of a bit at 4800 baud (39 us) outlasts the carrier's period: the mark stays whole.
  EXPECT_EQ(sir::CarrierPulses(Durations{100, 50}, 40000, 39), (Durations{100, 50}));
}

}  // namespace

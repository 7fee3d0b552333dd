// Expected bytes are worked out by hand from the bit timing: at B baud a bit lasts
// T = 1e6/B us, data bit k is sampled at (1.5 + k) T after the falling edge and the
// stop bit at 9.5 T, after which the receiver waits for the next falling edge.
#include "remotes/sir/uart_bytes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Expect {
  unsigned value;
  bool framingError;
  double arrivalUs;
};

void ExpectBytes(const std::vector<std::uint32_t>& markSpace, std::uint32_t baud,
                 const std::vector<Expect>& want) {
  std::vector<sir::UartByte> got = sir::UartBytes(markSpace, baud);
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].value, want[i].value) << "byte " << i;
    EXPECT_EQ(got[i].framingError, want[i].framingError) << "byte " << i;
    EXPECT_NEAR(got[i].arrivalUs, want[i].arrivalUs, 0.01) << "byte " << i;
  }
}

TEST(SirUart, ALongMarkIsOneBreakCharacter) {
  // T = 208.33 us, frame 2083.33 us: the 9 ms leader is low at every sample, stop bit
  // included, and the receiver takes nothing more until the light has ended.
  ExpectBytes({9000}, 4800, {{0x00, true, 1979.17}});
}

TEST(SirUart, TimeBetweenFramesIsLostUntilTheNextFallingEdge) {
  // Leader (9000 / 4500) and the first 560 us mark at 13500 us: 560 us is 2.69 T, so
  // the start bit and bits 0 and 1 see light.
  ExpectBytes({9000, 4500, 560}, 4800, {{0x00, true, 1979.17}, {0xFC, false, 13500 + 1979.17}});
}

TEST(SirUart, ShortMarkAt9600) {
  // T = 104.17 us: bits 0..3 sampled at 156, 260, 365, 469 us are low, bit 4 at 573 us high.
  ExpectBytes({560}, 9600, {{0xF0, false, 989.58}});
  // A second mark after the frame has ended starts its own byte at its falling edge.
  ExpectBytes({560, 560, 560}, 9600, {{0xF0, false, 989.58}, {0xF0, false, 1120 + 989.58}});
}

TEST(SirUart, MarkShorterThanABitStillStartsAByte) {
  // Only the start bit sees the light: every data bit reads high.
  ExpectBytes({100}, 4800, {{0xFF, false, 1979.17}});
}

TEST(SirUart, SecondMarkInsideAFrameIsSampledNotStarted) {
  // Light at [0, 100) and [500, 600): bit 1, sampled at 520.83 us, is the only low one.
  ExpectBytes({100, 400, 100}, 4800, {{0xFD, false, 1979.17}});
  // Light from 1900 to 2300 us: that edge comes before the stop bit's sample, so it
  // starts nothing, and the stop bit reads low; no edge follows.
  ExpectBytes({100, 1800, 400}, 4800, {{0xFF, true, 1979.17}});
}

TEST(SirUart, AnEdgeRightAfterTheStopSampleStartsTheNextByte) {
  // Light again at 2000 us: after the stop bit's sample at 1979.17 us, before the
  // frame's nominal end at 2083.33 us. A 16550 is already hunting for a start bit.
  // Its 400 us of light cover bit 0 (sampled 312.5 us in).
  ExpectBytes({100, 1900, 400}, 4800, {{0xFF, false, 1979.17}, {0xFE, false, 2000 + 1979.17}});
}

TEST(SirUart, MarkJustLongerThanAFrame) {
  // 2084 us: low at the first frame's stop sample and still low at its end (2083.33
  // us); the light ends without a new falling edge, so there is no second byte.
  ExpectBytes({2084}, 4800, {{0x00, true, 1979.17}});
}

TEST(SirUart, ASampleOnAnEdgeSeesTheNewLevel) {
  // 1000 baud: T = 1000 us, bit 0 sampled at exactly 1500 us, the stop bit at 9500 us.
  ExpectBytes({1500}, 1000, {{0xFF, false, 9500}});
  ExpectBytes({1501}, 1000, {{0xFE, false, 9500}});
  ExpectBytes({9500}, 1000, {{0x00, false, 9500}});
  ExpectBytes({9501}, 1000, {{0x00, true, 9500}});
}

TEST(SirUart, ZeroDurations) {
  // A zero space joins two marks into one 300 us stretch (bit 0 at 312.5 us is high);
  // 400 us of light covers bit 0 as well.
  ExpectBytes({100, 0, 200}, 4800, {{0xFF, false, 1979.17}});
  ExpectBytes({100, 0, 300}, 4800, {{0xFE, false, 1979.17}});
  // A zero mark is no light at all.
  ExpectBytes({0, 1000, 100}, 4800, {{0xFF, false, 1000 + 1979.17}});
}

TEST(SirUart, NothingToReceive) {
  EXPECT_TRUE(sir::UartBytes({}, 4800).empty());
  EXPECT_TRUE(sir::UartBytes(std::vector<std::uint32_t>{0, 500}, 4800).empty());
  EXPECT_TRUE(sir::UartBytes(std::vector<std::uint32_t>{560}, 0).empty());
  EXPECT_TRUE(sir::UartBytes(std::vector<std::uint32_t>{560}, 1'000'000).empty());
  // Durations adding up to more than an hour are refused rather than overflowing.
  EXPECT_TRUE(sir::UartBytes(std::vector<std::uint32_t>{560, 4'000'000'000u}, 115200).empty());
}

TEST(SirUart, ValuesAreTheBytesInOrder) {
  EXPECT_EQ(sir::UartValues(std::vector<std::uint32_t>{9000, 4500, 560}, 4800),
            (std::vector<std::uint8_t>{0x00, 0xFC}));
}

}  // namespace

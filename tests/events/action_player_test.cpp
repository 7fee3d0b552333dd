// The player's calls seen on the bench's display: the real pointer and a focused probe window.
#include "app/events/action_player.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "bench/input_probe.h"

namespace vantor {
namespace {

class ActionPlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench::DisablePointerAcceleration());
    ASSERT_TRUE(probe.Focus());
    ASSERT_TRUE(bench::SetCursorTo(300, 250));
    probe.Pump(50);
    probe.Clear();
  }
  bench::InputProbe probe{100, 100, 400, 300};
};

TEST_F(ActionPlayer, AMoveMovesTheRealPointerByExactlyItsOperands) {
  PlayAction("X;MOVE 10 -5;");
  probe.Pump(100);
  bench::Point p = bench::CursorPos();
  EXPECT_EQ(p.x, 310);
  EXPECT_EQ(p.y, 245);
  PlayAction("X;MOVE -10 0;MOVE -10 0;");
  probe.Pump(100);
  EXPECT_EQ(bench::CursorPos().x, 290);
}

TEST_F(ActionPlayer, AClickLandsOnTheWindowUnderThePointer) {
  PlayAction("LW 00 41;LEFTDOWN;LEFTUP;");
  probe.Pump(200);
  auto got = probe.Messages();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].message, unsigned(WM_LBUTTONDOWN));
  EXPECT_EQ(got[1].message, unsigned(WM_LBUTTONUP));
}

TEST_F(ActionPlayer, KeysArriveWithTheRecordedScanCodeAndExtendedBit) {
  PlayAction("X;KEYDOWN 41 1e0001;KEYUP 41 c01e0001;KEYDOWN 2e 1530001;KEYUP 2e c1530001;");
  probe.Pump(200);
  auto got = probe.Messages();
  ASSERT_EQ(got.size(), 4u);
  EXPECT_EQ(got[0].message, unsigned(WM_KEYDOWN));
  EXPECT_EQ(got[0].wParam, 0x41u);
  EXPECT_EQ((got[0].lParam >> 16) & 0xFF, 0x1eu);
  EXPECT_EQ((got[0].lParam >> 24) & 1, 0u);
  EXPECT_EQ(got[1].message, unsigned(WM_KEYUP));
  EXPECT_EQ((got[1].lParam >> 16) & 0xFF, 0x1eu);
  EXPECT_EQ(got[2].wParam, 0x2eu);
  EXPECT_EQ((got[2].lParam >> 16) & 0xFF, 0x53u);
  EXPECT_EQ((got[2].lParam >> 24) & 1, 1u);
  EXPECT_EQ((got[3].lParam >> 24) & 1, 1u);
}

TEST_F(ActionPlayer, ASystemKeyPairIsOnePressAndOneRelease) {
  PlayAction("X;SYSKEYDOWN 12 20380001;SYSKEYUP 12 c0380001;");
  probe.Pump(200);
  auto got = probe.Messages();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].wParam, 0x12u);
  EXPECT_TRUE(got[0].message == WM_SYSKEYDOWN || got[0].message == WM_KEYDOWN);
  EXPECT_TRUE(got[1].message == WM_SYSKEYUP || got[1].message == WM_KEYUP);
  EXPECT_EQ((got[1].lParam >> 16) & 0xFF, 0x38u);
}

}  // namespace
}  // namespace vantor

// The two receive calls against the IR55 emulator playing through a bench terminal.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "pellow/pellow.h"
#include "bench/message_boxes.h"
#include "bench/pty_port.h"
#include "bench/ir55_feed.h"

namespace {

using bench::Ir55Feeder;

constexpr std::size_t kTextSize = 4096;  // the program's receive buffer
constexpr std::size_t kCodeBound = 28;

class PellowReceive : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Receiver.ok());
    ASSERT_TRUE(Pellow.UserChangePort(1));
    std::memset(TextBuffer, '#', sizeof TextBuffer);
  }
  void TearDown() override {
    Pellow.Close();
    EXPECT_TRUE(Boxes.Boxes().empty());
  }

  // Text the call wrote, checking nothing went past the code bound.
  std::string Text() {
    for (std::size_t i = kCodeBound; i < sizeof TextBuffer; ++i) {
      if (TextBuffer[i] != '#') {
        ADD_FAILURE() << "text written at " << i;
        break;
      }
    }
    const void* end = std::memchr(TextBuffer, '\0', kCodeBound);
    return end ? std::string(TextBuffer) : std::string("<untouched>");
  }

  // One learning read of a burst that starts while the call is waiting.
  std::string Burst(ir55::Script script, BOOL expected = TRUE) {
    // The previous script's last bytes may still be on their way through the
    // bench's relay; let them land before the call purges, or one arriving just
    // after the purge would open a burst of its own.
    Sleep(200);
    std::memset(TextBuffer, '#', sizeof TextBuffer);
    Ir55Feeder feeder(Receiver, std::move(script), 300);
    EXPECT_EQ(Pellow.PellowGetRemoconSignal(4096, TextBuffer), expected);
    EXPECT_TRUE(feeder.Played());
    EXPECT_STREQ(Pellow.CodePrefix, "LW");
    return Text();
  }

  // Plays the script at its pace and steps the stream until the line stays quiet.
  std::vector<std::string> Stream(ir55::Script script) {
    std::vector<std::string> codes;
    Ir55Feeder feeder(Receiver, std::move(script));
    for (int quiet = 0; quiet < 50;) {
      std::memset(TextBuffer, '#', sizeof TextBuffer);
      if (Pellow.PellowGetRemoconSignal2(4096, TextBuffer)) {
        codes.push_back(Text());
        quiet = 0;
        continue;
      }
      EXPECT_STREQ(Pellow.CodePrefix, "LW");
      if (feeder.Done() && Pellow.BytesRead == 0) ++quiet;
      Sleep(2);
    }
    EXPECT_TRUE(feeder.Played());
    return codes;
  }

  bench::PtyPort Receiver{1};
  bench::MessageBoxCapture Boxes;
  TPellow Pellow;
  char TextBuffer[kTextSize];
};

TEST_F(PellowReceive, BurstPicksItsCodeByte) {
  EXPECT_EQ(Burst(ir55::Script().Raw({0x41, 0x42, 0x55})), "LW 00 41");
  EXPECT_EQ(Burst(ir55::Script().Raw({0x41, 0x42, 0x43})), "LW 00 41");
  EXPECT_EQ(Burst(ir55::Script().Raw({0x80, 0x42, 0x55})), "LW 00 ffffff80");
  // A tap, and a lone byte that ends after about 100 ms of silence.
  EXPECT_EQ(Burst(ir55::Script().Press(0x41)), "LW 00 41");
  EXPECT_EQ(Burst(ir55::Script().Raw({0x41})), "LW 00 41");
  // A held key as the emulator plays it: its first three bytes make the burst.
  EXPECT_EQ(Burst(ir55::Script().Hold(0x42, 300)), "LW 00 42");
  // The caller's prefix goes into the code, then back to "LW".
  std::strcpy(Pellow.CodePrefix, "XY");
  EXPECT_EQ(Burst(ir55::Script().Press(0x41).Raw({0x55})), "XY 00 41");
}

TEST_F(PellowReceive, BurstDiscardsBytesFromBeforeTheCall) {
  const unsigned char stale[] = {0x43, 0x43, 0x43};
  ASSERT_TRUE(Receiver.Write(stale, sizeof stale));
  Sleep(100);
  EXPECT_EQ(Burst(ir55::Script().Raw({0x41, 0x42, 0x55})), "LW 00 41");
}

TEST_F(PellowReceive, EmptyBurstGivesUpWithThePrefixReset) {
  std::strcpy(Pellow.CodePrefix, "XY");
  EXPECT_FALSE(Pellow.PellowGetRemoconSignal(4096, TextBuffer));
  EXPECT_STREQ(Pellow.CodePrefix, "LW");
  EXPECT_EQ(Text(), "<untouched>");
  EXPECT_NE(Pellow.PortHandle, INVALID_HANDLE_VALUE);
}

TEST_F(PellowReceive, BurstStillListensFourSecondsIn) {
  std::memset(TextBuffer, '#', sizeof TextBuffer);
  Ir55Feeder feeder(Receiver, ir55::Script().Raw({0x41, 0x42, 0x55}), 4000);
  EXPECT_TRUE(Pellow.PellowGetRemoconSignal(4096, TextBuffer));
  EXPECT_EQ(Text(), "LW 00 41");
}

TEST_F(PellowReceive, StreamReportsPressesAndHeldRuns) {
  EXPECT_EQ(Stream(ir55::Script().Raw({0x41, 0x55})), (std::vector<std::string>{"LW 00 41"}));
  EXPECT_EQ(Stream(ir55::Script().Raw({0x52, 0x41, 0x41, 0x55})),
            (std::vector<std::string>{"LW 00 41", "LW 00 41"}));
  // A second end marker after a run repeats its code once.
  EXPECT_EQ(Stream(ir55::Script().Raw({0x52, 0x43, 0x55, 0x55})),
            (std::vector<std::string>{"LW 00 43", "LW 00 43"}));
  EXPECT_EQ(Stream(ir55::Script().Press(0x80)), (std::vector<std::string>{"LW 00 ffffff80"}));
  EXPECT_EQ(Stream(ir55::Script().Press(0x41).Wait(100).Hold(0x42, 200)),
            (std::vector<std::string>{"LW 00 41", "LW 00 42", "LW 00 42", "LW 00 42", "LW 00 42",
                                      "LW 00 42"}));
}

TEST_F(PellowReceive, StreamStepWithNothingWaitingReturnsAtOnce) {
  std::strcpy(Pellow.CodePrefix, "XY");
  std::memset(Pellow.CaptureBuffer, 0x41, sizeof Pellow.CaptureBuffer);
  EXPECT_FALSE(Pellow.PellowGetRemoconSignal2(4096, TextBuffer));
  EXPECT_EQ(Pellow.BytesRead, 0u);
  EXPECT_STREQ(Pellow.CodePrefix, "LW");
  for (unsigned char b : Pellow.CaptureBuffer) ASSERT_EQ(b, 0);
  EXPECT_EQ(Text(), "<untouched>");
}

TEST_F(PellowReceive, StreamStateSurvivesReopening) {
  EXPECT_TRUE(Stream(ir55::Script().Raw({0x52, 0x44})).size() == 1);
  Pellow.Close();
  ASSERT_TRUE(Pellow.UserChangePort(1));
  // Still inside the held run: the next code is reported as it arrives.
  EXPECT_EQ(Stream(ir55::Script().Raw({0x45, 0x55, 0x55})),
            (std::vector<std::string>{"LW 00 45", "LW 00 45"}));
}

TEST_F(PellowReceive, ReceiveOnAClosedPortFailsSilently) {
  Pellow.Close();
  std::strcpy(Pellow.CodePrefix, "XY");
  EXPECT_FALSE(Pellow.PellowGetRemoconSignal2(4096, TextBuffer));
  EXPECT_FALSE(Pellow.PellowGetRemoconSignal(4096, TextBuffer));
  EXPECT_STREQ(Pellow.CodePrefix, "XY");  // a failed read leaves the prefix alone
  EXPECT_EQ(Pellow.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Text(), "<untouched>");
}

}  // namespace

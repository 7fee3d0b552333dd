// The port half of a capture: the speed per format, the poll loop and the way back
// to 19200, with a receiver playing bytes into the terminal while the capture runs.
#include <atomic>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kestrel/kestrel.h"
#include "bench/pty_port.h"
#include "tests/kestrel/kestrel_bench.h"
#include "remotes/sir/protocols.h"
#include "remotes/sir/uart_bytes.h"

namespace {

using kestrel_test::ExpectOneError;
using kestrel_test::OnAnotherThread;

// An NEC frame as light and dark, from the published timings: 9 ms / 4.5 ms
// leader, 560 us marks, 560 us (0) or 1690 us (1) spaces, a closing mark.
std::vector<std::uint32_t> NecFrame(std::uint8_t address, std::uint8_t command) {
  std::vector<std::uint32_t> t{9000, 4500};
  std::uint8_t bytes[4] = {address, static_cast<std::uint8_t>(~address), command,
                           static_cast<std::uint8_t>(~command)};
  for (std::uint8_t b : bytes) {
    for (int i = 0; i < 8; ++i) {
      t.push_back(560);
      t.push_back((b >> i) & 1 ? 1690 : 560);
    }
  }
  t.push_back(560);
  return t;
}

// Plays the bytes at their arrival times (to the millisecond), as the UART would queue them.
void Play(bench::PtyPort& receiver, const std::vector<sir::UartByte>& bytes) {
  DWORD t0 = GetTickCount();
  for (const sir::UartByte& b : bytes) {
    DWORD due = static_cast<DWORD>(b.arrivalUs / 1000);
    DWORD now = GetTickCount() - t0;
    if (due > now) Sleep(due - now);
    receiver.Write(&b.value, 1);
  }
}

class KestrelCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Receiver.ok());
    ASSERT_EQ(K.UserChangePort(1), 1);
  }
  void TearDown() override { K.Close(); }

  unsigned LineBaud() const {
    bench::LineSettings line;
    return Receiver.Settings(line) ? line.baud : 0;
  }

  bench::PtyPort Receiver{1};
  TKestrel K;
  char Code[16] = "untouched";
};

TEST_F(KestrelCapture, NoSignalWaitsAtTheFormatSpeedThenReturnsZeroAt19200) {
  bench::MessageBoxCapture boxes;
  std::atomic<bool> returned{false};
  unsigned during = 0;
  bool stillCapturing = false;
  OnAnotherThread watcher([&] {
    Sleep(1500);
    during = LineBaud();
    stillCapturing = !returned;
  });
  ASSERT_TRUE(watcher.started());
  K.BreakRequested = 1;
  EXPECT_EQ(K.KestrelGetRemoconSignal(4096, Code), 0);
  returned = true;
  watcher.Join();

  EXPECT_TRUE(stillCapturing);  // a second and a half in, still waiting for light
  EXPECT_EQ(during, 4800u);
  EXPECT_EQ(LineBaud(), 19200u);
  EXPECT_STREQ(Code, "untouched");
  EXPECT_EQ(K.CaptureLength, 0u);
  EXPECT_EQ(K.BreakRequested, 0);
  EXPECT_NE(K.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(KestrelCapture, NecFrameAt4800IsCapturedByteForByte) {
  std::vector<sir::UartByte> frame = sir::UartBytes(NecFrame(0x00, 0x41), 4800);
  ASSERT_GE(frame.size(), 20u);
  bench::MessageBoxCapture boxes;
  OnAnotherThread remote([&] {
    Sleep(300);  // after the capture's purge
    Play(Receiver, frame);
  });
  EXPECT_EQ(K.KestrelGetRemoconSignal(4096, Code), 1);
  remote.Join();

  ASSERT_EQ(K.CaptureLength, frame.size());
  for (size_t i = 0; i < frame.size(); ++i) EXPECT_EQ(K.CaptureBuffer[i], frame[i].value) << "byte " << i;
  for (size_t i = frame.size(); i < sizeof K.CaptureBuffer; ++i) ASSERT_EQ(K.CaptureBuffer[i], 0) << i;
  EXPECT_STREQ(Code, "NE 00 41");
  EXPECT_STREQ(K.CodePrefix, "NE");
  EXPECT_EQ(LineBaud(), 19200u);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(KestrelCapture, SonyButtonIsLearnedIn4800ThenIn9600) {
  // A quarter-second press of a Sony remote, command 1 and device 1, received at the
  // speed the terminal shows once the capture has set it.
  std::vector<std::uint32_t> light = sir::RenderPress(sir::Protocol::Sony12, 0x01, 0x01, {.holdUs = 250000});
  bench::MessageBoxCapture boxes;
  unsigned speeds[2] = {};
  OnAnotherThread remote([&] {
    for (unsigned& seen : speeds) {
      for (int i = 0; i < 150 && (seen = LineBaud()) == 19200; ++i) Sleep(20);
      Sleep(100);
      Play(Receiver, sir::UartBytes(light, seen));
      Sleep(400);  // the capture ends and puts the line back before the next one starts
    }
  });
  ASSERT_TRUE(remote.started());
  EXPECT_EQ(K.KestrelGetRemoconSignal(4096, Code), 0);
  EXPECT_STREQ(Code, "AGAIN");
  EXPECT_STREQ(K.CodePrefix, "SO");
  EXPECT_EQ(LineBaud(), 19200u);
  std::memset(Code, 0, sizeof Code);
  EXPECT_EQ(K.KestrelGetRemoconSignal(4096, Code), 1);
  remote.Join();

  EXPECT_EQ(speeds[0], 4800u);
  EXPECT_EQ(speeds[1], 9600u);
  EXPECT_STREQ(Code, "SO 01 01");
  EXPECT_STREQ(K.CodePrefix, "NE");
  EXPECT_EQ(LineBaud(), 19200u);
  EXPECT_TRUE(boxes.Boxes().empty());
}

// Recognition hands back notices and Sharp candidates as data; the library shows
// each in its own box and leaves the caller's code alone.
TEST_F(KestrelCapture, NoticesAndCandidatesAreShownInBoxes) {
  std::vector<std::uint8_t> panasonicNew{0x00, 0xC4, 0xCC};  // new-format first bytes
  panasonicNew.resize(17, 0xCC);
  struct Row {
    const char* prefix;
    std::vector<std::uint8_t> bytes;
    const char* text;
    const char* caption;
    unsigned style;
  } rows[] = {
      {"NE", panasonicNew,
       "These signals are perhapps Panasonic new format!\nThis type can not control through IrDA port!\n"
       "You must use Alps IR Multi Station or Hal Corp. Crossam2+!",
       "Notice!", MB_OK},
      {"SH", {0xC0, 0x1F, 0x3F, 0x00, 0xF8, 0xF0, 0xC0, 0x3F, 0x01, 0x80, 0xFC, 0xFF, 0xF8, 0x0F, 0x07},
       "This is Sharp format!\nGroup=18\nData =04 or 0c or 104 or 10c", "Sharp Data I-48-4", MB_TASKMODAL},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.caption);
    std::memcpy(K.CodePrefix, row.prefix, 3);
    bench::MessageBoxCapture boxes;
    OnAnotherThread remote([&] {
      Sleep(300);  // after the capture's purge
      Receiver.Write(row.bytes.data(), row.bytes.size());
    });
    EXPECT_EQ(K.KestrelGetRemoconSignal(4096, Code), 0);
    remote.Join();
    auto seen = boxes.Boxes();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, row.text);
    EXPECT_EQ(seen[0].caption, row.caption);
    EXPECT_EQ(seen[0].style, row.style);
    EXPECT_STREQ(Code, "untouched");
  }
}

TEST_F(KestrelCapture, BytesQueuedBeforeTheCallAreDiscarded) {
  const std::uint8_t stale[] = {1, 2, 3};
  Receiver.Write(stale, sizeof stale);
  Sleep(200);
  OnAnotherThread remote([&] {
    Sleep(300);
    const std::uint8_t fresh[] = {0xFC, 0xFE};
    Receiver.Write(fresh, sizeof fresh);
  });
  K.KestrelGetRemoconSignal(4096, Code);
  remote.Join();
  ASSERT_EQ(K.CaptureLength, 2u);
  EXPECT_EQ(K.CaptureBuffer[0], 0xFC);
  EXPECT_EQ(K.CaptureBuffer[1], 0xFE);
}

TEST_F(KestrelCapture, AFloodStopsAtAFullBuffer) {
  std::vector<std::uint8_t> flood(1500);
  for (size_t i = 0; i < flood.size(); ++i) flood[i] = static_cast<std::uint8_t>(i * 7);
  OnAnotherThread remote([&] {
    Sleep(300);
    Receiver.Write(flood.data(), flood.size());
  });
  EXPECT_EQ(K.KestrelGetRemoconSignal(4096, Code), 0);
  remote.Join();
  ASSERT_EQ(K.CaptureLength, 1024u);
  EXPECT_EQ(0, std::memcmp(K.CaptureBuffer, flood.data(), 1024));
  EXPECT_EQ(LineBaud(), 19200u);
}

TEST_F(KestrelCapture, HangupDuringTheCaptureClosesThePortWithoutAWord) {
  // A line that has gone away fails the read and refuses the speed as well, so the
  // read-failure procedure closes the port without a message (the box is for a
  // read that fails on a line that still takes its speed: see the seam tests).
  bench::MessageBoxCapture boxes;
  kestrel_test::SerialWatch watch;
  HANDLE opened = K.PortHandle;
  OnAnotherThread remote([&] {
    Sleep(500);
    Receiver.Hangup();
  });
  EXPECT_EQ(K.KestrelGetRemoconSignal(4096, Code), 0);
  remote.Join();
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(watch.Speeds(), (std::vector<DWORD>{4800, 19200}));
  EXPECT_TRUE(watch.Closed(opened));
  EXPECT_EQ(K.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(Code, "untouched");
}

TEST(KestrelCaptureClosed, ACaptureOnAClosedPortFailsWithI33) {
  bench::MessageBoxCapture boxes;
  kestrel_test::SerialWatch watch;
  TKestrel k;
  char code[16] = "untouched";
  EXPECT_EQ(k.KestrelGetRemoconSignal(4096, code), 0);
  ExpectOneError(boxes, "fault change baudrate", "Error I-33");
  // The invalid handle is the process's own pseudo-handle: no serial call may get it.
  EXPECT_EQ(watch.Purges(), 0u);
  EXPECT_TRUE(watch.Speeds().empty());
  EXPECT_EQ(watch.Closes(), 0u);
  EXPECT_EQ(k.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(code, "untouched");
}

}  // namespace

namespace {

// The watcher's path: the line stays at the format's speed between presses, what
// came while nobody was reading is decided at the next call, and a break asked
// for is taken before the call waits, losing nothing that was queued.
TEST_F(KestrelCapture, TheStreamPathListensBetweenPressesAndABreakLosesNothing) {
  bench::MessageBoxCapture boxes;
  std::strcpy(K.CodePrefix, "NE");
  EXPECT_EQ(K.KestrelWaitRemoconSignal(4096, Code, 20), 0);
  EXPECT_EQ(LineBaud(), 4800u);
  auto wait = [&] {
    for (int i = 0; i < 40; ++i) {
      int got = K.KestrelWaitRemoconSignal(4096, Code, 20);
      if (got != 0) return got;
    }
    return 0;
  };
  for (std::uint8_t command : {0x34, 0x35}) {
    std::vector<std::uint8_t> bytes = sir::UartValues(NecFrame(0x12, command), 4800);
    ASSERT_TRUE(Receiver.Write(bytes.data(), bytes.size()));
    Sleep(50);
    K.BreakRequested = 1;
    EXPECT_EQ(K.KestrelWaitRemoconSignal(4096, Code, 20), 0);
    EXPECT_EQ(K.BreakRequested, 0);
    EXPECT_STREQ(Code, command == 0x34 ? "untouched" : "NE 12 34");
    EXPECT_EQ(wait(), 1);
    EXPECT_STREQ(Code, command == 0x34 ? "NE 12 34" : "NE 12 35");
    EXPECT_EQ(LineBaud(), 4800u);
  }
  EXPECT_TRUE(boxes.Boxes().empty());
}

}  // namespace

// Failures of the port, and the library's message boxes. Failures a terminal cannot
// provoke go through the library's serial call table; each test restores it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "pellow/pellow.h"
#include "bench/message_boxes.h"
#include "bench/pty_port.h"
#include "win32/serial_calls.h"
#include "bench/ir55_feed.h"

namespace {

// Speeds passed to SetCommState, in order, and what the real call answered.
std::vector<DWORD> g_speeds;
std::vector<BOOL> g_results;
vantor::SerialCalls g_real;

BOOL WINAPI RecordSetState(HANDLE h, LPDCB dcb) {
  g_speeds.push_back(dcb->BaudRate);
  g_results.push_back(g_real.SetCommState(h, dcb));
  return g_results.back();
}
// The last handle the library opened.
HANDLE g_opened = INVALID_HANDLE_VALUE;
HANDLE WINAPI RecordCreate(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa,
                           DWORD disposition, DWORD flags, HANDLE templ) {
  g_opened = g_real.CreateFileA(name, access, share, sa, disposition, flags, templ);
  return g_opened;
}
BOOL WINAPI FailRead(HANDLE, LPVOID, DWORD, LPDWORD got, LPOVERLAPPED) {
  if (got) *got = 0;
  return FALSE;
}

class PellowFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Receiver.ok());
    g_real = vantor::SerialSeam();
    g_speeds.clear();
    g_results.clear();
    g_opened = INVALID_HANDLE_VALUE;
    api().SetCommState = RecordSetState;
    api().CreateFileA = RecordCreate;
  }
  void TearDown() override {
    vantor::SerialSeam() = g_real;
    Pellow.Close();
  }
  vantor::SerialCalls& api() { return vantor::SerialSeam(); }

  unsigned Baud() {
    bench::LineSettings line;
    EXPECT_TRUE(Receiver.Settings(line));
    return line.baud;
  }

  bench::PtyPort Receiver{1};
  bench::MessageBoxCapture Boxes;
  TPellow Pellow;
};

TEST_F(PellowFaults, ReadFailureClosesThePortAndTellsOnce) {
  for (int call = 0; call < 2; ++call) {
    SCOPED_TRACE(call == 0 ? "burst" : "stream");
    ASSERT_TRUE(Pellow.UserChangePort(1));
    api().ReadFile = FailRead;
    std::strcpy(Pellow.CodePrefix, "XY");
    char text[32] = "untouched";
    g_speeds.clear();
    const BOOL got = call == 0 ? Pellow.PellowGetRemoconSignal(4096, text)
                               : Pellow.PellowGetRemoconSignal2(4096, text);
    EXPECT_FALSE(got);
    EXPECT_EQ(Pellow.PortHandle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(g_speeds, std::vector<DWORD>{19200});
    EXPECT_EQ(Baud(), 19200u);
    EXPECT_STREQ(Pellow.CodePrefix, "XY");
    EXPECT_STREQ(text, "untouched");
    api().ReadFile = g_real.ReadFile;
  }
  auto seen = Boxes.Boxes();
  ASSERT_EQ(seen.size(), 2u);
  for (const bench::CapturedBox& box : seen) {
    EXPECT_EQ(box.text, "ReadFileEroor");
    EXPECT_EQ(box.caption, "ReadFileEroor M-36");
    EXPECT_EQ(box.style, 0x2030u);
  }
}

// Once the receiver is gone every call on the line fails, the speed reset after the
// failed read included, so the port closes without a message.
TEST_F(PellowFaults, LineHungUpDuringABurstReadClosesThePortSilently) {
  ASSERT_TRUE(Pellow.UserChangePort(1));
  g_speeds.clear();
  g_results.clear();
  bench::Ir55Feeder feeder(Receiver, ir55::Script().Wait(300), 0, true);
  char text[32] = "untouched";
  EXPECT_FALSE(Pellow.PellowGetRemoconSignal(4096, text));
  EXPECT_TRUE(feeder.Played());
  EXPECT_EQ(Pellow.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(g_speeds, std::vector<DWORD>{19200});
  EXPECT_EQ(g_results, std::vector<BOOL>{FALSE});
  EXPECT_STREQ(text, "untouched");
  EXPECT_TRUE(Boxes.Boxes().empty());
}

TEST_F(PellowFaults, LineHungUpBeforeAStreamStepClosesThePortSilently) {
  bench::PtyPort com2(2);
  ASSERT_TRUE(com2.ok());
  ASSERT_TRUE(Pellow.UserChangePort(2));
  com2.Hangup();
  g_speeds.clear();
  char text[32] = "untouched";
  EXPECT_FALSE(Pellow.PellowGetRemoconSignal2(4096, text));
  EXPECT_EQ(Pellow.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(g_speeds, std::vector<DWORD>{19200});
  EXPECT_STREQ(text, "untouched");
  EXPECT_TRUE(Boxes.Boxes().empty());
}

TEST_F(PellowFaults, BreakRequestShowsItsBox) {
  EXPECT_EQ(Pellow.PellowBreakGetRemoconSignal(), IDOK);
  EXPECT_EQ(Pellow.BreakRequested, 1);
  auto seen = Boxes.Boxes();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "TPellow::PellowBreakGetRemoconSignal()");
  EXPECT_EQ(seen[0].caption, "M-49");
  EXPECT_EQ(seen[0].style, unsigned(MB_OK));
}

TEST_F(PellowFaults, DelayPromptReadsRightAndOkMeansFailure) {
  EXPECT_FALSE(Pellow.UserChangeDelay(250, nullptr));
  EXPECT_EQ(Pellow.DelayValue, 250);
  Boxes.SetAnswer(IDCANCEL);
  EXPECT_TRUE(Pellow.UserChangeDelay(-3, const_cast<char*>("maker")));
  EXPECT_EQ(Pellow.DelayValue, -3);
  auto seen = Boxes.Boxes();
  ASSERT_EQ(seen.size(), 2u);
  // The prompt as UTF-8 bytes, independent of this file's encoding.
  const std::string prompt =
      "\xe5\xae\x9f\xe9\xa8\x93" "FALSE"
      "\xe3\x82\x92\xe8\xbf\x94\xe3\x81\x99(\xe5\x86\x8d\xe5\xba\xa6\xe5\x88\x9d\xe6\x9c\x9f"
      "\xe5\x8c\x96\xe3\x81\xab\xe5\xa4\xb1\xe6\x95\x97\xe3\x81\x97\xe3\x81\x9f\xe6\x83\xb3"
      "\xe5\xae\x9a)";
  for (const bench::CapturedBox& box : seen) {
    EXPECT_EQ(box.text, prompt);
    EXPECT_EQ(box.caption, "Pellow.DLL TPellow::UserChangeDelay(Delay,Maker) M-15");
    EXPECT_EQ(box.style, unsigned(MB_OKCANCEL));
  }
}

}  // namespace

// Failures no terminal can produce, provoked by swapping one entry of the
// library's serial call table; every other call is the real one.
#include <cstring>
#include <vector>

#include "kestrel/kestrel.h"
#include "win32/serial_calls.h"
#include "bench/pty_port.h"
#include "tests/kestrel/kestrel_bench.h"

namespace {

using kestrel_test::ExpectOneError;

BOOL Fail() {
  SetLastError(ERROR_GEN_FAILURE);
  return FALSE;
}
BOOL WINAPI FailSetTimeouts(HANDLE, LPCOMMTIMEOUTS) { return Fail(); }
BOOL WINAPI FailRead(HANDLE, LPVOID, DWORD, LPDWORD got, LPOVERLAPPED) {
  if (got) *got = 0;
  return Fail();
}

std::vector<DWORD> g_sleeps;
VOID WINAPI NoteSleep(DWORD ms) { g_sleeps.push_back(ms); }

class KestrelSeam : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(receiver_.ok());
    watch_.CountBoxesFrom(&boxes_);
    g_sleeps.clear();
  }
  void TearDown() override { k_.Close(); }

  void Open() {
    ASSERT_EQ(k_.UserChangePort(1), 1);
    opened_ = k_.PortHandle;
    watch_.ForgetSpeeds();
  }

  bench::PtyPort receiver_{1};
  bench::MessageBoxCapture boxes_;
  kestrel_test::SerialWatch watch_;
  TKestrel k_;
  HANDLE opened_ = INVALID_HANDLE_VALUE;
  char code_[16] = "untouched";
};

TEST_F(KestrelSeam, CaptureSpeedRefusedI33) {
  Open();
  watch_.RefuseSpeed(4800);
  EXPECT_EQ(k_.KestrelGetRemoconSignal(4096, code_), 0);
  ExpectOneError(boxes_, "fault change baudrate", "Error I-33");
  EXPECT_EQ(watch_.Speeds(), (std::vector<DWORD>{4800, 19200}));
  EXPECT_EQ(k_.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(watch_.Closed(opened_));
  bench::LineSettings line;
  ASSERT_TRUE(receiver_.Settings(line));
  EXPECT_EQ(line.baud, 19200u);
  EXPECT_STREQ(code_, "untouched");
}

TEST_F(KestrelSeam, CaptureTimeoutsRefusedI33b) {
  Open();
  vantor::SerialSeam().SetCommTimeouts = &FailSetTimeouts;
  EXPECT_EQ(k_.KestrelGetRemoconSignal(4096, code_), 0);
  ExpectOneError(boxes_, "fault set timeout parameter", "Error I-33-2");
  EXPECT_EQ(watch_.Speeds(), (std::vector<DWORD>{4800, 19200}));
  EXPECT_EQ(k_.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(watch_.Closed(opened_));
}

TEST_F(KestrelSeam, ReadFailureSets19200TwiceClosesThenTellsI36) {
  Open();
  vantor::SerialSeam().ReadFile = &FailRead;
  EXPECT_EQ(k_.KestrelGetRemoconSignal(4096, code_), 0);
  ExpectOneError(boxes_, "ReadFileEroor", "ReadFileEroor I-36");
  EXPECT_EQ(watch_.Speeds(), (std::vector<DWORD>{4800, 19200, 19200}));
  EXPECT_TRUE(watch_.Closed(opened_));
  EXPECT_EQ(watch_.BoxesAtLastClose(), 0u);  // closed before the box
  EXPECT_EQ(k_.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(code_, "untouched");
}

TEST_F(KestrelSeam, ReadFailureWhoseSpeedResetFailsClosesSilently) {
  Open();
  vantor::SerialSeam().ReadFile = &FailRead;
  watch_.RefuseSpeed(19200);
  EXPECT_EQ(k_.KestrelGetRemoconSignal(4096, code_), 0);
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(watch_.Speeds(), (std::vector<DWORD>{4800, 19200}));
  EXPECT_TRUE(watch_.Closed(opened_));
  EXPECT_EQ(k_.PortHandle, INVALID_HANDLE_VALUE);
}

TEST_F(KestrelSeam, RestoringTheIdleSpeedAfterDataFailsI39BoxThenClose) {
  Open();
  watch_.RefuseSpeed(19200);
  kestrel_test::OnAnotherThread remote([&] {
    Sleep(300);
    const unsigned char burst[] = {0x00, 0xFC};
    receiver_.Write(burst, sizeof burst);
  });
  EXPECT_EQ(k_.KestrelGetRemoconSignal(4096, code_), 0);
  remote.Join();
  ExpectOneError(boxes_, "fault change baudrate", "Error I-39");
  EXPECT_TRUE(watch_.Closed(opened_));
  EXPECT_EQ(watch_.BoxesAtLastClose(), 1u);  // the box came first
  EXPECT_EQ(watch_.Speeds(), (std::vector<DWORD>{4800, 19200}));
  EXPECT_EQ(k_.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(k_.CaptureLength, 2u);
}

TEST_F(KestrelSeam, RestoringTheIdleSpeedAfterNoSignalFailsI39BoxThenClose) {
  Open();
  vantor::SerialSeam().Sleep = &NoteSleep;
  watch_.RefuseSpeed(19200);
  EXPECT_EQ(k_.KestrelGetRemoconSignal(4096, code_), 0);
  ExpectOneError(boxes_, "fault change baudrate", "Error I-39");
  EXPECT_TRUE(watch_.Closed(opened_));
  EXPECT_EQ(watch_.BoxesAtLastClose(), 1u);
  EXPECT_EQ(watch_.Speeds(), (std::vector<DWORD>{4800, 19200}));
  EXPECT_EQ(k_.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(code_, "untouched");
}

TEST_F(KestrelSeam, NoSignalIsAHundredPollsOfFiftyMilliseconds) {
  Open();
  vantor::SerialSeam().Sleep = &NoteSleep;
  std::memcpy(k_.CodePrefix, "ZZ", 2);  // unknown format: the speed stays as it is
  EXPECT_EQ(k_.KestrelGetRemoconSignal(4096, code_), 0);
  EXPECT_EQ(g_sleeps, std::vector<DWORD>(100, 50));
  EXPECT_EQ(watch_.Speeds(), (std::vector<DWORD>{19200, 19200}));
  EXPECT_EQ(watch_.Closes(), 0u);
  EXPECT_NE(k_.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_STREQ(code_, "untouched");
}

}  // namespace

// Failures no terminal can produce, provoked by swapping one entry of the
// library's serial call table; every other call is the real one.
#include <cstring>
#include <vector>

#include "kestrel/kestrel.h"
#include "kestrel/serial_calls.h"
#include "support/bench/pty_port.h"
#include "tests/kestrel/kestrel_bench.h"

namespace {

using kestrel_test::ExpectOneError;

BOOL Fail() {
  SetLastError(ERROR_GEN_FAILURE);
  return FALSE;
}
BOOL WINAPI FailPurge(HANDLE, DWORD) { return Fail(); }
BOOL WINAPI FailGetState(HANDLE, LPDCB) { return Fail(); }
BOOL WINAPI FailGetTimeouts(HANDLE, LPCOMMTIMEOUTS) { return Fail(); }
BOOL WINAPI FailSetTimeouts(HANDLE, LPCOMMTIMEOUTS) { return Fail(); }
BOOL WINAPI FailSetup(HANDLE, DWORD, DWORD) { return Fail(); }
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

TEST(KestrelOpenSeam, EachFailingStepHasItsBoxAndPutsTheSpeedBackOnceItWasSet) {
  bench::PtyPort receiver(1);
  ASSERT_TRUE(receiver.ok());
  struct Case {
    const char* text;
    const char* caption;
    void (*breakIt)(kestrel_test::SerialWatch&);
    std::vector<DWORD> speeds;  // the open's own 19200, then any reset
  };
  const Case cases[] = {
      {"fault clear buffer", "Error I-5", [](auto&) { KestrelSerial().PurgeComm = &FailPurge; }, {}},
      {"fault get com state", "Error I-6", [](auto&) { KestrelSerial().GetCommState = &FailGetState; }, {}},
      {"fault change baudrate", "Error I-8", [](auto& w) { w.RefuseSpeed(19200); }, {19200}},
      {"fault get timeout parameter", "Error I-10",
       [](auto&) { KestrelSerial().GetCommTimeouts = &FailGetTimeouts; }, {19200, 19200}},
      {"fault set timeout parameter", "Error I-12",
       [](auto&) { KestrelSerial().SetCommTimeouts = &FailSetTimeouts; }, {19200, 19200}},
      {"fault SetupComm", "Error I-13", [](auto&) { KestrelSerial().SetupComm = &FailSetup; }, {19200, 19200}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    bench::MessageBoxCapture boxes;
    kestrel_test::SerialWatch watch;
    watch.CountBoxesFrom(&boxes);
    c.breakIt(watch);
    TKestrel k;
    EXPECT_EQ(k.UserChangePort(1), 0);
    ExpectOneError(boxes, c.text, c.caption);
    EXPECT_EQ(k.PortHandle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(watch.Speeds(), c.speeds);
    EXPECT_EQ(watch.Closes(), 1u);
    EXPECT_EQ(watch.BoxesAtLastClose(), 0u);  // closed, then the user told
  }
}

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
  KestrelSerial().SetCommTimeouts = &FailSetTimeouts;
  EXPECT_EQ(k_.KestrelGetRemoconSignal(4096, code_), 0);
  ExpectOneError(boxes_, "fault set timeout parameter", "Error I-33-2");
  EXPECT_EQ(watch_.Speeds(), (std::vector<DWORD>{4800, 19200}));
  EXPECT_EQ(k_.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(watch_.Closed(opened_));
}

TEST_F(KestrelSeam, ReadFailureSets19200TwiceClosesThenTellsI36) {
  Open();
  KestrelSerial().ReadFile = &FailRead;
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
  KestrelSerial().ReadFile = &FailRead;
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
  KestrelSerial().Sleep = &NoteSleep;
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
  KestrelSerial().Sleep = &NoteSleep;
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

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
    ASSERT_TRUE(Receiver.ok());
    Watch.CountBoxesFrom(&Boxes);
    g_sleeps.clear();
  }
  void TearDown() override { K.Close(); }

  void Open() {
    ASSERT_EQ(K.UserChangePort(1), 1);
    Opened = K.PortHandle;
    Watch.ForgetSpeeds();
  }

  bench::PtyPort Receiver{1};
  bench::MessageBoxCapture Boxes;
  kestrel_test::SerialWatch Watch;
  TKestrel K;
  HANDLE Opened = INVALID_HANDLE_VALUE;
  char Code[16] = "untouched";
};

TEST_F(KestrelSeam, CaptureSpeedRefusedI33) {
  Open();
  Watch.RefuseSpeed(4800);
  EXPECT_EQ(K.KestrelGetRemoconSignal(4096, Code), 0);
  ExpectOneError(Boxes, "fault change baudrate", "Error I-33");
  EXPECT_EQ(Watch.Speeds(), (std::vector<DWORD>{4800, 19200}));
  EXPECT_EQ(K.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(Watch.Closed(Opened));
  bench::LineSettings line;
  ASSERT_TRUE(Receiver.Settings(line));
  EXPECT_EQ(line.baud, 19200u);
  EXPECT_STREQ(Code, "untouched");
}

TEST_F(KestrelSeam, CaptureTimeoutsRefusedI33b) {
  Open();
  vantor::SerialSeam().SetCommTimeouts = &FailSetTimeouts;
  EXPECT_EQ(K.KestrelGetRemoconSignal(4096, Code), 0);
  ExpectOneError(Boxes, "fault set timeout parameter", "Error I-33-2");
  EXPECT_EQ(Watch.Speeds(), (std::vector<DWORD>{4800, 19200}));
  EXPECT_EQ(K.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(Watch.Closed(Opened));
}

TEST_F(KestrelSeam, ReadFailureSets19200TwiceClosesThenTellsI36) {
  Open();
  vantor::SerialSeam().ReadFile = &FailRead;
  EXPECT_EQ(K.KestrelGetRemoconSignal(4096, Code), 0);
  ExpectOneError(Boxes, "ReadFileEroor", "ReadFileEroor I-36");
  EXPECT_EQ(Watch.Speeds(), (std::vector<DWORD>{4800, 19200, 19200}));
  EXPECT_TRUE(Watch.Closed(Opened));
  EXPECT_EQ(Watch.BoxesAtLastClose(), 0u);  // closed before the box
  EXPECT_EQ(K.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(Code, "untouched");
}

TEST_F(KestrelSeam, ReadFailureWhoseSpeedResetFailsClosesSilently) {
  Open();
  vantor::SerialSeam().ReadFile = &FailRead;
  Watch.RefuseSpeed(19200);
  EXPECT_EQ(K.KestrelGetRemoconSignal(4096, Code), 0);
  EXPECT_TRUE(Boxes.Boxes().empty());
  EXPECT_EQ(Watch.Speeds(), (std::vector<DWORD>{4800, 19200}));
  EXPECT_TRUE(Watch.Closed(Opened));
  EXPECT_EQ(K.PortHandle, INVALID_HANDLE_VALUE);
}

TEST_F(KestrelSeam, RestoringTheIdleSpeedAfterDataFailsI39BoxThenClose) {
  Open();
  Watch.RefuseSpeed(19200);
  kestrel_test::OnAnotherThread remote([&] {
    Sleep(300);
    const unsigned char burst[] = {0x00, 0xFC};
    Receiver.Write(burst, sizeof burst);
  });
  EXPECT_EQ(K.KestrelGetRemoconSignal(4096, Code), 0);
  remote.Join();
  ExpectOneError(Boxes, "fault change baudrate", "Error I-39");
  EXPECT_TRUE(Watch.Closed(Opened));
  EXPECT_EQ(Watch.BoxesAtLastClose(), 1u);  // the box came first
  EXPECT_EQ(Watch.Speeds(), (std::vector<DWORD>{4800, 19200}));
  EXPECT_EQ(K.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(K.CaptureLength, 2u);
}

TEST_F(KestrelSeam, RestoringTheIdleSpeedAfterNoSignalFailsI39BoxThenClose) {
  Open();
  vantor::SerialSeam().Sleep = &NoteSleep;
  Watch.RefuseSpeed(19200);
  EXPECT_EQ(K.KestrelGetRemoconSignal(4096, Code), 0);
  ExpectOneError(Boxes, "fault change baudrate", "Error I-39");
  EXPECT_TRUE(Watch.Closed(Opened));
  EXPECT_EQ(Watch.BoxesAtLastClose(), 1u);
  EXPECT_EQ(Watch.Speeds(), (std::vector<DWORD>{4800, 19200}));
  EXPECT_EQ(K.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(Code, "untouched");
}

TEST_F(KestrelSeam, NoSignalIsAHundredPollsOfFiftyMilliseconds) {
  Open();
  vantor::SerialSeam().Sleep = &NoteSleep;
  std::memcpy(K.CodePrefix, "ZZ", 2);  // unknown format: the speed stays as it is
  EXPECT_EQ(K.KestrelGetRemoconSignal(4096, Code), 0);
  EXPECT_EQ(g_sleeps, std::vector<DWORD>(100, 50));
  EXPECT_EQ(Watch.Speeds(), (std::vector<DWORD>{19200, 19200}));
  EXPECT_EQ(Watch.Closes(), 0u);
  EXPECT_NE(K.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(Boxes.Boxes().empty());
  EXPECT_STREQ(Code, "untouched");
}

}  // namespace

// TKestrel's port handling against pseudo-terminals behind Wine's COM ports: the
// line settings are read back from the terminal, not from the library.
#include <cstring>
#include <string>
#include <vector>

#include "kestrel/kestrel.h"
#include "bench/pty_port.h"
#include "tests/kestrel/kestrel_bench.h"

namespace {

using kestrel_test::ExpectOneError;
using kestrel_test::SerialWatch;

void ExpectLine(const bench::PtyPort& receiver, unsigned baud) {
  bench::LineSettings line;
  ASSERT_TRUE(receiver.Settings(line));
  EXPECT_EQ(line.baud, baud);
  EXPECT_EQ(line.dataBits, 8);
  EXPECT_EQ(line.parity, 'N');
  EXPECT_EQ(line.stopBits, 1);
}

TEST(KestrelObject, StartsClosedWithFormatNeAndEmptyHalves) {
  TKestrel k;
  EXPECT_EQ(k.PortNumber, 0);
  EXPECT_EQ(k.PortHandle, INVALID_HANDLE_VALUE);
  const char prefix[16] = {'N', 'E'};
  EXPECT_EQ(0, std::memcmp(k.CodePrefix, prefix, sizeof prefix));  // the other 14 bytes are zero
  EXPECT_EQ(std::string(k.StoredGroup, sizeof k.StoredGroup), std::string(32, '?'));
  EXPECT_EQ(std::string(k.StoredData, sizeof k.StoredData), std::string(32, '?'));
}

// The DLLs users get export their class, never the serial-call tables the tests
// swap: any code in the process could otherwise redirect a receiver's port calls.
TEST(ReceiverDlls, ExportTheClassButNotTheSerialCalls) {
  struct Row {
    const char* dll;
    const char* symbol;
    bool exported;
  } rows[] = {
      {"kestrel.dll", "_ZN8TKestrel14UserChangePortEi", true},
      {"kestrel.dll", "_ZN6vantor10SerialSeamEv", false},
      {"kestrel.dll", "_ZN6vantor17SystemSerialCallsEv", false},
      {"pellow.dll", "_ZN7TPellow14UserChangePortEi", true},
      {"pellow.dll", "_ZN6vantor10SerialSeamEv", false},
  };
  for (const Row& row : rows) {
    HMODULE dll = LoadLibraryA(row.dll);
    ASSERT_NE(dll, nullptr) << row.dll;
    EXPECT_EQ(GetProcAddress(dll, row.symbol) != nullptr, row.exported) << row.dll << " " << row.symbol;
    FreeLibrary(dll);
  }
}

TEST(KestrelPort, OpensAt19200EightNoneOneWithReadsThatNeverWait) {
  bench::PtyPort receiver(1);
  ASSERT_TRUE(receiver.ok());
  bench::MessageBoxCapture boxes;
  SerialWatch watch;
  TKestrel k;
  ASSERT_EQ(k.UserChangePort(1), 1);
  EXPECT_NE(k.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(watch.Opened(), std::vector<std::string>{"COM1"});
  EXPECT_EQ(k.PortNumber, 1);
  EXPECT_STREQ(k.PortName, "COM1");
  ExpectLine(receiver, 19200);

  COMMTIMEOUTS t{};
  ASSERT_TRUE(GetCommTimeouts(k.PortHandle, &t));
  EXPECT_EQ(t.ReadIntervalTimeout, MAXDWORD);
  EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u);
  EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(t.WriteTotalTimeoutConstant, 0u);
  // Nothing queued: the read comes back at once, empty.
  unsigned char b;
  DWORD got = 1;
  EXPECT_TRUE(ReadFile(k.PortHandle, &b, 1, &got, nullptr));
  EXPECT_EQ(got, 0u);

  EXPECT_EQ(watch.Closes(), 0u);
  EXPECT_EQ(k.Close(), 1);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(KestrelPort, CloseLeavesTheLineAt19200AndLetsThePortGo) {
  bench::PtyPort receiver(1);
  ASSERT_TRUE(receiver.ok());
  SerialWatch watch;
  TKestrel k;
  ASSERT_EQ(k.UserChangePort(1), 1);
  HANDLE open = k.PortHandle;
  // Someone changed the speed behind the library's back.
  DCB other = k.PortState;
  other.BaudRate = 4800;
  ASSERT_TRUE(SetCommState(k.PortHandle, &other));
  ExpectLine(receiver, 4800);

  EXPECT_EQ(k.Close(), 1);
  EXPECT_EQ(k.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(watch.Closed(open));
  EXPECT_EQ(watch.Speeds(), (std::vector<DWORD>{19200, 19200}));  // the open's, then Close's
  ExpectLine(receiver, 19200);

  // Closing again does nothing; opening again is how ports are changed.
  EXPECT_EQ(k.Close(), 1);
  EXPECT_EQ(watch.Closes(), 1u);
  EXPECT_EQ(k.InitKestrelice(1), 1);
  EXPECT_NE(k.PortHandle, INVALID_HANDLE_VALUE);
  k.Close();
}

TEST(KestrelPort, SecondOpenWithoutCloseKeepsTheFirstPortAndRecordsTheNumber) {
  bench::PtyPort first(1), second(2);
  ASSERT_TRUE(first.ok());
  ASSERT_TRUE(second.ok());
  bench::MessageBoxCapture boxes;
  SerialWatch watch;
  TKestrel k;
  ASSERT_EQ(k.UserChangePort(1), 1);
  HANDLE open = k.PortHandle;

  EXPECT_EQ(k.UserChangePort(2), 0);
  EXPECT_EQ(k.PortNumber, 2);
  EXPECT_EQ(k.PortHandle, open);
  EXPECT_STREQ(k.PortName, "COM1");
  EXPECT_EQ(watch.Opened(), std::vector<std::string>{"COM1"});  // COM2 never tried
  EXPECT_EQ(watch.Closes(), 0u);
  EXPECT_EQ(watch.Speeds().size(), 1u);  // only the open's own 19200
  ExpectLine(first, 19200);
  EXPECT_TRUE(boxes.Boxes().empty());
  k.Close();
}

TEST(KestrelPort, PortHeldElsewhereGivesErrorI3OnceAndStaysClosed) {
  // Wine lets a serial port be opened twice, so the bench stands in for the other
  // program with a port whose every open fails.
  bench::PtyPort held(3, bench::PtyPort::Mode::Held);
  ASSERT_TRUE(held.ok());
  bench::MessageBoxCapture boxes;
  SerialWatch watch;
  TKestrel k;
  EXPECT_EQ(k.UserChangePort(3), 0);
  EXPECT_EQ(k.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(k.PortNumber, 3);
  EXPECT_EQ(watch.Opened(), std::vector<std::string>{"COM3"});
  ExpectOneError(boxes, kestrel_test::kCannotOpen, "Error I-3");

  // Close on the object that never opened: nothing happens, no box.
  k.LastApiResult = 12345;
  EXPECT_EQ(k.Close(), 1);
  EXPECT_EQ(k.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(k.LastApiResult, 12345);
  EXPECT_EQ(watch.Closes(), 0u);
  EXPECT_TRUE(watch.Speeds().empty());
  EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST(KestrelNotices, UserChangeDelayAsksInJapaneseAndReturnsZeroForOk) {
  const char text[] = "実験FALSEを返す(再度初期化に失敗した想定)";
  const char caption[] = "Kestrel.DLL TKestrel::UserChangeDelay(Delay,Maker) I-15";
  TKestrel k;
  {
    bench::MessageBoxCapture boxes(IDOK);
    char maker[] = "any";
    EXPECT_EQ(k.UserChangeDelay(250, maker), 0);
    EXPECT_EQ(k.DelayValue, 250);
    auto seen = boxes.Boxes();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, text);
    EXPECT_EQ(seen[0].caption, caption);
    EXPECT_EQ(seen[0].style, unsigned(MB_OKCANCEL));
  }
  {
    bench::MessageBoxCapture boxes(IDCANCEL);
    EXPECT_EQ(k.UserChangeDelay(-3, nullptr), 1);
    EXPECT_EQ(k.DelayValue, -3);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
  }
}

TEST(KestrelNotices, BreakSetsTheFlagAndShowsI49) {
  bench::MessageBoxCapture boxes(IDOK);
  TKestrel k;
  EXPECT_EQ(k.KestrelBreakGetRemoconSignal(), IDOK);
  EXPECT_EQ(k.BreakRequested, 1);
  auto seen = boxes.Boxes();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "TKestrel::KestrelBreakGetRemoconSignal()");
  EXPECT_EQ(seen[0].caption, "I-49");
  EXPECT_EQ(seen[0].style, unsigned(MB_OK));
}

}  // namespace

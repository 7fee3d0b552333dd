// The bench is what every Wine test stands on: check its ports, boxes and probes
// against the real Win32 calls the program makes.
#include <gtest/gtest.h>
#include <windows.h>

#include "bench/input_probe.h"
#include "bench/message_boxes.h"
#include "bench/pty_port.h"

namespace {

HANDLE OpenCom(const char* name) {
  return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool SetLine(HANDLE h, DWORD baud) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(h, &dcb)) return false;
  dcb.BaudRate = baud;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = 1;
  return SetCommState(h, &dcb) != FALSE;
}

bool ImmediateReads(HANDLE h) {
  COMMTIMEOUTS t{MAXDWORD, 0, 0, 0, 0};
  return SetCommTimeouts(h, &t) != FALSE;
}

DWORD ReadFor(HANDLE h, unsigned char* buf, DWORD size, DWORD ms) {
  DWORD total = 0, start = GetTickCount();
  while (total < size && GetTickCount() - start < ms) {
    DWORD got = 0;
    if (!ReadFile(h, buf + total, size - total, &got, nullptr)) break;
    total += got;
    if (!got) Sleep(5);
  }
  return total;
}

TEST(BenchSerial, BytesCrossTheTerminalBothWaysAndItsSettingsReadBack) {
  bench::PtyPort receiver(1);
  ASSERT_TRUE(receiver.ok());
  HANDLE com = OpenCom("COM1");
  ASSERT_NE(com, INVALID_HANDLE_VALUE) << GetLastError();
  ASSERT_TRUE(SetLine(com, 1200));
  ASSERT_TRUE(ImmediateReads(com));

  bench::LineSettings line;
  ASSERT_TRUE(receiver.Settings(line));
  EXPECT_EQ(line.baud, 1200u);
  EXPECT_EQ(line.dataBits, 8);
  EXPECT_EQ(line.parity, 'N');
  EXPECT_EQ(line.stopBits, 1);

  // Every byte value must pass unchanged: no line discipline may eat CR, XON or 0xFF.
  unsigned char sent[256];
  for (int i = 0; i < 256; ++i) sent[i] = static_cast<unsigned char>(i);
  ASSERT_TRUE(receiver.Write(sent, sizeof sent));
  unsigned char got[256] = {};
  ASSERT_EQ(ReadFor(com, got, sizeof got, 3000), 256u);
  EXPECT_EQ(0, memcmp(sent, got, sizeof sent));

  DWORD written = 0;
  ASSERT_TRUE(WriteFile(com, "AT\r", 3, &written, nullptr));
  char echo[8] = {};
  size_t n = 0;
  for (int tries = 0; n < 3 && tries < 20; ++tries) n += receiver.Read(echo + n, 3 - n, 100);
  EXPECT_EQ(std::string(echo, n), "AT\r");

  ASSERT_TRUE(SetLine(com, 19200));
  ASSERT_TRUE(receiver.Settings(line));
  EXPECT_EQ(line.baud, 19200u);
  CloseHandle(com);
}

TEST(BenchSerial, AReceiverThatGoesAwayFailsTheProgramsReads) {
  bench::PtyPort receiver(2);
  ASSERT_TRUE(receiver.ok());
  HANDLE com = OpenCom("COM2");
  ASSERT_NE(com, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(ImmediateReads(com));
  unsigned char b;
  DWORD got = 0;
  EXPECT_TRUE(ReadFile(com, &b, 1, &got, nullptr));
  EXPECT_EQ(got, 0u);
  receiver.Hangup();
  EXPECT_FALSE(ReadFile(com, &b, 1, &got, nullptr));
  CloseHandle(com);
  // A new receiver on the same port works again.
  bench::PtyPort again(2);
  com = OpenCom("COM2");
  ASSERT_NE(com, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(ImmediateReads(com));
  EXPECT_TRUE(ReadFile(com, &b, 1, &got, nullptr));
  CloseHandle(com);
}

TEST(BenchSerial, AHeldPortCannotBeOpened) {
  bench::PtyPort held(3, bench::PtyPort::Mode::Held);
  ASSERT_TRUE(held.ok());
  EXPECT_EQ(OpenCom("COM3"), INVALID_HANDLE_VALUE);
  bench::PtyPort free(3);
  HANDLE com = OpenCom("COM3");
  EXPECT_NE(com, INVALID_HANDLE_VALUE);
  if (com != INVALID_HANDLE_VALUE) CloseHandle(com);
}

TEST(BenchMessageBoxes, RecordsTextCaptionStyleAndAnswers) {
  bench::MessageBoxCapture boxes(IDCANCEL);
  EXPECT_EQ(MessageBoxExA(nullptr, "fault clear buffer", "Error M-5",
                          MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL, 0),
            IDOK);  // an OK-only box has no Cancel: its OK is pressed
  EXPECT_EQ(MessageBoxA(nullptr, "two", "second", MB_OKCANCEL), IDCANCEL);
  const wchar_t jp[] = L"\x5b9f\x9a13";
  EXPECT_EQ(MessageBoxExW(nullptr, jp, L"w", MB_OK, 0), IDOK);

  auto seen = boxes.Boxes();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].text, "fault clear buffer");
  EXPECT_EQ(seen[0].caption, "Error M-5");
  EXPECT_EQ(seen[0].style, unsigned(MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL));
  EXPECT_EQ(seen[1].style, unsigned(MB_OKCANCEL));
  EXPECT_EQ(seen[2].text, "\xe5\xae\x9f\xe9\xa8\x93");
}

TEST(BenchInput, PointerMovesAndKeysReachTheProbe) {
  ASSERT_TRUE(bench::DisablePointerAcceleration());
  bench::InputProbe probe;
  ASSERT_TRUE(probe.Focus());
  ASSERT_TRUE(bench::SetCursorTo(300, 300));
  probe.Pump(50);
  mouse_event(MOUSEEVENTF_MOVE, 7, -3, 0, 0);
  probe.Pump(100);
  bench::Point p = bench::CursorPos();
  EXPECT_EQ(p.x, 307);
  EXPECT_EQ(p.y, 297);

  keybd_event(0x41, 0x1e, 0, 0);
  keybd_event(0x41, 0x1e, KEYEVENTF_KEYUP, 0);
  probe.Pump(200);
  auto got = probe.Messages();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].message, unsigned(WM_KEYDOWN));
  EXPECT_EQ(got[0].wParam, 0x41u);
  EXPECT_EQ((got[0].lParam >> 16) & 0xFF, 0x1eu);
  EXPECT_EQ(got[1].message, unsigned(WM_KEYUP));
}

}  // namespace

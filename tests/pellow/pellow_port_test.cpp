// Opening and closing the IR55 receiver's port against bench terminals behind COM1..COM3.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "pellow/pellow.h"
#include "bench/message_boxes.h"
#include "bench/pty_port.h"

namespace {

constexpr char kOpenFailed[] =
    "Cannot open serial port !\n\nAnother communication software using this port?\n\n\n";

HANDLE Open(const char* name) {
  return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool SetSpeed(const char* name, DWORD baud) {
  HANDLE h = Open(name);
  if (h == INVALID_HANDLE_VALUE) return false;
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  bool done = GetCommState(h, &dcb) != FALSE;
  if (done) {
    dcb.BaudRate = baud;
    done = SetCommState(h, &dcb) != FALSE;
  }
  CloseHandle(h);
  return done;
}

bench::LineSettings LineOf(const bench::PtyPort& port) {
  bench::LineSettings line;
  EXPECT_TRUE(port.Settings(line));
  return line;
}

TEST(PellowPort, NewObjectIsClosedWithPrefixLW) {
  TPellow p;
  EXPECT_EQ(p.PortNumber, 0);
  EXPECT_EQ(p.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(p.CodePrefix, "LW");
  for (std::size_t i = 2; i < sizeof p.CodePrefix; ++i) EXPECT_EQ(p.CodePrefix[i], '\0');
  EXPECT_EQ(p.PressFlag, 0);
  EXPECT_EQ(p.LastByte, 0);
  EXPECT_EQ(p.BreakRequested, 0);
}

TEST(PellowPort, OpensAtTheReceiversSettingsAndClosesAt19200) {
  bench::PtyPort receiver(1);
  ASSERT_TRUE(receiver.ok());
  // Leave a setting the library does not own on the line: it must survive the opening.
  HANDLE before = Open("COM1");
  ASSERT_NE(before, INVALID_HANDLE_VALUE);
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  ASSERT_TRUE(GetCommState(before, &dcb));
  dcb.BaudRate = 9600;
  dcb.Parity = EVENPARITY;
  dcb.StopBits = TWOSTOPBITS;
  dcb.XoffChar = 0x1a;
  ASSERT_TRUE(SetCommState(before, &dcb));
  CloseHandle(before);

  bench::MessageBoxCapture boxes;
  TPellow p;
  ASSERT_TRUE(p.UserChangePort(1));
  EXPECT_EQ(p.PortNumber, 1);
  EXPECT_STREQ(p.PortName, "COM1");
  ASSERT_NE(p.PortHandle, INVALID_HANDLE_VALUE);

  const bench::LineSettings open = LineOf(receiver);
  EXPECT_EQ(open.baud, 1200u);
  EXPECT_EQ(open.dataBits, 8);
  EXPECT_EQ(open.parity, 'N');
  EXPECT_EQ(open.stopBits, 1);

  DCB now{};
  now.DCBlength = sizeof now;
  ASSERT_TRUE(GetCommState(p.PortHandle, &now));
  EXPECT_EQ(now.fBinary, 1u);
  EXPECT_EQ(now.XoffChar, 0x1a);
  COMMTIMEOUTS t{};
  ASSERT_TRUE(GetCommTimeouts(p.PortHandle, &t));
  EXPECT_EQ(t.ReadIntervalTimeout, MAXDWORD);
  EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u);
  EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(t.WriteTotalTimeoutConstant, 0u);

  const HANDLE used = p.PortHandle;
  EXPECT_TRUE(p.Close());
  EXPECT_EQ(p.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(LineOf(receiver).baud, 19200u);
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(used, &flags)) << "the port handle was not closed";
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(PellowPort, InitKestreliceOpensLikeUserChangePort) {
  bench::PtyPort receiver(2);
  ASSERT_TRUE(receiver.ok());
  TPellow p;
  ASSERT_TRUE(p.InitKestrelice(2));
  EXPECT_EQ(p.PortNumber, 2);
  EXPECT_EQ(LineOf(receiver).baud, 1200u);
  p.Close();
}

TEST(PellowPort, SecondOpenKeepsTheFirstPortAndRecordsTheNumber) {
  bench::PtyPort com1(1), com2(2);
  ASSERT_TRUE(com1.ok() && com2.ok());
  ASSERT_TRUE(SetSpeed("COM2", 4800));
  bench::MessageBoxCapture boxes;
  TPellow p;
  ASSERT_TRUE(p.UserChangePort(1));
  const HANDLE first = p.PortHandle;

  EXPECT_FALSE(p.UserChangePort(2));
  EXPECT_EQ(p.PortNumber, 2);
  EXPECT_EQ(p.PortHandle, first);
  EXPECT_STREQ(p.PortName, "COM1");
  // COM2 was left alone, and COM1 still delivers codes.
  EXPECT_EQ(LineOf(com2).baud, 4800u);
  const unsigned char press[] = {0x41, 0x55};
  ASSERT_TRUE(com1.Write(press, sizeof press));
  char text[32] = {};
  bool reported = false;
  for (int i = 0; i < 200 && !reported; ++i) {
    reported = p.PellowGetRemoconSignal2(4096, text) != FALSE;
    if (!reported) Sleep(5);
  }
  EXPECT_TRUE(reported);
  EXPECT_STREQ(text, "LW 00 41");
  EXPECT_TRUE(boxes.Boxes().empty());
  p.Close();
}

TEST(PellowPort, PortHeldElsewhereGivesOneBoxAndStaysClosed) {
  bench::PtyPort held(4, bench::PtyPort::Mode::Held);
  ASSERT_TRUE(held.ok());
  bench::MessageBoxCapture boxes;
  TPellow p;
  EXPECT_FALSE(p.UserChangePort(4));
  EXPECT_EQ(p.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(p.PortNumber, 4);
  auto seen = boxes.Boxes();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, kOpenFailed);
  EXPECT_EQ(seen[0].caption, "Error M-3");
  EXPECT_EQ(seen[0].style, 0x2030u);

  // Close on the closed object does nothing and shows nothing.
  EXPECT_TRUE(p.Close());
  EXPECT_EQ(p.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(boxes.Boxes().size(), 1u);

  // Once the port is free the same object opens it.
  bench::PtyPort receiver(4);
  ASSERT_TRUE(receiver.ok());
  EXPECT_TRUE(p.UserChangePort(4));
  p.Close();
}

}  // namespace

// Every caller that opens a serial port, each step of the opening refused in turn:
// the caller's box, the speeds set, and the port let go.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/options/port_options.h"
#include "app/options/set_ms_ir.h"
#include "bench/message_boxes.h"
#include "bench/pty_port.h"
#include "bench/serial_watch.h"
#include "win32/open_serial_port.h"

namespace vantor {
namespace {

HANDLE WINAPI OpenFails(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
  return INVALID_HANDLE_VALUE;
}
BOOL WINAPI PurgeFails(HANDLE, DWORD) { return FALSE; }
BOOL WINAPI GetStateFails(HANDLE, LPDCB) { return FALSE; }
BOOL WINAPI GetTimeoutsFails(HANDLE, LPCOMMTIMEOUTS) { return FALSE; }
BOOL WINAPI SetTimeoutsFails(HANDLE, LPCOMMTIMEOUTS) { return FALSE; }
BOOL WINAPI SetupFails(HANDLE, DWORD, DWORD) { return FALSE; }

BOOL KestrelOpens() {
  TKestrel kestrel;
  const BOOL opened = kestrel.UserChangePort(1);
  return opened && kestrel.Close();
}
BOOL PellowOpens() {
  TPellow pellow;
  const BOOL opened = pellow.UserChangePort(1);
  return opened && pellow.Close();
}
BOOL PortCheckPasses() {
  PortOptionsRecord record;
  TKestrel kestrel;
  TPellow pellow;
  TPortSettings port;
  port.ComPortNumber = 1;
  lstrcpyA(port.ComPortName, "COM1");
  TPortOptionsOwner owner(nullptr, port, record, kestrel, pellow, "", "");
  return owner.CheckSerialPort();
}
BOOL DriverPortTestPasses() {
  TSetMsIr ir;
  return ir.TestPort("COM1");
}

struct Caller {
  const char* name;
  BOOL (*open)();
  const char* captions[8];  // by failed step; null: no box
  unsigned style, queueStyle;
  DWORD baud, restoredBaud;  // restoredBaud 0: the speed is not put back
  bool toldBeforeClose;
};

const Caller kCallers[] = {
    {"kestrel", KestrelOpens,
     {"", "Error I-3", "Error I-5", "Error I-6", "Error I-8", "Error I-10", "Error I-12", "Error I-13"},
     0x2030, 0x2030, 19200, 19200, false},
    {"pellow", PellowOpens,
     {"", "Error M-3", "Error M-5", "Error M-6", "Error M-8", "Error M-10", "Error M-12", "Error M-13"},
     0x2030, 0x2030, 1200, 19200, false},
    {"port check", PortCheckPasses, {"", "Error", "Error", "Error", "Error", "Error", "Error", "Error"},
     0x30, 0x2030, 9600, 0, false},
    {"driver's port test", DriverPortTestPasses,
     {"", nullptr, "Error", "Error", "Error", "Error", "Error", "Error"}, 0x30, 0x2030, 9600, 0, true},
};

struct Refusal {
  SerialStep step;
  const char* text;
  void (*install)(SerialCalls&, bench::SerialWatch&, DWORD baud);
};

const Refusal kRefusals[] = {
    {SerialStep::Open, "Cannot open serial port !\n\nAnother communication software using this port?\n\n\n",
     [](SerialCalls& c, bench::SerialWatch&, DWORD) { c.CreateFileA = OpenFails; }},
    {SerialStep::Purge, "fault clear buffer", [](SerialCalls& c, bench::SerialWatch&, DWORD) { c.PurgeComm = PurgeFails; }},
    {SerialStep::GetState, "fault get com state",
     [](SerialCalls& c, bench::SerialWatch&, DWORD) { c.GetCommState = GetStateFails; }},
    {SerialStep::SetState, "fault change baudrate",
     [](SerialCalls&, bench::SerialWatch& w, DWORD baud) { w.RefuseSpeed(baud); }},
    {SerialStep::GetTimeouts, "fault get timeout parameter",
     [](SerialCalls& c, bench::SerialWatch&, DWORD) { c.GetCommTimeouts = GetTimeoutsFails; }},
    {SerialStep::SetTimeouts, "fault set timeout parameter",
     [](SerialCalls& c, bench::SerialWatch&, DWORD) { c.SetCommTimeouts = SetTimeoutsFails; }},
    {SerialStep::SetupQueues, "fault SetupComm", [](SerialCalls& c, bench::SerialWatch&, DWORD) { c.SetupComm = SetupFails; }},
};

TEST(OpenSerialPort, EveryCallerShowsItsBoxForEachRefusedStepAndLetsThePortGo) {
  bench::PtyPort receiver(1);
  ASSERT_TRUE(receiver.ok());
  for (const Caller& caller : kCallers) {
    {
      bench::MessageBoxCapture boxes;
      EXPECT_TRUE(caller.open()) << caller.name << " cannot open a free port";
      EXPECT_TRUE(boxes.Boxes().empty()) << caller.name;
    }
    for (const Refusal& refusal : kRefusals) {
      SCOPED_TRACE(std::string(caller.name) + ": " + refusal.text);
      const int step = static_cast<int>(refusal.step);
      bench::MessageBoxCapture boxes;
      bench::SerialWatch watch;
      watch.CountBoxesFrom(&boxes);
      refusal.install(SerialSeam(), watch, caller.baud);
      EXPECT_FALSE(caller.open());

      const char* caption = caller.captions[step];
      const std::vector<bench::CapturedBox> seen = boxes.Boxes();
      ASSERT_EQ(seen.size(), caption ? 1u : 0u);
      if (caption) {
        EXPECT_EQ(seen[0].text, refusal.text);
        EXPECT_EQ(seen[0].caption, caption);
        EXPECT_EQ(seen[0].style, refusal.step == SerialStep::SetupQueues ? caller.queueStyle : caller.style);
      }

      std::vector<DWORD> speeds;
      if (refusal.step >= SerialStep::SetState) speeds.push_back(caller.baud);
      if (refusal.step > SerialStep::SetState && caller.restoredBaud) speeds.push_back(caller.restoredBaud);
      EXPECT_EQ(watch.Speeds(), speeds);
      EXPECT_EQ(watch.Closes(), refusal.step == SerialStep::Open ? 0u : 1u);
      if (caption && refusal.step != SerialStep::Open) {
        EXPECT_EQ(watch.BoxesAtLastClose(), caller.toldBeforeClose ? 1u : 0u);
      }
    }
  }
}

}  // namespace
}  // namespace vantor

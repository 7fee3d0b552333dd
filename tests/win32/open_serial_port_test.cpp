// Every caller that opens a serial port: its calls on a free port, one by one with
// their arguments; then each step of the opening refused in turn: the caller's box,
// the speeds set, and the port let go.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/options/port_options.h"
#include "app/options/serial_access.h"
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
  TPortSettings port;
  port.ComPortNumber = 1;
  lstrcpyA(port.ComPortName, "COM1");
  TReceivers receivers(record.UseKestrel, record.UsePellow, port.RcFormatCode);
  TPortOptionsOwner owner(nullptr, port, record, receivers, "", "");
  return owner.CheckSerialPort();
}
BOOL DriverPortTestPasses() {
  TSetMsIr ir;
  return ir.TestPort("COM1");
}

// The checks open for writing only; Wine refuses the configuration calls on such a
// handle, so there they ask for reading as well.
const char* const kCheckOpen = RunningUnderWine()
                                   ? "CreateFileA COM1 access=c0000000 share=0 disposition=3 flags=0"
                                   : "CreateFileA COM1 access=40000000 share=0 disposition=3 flags=0";
constexpr const char* kImmediate =
    "SetCommTimeouts interval=ffffffff readMultiplier=0 readConstant=0 writeMultiplier=0 writeConstant=0";

struct Caller {
  const char* name;
  BOOL (*open)();
  std::vector<std::string> calls;  // on a free port, the receivers' Close included
  const char* captions[8];         // by failed step; null: no box
  unsigned style, queueStyle;
  DWORD baud, restoredBaud;  // restoredBaud 0: the speed is not put back
  bool toldBeforeClose;
};

const Caller kCallers[] = {
    {"kestrel", KestrelOpens,
     {"CreateFileA COM1 access=c0000000 share=0 disposition=3 flags=0", "PurgeComm flags=f", "GetCommState",
      "SetCommState baud=19200 bits=8 parity=0 stop=0 binary=1 abortOnError=0", "GetCommTimeouts", kImmediate,
      "SetupComm in=1024 out=4096", "SetCommState baud=19200 bits=8 parity=0 stop=0 binary=1 abortOnError=0",
      "CloseHandle COM1"},
     {"", "Error I-3", "Error I-5", "Error I-6", "Error I-8", "Error I-10", "Error I-12", "Error I-13"},
     0x2030, 0x2030, 19200, 19200, false},
    {"pellow", PellowOpens,
     {"CreateFileA COM1 access=c0000000 share=0 disposition=3 flags=0", "PurgeComm flags=f", "GetCommState",
      "SetCommState baud=1200 bits=8 parity=0 stop=0 binary=1 abortOnError=0", "GetCommTimeouts", kImmediate,
      "SetupComm in=1024 out=4096", "SetCommState baud=19200 bits=8 parity=0 stop=0 binary=1 abortOnError=0",
      "CloseHandle COM1"},
     {"", "Error M-3", "Error M-5", "Error M-6", "Error M-8", "Error M-10", "Error M-12", "Error M-13"},
     0x2030, 0x2030, 1200, 19200, false},
    {"port check", PortCheckPasses,
     {kCheckOpen, "PurgeComm flags=5", "GetCommState",
      "SetCommState baud=9600 bits=8 parity=0 stop=0 binary=1 abortOnError=0", "GetCommTimeouts", kImmediate,
      "SetupComm in=1024 out=1024", "CloseHandle COM1"},
     {"", "Error", "Error", "Error", "Error", "Error", "Error", "Error"}, 0x30, 0x2030, 9600, 0, false},
    {"driver's port test", DriverPortTestPasses,
     {kCheckOpen, "PurgeComm flags=f", "GetCommState",
      "SetCommState baud=9600 bits=8 parity=0 stop=0 binary=1 abortOnError=1", "GetCommTimeouts", kImmediate,
      "SetupComm in=1024 out=1024", "CloseHandle COM1"},
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
      bench::SerialWatch watch;
      EXPECT_TRUE(caller.open()) << caller.name << " cannot open a free port";
      EXPECT_TRUE(boxes.Boxes().empty()) << caller.name;
      EXPECT_EQ(watch.Log(), caller.calls) << caller.name;
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

#include "app/options/port_options.h"

#include <cstdio>
#include <cstring>

#include "app/events/store_values.h"
#include "app/options/serial_access.h"
#include "win32/bring_to_front.h"

namespace vantor {
namespace {

// "COM4" gives 4: the number from the fourth character on, as "%d" reads it.
int PortNumberOf(const char* name) {
  if (std::strlen(name) < 3) return 0;
  std::int32_t number = 0;
  return ScanDecimal(name + 3, &number) ? number : 0;
}

void DisableCom(TOption& option, int number) {
  switch (number) {
    case 1: option.EnableCom1 = FALSE; break;
    case 2: option.EnableCom2 = FALSE; break;
    case 3: option.EnableCom3 = FALSE; break;
    case 4: option.EnableCom4 = FALSE; break;
  }
}

}  // namespace

TPortOptionsOwner::TPortOptionsOwner(TWindow* parent, TPortSettings& port, PortOptionsRecord& record,
                                     TReceivers& receivers, const char* virtualCom, const char* mousePort)
    : Option(parent, record), Port(port), Record(record), Receivers(receivers), VirtualCom(virtualCom),
      MousePort(mousePort) {}

void TPortOptionsOwner::BringForward() const {
  if (HWND up = Option.GetHandle()) BringToFront(up);
}

void TPortOptionsOwner::PortOptionsProcedure() {
  if (Running) {
    BringForward();
    return;
  }
  struct Guard {
    bool& Flag;
    explicit Guard(bool& flag) : Flag(flag) { Flag = true; }
    ~Guard() { Flag = false; }
  } running(Running);

  Option.EnableCom1 = Option.EnableCom2 = Option.EnableCom3 = Option.EnableCom4 = TRUE;
  DisableCom(Option, PortNumberOf(VirtualCom));
  DisableCom(Option, PortNumberOf(MousePort));

  for (;;) {
    if (Option.Execute() != IDOK) return;

    std::memset(Port.ComPortName, 0, sizeof Port.ComPortName);
    Port.ComPortNumber = 0;
    const std::int32_t* flags[] = {&Record.UseCom1, &Record.UseCom2, &Record.UseCom3, &Record.UseCom4};
    for (int n = 1; n <= 4; ++n) {
      if (*flags[n - 1]) {  // the last set flag wins
        Port.ComPortNumber = n;
        std::snprintf(Port.ComPortName, sizeof Port.ComPortName, "COM%d", n);
      }
    }

    Receivers.CloseBoth();

    BOOL result = FALSE;
    if (Port.ComPortNumber != 0 && Receivers.Chosen()) result = CheckSerialPort();
    Sleep(10);

    if (result && Port.ComPortNumber != 0) {
      if (TReceiver* chosen = Receivers.Chosen()) {
        result = chosen->Open(Port.ComPortNumber);
        chosen->ShowNotice();  // whatever the result
      }
    }
    if (result) return;
  }
}

BOOL TPortOptionsOwner::CheckSerialPort() {
  // Nothing is read, so only the transmit side is purged.
  BOOL lastResult = FALSE;
  const SerialStep failed = OpenSerialPort(Port.ComPortName, PortCheckSetup(PURGE_TXABORT | PURGE_TXCLEAR, false),
                                           {CheckHandle, CheckState, CheckTimeouts, lastResult});
  CloseSerialPort(CheckHandle);
  if (failed == SerialStep::None) return TRUE;
  MessageBoxExA(nullptr, SerialStepText(failed), "Error", PortCheckFailureStyle(failed), 0);
  return FALSE;
}

}  // namespace vantor

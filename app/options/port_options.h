// The port options procedure and the serial port check: they work on the main
// window's port choice (ComPortNumber, ComPortName, kept in its TPortSettings with
// the rest of what the store saves) and its two receivers.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/events/port_options_record.h"
#include "app/events/settings_store.h"
#include "app/options/option_dialog.h"
#include "app/receivers/receivers.h"

namespace vantor {

class TPortOptionsOwner {
 public:
  // receivers: chosen by `record`. virtualCom and mousePort: the IrDA driver's
  // status texts (TSetMsIr's VirtualCom and MousePort), read at every run of the procedure.
  TPortOptionsOwner(TWindow* parent, TPortSettings& port, PortOptionsRecord& record, TReceivers& receivers,
                    const char* virtualCom, const char* mousePort);

  // Shows the options dialog until the chosen receiver has opened the chosen port,
  // or the user cancels. Asked for again while it runs (from a nested message
  // loop), it brings its dialog forward instead: the dialog is one object.
  void PortOptionsProcedure();
  bool IsRunning() const { return Running; }
  void BringForward() const;
  // Whether the port named by ComPortName can be opened and configured; shows why
  // not. Always leaves the port closed.
  BOOL CheckSerialPort();

  TOption Option;

 private:
  TPortSettings& Port;
  PortOptionsRecord& Record;
  TReceivers& Receivers;
  const char* VirtualCom;
  const char* MousePort;
  bool Running = false;
  // The check's working state.
  HANDLE CheckHandle = INVALID_HANDLE_VALUE;
  DCB CheckState{};
  COMMTIMEOUTS CheckTimeouts{};
};

}  // namespace vantor

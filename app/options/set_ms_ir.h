// Control of the operating system's own IrDA driver stack. While that stack is
// active it owns the physical COM port of a built-in transceiver, so the program
// reads its configuration and switches it off at start-up. Everything runs on the
// GUI thread and may block it for several seconds (the waits for the monitor).
#pragma once

#include <windows.h>

namespace vantor {

class TSetMsIr {
 public:
  TSetMsIr();
  virtual ~TSetMsIr();
  TSetMsIr(const TSetMsIr&) = delete;
  TSetMsIr& operator=(const TSetMsIr&) = delete;

  // Refreshes every status field from the registry and the monitor window; TRUE.
  BOOL ReadStatus();
  // FALSE switches the driver off, TRUE on. Reads the status first; the result
  // text goes to StatusText.
  BOOL SetDriver(BOOL enable);
  // Ends the infrared monitor once the driver is off.
  BOOL KillMonitor();
  // TRUE when the port opens and takes our settings; it is always closed again.
  // A port that opens but cannot be configured is reported in a message box.
  BOOL TestPort(const char* portName);

  // Status as found by the last ReadStatus; names are upper case.
  char PhysicalCom[256];
  char StatusText[1000];
  DWORD DriverEnabled;  // "IrEnabled"
  BYTE MonitorActive;   // 1 when the "IRMON" window was found
  char VirtualCom[256];
  char VirtualLpt[256];
  char DefaultLpt[256];  // the default printer's port, without its ":"
  char MousePort[256];   // "COM1" with a serial mouse, else empty
  HWND MonitorWindow;
  HANDLE TestHandle;  // INVALID_HANDLE_VALUE outside TestPort
  DCB TestState;
  COMMTIMEOUTS TestTimeouts;
};

}  // namespace vantor

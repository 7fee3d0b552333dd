// The access a port check opens a serial port with. The check only configures the
// port, so write access is all it asks for; Wine, though, refuses the purge, state
// and queue calls on a write-only serial handle (access denied), so under Wine the
// check asks for read access as well. With no sharing, that changes nothing else.
#pragma once

#include <windows.h>

#include "win32/open_serial_port.h"

namespace vantor {

// Wine's ntdll exports wine_get_version; Windows' does not.
inline bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

inline DWORD PortCheckAccess(bool underWine) { return underWine ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE; }

inline DWORD PortCheckAccess() { return PortCheckAccess(RunningUnderWine()); }

// The port check and the driver's port test open a port only to see that it can be
// configured: 9600 baud, reads that return at once, small queues; they differ only in
// what they purge and whether an error stops the line.
inline SerialSetup PortCheckSetup(DWORD purge, bool abortOnError) {
  return SerialSetup{PortCheckAccess(), purge, CBR_9600, abortOnError, kImmediateReads, 1024, 1024, 0};
}

// How a check's failure is shown: a refused queue size stops every window of the
// task until answered.
inline UINT PortCheckFailureStyle(SerialStep step) {
  const UINT style = MB_OK | MB_ICONEXCLAMATION;
  return step == SerialStep::SetupQueues ? style | MB_TASKMODAL : style;
}

}  // namespace vantor

// The access a port check opens a serial port with. The check only configures the
// port, so write access is all it asks for; Wine, though, refuses the purge, state
// and queue calls on a write-only serial handle (access denied), so under Wine the
// check asks for read access as well. With no sharing, that changes nothing else.
#pragma once

#include <windows.h>

namespace vantor {

// Wine's ntdll exports wine_get_version; Windows' does not.
inline bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

inline DWORD PortCheckAccess(bool underWine) { return underWine ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE; }

inline DWORD PortCheckAccess() { return PortCheckAccess(RunningUnderWine()); }

}  // namespace vantor

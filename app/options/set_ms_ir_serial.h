// The calls through which TestPort configures a port and SetDriver starts the
// control-panel applet. They go through one table so a test can make a single one
// fail: a terminal cannot refuse them, and no test machine has the applet.
// Private to set_ms_ir.cpp and its tests.
#pragma once

#include <windows.h>

namespace vantor::set_ms_ir_serial {

struct SystemCalls {
  BOOL(WINAPI* PurgeComm)(HANDLE, DWORD);
  BOOL(WINAPI* GetCommState)(HANDLE, LPDCB);
  BOOL(WINAPI* SetCommState)(HANDLE, LPDCB);
  BOOL(WINAPI* GetCommTimeouts)(HANDLE, LPCOMMTIMEOUTS);
  BOOL(WINAPI* SetCommTimeouts)(HANDLE, LPCOMMTIMEOUTS);
  BOOL(WINAPI* SetupComm)(HANDLE, DWORD, DWORD);
  UINT(WINAPI* WinExec)(LPCSTR, UINT);
};

// The table in use: the system's own functions unless a test has put one in.
SystemCalls& Calls();

}  // namespace vantor::set_ms_ir_serial

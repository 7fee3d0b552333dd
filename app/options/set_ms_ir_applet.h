// The call through which SetDriver starts the control-panel applet, in a table so a
// test can stand in for it: no test machine has the applet.
// Private to set_ms_ir.cpp and its tests.
#pragma once

#include <windows.h>

namespace vantor::set_ms_ir_applet {

struct AppletCalls {
  UINT(WINAPI* WinExec)(LPCSTR, UINT);
};

// The table in use: the system's own function unless a test has put one in.
AppletCalls& Calls();

}  // namespace vantor::set_ms_ir_applet

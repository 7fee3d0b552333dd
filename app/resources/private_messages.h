// The main window's private messages, shared with whatever drives the window from
// outside (the demo and the program's tests) so nobody restates their numbers.
#pragma once

#include <windows.h>

namespace vantor {

// Opens the wizard step the wizard state names; posted, so the closing step's
// window is gone first.
constexpr UINT WizardStepMessage = WM_USER + 300;
// The tray icon's notifications; lParam is the mouse message.
constexpr UINT TrayMessage = WM_USER + 305;

}  // namespace vantor

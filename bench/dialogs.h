// Driving the program's windows from outside, as a user does: waiting for a window
// to appear, pressing its buttons, reading its fields.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

// A visible top-level window of the process (see FindTopLevel), waited for.
HWND WaitForTopLevel(DWORD pid, const char* className, const char* title, DWORD timeoutMs);
HWND WaitForWindow(DWORD pid, const char* title, DWORD timeoutMs);

// A control's text, asked of the program; waits while it is inside a receiver call.
// "<no answer>" when it does not answer within 15 s.
std::string TextOf(HWND control);

// Presses the dialog's button and returns once the program has handled it.
void Click(HWND dialog, int id);
bool Checked(HWND dialog, int id);
bool Enabled(HWND dialog, int id);

// Waits until the program's GUI thread stops answering: it is inside a blocking
// receiver call, as while a wizard learns a button.
bool WaitBusy(HWND window, DWORD timeoutMs);
bool WaitVisible(HWND window, bool visible, DWORD timeoutMs);

}  // namespace bench

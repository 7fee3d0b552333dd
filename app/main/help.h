// The program's help. WinHelpA shows Vantora.hlp when that file sits beside the
// program; Windows 10 and 11 no longer ship its viewer and no such file is built
// here, so otherwise the HTML manual that ships beside the program, in the folder
// "manual", opens in the system's browser at the page for the command.
#pragma once

#include <windows.h>

namespace vantor {

// F1: the manual's contents.
void ShowHelpContents(HWND owner);
// Shift+F1, then command `commandId` of `window` (a control, a dialog, or the main
// dialog for a menu item): the manual's page about it.
void ShowHelpTopic(HWND owner, HWND window, UINT commandId);

}  // namespace vantor

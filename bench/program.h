// The program under test as the bench drives it from outside: its settings put
// into the registry, the program started beside the bench's own executable, and
// its windows found among the visible top-level ones.
#pragma once

#include <windows.h>

#include <vector>

namespace bench {

// A string value, its key made when missing.
void PutString(const char* path, const char* name, const char* text, HKEY root = HKEY_CURRENT_CONFIG);
// Any value, as raw bytes of the given type.
void PutValue(const char* path, const char* name, DWORD type, const void* data, DWORD size,
              HKEY root = HKEY_CURRENT_CONFIG);

// Starts `exe` from the folder this program runs from; false when it does not start.
bool StartBeside(const char* exe, PROCESS_INFORMATION& started);

// The process's visible top-level windows, front to back: its frame, boxes and dialogs.
std::vector<HWND> TopLevelWindows(DWORD pid);
// A visible top-level window of the process with this class and this title
// (nullptr: any), or nullptr.
HWND FindTopLevel(DWORD pid, const char* className, const char* title);

}  // namespace bench

#include "bench/dialogs.h"

#include "bench/program.h"

namespace bench {

HWND WaitForTopLevel(DWORD pid, const char* className, const char* title, DWORD timeoutMs) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50))
    if (HWND found = FindTopLevel(pid, className, title)) return found;
  return nullptr;
}

HWND WaitForWindow(DWORD pid, const char* title, DWORD timeoutMs) {
  return WaitForTopLevel(pid, nullptr, title, timeoutMs);
}

std::string TextOf(HWND control) {
  wchar_t text[512] = {};
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 15000, &got))
    return "<no answer>";
  // Across processes Wine passes texts as UTF-16.
  char narrow[512] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
  return narrow;
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
bool Checked(HWND dialog, int id) { return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

bool WaitBusy(HWND window, DWORD timeoutMs) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(10)) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 150, &result)) return true;
  }
  return false;
}

bool WaitVisible(HWND window, bool visible, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while ((IsWindowVisible(window) != FALSE) != visible && GetTickCount() - start < timeoutMs) Sleep(20);
  return (IsWindowVisible(window) != FALSE) == visible;
}

}  // namespace bench

#include "bench/program.h"

#include <cstring>
#include <string>

namespace bench {

void PutValue(const char* path, const char* name, DWORD type, const void* data, DWORD size, HKEY root) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

void PutString(const char* path, const char* name, const char* text, HKEY root) {
  PutValue(path, name, REG_SZ, text, static_cast<DWORD>(std::strlen(text) + 1), root);
}

bool StartBeside(const char* exe, PROCESS_INFORMATION& started) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string full(path);
  full = full.substr(0, full.find_last_of('\\') + 1) + exe;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  started = PROCESS_INFORMATION{};
  return CreateProcessA(full.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &started) != FALSE;
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
  struct Search {
    DWORD pid;
    std::vector<HWND> found;
  } s{pid, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == s->pid && IsWindowVisible(hwnd)) s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND FindTopLevel(DWORD pid, const char* className, const char* title) {
  for (HWND hwnd : TopLevelWindows(pid)) {
    char text[64] = {};
    if (className) {
      GetClassNameA(hwnd, text, sizeof text);
      if (std::strcmp(text, className) != 0) continue;
    }
    if (title) {
      GetWindowTextA(hwnd, text, sizeof text);
      if (std::strcmp(text, title) != 0) continue;
    }
    return hwnd;
  }
  return nullptr;
}

}  // namespace bench

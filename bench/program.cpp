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

HWND FindTopLevel(DWORD pid, const char* className, const char* title) {
  struct Search {
    DWORD pid;
    const char* className;
    const char* title;
    HWND found;
  } s{pid, className, title, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != s->pid || !IsWindowVisible(hwnd)) return TRUE;
        char text[64] = {};
        if (s->className) {
          GetClassNameA(hwnd, text, sizeof text);
          if (std::strcmp(text, s->className) != 0) return TRUE;
        }
        if (s->title) {
          GetWindowTextA(hwnd, text, sizeof text);
          if (std::strcmp(text, s->title) != 0) return TRUE;
        }
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

}  // namespace bench

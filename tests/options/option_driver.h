// Drives the real modal "Option" dialog from a second thread, as a user would:
// at each showing it records which buttons are enabled and checked, clicks the
// scripted radio buttons, then presses OK or Cancel. Showings past the script
// are cancelled.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "app/resources/resource_ids.h"

namespace vantor::testing {

struct OptionShowing {
  std::vector<int> click;  // radio button ids, clicked in this order
  int press = IDOK;        // IDOK or IDCANCEL
};

struct SeenShowing {
  std::map<int, bool> enabled;  // by control id
  std::map<int, bool> checked;
};

class OptionDriver {
 public:
  explicit OptionDriver(std::vector<OptionShowing> script) : Script(std::move(script)) {
    Thread = std::thread([this] { Loop(); });
  }
  ~OptionDriver() {
    Stop = true;
    Thread.join();
  }
  std::vector<SeenShowing> Seen() const {
    std::lock_guard<std::mutex> lock(Mutex);
    return SeenDialogs;
  }

 private:
  static HWND FindDialog() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
          // Title last: reading another thread's window title sends it a message,
          // and the test's own thread may be waiting for this one.
          char cls[32] = {};
          GetClassNameA(hwnd, cls, sizeof cls);
          DWORD pid = 0;
          GetWindowThreadProcessId(hwnd, &pid);
          if (pid != GetCurrentProcessId() || lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(hwnd) ||
              GetPropA(hwnd, "OptionDriverSeen"))
            return TRUE;
          char title[32] = {};
          GetWindowTextA(hwnd, title, sizeof title);
          if (lstrcmpA(title, "Option") == 0) {
            *reinterpret_cast<HWND*>(param) = hwnd;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  }

  void Loop() {
    while (!Stop) {
      HWND dialog = FindDialog();
      if (!dialog) {
        Sleep(20);
        continue;
      }
      SetPropA(dialog, "OptionDriverSeen", reinterpret_cast<HANDLE>(1));
      SeenShowing seen;
      for (int id : {IDC_OPTION_COM1, IDC_OPTION_COM2, IDC_OPTION_COM3, IDC_OPTION_COM4, IDC_OPTION_PELLOW,
                     IDC_OPTION_KESTREL}) {
        HWND button = GetDlgItem(dialog, id);
        seen.enabled[id] = IsWindowEnabled(button) != FALSE;
        seen.checked[id] = SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
      }
      std::size_t index;
      {
        std::lock_guard<std::mutex> lock(Mutex);
        index = SeenDialogs.size();
        SeenDialogs.push_back(seen);
      }
      OptionShowing step = index < Script.size() ? Script[index] : OptionShowing{{}, IDCANCEL};
      for (int id : step.click) SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
      SendMessageA(GetDlgItem(dialog, step.press), BM_CLICK, 0, 0);
    }
  }

  std::vector<OptionShowing> Script;
  std::atomic<bool> Stop{false};
  mutable std::mutex Mutex;
  std::vector<SeenShowing> SeenDialogs;
  std::thread Thread;
};

}  // namespace vantor::testing

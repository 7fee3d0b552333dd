#include "app/framework/application.h"

#include "app/framework/dialog.h"
#include "app/framework/window.h"

namespace vantor {

TApplication::TApplication(const char* name, HINSTANCE instance, int cmdShow)
    : cmdShow_(cmdShow), name_(name), instance_(instance) {}

bool TApplication::PreTranslate(MSG&) { return false; }

void TApplication::ProcessMessage(MSG& msg) {
  try {
    if (PreTranslate(msg)) return;
    for (HWND hwnd = msg.hwnd; hwnd; hwnd = GetParent(hwnd)) {
      TWindow* window = TWindow::FromHandle(hwnd);
      if (window && window->PreProcessMsg(msg)) return;
    }
    if (TDialog::IsModelessDialogMessage(msg)) return;
  } catch (...) {
    // Fall through to the ordinary dispatch.
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

int TApplication::Run() {
  if (!InitMainWindow()) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) ProcessMessage(msg);
  return static_cast<int>(msg.wParam);
}

}  // namespace vantor

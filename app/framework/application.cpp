#include "app/framework/application.h"

#include "app/framework/dialog.h"
#include "app/framework/window.h"

namespace vantor {
namespace {
// The program's one application object, and the hook that shows it the messages
// of modal loops. Both belong to the GUI thread.
TApplication* g_application = nullptr;
HHOOK g_modalFilter = nullptr;
}  // namespace

TApplication::TApplication(HINSTANCE instance, int cmdShow) : CmdShow(cmdShow), Instance(instance) {
  g_application = this;
}

TApplication::~TApplication() {
  if (g_application == this) g_application = nullptr;
}

bool TApplication::PreTranslate(MSG&) { return false; }

bool TApplication::FilterCommand(HWND, WPARAM, LPARAM) { return false; }

bool TApplication::OfferCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  return g_application && g_application->FilterCommand(window, wParam, lParam);
}

LRESULT CALLBACK TApplication::ModalLoopFilter(int code, WPARAM wParam, LPARAM lParam) {
  // A dialog box or message box runs its own loop and offers each message here
  // before handling it: the help keys must work there too.
  if (code == MSGF_DIALOGBOX && g_application) {
    try {
      if (g_application->PreTranslate(*reinterpret_cast<MSG*>(lParam))) return 1;
    } catch (...) {
      // Left to the dialog's own handling.
    }
  }
  return CallNextHookEx(g_modalFilter, code, wParam, lParam);
}

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

void TApplication::ProcessQueued() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (g_application) {
      g_application->ProcessMessage(msg);
    } else if (!TDialog::IsModelessDialogMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

int TApplication::Run() {
  // Before the main window: its set-up may already run a modal dialog.
  g_modalFilter = SetWindowsHookExA(WH_MSGFILTER, &ModalLoopFilter, nullptr, GetCurrentThreadId());
  int code = 1;
  if (InitMainWindow()) {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) ProcessMessage(msg);
    code = static_cast<int>(msg.wParam);
  }
  if (g_modalFilter) UnhookWindowsHookEx(g_modalFilter);
  g_modalFilter = nullptr;
  return code;
}

}  // namespace vantor

#include "app/main/dexel_app.h"

#include "win32/bring_to_front.h"
#include "app/main/help.h"
#include "app/resources/resource_ids.h"

namespace vantor {
namespace {
constexpr char kInstanceMutex[] = "Vantor.OneInstance";
// A start that finds the mutex taken waits this long for the other one's window,
// which may still be setting up.
constexpr int kWindowTries = 100;
constexpr DWORD kWindowTryMs = 100;
}  // namespace

TDexelApp::~TDexelApp() {
  delete Frame;
  delete Client;
}

bool TDexelApp::ClaimSingleInstance() {
  // Looking for the window alone races: two starts at once both find none. The
  // mutex exists from the first start's first moment; its handle is never closed,
  // so it lasts as long as that process.
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kInstanceMutex);
  DWORD error = GetLastError();
  if (mutex && error != ERROR_ALREADY_EXISTS) return true;
  // No mutex at all, and not because another user's start holds it: the window is
  // the only sign left.
  if (!mutex && error != ERROR_ACCESS_DENIED) return !ActivateRunningInstance();
  for (int i = 0; i < kWindowTries && !ActivateRunningInstance(); ++i) Sleep(kWindowTryMs);
  return false;
}

bool TDexelApp::ActivateRunningInstance() {
  HWND running = FindWindowA(nullptr, kAppTitle);
  if (!running) return false;
  BringToFront(running);
  return true;
}

bool TDexelApp::InitMainWindow() {
  int show = CmdShow;
  if (show != SW_HIDE && show != SW_SHOWMINNOACTIVE) show = SW_SHOWNORMAL;
  Client = new TDexel(nullptr);
  Frame = new TSDIDecFrame(Client);
  Frame->QuitOnDestroy = true;
  if (!Frame->Create()) return false;
  HICON large = static_cast<HICON>(LoadImageA(GetInstance(), MAKEINTRESOURCEA(IDI_VANTOR), IMAGE_ICON, 32, 32, 0));
  HICON small = static_cast<HICON>(LoadImageA(GetInstance(), MAKEINTRESOURCEA(IDI_VANTOR), IMAGE_ICON, 16, 16, 0));
  Frame->SetIcons(large, small);
  ShowWindow(Frame->GetHandle(), show);
  return true;
}

void TDexelApp::LeaveContextHelp(bool restoreArrow) {
  ContextHelp = false;
  if (restoreArrow) SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

bool TDexelApp::PreTranslate(MSG& msg) {
  HWND owner = Client ? Client->GetHandle() : nullptr;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1) {
    if (GetKeyState(VK_SHIFT) < 0) {
      ContextHelp = true;
      if (!HelpCursor) HelpCursor = LoadCursorA(GetInstance(), MAKEINTRESOURCEA(IDC_HELP_CURSOR));
      SetCursor(HelpCursor);
    } else {
      ShowHelpContents(owner);
    }
    return true;
  }
  if (!ContextHelp) return false;
  switch (msg.message) {
    case WM_KEYDOWN:
      if (msg.wParam == VK_ESCAPE) {
        LeaveContextHelp(true);
        return true;
      }
      return false;
    case WM_MOUSEMOVE:
    case WM_SETCURSOR:
      SetCursor(HelpCursor);
      return true;
  }
  return false;
}

bool TDexelApp::FilterCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  // The mode is the GUI thread's; the watcher's own options dialog is not in it.
  if (!ContextHelp || GetCurrentThreadId() != GuiThread) {
    // The Help buttons have no action of their own: each opens its window's page.
    if (LOWORD(wParam) != IDC_HELP_BUTTON || HIWORD(wParam) != BN_CLICKED || lParam == 0) return false;
    ShowHelpTopic(Client ? Client->GetHandle() : nullptr, window, IDC_HELP_BUTTON);
    return true;
  }
  // Commands only: a button's click, a menu item or an accelerator (no control
  // behind it). The notifications a list sends as it gains the focus or changes
  // are no command and must not end the mode.
  if (HIWORD(wParam) != BN_CLICKED && lParam != 0) return false;
  LeaveContextHelp(true);
  // The command is not carried out: the user asked what it does.
  ShowHelpTopic(Client ? Client->GetHandle() : nullptr, window, LOWORD(wParam));
  return true;
}

}  // namespace vantor

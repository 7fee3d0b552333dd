#include "app/framework/frame_window.h"

#include <cstdio>

namespace vantor {
namespace {
constexpr char kFrameClass[] = "VantorFrame";
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
}  // namespace

TFrameWindow::TFrameWindow(const char* title, TDialog* client) : Client(client) {
  std::snprintf(Title, sizeof Title, "%s", title);
}

TFrameWindow::~TFrameWindow() {
  if (Handle) DestroyWindow(Handle);
}

HWND TFrameWindow::Create() {
  HINSTANCE module = GetModuleHandleA(nullptr);
  static ATOM atom = [module] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = module;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFrameClass;
    return RegisterClassA(&wc);
  }();
  if (!atom) return nullptr;
  HWND hwnd = CreateWindowExA(0, kFrameClass, Title, kFrameStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                              Parent ? Parent->GetHandle() : nullptr, nullptr, module, this);
  if (!hwnd) return nullptr;
  HWND client = Client ? Client->CreateAsChild(hwnd) : nullptr;
  ClientHandle = client;
  if (!client) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  // Size the frame so its client area is exactly the dialog.
  RECT r;
  GetWindowRect(client, &r);
  RECT frame{0, 0, r.right - r.left, r.bottom - r.top};
  AdjustWindowRectEx(&frame, kFrameStyle, FALSE, 0);
  SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(client, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return hwnd;
}

void TFrameWindow::SetIcons(HICON large, HICON small) {
  SendMessageA(Handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
  SendMessageA(Handle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

bool TFrameWindow::Dispatch(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_CLOSE:
      // The client decides how the program closes (it saves, closes ports...).
      if (Client && Client->GetHandle()) SendMessageA(Client->GetHandle(), WM_CLOSE, 0, 0);
      else DestroyWindow(Handle);
      result = 0;
      return true;
    case kChildDialogGone:
      // The client dialog went away: so does the frame.
      if (Client && reinterpret_cast<HWND>(lParam) == ClientHandle) DestroyWindow(Handle);
      result = 0;
      return true;
    case WM_DESTROY:
      if (QuitOnDestroy) PostQuitMessage(0);
      return false;
    case WM_SETFOCUS:
      if (Client && Client->GetHandle()) SetFocus(Client->GetHandle());
      result = 0;
      return true;
  }
  return false;
}

LRESULT CALLBACK TFrameWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<TFrameWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->Bind(hwnd);
  }
  auto* self = static_cast<TFrameWindow*>(FromHandle(hwnd));
  if (self) {
    if (msg == WM_NCDESTROY) {
      self->Unbind();
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    LRESULT result = 0;
    if (self->Route(msg, wParam, lParam, result)) return result;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace vantor

#include "bench/input_probe.h"

#include <windows.h>

namespace bench {
namespace {
constexpr wchar_t kClass[] = L"VantorBenchInputProbe";
}

long long __stdcall InputProbe::Proc(void* hwnd, unsigned msg, unsigned long long wParam, long long lParam) {
  HWND h = static_cast<HWND>(hwnd);
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<InputProbe*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (msg == WM_MOUSEMOVE && self) {
    POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(h, &p);
    self->MovesSeen.push_back({p.x, p.y});
  }
  switch (msg) {
    case WM_KEYDOWN: case WM_KEYUP: case WM_SYSKEYDOWN: case WM_SYSKEYUP:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP:
      if (self) self->MessagesSeen.push_back({msg, wParam, static_cast<unsigned long long>(lParam)});
      // Keep Alt+key from opening a system menu and stealing later keys.
      if (msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP) return 0;
      break;
  }
  return DefWindowProcW(h, msg, wParam, lParam);
}

InputProbe::InputProbe(int x, int y, int width, int height) {
  static ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = reinterpret_cast<WNDPROC>(&InputProbe::Proc);
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    wc.style = CS_DBLCLKS;
    return RegisterClassW(&wc);
  }();
  (void)atom;
  Hwnd = CreateWindowExW(WS_EX_TOPMOST, kClass, L"input probe", WS_POPUP | WS_VISIBLE | WS_BORDER,
                          x, y, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  Focus();
  Pump(100);
}

InputProbe::~InputProbe() {
  if (Hwnd) DestroyWindow(static_cast<HWND>(Hwnd));
}

bool InputProbe::Focus() {
  HWND h = static_cast<HWND>(Hwnd);
  if (!h) return false;
  SetForegroundWindow(h);
  SetActiveWindow(h);
  SetFocus(h);
  Pump(50);
  return GetForegroundWindow() == h && GetFocus() == h;
}

void InputProbe::Pump(unsigned ms) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= ms) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
  }
}

bool DisablePointerAcceleration() {
  int mouse[3] = {0, 0, 0};
  return SystemParametersInfoW(SPI_SETMOUSE, 0, mouse, 0) != FALSE;
}

Point CursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return {p.x, p.y};
}

bool SetCursorTo(long x, long y) { return SetCursorPos(static_cast<int>(x), static_cast<int>(y)) != FALSE; }

}  // namespace bench

#include "app/framework/window.h"

#include "app/framework/application.h"

namespace vantor {
namespace {
// The object is found through a window property, which both plain windows and
// dialogs can carry (a dialog's GWLP_USERDATA and DWLP_USER are the template's).
constexpr char kObjectProp[] = "VantorObject";
}  // namespace

TWindow* TWindow::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<TWindow*>(GetPropA(hwnd, kObjectProp)) : nullptr;
}

void TWindow::Bind(HWND hwnd) {
  Handle = hwnd;
  SetPropA(hwnd, kObjectProp, this);
}

void TWindow::Unbind() {
  if (Handle) RemovePropA(Handle, kObjectProp);
  Handle = nullptr;
}

bool TWindow::PreProcessMsg(MSG&) { return false; }

bool TWindow::Dispatch(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool TWindow::Route(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept {
  try {
    if (msg == WM_COMMAND && TApplication::OfferCommand(Handle, wParam, lParam)) {
      result = 0;
      return true;
    }
    return Dispatch(msg, wParam, lParam, result);
  } catch (...) {
    // A handler that throws must not unwind through the system's code; the
    // message counts as handled and the window goes on.
    result = 0;
    return true;
  }
}

}  // namespace vantor

#include "win32/bring_to_front.h"

namespace vantor {

void BringToFront(HWND window) {
  ShowWindow(window, SW_SHOW);
  SetActiveWindow(window);
  SetFocus(window);
  SetForegroundWindow(window);
}

}  // namespace vantor

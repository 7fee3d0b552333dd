// Shows a top-level window and makes it the one the user works with: shown,
// active, focused and in the foreground, in that order.
#pragma once

#include <windows.h>

namespace vantor {

void BringToFront(HWND window);

}  // namespace vantor

#include "app/framework/error_box.h"

#include <windows.h>

namespace vantor {

void ShowProgramError(const char* text) { MessageBoxExA(nullptr, text, "Error", MB_OK | MB_ICONEXCLAMATION, 0); }

}  // namespace vantor

#include "win32/utf8_to_wide.h"

#include <windows.h>

namespace vantor {

bool Utf8ToWide(const char* utf8, wchar_t* out, std::size_t count) {
  if (count == 0) return false;
  const int room = count > 0x7fffffff ? 0x7fffffff : static_cast<int>(count);
  if (MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out, room) == 0) {
    out[0] = L'\0';
    return false;
  }
  return true;
}

}  // namespace vantor

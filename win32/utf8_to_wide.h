// Texts kept as UTF-8 in the source (the Japanese notices and titles) go to the
// wide API so they read right whatever the system's ANSI code page is.
#pragma once

#include <cstddef>

namespace vantor {

// Converts into `out` (room for `count` wide characters, its zero included). A text
// that does not fit, or cannot be converted, gives an empty string and false.
bool Utf8ToWide(const char* utf8, wchar_t* out, std::size_t count);

}  // namespace vantor

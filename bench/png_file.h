// Writes a screen rectangle as a PNG file, with no library: stored (uncompressed)
// deflate blocks are enough for a screenshot kept in the docs.
#pragma once

#include <windows.h>

namespace bench {

bool SaveScreenPng(const RECT& area, const char* path);

}  // namespace bench

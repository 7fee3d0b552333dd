// capture_window <title> <out.png> [milliseconds]: waits for a visible top-level
// window of any program with this title and saves it as the bench's display shows
// it, for screenshots of windows that are not the program's own. docs/manual/installer.png:
//   eval "$(bench/wine-bench.sh env build/windows)"
//   wine build/windows/dist/Vantor-1.0.0-setup.exe &
//   wine build/windows/bin/capture_window.exe "Vantor 1.0.0 Setup" "$(winepath -w "$PWD/docs/manual/installer.png")"
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "bench/png_file.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: capture_window <title> <out.png> [milliseconds]\n");
    return 2;
  }
  const DWORD wait = argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 20000;
  HWND window = nullptr;
  for (DWORD start = GetTickCount(); GetTickCount() - start < wait; Sleep(100)) {
    window = FindWindowA(nullptr, argv[1]);
    if (window && IsWindowVisible(window)) break;
    window = nullptr;
  }
  if (!window) {
    std::fprintf(stderr, "no window \"%s\"\n", argv[1]);
    return 1;
  }
  SetWindowPos(window, HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  Sleep(1500);  // let it draw itself at its new place
  RECT r;
  GetWindowRect(window, &r);
  return bench::SaveScreenPng(r, argv[2]) ? 0 : 1;
}

// show_dialog <id> <milliseconds> [control=text | control | !control | png=FILE ...]:
// shows one of the program's dialog templates modeless at the top left of the screen,
// with the given texts filled in, buttons checked or controls disabled, and prints its screen
// rectangle, for screenshots of what a user sees (bench/screenshot.sh);
// with png=FILE it saves the picture itself once the dialog has been drawn.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/png_file.h"

namespace {
INT_PTR CALLBACK Proc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: show_dialog <id> <milliseconds>\n");
    return 2;
  }
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(std::atoi(argv[1])), nullptr, Proc, 0);
  if (!dialog) {
    std::fprintf(stderr, "no dialog %s\n", argv[1]);
    return 1;
  }
  const char* png = nullptr;
  for (int i = 3; i < argc; ++i) {
    if (std::strncmp(argv[i], "png=", 4) == 0) {
      png = argv[i] + 4;
      continue;
    }
    if (argv[i][0] == '!') {
      EnableWindow(GetDlgItem(dialog, std::atoi(argv[i] + 1)), FALSE);
      continue;
    }
    const int id = std::atoi(argv[i]);
    if (const char* text = std::strchr(argv[i], '=')) SetDlgItemTextA(dialog, id, text + 1);
    else CheckDlgButton(dialog, id, BST_CHECKED);
  }
  SetWindowPos(dialog, HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  RECT r;
  GetWindowRect(dialog, &r);
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::fflush(stdout);
  DWORD end = GetTickCount() + static_cast<DWORD>(std::atoi(argv[2]));
  while (GetTickCount() < end) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!IsDialogMessageA(dialog, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    Sleep(20);
    if (png && GetTickCount() + 2000 > end) {
      if (!bench::SaveScreenPng(r, png)) return 1;
      png = nullptr;
    }
  }
  return 0;
}

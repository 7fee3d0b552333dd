// vantor_demo: Vantor's main job end to end on the bench, with a virtual remote.
// It stores a sample configuration (the IR55 receiver on COM1 and a few learned
// events), starts Vantora.exe, presses "Start Vantor", then plays remote buttons
// into COM1 through the IR55 emulator and reports, step by step, what each one did
// to the pointer or to a probe window. --interactive lets a person press the
// buttons; --docs DIR saves screenshots of the main window and the tray menu.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/input_probe.h"
#include "bench/program.h"
#include "bench/pty_port.h"
#include "bench/png_file.h"
#include "tools/ir55/ir55_emulator.h"

namespace {

const char kPortKey[] = "Infrared\\Software\\Vantora\\Port";
const char kEventListKey[] = "Infrared\\Software\\Vantora\\EventList";

struct Button {
  const char* name;
  std::uint8_t code;
};
const Button kButtons[] = {{"up", 0x41},   {"down", 0x42},  {"left", 0x43}, {"right", 0x44},
                           {"ok", 0x45},   {"menu", 0x46},  {"play", 0x47}, {"text", 0x48}};
const char* kEntries[] = {
    "LW 00 41;MOVE 0 -20;",          "LW 00 42;MOVE 0 20;",       "LW 00 43;MOVE -20 0;",
    "LW 00 44;MOVE 20 0;",           "LW 00 45;LEFTDOWN;LEFTUP;", "LW 00 46;LW 00 47;MOVE 40 40;",
    "LW 00 48;KEYDOWN 56 2f0001;KEYUP 56 c02f0001;",
};

void Put(const char* path, const char* name, const char* text) { bench::PutString(path, name, text); }

void StoreSampleConfiguration() {
  RegDeleteTreeA(HKEY_CURRENT_CONFIG, "Infrared\\Software\\Vantora");
  Put(kPortKey, "Transmitter", "1;0;end");
  Put(kPortKey, "IrDAPortNum", "1");
  char name[32];
  std::snprintf(name, sizeof name, "%d", static_cast<int>(sizeof kEntries / sizeof kEntries[0]));
  Put(kEventListKey, "EventListCount", name);
  for (std::size_t i = 0; i < sizeof kEntries / sizeof kEntries[0]; ++i) {
    std::snprintf(name, sizeof name, "EventList%d", static_cast<int>(i));
    Put(kEventListKey, name, kEntries[i]);
  }
}

using bench::FindTopLevel;

class Demo {
 public:
  Demo() : probe_(40, 40, 900, 700), receiver_(1) {}

  bool Start(const std::string& docs) {
    if (!receiver_.ok()) return Fail("no terminal behind COM1");
    StoreSampleConfiguration();
    std::printf("stored: IR55 receiver on COM1 and %d learned events\n", static_cast<int>(std::size(kEntries)));
    if (!bench::StartBeside("Vantora.exe", program_)) return Fail("Vantora.exe did not start");
    for (int i = 0; i < 200 && !(frame_ = FindTopLevel(program_.dwProcessId, nullptr, "Vantor")); ++i) probe_.Pump(50);
    if (!frame_) return Fail("no window titled Vantor");
    std::printf("Vantora.exe is up: window \"Vantor\", COM1 opened at 1200 baud\n");
    dialog_ = GetWindow(frame_, GW_CHILD);
    probe_.Pump(500);
    if (!docs.empty()) Shot(frame_, docs + "\\main-window.png");
    SendMessageA(GetDlgItem(dialog_, 1), BM_CLICK, 0, 0);
    probe_.Pump(300);
    Check(!IsWindowVisible(frame_), "pressed \"Start Vantor\": the window went to the notification area");
    if (!docs.empty()) TrayMenuShot(docs + "\\tray-menu.png");
    probe_.Focus();
    bench::SetCursorTo(490, 390);
    probe_.Pump(100);
    pointer_ = {490, 390};
    return true;
  }

  // Presses one button of the virtual remote and reports what it did.
  void Press(const char* name, bool quietMiss = false) {
    const Button* button = nullptr;
    for (const Button& b : kButtons)
      if (std::strcmp(b.name, name) == 0) button = &b;
    if (!button) {
      std::printf("  no button \"%s\"\n", name);
      return;
    }
    bench::Point before = pointer_;
    probe_.Clear();
    ir55::Script script;
    script.Press(button->code);
    std::printf("press %-6s (code %02x): ", name, button->code);
    std::fflush(stdout);
    for (const ir55::TimedByte& b : script.Bytes()) {
      receiver_.Write(&b.value, 1);
      probe_.Pump(9);  // one byte time at 1200 baud
    }
    probe_.Pump(250);
    // The pointer as the probe window saw it move: this process's own GetCursorPos
    // does not follow moves another process injects under Wine.
    auto moves = probe_.Moves();
    bench::Point after = moves.empty() ? before : moves.back();
    auto messages = probe_.Messages();
    if (after.x != before.x || after.y != before.y) {
      std::printf("pointer (%ld,%ld) -> (%ld,%ld)\n", before.x, before.y, after.x, after.y);
    } else if (!messages.empty()) {
      std::string seen;
      for (const auto& m : messages) {
        const char* what = m.message == WM_LBUTTONDOWN ? "left down" : m.message == WM_LBUTTONUP ? "left up"
                           : m.message == WM_KEYDOWN   ? "key down"  : m.message == WM_KEYUP     ? "key up" : "message";
        char one[64];
        if (m.message == WM_KEYDOWN || m.message == WM_KEYUP)
          std::snprintf(one, sizeof one, "%s %c (scan %02x)", what, static_cast<char>(m.wParam),
                        static_cast<unsigned>((m.lParam >> 16) & 0xFF));
        else
          std::snprintf(one, sizeof one, "%s", what);
        seen += (seen.empty() ? "" : ", ") + std::string(one);
      }
      std::printf("probe window got %s\n", seen.c_str());
    } else {
      std::printf("%s\n", quietMiss ? "nothing yet (first of a pair)" : "nothing");
    }
    last_ = {before, after, messages};
    pointer_ = after;
  }

  // Scripted run: each button and the effect it must have.
  void Script() {
    Press("right");
    Expect(20, 0);
    Press("down");
    Expect(0, 20);
    Press("left");
    Expect(-20, 0);
    Press("up");
    Expect(0, -20);
    Press("ok");
    Check(HasMessages({WM_LBUTTONDOWN, WM_LBUTTONUP}), "  a left click reached the probe window");
    Press("menu", true);
    Expect(0, 0);
    Press("play");
    Expect(40, 40);
    Press("text");
    Check(HasMessages({WM_KEYDOWN, WM_KEYUP}) && last_.messages[0].wParam == 'V', "  the key V was pressed and released");
  }

  void Interactive() {
    std::printf("buttons: up down left right ok menu play text; quit ends\n");
    char line[64];
    while (std::printf("> "), std::fflush(stdout), std::fgets(line, sizeof line, stdin)) {
      line[std::strcspn(line, "\r\n")] = '\0';
      if (!std::strcmp(line, "quit")) break;
      if (*line) Press(line, true);
    }
  }

  int Finish() {
    if (frame_) {
      SendMessageA(dialog_, WM_USER + 305, 0, WM_LBUTTONDOWN);  // the tray icon, clicked
      probe_.Pump(300);
      Check(IsWindowVisible(frame_) != FALSE, "clicked the tray icon: the window is back");
      PostMessageA(frame_, WM_CLOSE, 0, 0);
      Check(WaitForSingleObject(program_.hProcess, 10000) == WAIT_OBJECT_0, "closed Vantora.exe");
    }
    if (program_.hProcess) {
      TerminateProcess(program_.hProcess, 1);
      CloseHandle(program_.hProcess);
      CloseHandle(program_.hThread);
    }
    std::printf("demo: %d passed, %d failed\n", passed_, failed_);
    return failed_ ? 1 : 0;
  }

 private:
  struct Last {
    bench::Point before, after;
    std::vector<bench::InputMessage> messages;
  };

  bool Fail(const char* what) {
    std::printf("FAILED: %s\n", what);
    ++failed_;
    return false;
  }
  void Check(bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "ok    " : "FAILED", what);
    ok ? ++passed_ : ++failed_;
  }
  void Expect(long dx, long dy) {
    char what[96];
    std::snprintf(what, sizeof what, "  the pointer moved by (%ld,%ld)", dx, dy);
    Check(last_.after.x - last_.before.x == dx && last_.after.y - last_.before.y == dy, what);
  }
  bool HasMessages(std::initializer_list<unsigned> kinds) const {
    if (last_.messages.size() != kinds.size()) return false;
    std::size_t i = 0;
    for (unsigned k : kinds)
      if (last_.messages[i++].message != k) return false;
    return true;
  }
  void Shot(HWND window, const std::string& path) {
    RECT r;
    GetWindowRect(window, &r);
    std::printf("%s %s\n", bench::SaveScreenPng(r, path.c_str()) ? "saved" : "could not save", path.c_str());
  }
  void TrayMenuShot(const std::string& path) {
    bench::SetCursorTo(300, 200);
    PostMessageA(dialog_, WM_USER + 305, 0, WM_RBUTTONDOWN);  // right click on the tray icon
    HWND menu = nullptr;
    for (int i = 0; i < 40 && !(menu = FindTopLevel(program_.dwProcessId, "#32768", nullptr)); ++i) probe_.Pump(50);
    if (!menu) {
      std::printf("could not open the tray menu for a screenshot\n");
      return;
    }
    probe_.Pump(200);
    RECT r;
    GetWindowRect(menu, &r);
    InflateRect(&r, 4, 4);
    std::printf("%s %s\n", bench::SaveScreenPng(r, path.c_str()) ? "saved" : "could not save", path.c_str());
    keybd_event(VK_ESCAPE, 0x01, 0, 0);  // leave the menu: its "Cancel"
    keybd_event(VK_ESCAPE, 0x01, KEYEVENTF_KEYUP, 0);
    probe_.Pump(200);
  }

  bench::InputProbe probe_;
  bench::PtyPort receiver_;
  PROCESS_INFORMATION program_{};
  HWND frame_ = nullptr;
  HWND dialog_ = nullptr;
  bench::Point pointer_;
  Last last_;
  int passed_ = 0;
  int failed_ = 0;
};

// A Linux path given to the demo becomes the Z: drive path Wine maps it to.
std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  bool interactive = false;
  std::string docs;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--interactive")) interactive = true;
    else if (!std::strcmp(argv[i], "--docs") && i + 1 < argc) docs = WindowsPath(argv[++i]);
  }
  bench::DisablePointerAcceleration();
  Demo demo;
  if (demo.Start(docs)) {
    if (interactive) demo.Interactive();
    else demo.Script();
  }
  return demo.Finish();
}

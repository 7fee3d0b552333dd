// vantor_demo: Vantor's main job end to end on the bench, with a virtual remote.
// It starts Vantora.exe with an empty configuration and does what a user does
// through the program's own windows: chooses the receiver in the options, teaches
// buttons with the event wizard, presses "Start Vantor", then presses the buttons
// on the virtual remote and reports what each one did to the pointer or to a probe
// window. One journey with the IR55 receiver, one with an IrDA-SIR transceiver.
// --irda: the IrDA-SIR journey only; --interactive: after the IR55 teaching a
// person presses the buttons; --docs DIR: screenshots of the main window and the
// tray menu, taken on the whole journey only.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/resources/private_messages.h"
#include "app/resources/resource_ids.h"
#include "bench/dialogs.h"
#include "bench/input_probe.h"
#include "bench/png_file.h"
#include "bench/program.h"
#include "bench/pty_port.h"
#include "bench/remote.h"
#include "remotes/ir55/ir55_emulator.h"
#include "remotes/sir/protocols.h"

namespace {

using bench::Click;
using bench::TextOf;

const char kSettingsKey[] = "Infrared\\Software\\Vantora";

enum class Receiver { Ir55, Irda };

// A button of a virtual remote: the IR55 receiver's code byte, or the frame an
// IrDA-SIR transceiver sees.
struct Button {
  const char* name;
  Receiver receiver;
  std::uint8_t code = 0;
  sir::Protocol protocol = sir::Protocol::Nec;
  std::uint32_t device = 0, function = 0;
};
const Button kIr55Buttons[] = {
    {"up", Receiver::Ir55, 0x41},    {"down", Receiver::Ir55, 0x42}, {"left", Receiver::Ir55, 0x43},
    {"right", Receiver::Ir55, 0x44}, {"ok", Receiver::Ir55, 0x45},   {"menu", Receiver::Ir55, 0x46},
    {"play", Receiver::Ir55, 0x47},  {"text", Receiver::Ir55, 0x48},
};
const Button& Ir55(const char* name) {
  for (const Button& b : kIr55Buttons)
    if (!std::strcmp(b.name, name)) return b;
  return kIr55Buttons[0];
}
// Nominal frames from the synthesizer: a remote of each format.
const Button kNecUp{"NEC up", Receiver::Irda, 0, sir::Protocol::Nec, 0x01, 0x10};
const Button kNecMenu{"NEC menu", Receiver::Irda, 0, sir::Protocol::Nec, 0x01, 0x11};
const Button kNecPlay{"NEC play", Receiver::Irda, 0, sir::Protocol::Nec, 0x01, 0x12};
const Button kSonyOk{"Sony ok", Receiver::Irda, 0, sir::Protocol::Sony12, 0x01, 0x13};

// What a press must do at the probe: move the pointer, or deliver these messages.
struct Effect {
  long dx = 0, dy = 0;
  std::vector<unsigned> messages;
};
const Effect kNothing{};
const Effect kThreeUp{0, -15, {}};
const Effect kLeftClicked{0, 0, {WM_LBUTTONDOWN, WM_LBUTTONUP}};
const Effect kRightClicked{0, 0, {WM_RBUTTONDOWN, WM_RBUTTONUP}};
const Effect kTypedHi{0, 0, {WM_KEYDOWN, WM_KEYUP, WM_KEYDOWN, WM_KEYUP}};

// What the wizard's third step is given: mouse buttons pressed there, or keys struck
// on the keyboard while the recorder records.
struct Action {
  int mouseButton = 0;
  int presses = 0;
  std::vector<std::pair<BYTE, BYTE>> keys;  // virtual key and scan code, each struck once
  const char* text = "";                    // what the mouse buttons write; keys write their own
};
const Action kUpThrice{IDC_STEP3_MOUSE_UP, 3, {}, "MOVE 0 -5;MOVE 0 -5;MOVE 0 -5;"};
const Action kLeftClickOnce{IDC_STEP3_MOUSE_CLICK, 1, {}, "LEFTDOWN;LEFTUP;"};
const Action kRightClickOnce{IDC_STEP3_MOUSE_RIGHT_CLICK, 1, {}, "RIGHTDOWN;RIGHTUP;"};
const Action kKeysHi{0, 0, {{'H', 0x23}, {'I', 0x17}}, ""};

class Demo {
 public:
  explicit Demo(std::string docs) : Probe(40, 40, 900, 700), Com1(1), Docs(std::move(docs)) {}

  // Vantora.exe on an empty configuration: no events, no receiver, no port.
  bool Launch() {
    if (!Com1.ok()) return Fail("no terminal behind COM1");
    RegDeleteTreeA(HKEY_CURRENT_CONFIG, kSettingsKey);
    std::printf("configuration: empty (no events, no receiver, no port)\n");
    if (!bench::StartBeside("Vantora.exe", Program)) return Fail("Vantora.exe did not start");
    return true;
  }

  // The IR55 receiver on COM1; a single button, another one, and a pair.
  bool Ir55Leg(bool interactive) {
    std::printf("\n== the IR55 receiver ==\n");
    if (!ChooseReceiver(Receiver::Ir55)) return false;
    if (!Teach({&Ir55("up")}, kUpThrice)) return false;
    if (!Teach({&Ir55("ok")}, kLeftClickOnce)) return false;
    if (!Teach({&Ir55("menu"), &Ir55("play")}, kRightClickOnce)) return false;
    if (!Teach({&Ir55("text")}, kKeysHi)) return false;
    if (!Start()) return false;
    if (interactive) return Interactive();
    Press(Ir55("up"), &kThreeUp);
    Press(Ir55("ok"), &kLeftClicked);
    Press(Ir55("menu"), &kNothing, "the first of a pair");
    Press(Ir55("play"), &kRightClicked);
    Press(Ir55("text"), &kTypedHi);
    return true;
  }

  // An IrDA-SIR transceiver on COM1: NEC buttons, then a Sony one, which switches
  // the receiver to that format.
  bool IrdaLeg() {
    std::printf("\n== the IrDA-SIR receiver ==\n");
    if (Started && !ShowAgain()) return false;
    if (!ChooseReceiver(Receiver::Irda)) return false;
    if (!Teach({&kNecUp}, kUpThrice)) return false;
    if (!Teach({&kNecMenu, &kNecPlay}, kRightClickOnce)) return false;
    if (!Start()) return false;
    Press(kNecUp, &kThreeUp);
    Press(kNecMenu, &kNothing, "the first of a pair");
    Press(kNecPlay, &kRightClicked);
    if (!ShowAgain()) return false;
    if (!Teach({&kSonyOk}, kLeftClickOnce)) return false;
    if (!Start()) return false;
    Press(kSonyOk, &kLeftClicked);
    return true;
  }

  int Finish() {
    if (Frame) {
      if (!IsWindowVisible(Frame)) {
        SendMessageA(Dialog, vantor::TrayMessage, 0, WM_LBUTTONDOWN);  // the tray icon, clicked
        Probe.Pump(300);
        Check(IsWindowVisible(Frame) != FALSE, "clicked the tray icon: the window is back");
      }
      PostMessageA(Frame, WM_CLOSE, 0, 0);
      Check(WaitForSingleObject(Program.hProcess, 10000) == WAIT_OBJECT_0, "closed Vantora.exe");
    }
    if (Program.hProcess) {
      TerminateProcess(Program.hProcess, 1);
      CloseHandle(Program.hProcess);
      CloseHandle(Program.hThread);
    }
    std::printf("demo: %d passed, %d failed\n", Passed, Failed);
    return Failed ? 1 : 0;
  }

 private:
  HWND Wait(const char* title, DWORD timeoutMs = 20000) {
    return bench::WaitForWindow(Program.dwProcessId, title, timeoutMs);
  }

  // The options dialog: at the first start it opens by itself, later "&Option" opens it.
  bool ChooseReceiver(Receiver receiver) {
    HWND option = Frame ? nullptr : Wait("Option");
    bool atStartUp = option != nullptr;
    if (atStartUp) {
      std::printf("Vantora.exe started: nothing stored, so the options dialog opened by itself\n");
    } else if (Frame) {
      PostMessageA(GetDlgItem(Dialog, IDC_MAIN_OPTION), BM_CLICK, 0, 0);
      option = Wait("Option");
      if (option) std::printf("pressed \"&Option\": the options dialog opened\n");
    }
    if (!option) return Fail("no options dialog");
    const bool irda = receiver == Receiver::Irda;
    Click(option, irda ? IDC_OPTION_KESTREL : IDC_OPTION_PELLOW);
    Click(option, IDC_OPTION_COM1);
    std::printf("chose \"%s\" and \"Com1\", pressed OK\n",
                irda ? "NEC, Toshiba, SANYO, SONY Format type common IR-Remocon" : "Pellow Tech. IR55");
    PostMessageA(GetDlgItem(option, IDC_OK), BM_CLICK, 0, 0);
    // The IrDA-SIR receiver's notice follows every opening, and the start-up's own.
    for (int i = 0; irda && i < (atStartUp ? 2 : 1); ++i) {
      HWND notice = Wait("TransmitterNec/Sony");
      if (!notice) return Fail("no notice about the NEC/Sony receiver");
      std::printf("answered the notice \"TransmitterNec/Sony\" with OK\n");
      PostMessageA(notice, WM_COMMAND, IDOK, 0);
      bench::WaitVisible(notice, false, 5000);
    }
    if (!Frame && !(Frame = Wait("Vantor"))) return Fail("no window titled Vantor");
    Dialog = GetWindow(Frame, GW_CHILD);
    List = GetDlgItem(Dialog, IDC_MAIN_EVENTS_LIST);
    bench::WaitVisible(Frame, true, 5000);
    bench::LineSettings line;
    unsigned baud = Com1.Settings(line) ? line.baud : 0;
    char what[96];
    std::snprintf(what, sizeof what, "COM1 opened by the %s receiver at %u baud", irda ? "IrDA-SIR" : "IR55", baud);
    Check(baud == (irda ? 19200u : 1200u), what);
    return true;
  }

  // "&Add event", then the wizard: learns the buttons (two: a pair), chooses the
  // mouse or the keyboard, gives the action and finishes.
  bool Teach(std::vector<const Button*> buttons, const Action& action) {
    std::string names;
    for (const Button* b : buttons) names += (names.empty() ? "" : " then ") + std::string(b->name);
    std::printf("teaching %s:\n", names.c_str());
    Click(Dialog, IDC_MAIN_ADD);
    HWND step = Wait("Wizard Step1");
    if (!step) return Fail("no window \"Wizard Step1\"");
    if (buttons.size() > 1) {
      Click(step, IDC_STEP1_TWO_IR);
      std::printf("  chose \"&Two Ir one action\"\n");
    }
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      const char* wanted = i + 1 < buttons.size() ? "Lern 2nd. signal!" : "Good!";
      std::string status = Learn(step, *buttons[i]);
      if (status == "Fault!" && buttons[i]->receiver == Receiver::Irda) {
        std::printf("  a remote of a new format: \"&Lern Ir\" and the button once more\n");
        status = Learn(step, *buttons[i]);
      }
      if (status != wanted) {
        Click(step, IDCANCEL);
        return Fail("the learning did not end as it should");
      }
    }
    std::string signal = TextOf(GetDlgItem(step, IDC_STEP1_SIGNAL));
    Click(step, IDC_WIZARD_NEXT);
    if (!(step = Wait("Wizard Step2"))) return Fail("no window \"Wizard Step2\"");
    const bool keys = !action.keys.empty();
    Click(step, keys ? IDC_STEP2_KEYBOARD : IDC_STEP2_MOUSE);
    Click(step, IDC_WIZARD_NEXT);
    std::printf("  chose \"%s\", pressed \"&Next >\"\n", keys ? "&Keyboard Event Setting" : "&Mouse Event Setting");
    if (!(step = Wait("Wizard Step3"))) return Fail("no window \"Wizard Step3\"");
    std::string written = keys ? Record(step, action) : PressMouseButtons(step, action);
    Click(step, IDC_WIZARD_FINISH);
    std::string entry = signal + written;
    std::string selected = TextOf(List);
    Check(selected == entry && !IsWindow(step), ("  \"&Finish\": the list holds and selects " + entry).c_str());
    return selected == entry;
  }

  // The mouse step: its button pressed, the action field as it then stands.
  std::string PressMouseButtons(HWND step, const Action& action) {
    for (int i = 0; i < action.presses; ++i) Click(step, action.mouseButton);
    std::string field = TextOf(GetDlgItem(step, IDC_STEP3_MOUSE_ACTION));
    std::printf("  pressed \"%s\"%s: the action field holds %s\n", TextOf(GetDlgItem(step, action.mouseButton)).c_str(),
                action.presses == 1 ? "" : action.presses == 3 ? " three times" : " several times", field.c_str());
    Check(field == action.text, "  the mouse step wrote its pieces");
    return field;
  }

  // The recorder: "Start", the keys struck on the keyboard, "Stop".
  std::string Record(HWND step, const Action& action) {
    SetForegroundWindow(step);
    Click(step, IDC_STEP3_KEYS_START);
    std::printf("  pressed \"Start\" (%s), struck", TextOf(GetDlgItem(step, IDC_STEP3_KEYS_STATUS)).c_str());
    for (auto [vk, scan] : action.keys) {
      keybd_event(vk, scan, 0, 0);
      keybd_event(vk, scan, KEYEVENTF_KEYUP, 0);
      std::printf(" %c", static_cast<char>(vk));
    }
    HWND field = GetDlgItem(step, IDC_STEP3_KEYS_SCRIPT);
    std::string recorded;
    const std::size_t tokens = action.keys.size() * 2;  // a press and a release each
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(20)) {
      recorded = TextOf(field);
      if (static_cast<std::size_t>(std::count(recorded.begin(), recorded.end(), ';')) >= tokens) break;
    }
    Click(step, IDC_STEP3_KEYS_STOP);
    std::printf(", pressed \"Stop\" (%s): the field holds %s\n", TextOf(GetDlgItem(step, IDC_STEP3_KEYS_STATUS)).c_str(),
                recorded.c_str());
    Check(static_cast<std::size_t>(std::count(recorded.begin(), recorded.end(), ';')) == tokens,
          "  the recorder wrote a press and a release for each key");
    return recorded;
  }

  std::string Learn(HWND step, const Button& button) {
    std::string status;
    if (button.receiver == Receiver::Ir55) {
      std::printf("  pressed \"&Lern Ir\" and %s (code %02x): ", button.name, button.code);
      status = bench::LearnIr55(step, Com1, ir55::Script().Press(button.code));
    } else {
      unsigned baud = 0;
      std::printf("  pressed \"&Lern Ir\" and %s: ", button.name);
      status = bench::LearnSir(step, Com1, button.protocol, button.device, button.function, baud);
      std::printf("(captured at %u baud) ", baud);
    }
    std::string signal = TextOf(GetDlgItem(step, IDC_STEP1_SIGNAL));
    std::printf("\"%s\", signal %s\n", status.c_str(), signal.empty() ? "none" : signal.c_str());
    return status;
  }

  // "Start Vantor": the list is saved and the window goes to the notification area.
  bool Start() {
    if (!Docs.empty()) Shot(Frame, Docs + "\\main-window.png");
    Click(Dialog, IDC_MAIN_START);
    Probe.Pump(300);
    Check(!IsWindowVisible(Frame), "pressed \"Start Vantor\": the window went to the notification area");
    if (!Docs.empty() && !Started) TrayMenuShot(Docs + "\\tray-menu.png");
    Started = true;
    Probe.Focus();
    bench::SetCursorTo(490, 390);
    Probe.Pump(100);
    Pointer = {490, 390};
    return !IsWindowVisible(Frame);
  }

  bool ShowAgain() {
    SendMessageA(Dialog, vantor::TrayMessage, 0, WM_LBUTTONDOWN);
    bool shown = bench::WaitVisible(Frame, true, 5000);
    Check(shown, "clicked the tray icon: the window is back");
    return shown;
  }

  // Presses a button of the virtual remote and reports what it did.
  // With an effect wanted, checks that it happened.
  void Press(const Button& button, const Effect* wanted, const char* note = nullptr) {
    Probe.Clear();
    const bench::Waiter pump = [this](DWORD ms) { Probe.Pump(ms); };
    // While the program plays the action this thread leaves the display's events
    // alone: Wine turns the display's echo of each injected move into a pointer
    // position, and an echo taken between two moves would set the pointer back.
    const bench::Waiter sleep = [](DWORD ms) { Sleep(ms); };
    bool irda = button.receiver == Receiver::Irda;
    if (irda) {
      std::printf("press %-8s: ", button.name);
      unsigned baud = bench::WaitForCapture(Com1, 8000, pump);
      if (!baud) {
        std::printf("the receiver is not capturing\n");
        return Check(false, "  the press was heard");
      }
      Probe.Pump(100);  // past the capture's purge
      // A tap, the least a remote sends: one NEC frame, three Sony frames. A longer
      // press repeats its entry while held, as the button would.
      const bool sony = button.protocol == sir::Protocol::Sony12 || button.protocol == sir::Protocol::Sony15;
      bench::PlaySir(Com1, button.protocol, button.device, button.function, baud, sleep, {.frames = sony ? 3 : 1});
    } else {
      std::printf("press %-8s (code %02x): ", button.name, button.code);
      bench::PlayIr55(Com1, ir55::Script().Press(button.code), sleep);
    }
    Sleep(irda ? 800 : 400);  // the capture ends, the code is looked up, the action played
    Collect(1000);
    // The pointer as the probe window saw it move: this process's own GetCursorPos
    // does not follow moves another process injects under Wine.
    auto moves = Probe.Moves();
    bench::Point before = Pointer, after = moves.empty() ? Pointer : moves.back();
    auto messages = Probe.Messages();
    if (after.x != before.x || after.y != before.y) {
      std::printf("pointer (%ld,%ld) -> (%ld,%ld)\n", before.x, before.y, after.x, after.y);
    } else if (!messages.empty()) {
      std::string seen;
      for (const auto& m : messages) seen += (seen.empty() ? "" : ", ") + Describe(m);
      std::printf("probe window got %s\n", seen.c_str());
    } else {
      std::printf("nothing%s%s%s\n", note ? " (" : "", note ? note : "", note ? ")" : "");
    }
    Pointer = after;
    if (!wanted) return;
    bool same = after.x - before.x == wanted->dx && after.y - before.y == wanted->dy &&
                messages.size() == wanted->messages.size();
    for (std::size_t i = 0; same && i < messages.size(); ++i) same = messages[i].message == wanted->messages[i];
    Check(same, ("  " + Expected(*wanted)).c_str());
  }

  // Runs the probe until a press's effect has come and gone quiet, or for waitMs
  // when none comes.
  void Collect(DWORD waitMs) {
    std::size_t seen = 0;
    DWORD quietSince = GetTickCount();
    for (DWORD start = GetTickCount(); GetTickCount() - start < waitMs + 2000;) {
      Probe.Pump(20);
      std::size_t now = Probe.Moves().size() + Probe.Messages().size();
      if (now != seen) seen = now, quietSince = GetTickCount();
      DWORD quiet = GetTickCount() - quietSince;
      if (seen ? quiet >= 300 : GetTickCount() - start >= waitMs) break;
    }
  }

  static std::string Describe(const bench::InputMessage& m) {
    switch (m.message) {
      case WM_LBUTTONDOWN: return "left down";
      case WM_LBUTTONUP: return "left up";
      case WM_RBUTTONDOWN: return "right down";
      case WM_RBUTTONUP: return "right up";
      case WM_KEYDOWN:
      case WM_KEYUP: {
        char one[48];
        std::snprintf(one, sizeof one, "key %s %c (scan %02x)", m.message == WM_KEYDOWN ? "down" : "up",
                      static_cast<char>(m.wParam), static_cast<unsigned>((m.lParam >> 16) & 0xFF));
        return one;
      }
      default: return "message";
    }
  }

  static std::string Expected(const Effect& e) {
    if (e.messages.empty()) {
      char what[64];
      std::snprintf(what, sizeof what, "the pointer moved by (%ld,%ld)", e.dx, e.dy);
      return e.dx || e.dy ? what : "nothing happened";
    }
    if (e.messages[0] == WM_KEYDOWN) return "the recorded keys reached the probe window";
    return e.messages[0] == WM_RBUTTONDOWN ? "a right click reached the probe window"
                                           : "a left click reached the probe window";
  }

  bool Interactive() {
    std::printf("buttons: up ok menu play text (and down left right, not taught); quit ends\n");
    char line[64];
    while (std::printf("> "), std::fflush(stdout), std::fgets(line, sizeof line, stdin)) {
      line[std::strcspn(line, "\r\n")] = '\0';
      if (!std::strcmp(line, "quit")) break;
      const Button* found = nullptr;
      for (const Button& b : kIr55Buttons)
        if (!std::strcmp(b.name, line)) found = &b;
      if (found) {
        Press(*found, nullptr);
      } else if (*line) {
        std::printf("  no button \"%s\"\n", line);
      }
    }
    return true;
  }

  bool Fail(const char* what) {
    std::printf("FAILED: %s\n", what);
    ++Failed;
    return false;
  }
  void Check(bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "ok    " : "FAILED", what);
    ok ? ++Passed : ++Failed;
  }
  void Shot(HWND window, const std::string& path) {
    RECT r;
    GetWindowRect(window, &r);
    std::printf("%s %s\n", bench::SaveScreenPng(r, path.c_str()) ? "saved" : "could not save", path.c_str());
  }
  void TrayMenuShot(const std::string& path) {
    bench::SetCursorTo(300, 200);
    PostMessageA(Dialog, vantor::TrayMessage, 0, WM_RBUTTONDOWN);  // right click on the tray icon
    HWND menu = nullptr;
    for (int i = 0; i < 40 && !(menu = bench::FindTopLevel(Program.dwProcessId, "#32768", nullptr)); ++i)
      Probe.Pump(50);
    if (!menu) {
      std::printf("could not open the tray menu for a screenshot\n");
      return;
    }
    Probe.Pump(200);
    RECT r;
    GetWindowRect(menu, &r);
    InflateRect(&r, 4, 4);
    std::printf("%s %s\n", bench::SaveScreenPng(r, path.c_str()) ? "saved" : "could not save", path.c_str());
    keybd_event(VK_ESCAPE, 0x01, 0, 0);  // leave the menu: its "Cancel"
    keybd_event(VK_ESCAPE, 0x01, KEYEVENTF_KEYUP, 0);
    Probe.Pump(200);
  }

  bench::InputProbe Probe;
  bench::PtyPort Com1;
  std::string Docs;
  PROCESS_INFORMATION Program{};
  HWND Frame = nullptr;
  HWND Dialog = nullptr;
  HWND List = nullptr;
  bool Started = false;
  bench::Point Pointer;
  int Passed = 0;
  int Failed = 0;
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
  bool interactive = false, irdaOnly = false;
  std::string docs;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--interactive")) interactive = true;
    else if (!std::strcmp(argv[i], "--irda")) irdaOnly = true;
    else if (!std::strcmp(argv[i], "--docs") && i + 1 < argc) docs = WindowsPath(argv[++i]);
  }
  bench::DisablePointerAcceleration();
  // The screenshots show the whole journey's events.
  Demo demo(irdaOnly || interactive ? std::string() : docs);
  if (demo.Launch()) {
    if (irdaOnly) demo.IrdaLeg();
    else if (demo.Ir55Leg(interactive) && !interactive) demo.IrdaLeg();
  }
  return demo.Finish();
}

// The real program, started as its own process on the bench.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/resources/private_messages.h"
#include "app/resources/resource_ids.h"
#include "bench/dialogs.h"
#include "bench/input_probe.h"
#include "bench/ir55_feed.h"
#include "bench/program.h"
#include "bench/pty_port.h"
#include "bench/remote.h"
#include "remotes/ir55/ir55_emulator.h"
#include "remotes/sir/protocols.h"

namespace {

const char kRoot[] = "Infrared\\Software\\Vantora";
const char kPortKey[] = "Infrared\\Software\\Vantora\\Port";
const char kEventListKey[] = "Infrared\\Software\\Vantora\\EventList";

void Put(const char* path, const char* name, const char* text) { bench::PutString(path, name, text); }

void PutIn(HKEY root, const char* path, const char* name, const char* text) { bench::PutString(path, name, text, root); }

void PutRaw(const char* path, const char* name, DWORD type, const void* data, DWORD size) {
  bench::PutValue(path, name, type, data, size);
}

std::string Get(const char* path, const char* name) {
  char buffer[512] = {};
  DWORD size = sizeof buffer - 1;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_CONFIG, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
  LONG found = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  return found == ERROR_SUCCESS ? buffer : "<absent>";
}

class Program {
 public:
  Program() { Ok = bench::StartBeside("Vantora.exe", Pi); }
  ~Program() {
    if (!Ok) return;
    if (WaitForSingleObject(Pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(Pi.hProcess, 99);
    CloseHandle(Pi.hProcess);
    CloseHandle(Pi.hThread);
  }
  bool ok() const { return Ok; }
  DWORD Id() const { return Pi.dwProcessId; }
  // The main window, once it is there.
  HWND MainWindow() const { return bench::WaitForWindow(Id(), "Vantor", 20000); }
  // Exit code once it ended within timeoutMs, or STILL_ACTIVE.
  DWORD WaitExit(DWORD timeoutMs) const {
    WaitForSingleObject(Pi.hProcess, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(Pi.hProcess, &code);
    return code;
  }
  // Closes the main window as its close box does; the exit code, as WaitExit gives it.
  DWORD Close(HWND frame) const {
    PostMessageA(frame, WM_CLOSE, 0, 0);
    return WaitExit(20000);
  }

 private:
  bool Ok = false;
  PROCESS_INFORMATION Pi{};
};

using bench::Checked;
using bench::Click;
using bench::Enabled;
using bench::LearnIr55;
using bench::TextOf;
using bench::WaitForWindow;
using bench::WaitVisible;

// The popup menu's class is "#32768".
HWND WaitForClass(DWORD pid, const char* className, DWORD timeoutMs) {
  return bench::WaitForTopLevel(pid, className, nullptr, timeoutMs);
}

// Whether the notification area holds the icon of this window: changing nothing
// about an icon succeeds only while it is there.
bool TrayIconPresent(HWND window) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window;
  data.uID = 0;
  data.uFlags = 0;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

// The main dialog inside the frame.
HWND Dialog(HWND frame) { return GetWindow(frame, GW_CHILD); }

class Vantora : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_CONFIG, kRoot); }
  void TearDown() override {
    Running.reset();  // the program ends before its port and its keys go
    Com1.reset();
    RegDeleteTreeA(HKEY_CURRENT_CONFIG, kRoot);
  }

  // What a test drives, in the order tests bind it: the receiver's end of COM1, the
  // program, its frame (nullptr when the main window did not show) and the main dialog.
  struct Started {
    bench::PtyPort& Port;
    Program& Process;
    HWND Frame;
    HWND MainDialog;
  };
  // Starts the program with the IR55 receiver on COM1 holding these entries. A
  // program started before by the same test ends first, its port with it.
  Started StartOnIr55(std::initializer_list<const char*> entries = {}) {
    Running.reset();
    Com1.reset();
    Com1.emplace(1);
    StoreIr55OnCom1(entries);
    Running.emplace();
    HWND frame = Running->MainWindow();
    return {*Com1, *Running, frame, Dialog(frame)};
  }
  // The receiver comes back: a new terminal behind COM1 where the old one was.
  void ReattachCom1() {
    Com1.reset();
    Com1.emplace(1);
  }

  // The IR55 receiver on COM1, and these entries when any are given.
  static void StoreIr55OnCom1(std::initializer_list<const char*> entries = {}) {
    Put(kPortKey, "Transmitter", "1;0;end");
    Put(kPortKey, "IrDAPortNum", "1");
    if (!entries.size()) return;
    Put(kEventListKey, "EventListCount", std::to_string(entries.size()).c_str());
    int i = 0;
    for (const char* entry : entries) Put(kEventListKey, ("EventList" + std::to_string(i++)).c_str(), entry);
  }

 private:
  std::optional<bench::PtyPort> Com1;
  std::optional<Program> Running;
};

TEST_F(Vantora, ASecondStartExitsWithOneAndTheFrameCloseSavesThePort) {
  bench::PtyPort com1(1);
  StoreIr55OnCom1();
  Put(kPortKey, "RCFormat", "so");
  Program first;
  ASSERT_TRUE(first.ok());
  HWND frame = first.MainWindow();
  ASSERT_NE(frame, nullptr);
  bench::LineSettings line;
  ASSERT_TRUE(com1.Settings(line));
  EXPECT_EQ(line.baud, 1200u);  // the IR55 receiver has the stored port

  Program second;
  ASSERT_TRUE(second.ok());
  EXPECT_EQ(second.WaitExit(20000), 1u);
  EXPECT_EQ(first.WaitExit(0), STILL_ACTIVE);

  // The frame's close box: port settings saved, port closed, program ended.
  EXPECT_EQ(first.Close(frame), 0u);
  EXPECT_EQ(Get(kPortKey, "IrDAPortNum"), "1");
  EXPECT_EQ(Get(kPortKey, "Transmitter"), "1;0;end");
  EXPECT_EQ(Get(kPortKey, "RCFormat"), "SO");
  ASSERT_TRUE(com1.Settings(line));
  EXPECT_EQ(line.baud, 19200u);  // Close leaves the line at 19200
}

TEST_F(Vantora, TwoStartsTogetherLeaveOneRunning) {
  bench::PtyPort com1(1);
  StoreIr55OnCom1();
  for (int round = 0; round < 3; ++round) {
    Program a;
    Program b;
    ASSERT_TRUE(a.ok() && b.ok());
    DWORD start = GetTickCount();
    while (a.WaitExit(50) == STILL_ACTIVE && b.WaitExit(50) == STILL_ACTIVE && GetTickCount() - start < 20000) {
    }
    const Program& running = a.WaitExit(0) == STILL_ACTIVE ? a : b;
    const Program& ended = &running == &a ? b : a;
    ASSERT_EQ(ended.WaitExit(0), 1u) << "round " << round;
    HWND frame = running.MainWindow();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(running.WaitExit(0), STILL_ACTIVE);
    EXPECT_EQ(running.Close(frame), 0u);
  }
}

// Set-up's branches: the IrDA driver's physical port taken when none is stored, a
// stored port refused because the driver owns it, a check that fails, and the
// notice once the IrDA-SIR receiver has opened. Each row lists the windows the user
// answers before the main window shows.
TEST_F(Vantora, SetUpTakesOrRefusesThePortAndSaysWhatHappened) {
  const char kDriverKey[] = "Enum\\Infrared";
  struct Row {
    const char* what;
    const char* transmitter;
    const char* portNumber;  // none stored when null
    const char* framerPort;  // the IrDA driver's physical port
    const char* virtualCom;  // the IrDA driver's virtual COM port
    bench::PtyPort::Mode com1;
    std::vector<const char*> answered;
    unsigned baud;  // COM1's line at the end, 0: not looked at
  } rows[] = {
      {"physical port", "1;0;end", nullptr, "com1", nullptr, bench::PtyPort::Mode::Ready, {}, 9600},
      {"virtual port", "1;0;end", "1", nullptr, "COM1", bench::PtyPort::Mode::Ready, {"Option"}, 0},
      {"port held", "1;0;end", "1", nullptr, nullptr, bench::PtyPort::Mode::Held, {"Error", "Option"}, 0},
      {"IrDA-SIR", "0;1;end", "1", nullptr, nullptr, bench::PtyPort::Mode::Ready, {"TransmitterNec/Sony"}, 19200},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    RegDeleteTreeA(HKEY_CURRENT_CONFIG, kRoot);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kDriverKey);
    Put(kPortKey, "Transmitter", row.transmitter);
    if (row.portNumber) Put(kPortKey, "IrDAPortNum", row.portNumber);
    if (row.framerPort) PutIn(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Framer", "PortName", row.framerPort);
    if (row.virtualCom)
      PutIn(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\VirtualPorts", "VirtualComPortName", row.virtualCom);
    bench::PtyPort com1(1, row.com1);
    Program program;
    for (const char* title : row.answered) {
      HWND window = WaitForWindow(program.Id(), title, 20000);
      ASSERT_NE(window, nullptr) << title;
      if (HWND cancel = GetDlgItem(window, IDCANCEL); cancel && !strcmp(title, "Option"))
        SendMessageA(cancel, BM_CLICK, 0, 0);
      else
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
    HWND frame = program.MainWindow();
    ASSERT_NE(frame, nullptr);
    if (row.baud) {
      bench::LineSettings line;
      ASSERT_TRUE(com1.Settings(line));
      EXPECT_EQ(line.baud, row.baud);
    }
    EXPECT_EQ(program.Close(frame), 0u);
  }
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kDriverKey);
}

TEST_F(Vantora, AFirstRunWithoutKeysOpensTheOptionsDuringSetUp) {
  Program program;
  ASSERT_TRUE(program.ok());
  HWND option = WaitForWindow(program.Id(), "Option", 20000);
  ASSERT_NE(option, nullptr);
  SendMessageA(GetDlgItem(option, IDCANCEL), BM_CLICK, 0, 0);
  HWND frame = program.MainWindow();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(Get(kEventListKey, "EventListCount"), "<absent>");  // the key exists, empty
  EXPECT_EQ(program.Close(frame), 0u);
  EXPECT_EQ(Get(kPortKey, "IrDAPortNum"), "<absent>");  // no port: nothing saved
}

// The main dialog's list.
std::vector<std::string> Items(HWND list) {
  std::vector<std::string> items;
  int n = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    // Across processes Wine passes the list's text as UTF-16.
    wchar_t text[512] = {};
    if (SendMessageW(list, CB_GETLBTEXTLEN, i, 0) < 512) SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    char narrow[512] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    items.push_back(narrow);
  }
  return items;
}

void Select(HWND dialog, HWND list, int index) {
  SendMessageA(list, CB_SETCURSEL, index, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MAIN_EVENTS_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void Edit(HWND dialog, HWND list, const char* text) {
  SetWindowTextA(list, text);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MAIN_EVENTS_LIST, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(list));
}

TEST_F(Vantora, DeleteUpdateAndStartEditTheListAndSaveIt) {
  auto [com1, program, frame, dialog] =
      StartOnIr55({"LW 00 41;MOVE 0 -5;", "LW 00 42;MOVE 0 5;", "LW 00 43;LEFTDOWN;LEFTUP;"});
  ASSERT_TRUE(program.ok());
  ASSERT_NE(frame, nullptr);
  HWND list = GetDlgItem(dialog, IDC_MAIN_EVENTS_LIST);
  ASSERT_EQ(Items(list).size(), 3u);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_MAIN_DELETE)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_MAIN_UPDATE)));

  // Delete without a selection only empties the edit field.
  Edit(dialog, list, "typed");
  Click(dialog, IDC_MAIN_DELETE);
  EXPECT_EQ(Items(list).size(), 3u);
  char edit[64] = {};
  GetWindowTextA(list, edit, sizeof edit);
  EXPECT_STREQ(edit, "");

  // Delete with a selection removes it and disables Delete.
  Select(dialog, list, 1);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_MAIN_DELETE)));
  Click(dialog, IDC_MAIN_DELETE);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"LW 00 41;MOVE 0 -5;", "LW 00 43;LEFTDOWN;LEFTUP;"}));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_MAIN_DELETE)));

  // Update replaces the selected entry, at its sorted place.
  Select(dialog, list, 1);
  Edit(dialog, list, "LW 00 40;RIGHTDOWN;RIGHTUP;");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_MAIN_UPDATE)));
  Click(dialog, IDC_MAIN_UPDATE);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"LW 00 40;RIGHTDOWN;RIGHTUP;", "LW 00 41;MOVE 0 -5;"}));

  // A second Update with no selection since must not delete what sits at the old index.
  Edit(dialog, list, "LW 00 44;MOVE 1 1;");
  Click(dialog, IDC_MAIN_UPDATE);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"LW 00 40;RIGHTDOWN;RIGHTUP;", "LW 00 41;MOVE 0 -5;",
                                                   "LW 00 44;MOVE 1 1;"}));

  // Start saves the list and hides the window; Show brings it back, Start saves again.
  Click(dialog, IDC_MAIN_START);
  EXPECT_FALSE(IsWindowVisible(frame));
  EXPECT_EQ(Get(kEventListKey, "EventListCount"), "3");
  EXPECT_EQ(Get(kEventListKey, "EventList0"), "LW 00 40;RIGHTDOWN;RIGHTUP;");
  SendMessageA(dialog, vantor::TrayMessage, 0, WM_LBUTTONDOWN);
  EXPECT_TRUE(IsWindowVisible(frame));
  Select(dialog, list, 2);
  Click(dialog, IDC_MAIN_DELETE);
  Click(dialog, IDC_MAIN_START);
  EXPECT_EQ(Get(kEventListKey, "EventListCount"), "2");
  SendMessageA(dialog, vantor::TrayMessage, 0, WM_LBUTTONDOWN);

  // Update takes at most 255 characters of the edit field.
  std::string typed = "LW 00 45;" + std::string(300, 'K');
  Edit(dialog, list, typed.c_str());
  Click(dialog, IDC_MAIN_UPDATE);
  EXPECT_EQ(Items(list).back(), typed.substr(0, 255));
  EXPECT_EQ(program.Close(frame), 0u);
}

TEST_F(Vantora, ADamagedCountLosesNoEntryAcrossARunAnAddedEventAndStart) {
  bench::PtyPort com1(1);
  const DWORD three = 3;
  struct Damage {
    const char* what;
    DWORD type;
    const void* data;
    DWORD size;
  } damages[] = {
      {"binary", REG_BINARY, &three, sizeof three},
      {"-1", REG_SZ, "-1", 3},
      {"abc", REG_SZ, "abc", 4},
      {"99999999999", REG_SZ, "99999999999", 12},
  };
  for (const Damage& d : damages) {
    RegDeleteTreeA(HKEY_CURRENT_CONFIG, kRoot);
    StoreIr55OnCom1({"LW 00 41;MOVE 0 -5;", "LW 00 42;MOVE 0 5;", "LW 00 43;LEFTDOWN;LEFTUP;"});
    PutRaw(kEventListKey, "EventListCount", d.type, d.data, d.size);
    Program program;
    HWND frame = program.MainWindow();
    ASSERT_NE(frame, nullptr) << d.what;
    HWND dialog = Dialog(frame);
    HWND list = GetDlgItem(dialog, IDC_MAIN_EVENTS_LIST);
    EXPECT_EQ(Items(list).size(), 3u) << d.what;
    Edit(dialog, list, "LW 00 40;MOVE 1 1;");
    Click(dialog, IDC_MAIN_UPDATE);
    Click(dialog, IDC_MAIN_START);
    EXPECT_EQ(Get(kEventListKey, "EventListCount"), "4") << d.what;
    const char* saved[] = {"LW 00 40;MOVE 1 1;", "LW 00 41;MOVE 0 -5;", "LW 00 42;MOVE 0 5;",
                           "LW 00 43;LEFTDOWN;LEFTUP;"};
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(Get(kEventListKey, ("EventList" + std::to_string(i)).c_str()), saved[i]) << d.what;
    SendMessageA(dialog, vantor::TrayMessage, 0, WM_LBUTTONDOWN);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(20000), 0u) << d.what;
  }
}

// Stands in for the help viewer: WinHelpA hands every request to the window of
// class "MS_WINHELP" as WM_COPYDATA, and starts the viewer only when there is none.
class HelpViewer {
 public:
  struct Request {
    WORD command;
    LONG data;
    std::string file;
  };
  HelpViewer() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "MS_WINHELP";
    RegisterClassA(&wc);
    Hwnd = CreateWindowExA(0, "MS_WINHELP", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    Requests().clear();
  }
  ~HelpViewer() {
    DestroyWindow(Hwnd);
    UnregisterClassA("MS_WINHELP", GetModuleHandleA(nullptr));
  }
  bool ok() const { return Hwnd != nullptr; }
  // Serves requests until there are `count` of them or the time is up.
  std::vector<Request> Wait(size_t count, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (Requests().size() < count && GetTickCount() - start < timeoutMs) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      Sleep(10);
    }
    return Requests();
  }

 private:
  struct WinHelpData {  // what WinHelpA sends
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD ofsFilename;
    WORD ofsData;
  };
  static std::vector<Request>& Requests() {
    static std::vector<Request> requests;
    return requests;
  }
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_COPYDATA) return DefWindowProcA(hwnd, msg, wParam, lParam);
    const auto* data = static_cast<const WinHelpData*>(reinterpret_cast<COPYDATASTRUCT*>(lParam)->lpData);
    Requests().push_back({data->command, data->data, reinterpret_cast<const char*>(data) + data->ofsFilename});
    return TRUE;
  }
  HWND Hwnd = nullptr;
};

// Keys and clicks as the user makes them, in the order they are made.
void PressKey(BYTE key, BYTE scan, bool shift = false) {
  if (shift) keybd_event(VK_SHIFT, 0x2a, 0, 0);
  keybd_event(key, scan, 0, 0);
  keybd_event(key, scan, KEYEVENTF_KEYUP, 0);
  if (shift) keybd_event(VK_SHIFT, 0x2a, KEYEVENTF_KEYUP, 0);
}
void ClickOn(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  bench::SetCursorTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

// The pages the bench's browser was asked to open: Wine's winebrowser starts the
// browser the bench names, which writes each address it is given to this file.
class BrowserLog {
 public:
  BrowserLog() {
    const char* com = std::getenv("VANTOR_COM_DIR");  // <bench>/com, a Linux path
    std::string path = std::string("Z:") + (com ? com : "") + "/../browser.log";
    std::replace(path.begin(), path.end(), '/', '\\');
    Path = path;
    DeleteFileA(Path.c_str());
  }
  // The addresses seen, once there are `count` of them or the time is up.
  std::vector<std::string> Wait(size_t count, DWORD timeoutMs) const {
    std::vector<std::string> lines;
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50)) {
      lines.clear();
      if (FILE* f = std::fopen(Path.c_str(), "r")) {
        char line[1024];
        while (std::fgets(line, sizeof line, f)) lines.emplace_back(line, std::strcspn(line, "\r\n"));
        std::fclose(f);
      }
      if (lines.size() >= count) break;
    }
    return lines;
  }

 private:
  std::string Path;
};

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST_F(Vantora, HelpKeysOpenTheManualInTheMainWindowAndWhileTheOptionsRun) {
  BrowserLog browser;
  Program program;  // no keys stored: the options dialog runs modally during set-up
  HWND option = WaitForWindow(program.Id(), "Option", 20000);
  ASSERT_NE(option, nullptr);
  SetForegroundWindow(option);

  PressKey(VK_F1, 0x3b);
  auto seen = browser.Wait(1, 15000);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(EndsWith(seen[0], "/bin/manual/index.html")) << seen[0];

  // Help mode: the next command asks for its help instead of being carried out.
  PressKey(VK_F1, 0x3b, true);
  ClickOn(GetDlgItem(option, IDCANCEL));
  seen = browser.Wait(2, 15000);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_TRUE(EndsWith(seen[1], "/manual/receivers.html")) << seen[1];
  EXPECT_TRUE(IsWindow(option));

  // Esc leaves the mode without closing the dialog; the Help button opens its page.
  PressKey(VK_F1, 0x3b, true);
  PressKey(VK_ESCAPE, 0x01);
  ClickOn(GetDlgItem(option, IDC_HELP_BUTTON));
  seen = browser.Wait(3, 15000);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_TRUE(EndsWith(seen[2], "/manual/receivers.html")) << seen[2];
  EXPECT_TRUE(IsWindow(option));
  ClickOn(GetDlgItem(option, IDCANCEL));

  HWND frame = program.MainWindow();
  ASSERT_NE(frame, nullptr);
  SetForegroundWindow(frame);
  PressKey(VK_F1, 0x3b, true);
  ClickOn(GetDlgItem(Dialog(frame), IDC_MAIN_EXIT));  // Exit, asked about rather than done
  seen = browser.Wait(4, 15000);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_TRUE(EndsWith(seen[3], "/manual/start-and-tray.html")) << seen[3];
  EXPECT_EQ(program.WaitExit(0), STILL_ACTIVE);
  // No box said the manual could not be opened.
  EXPECT_EQ(bench::FindTopLevel(program.Id(), "#32770", "Error"), nullptr);
  EXPECT_EQ(program.Close(frame), 0u);
}

TEST_F(Vantora, HelpKeysUseTheHelpFileWhenItSitsBesideTheProgram) {
  char exe[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string helpFile(exe);
  helpFile = helpFile.substr(0, helpFile.find_last_of('\\') + 1) + "Vantora.hlp";
  struct Remove {
    std::string path;
    ~Remove() { DeleteFileA(path.c_str()); }
  } remove{helpFile};
  if (FILE* f = std::fopen(helpFile.c_str(), "wb")) std::fclose(f);
  HelpViewer help;
  ASSERT_TRUE(help.ok());
  auto [com1, program, frame, dialog] = StartOnIr55();
  ASSERT_NE(frame, nullptr);
  SetForegroundWindow(frame);
  PressKey(VK_F1, 0x3b);
  PressKey(VK_F1, 0x3b, true);
  ClickOn(GetDlgItem(Dialog(frame), IDC_MAIN_EXIT));
  auto seen = help.Wait(2, 10000);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].command, HELP_CONTENTS);
  EXPECT_TRUE(EndsWith(seen[0].file, "\\Vantora.hlp")) << seen[0].file;
  EXPECT_EQ(seen[1].command, HELP_CONTEXT);
  EXPECT_EQ(seen[1].data, IDC_MAIN_EXIT);
  EXPECT_EQ(program.Close(frame), 0u);
}

TEST_F(Vantora, StartWithAnEmptyListSavesACountOfZero) {
  auto [com1, program, frame, dialog] = StartOnIr55();
  ASSERT_NE(frame, nullptr);
  EXPECT_FALSE(TrayIconPresent(dialog));
  Click(dialog, IDC_MAIN_START);
  EXPECT_FALSE(IsWindowVisible(frame));
  EXPECT_EQ(Get(kEventListKey, "EventListCount"), "0");
  EXPECT_TRUE(TrayIconPresent(dialog));

  // A right click on the icon opens the tray menu; its first item shows the window.
  PostMessageA(dialog, vantor::TrayMessage, 0, WM_RBUTTONDOWN);
  HWND menu = WaitForClass(program.Id(), "#32768", 20000);
  ASSERT_NE(menu, nullptr);
  RECT items{};
  GetWindowRect(menu, &items);
  bench::SetCursorTo(items.left + 30, items.top + 10);  // inside the first item
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  EXPECT_TRUE(WaitVisible(frame, true, 20000));
  EXPECT_TRUE(TrayIconPresent(dialog));  // Show leaves the icon where it is

  // The menu's Cancel does nothing; its Exit closes the program and takes the icon away.
  SendMessageA(dialog, WM_COMMAND, IDM_TRAY_CANCEL, 0);
  EXPECT_TRUE(IsWindowVisible(frame));
  EXPECT_EQ(program.WaitExit(0), STILL_ACTIVE);
  PostMessageA(dialog, WM_COMMAND, IDM_TRAY_EXIT, 0);
  EXPECT_EQ(program.WaitExit(20000), 0u);
  EXPECT_FALSE(TrayIconPresent(dialog));
}

TEST_F(Vantora, AnEventAddedAndLeftWithExitIsGoneAtTheNextRun) {
  bench::PtyPort com1(1);
  StoreIr55OnCom1({"LW 00 41;MOVE 0 -5;"});
  {
    Program program;
    HWND frame = program.MainWindow();
    ASSERT_NE(frame, nullptr);
    HWND dialog = Dialog(frame);
    HWND list = GetDlgItem(dialog, IDC_MAIN_EVENTS_LIST);
    Edit(dialog, list, "LW 00 42;MOVE 0 5;");
    Click(dialog, IDC_MAIN_UPDATE);
    ASSERT_EQ(Items(list).size(), 2u);
    // Esc, in the list's edit field or on a button, closes nothing.
    for (HWND target : {FindWindowExA(list, nullptr, "Edit", nullptr), GetDlgItem(dialog, IDC_MAIN_OPTION)}) {
      PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
      PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    }
    EXPECT_EQ(program.WaitExit(500), STILL_ACTIVE);
    EXPECT_TRUE(IsWindowVisible(frame));
    Click(dialog, IDC_MAIN_EXIT);  // Exit, without Start
    EXPECT_EQ(program.WaitExit(20000), 0u);
  }
  Program again;
  HWND frame = again.MainWindow();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(Items(GetDlgItem(Dialog(frame), IDC_MAIN_EVENTS_LIST)), std::vector<std::string>{"LW 00 41;MOVE 0 -5;"});
  EXPECT_EQ(again.Close(frame), 0u);
}

// Focuses the probe with the pointer in its middle and forgets what it saw before.
void Ready(bench::InputProbe& probe) {
  probe.Focus();
  bench::SetCursorTo(300, 300);
  probe.Pump(100);
  probe.Clear();
}

// The options dialog the program brings up when its receiver is lost, each box of
// this title before it answered with OK; nullptr when none comes within 20 s.
HWND OptionsAfterBoxes(const Program& program, const char* box) {
  HWND option = nullptr;
  for (DWORD begun = GetTickCount(); !option && GetTickCount() - begun < 20000;) {
    if (HWND shown = WaitForWindow(program.Id(), box, 50)) PostMessageA(shown, WM_COMMAND, IDOK, 0);
    option = WaitForWindow(program.Id(), "Option", 50);
  }
  return option;
}

TEST_F(Vantora, ShowThenStartResumesTheOneWatcher) {
  auto [com1, program, frame, dialog] = StartOnIr55({"LW 00 41;MOVE 7 0;"});
  ASSERT_NE(frame, nullptr);
  Click(dialog, IDC_MAIN_START);
  SendMessageA(dialog, vantor::TrayMessage, 0, WM_LBUTTONDOWN);  // Show: the watcher is suspended
  EXPECT_TRUE(IsWindowVisible(frame));
  Click(dialog, IDC_MAIN_START);  // Start again: resumed, not a second watcher
  EXPECT_FALSE(IsWindowVisible(frame));
  bench::InputProbe probe(100, 100, 600, 500);
  Ready(probe);
  const unsigned char press[] = {0x41, 0x55};
  for (unsigned char b : press) {
    com1.Write(&b, 1);
    probe.Pump(9);
  }
  probe.Pump(400);
  auto moves = probe.Moves();
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves.back().x, 307);  // played once: one watcher read the press

  // A second start shows the window and leaves the watcher running: the list
  // edited there is played from the next Start on, which saves it.
  {
    Program second;
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second.WaitExit(20000), 1u);
  }
  ASSERT_TRUE(IsWindowVisible(frame));
  HWND list = GetDlgItem(dialog, IDC_MAIN_EVENTS_LIST);
  Select(dialog, list, 0);
  Click(dialog, IDC_MAIN_DELETE);
  auto pressAndSee = [&] {
    const long before = bench::CursorPos().x;
    bench::Ir55Feeder(com1, ir55::Script().Press(0x41)).Wait();
    probe.Pump(400);
    return bench::CursorPos().x - before;
  };
  EXPECT_EQ(pressAndSee(), 7);
  Click(dialog, IDC_MAIN_START);
  EXPECT_EQ(Get(kEventListKey, "EventListCount"), "0");
  EXPECT_EQ(pressAndSee(), 0);
  PostMessageA(dialog, WM_COMMAND, IDM_TRAY_EXIT_SYSTEM, 0);  // the tray's "Exit from syxstem", window hidden
  EXPECT_EQ(program.WaitExit(20000), 0u);
  EXPECT_FALSE(TrayIconPresent(dialog));
}

// Sends the program a message that must be answered within seconds: a frozen
// program fails the test here instead of hanging it.
bool Answers(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_NORMAL, 5000, &result) != 0;
}

// Presses "LW 00 41" on the line every 20 ms until stopped.
class Presser {
 public:
  explicit Presser(bench::PtyPort& port) : Port(port) { Thread = CreateThread(nullptr, 0, Run, this, 0, nullptr); }
  ~Presser() {
    Stop = true;
    WaitForSingleObject(Thread, 5000);
    CloseHandle(Thread);
  }

 private:
  static DWORD WINAPI Run(LPVOID self) {
    auto* p = static_cast<Presser*>(self);
    const unsigned char code = 0x41, end = 0x55;
    while (!p->Stop) {
      p->Port.Write(&code, 1);
      Sleep(10);
      p->Port.Write(&end, 1);
      Sleep(10);
    }
    return 0;
  }
  bench::PtyPort& Port;
  std::atomic<bool> Stop{false};
  HANDLE Thread;
};

// Sends one byte every `everyMs` for about 20 s, as a lamp or sunlight makes a
// transceiver do, until stopped.
class Trickler {
 public:
  Trickler(bench::PtyPort& port, DWORD everyMs) : Port(port), EveryMs(everyMs) {
    Thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  }
  ~Trickler() {
    Stop = true;
    WaitForSingleObject(Thread, 5000);
    CloseHandle(Thread);
  }
  bool Running() const { return WaitForSingleObject(Thread, 0) == WAIT_TIMEOUT; }

 private:
  static DWORD WINAPI Run(LPVOID self) {
    auto* t = static_cast<Trickler*>(self);
    const unsigned char flicker = 0xFE;
    for (DWORD begun = GetTickCount(); !t->Stop && GetTickCount() - begun < 20000; Sleep(t->EveryMs))
      t->Port.Write(&flicker, 1);
    return 0;
  }
  bench::PtyPort& Port;
  DWORD EveryMs;
  std::atomic<bool> Stop{false};
  HANDLE Thread;
};

TEST_F(Vantora, ShowAndStartToggledWhileTheRemoteIsInUseLeaveTheProgramAnswering) {
  auto [com1, program, frame, dialog] = StartOnIr55({"LW 00 41;MOVE 1 0;"});
  ASSERT_NE(frame, nullptr);
  HWND start = GetDlgItem(dialog, IDC_MAIN_START);
  Click(dialog, IDC_MAIN_START);
  int toggles = 0;
  {
    Presser presser(com1);
    while (toggles < 2000 && Answers(dialog, vantor::TrayMessage, 0, WM_LBUTTONDOWN) && Answers(start, BM_CLICK))
      ++toggles;
  }
  EXPECT_EQ(toggles, 2000);
  ASSERT_TRUE(Answers(dialog, vantor::TrayMessage, 0, WM_LBUTTONDOWN));
  EXPECT_TRUE(IsWindowVisible(frame));
  Click(dialog, IDC_MAIN_EXIT);
  EXPECT_EQ(program.WaitExit(20000), 0u);
}

TEST_F(Vantora, ATrayClickWhileTheWatchersOptionsAreUpLeavesTheProgramAnswering) {
  auto [com1, program, frame, dialog] = StartOnIr55({"LW 00 41;MOVE 1 0;"});
  ASSERT_NE(frame, nullptr);
  Click(dialog, IDC_MAIN_START);
  // The receiver goes away: the library says so, then the options come up for the watcher.
  com1.Hangup();
  HWND option = OptionsAfterBoxes(program, "ReadFileEroor M-36");
  ASSERT_NE(option, nullptr);
  ASSERT_TRUE(Answers(dialog, vantor::TrayMessage, 0, WM_LBUTTONDOWN));  // the tray icon clicked: Show
  EXPECT_TRUE(WaitVisible(frame, true, 5000));
  EXPECT_TRUE(Answers(option, WM_NULL));
  PostMessageA(option, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitVisible(option, false, 5000));
  EXPECT_TRUE(Answers(dialog, WM_NULL));
  EXPECT_TRUE(IsWindowEnabled(frame));
  Click(dialog, IDC_MAIN_EXIT);
  EXPECT_EQ(program.WaitExit(20000), 0u);
}

// The wizard's step windows, as the user meets them.

ir55::Script Tap(unsigned char code) { return ir55::Script().Press(code); }

HWND OpenWizard(const Program& program, HWND dialog) {
  Click(dialog, IDC_MAIN_ADD);
  return WaitForWindow(program.Id(), "Wizard Step1", 20000);
}

// Each row learns its presses in a fresh program holding its entries: the status,
// the signal text, Next, and for a refusal the entry pointed at in the main window.
TEST_F(Vantora, WizardLearningRefusesCodesThatBeginAnEntry) {
  const char* kDup = "This signal is already registed!";
  const char* kSecond = "Lern 2nd. signal!";
  struct Press {
    ir55::Script script;
    const char* status;
    const char* signal;
    const char* pointedAt = nullptr;
  };
  struct Row {
    const char* what;
    std::initializer_list<const char*> entries;
    bool pair;
    std::vector<Press> presses;
  } rows[] = {
      // Markers without a code byte learn nothing; after the end of an earlier
      // press the learning takes the code of the press that follows.
      {"one code", {}, false,
       {{ir55::Script().Raw({0x55}), "Fault!", ""},
        {ir55::Script().Raw({0x52, 0x55}), "Fault!", ""},
        {ir55::Script().Raw({0x55}).Wait(40).Press(0x41), "Good!", "LW 00 41;"}}},
      {"one-code entry", {"LW 00 41;MOVE 0 -5;"}, false, {{Tap(0x41), kDup, "LW 00 41;", "LW 00 41;MOVE 0 -5;"}}},
      {"pair entry", {"LW 00 40;MOVE 0 5;", "LW 00 41;LW 00 42;MOVE 0 5;"}, false,
       {{Tap(0x41), kDup, "LW 00 41;", "LW 00 41;LW 00 42;MOVE 0 5;"}}},
      {"pair beside a pair", {"LW 00 41;LW 00 42;MOVE 0 5;"}, true,
       {{Tap(0x41), kSecond, "LW 00 41;"},
        {Tap(0x42), kDup, "LW 00 41;LW 00 42;", "LW 00 41;LW 00 42;MOVE 0 5;"},
        {Tap(0x41), kSecond, "LW 00 41;"},
        {Tap(0x43), "Good!", "LW 00 41;LW 00 43;"}}},
      {"pair on a one-code entry", {"LW 00 41;MOVE 0 -5;"}, true, {{Tap(0x41), kDup, "LW 00 41;", "LW 00 41;MOVE 0 -5;"}}},
      {"same code twice", {}, true, {{Tap(0x41), kSecond, "LW 00 41;"}, {Tap(0x41), "Good!", "LW 00 41;LW 00 41;"}}},
      {"case ignored", {"LW 00 0a;MOVE 0 -5;"}, false, {{Tap(0x0a), kDup, "LW 00 0a;", "LW 00 0A;MOVE 0 -5;"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    RegDeleteTreeA(HKEY_CURRENT_CONFIG, kRoot);
    auto [com1, program, frame, dialog] = StartOnIr55(row.entries);
    ASSERT_NE(frame, nullptr);
    HWND list = GetDlgItem(dialog, IDC_MAIN_EVENTS_LIST);
    HWND step = OpenWizard(program, dialog);
    ASSERT_NE(step, nullptr);
    if (row.pair) Click(step, IDC_STEP1_TWO_IR);
    for (const Press& press : row.presses) {
      EXPECT_EQ(LearnIr55(step, com1, press.script), press.status) << press.signal;
      EXPECT_EQ(TextOf(GetDlgItem(step, IDC_STEP1_SIGNAL)), press.signal);
      EXPECT_EQ(Enabled(step, IDC_WIZARD_NEXT), !strcmp(press.status, "Good!"));
      if (press.pointedAt) {
        int selected = static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
        ASSERT_GE(selected, 0);
        EXPECT_EQ(Items(list)[selected], press.pointedAt);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_MAIN_DELETE)));
      }
    }
    EXPECT_EQ(program.Close(frame), 0u);
  }
}

TEST_F(Vantora, WizardStepsKeepTheirChoicesAcrossBackNextAndCancel) {
  auto [com1, program, frame, dialog] = StartOnIr55();
  ASSERT_NE(frame, nullptr);
  HWND step1 = OpenWizard(program, dialog);
  ASSERT_NE(step1, nullptr);
  EXPECT_TRUE(Checked(step1, IDC_STEP1_ONE_IR));
  EXPECT_FALSE(Enabled(step1, IDC_WIZARD_NEXT));
  // Enter's command, IDOK, which the dialog navigation sends when the dialog has no
  // default button of its own, while Next is disabled: nothing happens.
  PostMessageA(step1, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(step1, IDC_WIZARD_NEXT)));
  EXPECT_EQ(WaitForWindow(program.Id(), "Wizard Step2", 500), nullptr);
  ASSERT_TRUE(IsWindowVisible(step1));

  // Next, then "&Add event", both queued while the learning waits: the Add comes
  // between step 1's close and step 2's opening, and changes nothing.
  PostMessageA(GetDlgItem(step1, IDC_STEP1_LEARN), BM_CLICK, 0, 0);
  ASSERT_TRUE(bench::WaitBusy(step1, 10000));
  Sleep(200);  // past the read's purge
  PostMessageA(GetDlgItem(step1, IDC_WIZARD_NEXT), BM_CLICK, 0, 0);
  PostMessageA(GetDlgItem(dialog, IDC_MAIN_ADD), BM_CLICK, 0, 0);
  bench::Ir55Feeder(com1, ir55::Script().Press(0x41)).Wait();
  HWND step2 = WaitForWindow(program.Id(), "Wizard Step2", 20000);
  ASSERT_NE(step2, nullptr);
  EXPECT_FALSE(IsWindow(step1));
  EXPECT_EQ(WaitForWindow(program.Id(), "Wizard Step1", 300), nullptr);
  EXPECT_TRUE(Checked(step2, IDC_STEP2_MOUSE));
  EXPECT_TRUE(Enabled(step2, IDC_WIZARD_NEXT));

  // "&Add event" with a step open brings that step forward and starts nothing.
  Click(dialog, IDC_MAIN_ADD);
  EXPECT_EQ(WaitForWindow(program.Id(), "Wizard Step1", 500), nullptr);
  EXPECT_TRUE(IsWindowVisible(step2));

  // The keyboard choice survives Back and Next; the learning step shows its result again.
  Click(step2, IDC_STEP2_KEYBOARD);
  Click(step2, IDC_WIZARD_BACK);
  step1 = WaitForWindow(program.Id(), "Wizard Step1", 20000);
  ASSERT_NE(step1, nullptr);
  // "&Add event" with the learning step open changes nothing in it either.
  Click(dialog, IDC_MAIN_ADD);
  EXPECT_EQ(TextOf(GetDlgItem(step1, IDC_STEP1_STATUS)), "Good!");
  EXPECT_EQ(TextOf(GetDlgItem(step1, IDC_STEP1_SIGNAL)), "LW 00 41;");
  EXPECT_TRUE(Enabled(step1, IDC_WIZARD_NEXT));
  Click(step1, IDC_WIZARD_NEXT);
  step2 = WaitForWindow(program.Id(), "Wizard Step2", 20000);
  ASSERT_NE(step2, nullptr);
  EXPECT_TRUE(Checked(step2, IDC_STEP2_KEYBOARD));
  EXPECT_FALSE(Checked(step2, IDC_STEP2_MOUSE));

  // Esc cancels; the next wizard starts afresh, the mouse chosen again.
  PostMessageA(GetDlgItem(step2, IDC_STEP2_KEYBOARD), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostMessageA(GetDlgItem(step2, IDC_STEP2_KEYBOARD), WM_KEYUP, VK_ESCAPE, 0xC0010001);
  EXPECT_TRUE(WaitVisible(step2, false, 5000));
  step1 = OpenWizard(program, dialog);
  ASSERT_NE(step1, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(step1, IDC_STEP1_STATUS)), "");
  EXPECT_EQ(TextOf(GetDlgItem(step1, IDC_STEP1_SIGNAL)), "");
  EXPECT_FALSE(Enabled(step1, IDC_WIZARD_NEXT));
  ASSERT_EQ(LearnIr55(step1, com1, ir55::Script().Press(0x42)), "Good!");
  Click(step1, IDC_WIZARD_NEXT);
  step2 = WaitForWindow(program.Id(), "Wizard Step2", 20000);
  ASSERT_NE(step2, nullptr);
  EXPECT_TRUE(Checked(step2, IDC_STEP2_MOUSE));
  PostMessageA(step2, WM_CLOSE, 0, 0);  // the caption's close box
  EXPECT_TRUE(WaitVisible(step2, false, 5000));

  // Cancel while the second code is awaited: the next wizard asks for a first code.
  step1 = OpenWizard(program, dialog);
  ASSERT_NE(step1, nullptr);
  Click(step1, IDC_STEP1_TWO_IR);
  ASSERT_EQ(LearnIr55(step1, com1, ir55::Script().Press(0x41)), "Lern 2nd. signal!");
  Click(step1, IDCANCEL);
  step1 = OpenWizard(program, dialog);
  ASSERT_NE(step1, nullptr);
  EXPECT_TRUE(Checked(step1, IDC_STEP1_ONE_IR));
  Click(step1, IDC_STEP1_TWO_IR);
  EXPECT_EQ(LearnIr55(step1, com1, ir55::Script().Press(0x42)), "Lern 2nd. signal!");
  EXPECT_EQ(TextOf(GetDlgItem(step1, IDC_STEP1_SIGNAL)), "LW 00 42;");

  // "&Lern Ir" clicked again while a learning waits, then Cancel and "&Add event":
  // the learning fails, and the click it put off belonged to the cancelled step.
  // The new learning step learns nothing by itself.
  PostMessageA(GetDlgItem(step1, IDC_STEP1_LEARN), BM_CLICK, 0, 0);
  ASSERT_TRUE(bench::WaitBusy(step1, 10000));
  PostMessageA(GetDlgItem(step1, IDC_STEP1_LEARN), BM_CLICK, 0, 0);
  PostMessageA(GetDlgItem(step1, IDCANCEL), BM_CLICK, 0, 0);
  PostMessageA(GetDlgItem(dialog, IDC_MAIN_ADD), BM_CLICK, 0, 0);
  for (DWORD begun = GetTickCount(); IsWindow(step1) && GetTickCount() - begun < 15000;) Sleep(50);
  ASSERT_FALSE(IsWindow(step1));
  step1 = WaitForWindow(program.Id(), "Wizard Step1", 20000);
  ASSERT_NE(step1, nullptr);
  bench::Ir55Feeder(com1, ir55::Script().Wait(300).Press(0x43)).Wait();
  EXPECT_EQ(TextOf(GetDlgItem(step1, IDC_STEP1_STATUS)), "");
  EXPECT_EQ(TextOf(GetDlgItem(step1, IDC_STEP1_SIGNAL)), "");
  EXPECT_EQ(program.Close(frame), 0u);
}

// Learns `codes` (two of them: a pair) in a new wizard and goes on to the third step
// of the kind chosen by its radio button in the second step.
HWND OpenStep3(const Program& program, HWND dialog, bench::PtyPort& com, std::initializer_list<unsigned char> codes,
               int kind) {
  HWND step1 = OpenWizard(program, dialog);
  if (!step1) return nullptr;
  if (codes.size() > 1) Click(step1, IDC_STEP1_TWO_IR);
  std::string status;
  for (unsigned char code : codes) status = LearnIr55(step1, com, ir55::Script().Press(code));
  if (status != "Good!") return nullptr;
  Click(step1, IDC_WIZARD_NEXT);
  HWND step2 = WaitForWindow(program.Id(), "Wizard Step2", 20000);
  if (!step2) return nullptr;
  Click(step2, kind);
  Click(step2, IDC_WIZARD_NEXT);
  return WaitForWindow(program.Id(), "Wizard Step3", 20000);
}

HWND OpenMouseStep(const Program& program, HWND dialog, bench::PtyPort& com, std::initializer_list<unsigned char> codes) {
  return OpenStep3(program, dialog, com, codes, IDC_STEP2_MOUSE);
}

// The texts of a window's children, and how many of them are buttons shown.
std::vector<std::string> ChildTexts(HWND window, int* buttons) {
  struct Found {
    std::vector<std::string> texts;
    int buttons = 0;
  } found;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM param) -> BOOL {
        auto* f = reinterpret_cast<Found*>(param);
        char name[32] = {};
        GetClassNameA(child, name, sizeof name);
        if (!lstrcmpiA(name, "Button") && IsWindowVisible(child)) ++f->buttons;
        f->texts.push_back(TextOf(child));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  *buttons = found.buttons;
  return found.texts;
}

// Each row starts from an empty field (Finish and Clear off), or from its text typed
// over a field that a press has made non-empty, then presses one button.
TEST_F(Vantora, WizardMouseStepBuildsTheActionAPressAtATime) {
  const std::string a236(236, 'A'), a237(237, 'A'), a239(239, 'A'), a240(240, 'A');
  struct Row {
    const char* what;
    std::string typed;
    std::vector<int> buttons;  // pressed in turn
    int presses;
    std::string field;
    bool finishAndClear;
    bool overflowBox = false;
  } rows[] = {
      {"three ups", "", {IDC_STEP3_MOUSE_UP}, 3, "MOVE 0 -5;MOVE 0 -5;MOVE 0 -5;", true},
      {"double click in one press", "", {IDC_STEP3_MOUSE_DOUBLE_CLICK}, 1, "LEFTDOWN;LEFTUP;LEFTDOWN;LEFTUP;", true},
      {"the other directions and the click", "",
       {IDC_STEP3_MOUSE_UP_LEFT, IDC_STEP3_MOUSE_UP_RIGHT, IDC_STEP3_MOUSE_LEFT, IDC_STEP3_MOUSE_RIGHT,
        IDC_STEP3_MOUSE_DOWN_LEFT, IDC_STEP3_MOUSE_DOWN, IDC_STEP3_MOUSE_DOWN_RIGHT, IDC_STEP3_MOUSE_CLICK},
       1,
       "MOVE -5 -5;MOVE 5 -5;MOVE -5 0;MOVE 5 0;MOVE -5 5;MOVE 0 5;MOVE 5 5;LEFTDOWN;LEFTUP;", true},
      // "LW 00 41;" and the action make an entry of exactly 255 characters.
      {"the entry's last character", a236, {IDC_STEP3_MOUSE_UP}, 1, a236 + "MOVE 0 -5;", true},
      {"a token past the entry's end is refused", a237, {IDC_STEP3_MOUSE_UP}, 1, a237, true},
      {"239 characters: refused without the box", a239, {IDC_STEP3_MOUSE_RIGHT_CLICK}, 1, a239, true},
      {"240 characters: the box, then empty", a240, {IDC_STEP3_MOUSE_UP}, 1, "", false, true},
      {"clear on a full field", a240, {IDC_STEP3_MOUSE_CLEAR}, 1, "", false},
  };
  auto [com1, program, frame, dialog] = StartOnIr55();
  ASSERT_NE(frame, nullptr);
  HWND step = OpenMouseStep(program, Dialog(frame), com1, {0x41});
  ASSERT_NE(step, nullptr);
  HWND field = GetDlgItem(step, IDC_STEP3_MOUSE_ACTION);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    if (Enabled(step, IDC_STEP3_MOUSE_CLEAR)) Click(step, IDC_STEP3_MOUSE_CLEAR);
    EXPECT_FALSE(Enabled(step, IDC_WIZARD_FINISH));
    if (!row.typed.empty()) {
      Click(step, IDC_STEP3_MOUSE_UP);
      SetWindowTextA(field, row.typed.c_str());
    }
    HWND button = GetDlgItem(step, row.buttons.front());
    HWND box = nullptr;
    if (row.overflowBox) {
      PostMessageA(button, BM_CLICK, 0, 0);
      box = WaitForWindow(program.Id(), "Notice", 10000);
      ASSERT_NE(box, nullptr);
      // The step owns the box: no further press reaches the step while it is up.
      EXPECT_EQ(GetWindow(box, GW_OWNER), step);
      EXPECT_FALSE(IsWindowEnabled(step));
      int buttons = 0;
      std::vector<std::string> texts = ChildTexts(box, &buttons);
      EXPECT_EQ(buttons, 1);
      EXPECT_NE(std::find(texts.begin(), texts.end(), "OK"), texts.end());
      EXPECT_NE(std::find(texts.begin(), texts.end(), "buffer over flow"), texts.end());
      EXPECT_EQ(TextOf(field), row.typed);  // emptied only once the box is closed
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      EXPECT_TRUE(WaitVisible(box, false, 5000));
    } else {
      // A box would hold the press unanswered.
      for (int id : row.buttons)
        for (int i = 0; i < row.presses; ++i) ASSERT_TRUE(Answers(GetDlgItem(step, id), BM_CLICK));
    }
    EXPECT_EQ(TextOf(field), row.field);
    EXPECT_EQ(Enabled(step, IDC_WIZARD_FINISH), row.finishAndClear);
    EXPECT_EQ(Enabled(step, IDC_STEP3_MOUSE_CLEAR), row.finishAndClear);
    if (row.field != row.typed && !row.field.empty()) {
      const auto end = static_cast<DWORD>(row.field.size());
      EXPECT_EQ(static_cast<DWORD>(SendMessageA(field, EM_GETSEL, 0, 0)), MAKELONG(end, end));
    }
  }
  // "&Add event" with a third step open brings it forward and changes nothing.
  Click(step, IDC_STEP3_MOUSE_UP);
  Click(Dialog(frame), IDC_MAIN_ADD);
  EXPECT_EQ(WaitForWindow(program.Id(), "Wizard Step1", 300), nullptr);
  EXPECT_TRUE(IsWindowVisible(step));
  EXPECT_EQ(TextOf(field), "MOVE 0 -5;");
  EXPECT_EQ(program.Close(frame), 0u);
}

// Cancel adds nothing; Back and Next keep the action; Finish adds the pair's entry
// at its sorted place, selects it and opens no further step.
TEST_F(Vantora, WizardMouseStepFinishesCancelsAndKeepsItsTextAcrossBack) {
  auto [com1, program, frame, dialog] = StartOnIr55({"LW 00 40;MOVE 0 5;", "LW 00 50;LEFTDOWN;LEFTUP;"});
  ASSERT_NE(frame, nullptr);
  HWND list = GetDlgItem(dialog, IDC_MAIN_EVENTS_LIST);
  const std::vector<std::string> before = Items(list);
  Select(dialog, list, 0);

  HWND step3 = OpenMouseStep(program, dialog, com1, {0x41, 0x42});
  ASSERT_NE(step3, nullptr);
  EXPECT_FALSE(Enabled(step3, IDC_WIZARD_FINISH));
  Click(step3, IDC_STEP3_MOUSE_RIGHT_CLICK);
  Click(step3, IDCANCEL);
  EXPECT_FALSE(IsWindow(step3));
  EXPECT_EQ(Items(list), before);
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0);

  step3 = OpenMouseStep(program, dialog, com1, {0x41, 0x42});
  ASSERT_NE(step3, nullptr);
  Click(step3, IDC_STEP3_MOUSE_RIGHT_CLICK);
  Click(step3, IDC_WIZARD_BACK);
  HWND step2 = WaitForWindow(program.Id(), "Wizard Step2", 20000);
  ASSERT_NE(step2, nullptr);
  EXPECT_FALSE(IsWindow(step3));
  Click(step2, IDC_WIZARD_NEXT);
  step3 = WaitForWindow(program.Id(), "Wizard Step3", 20000);
  ASSERT_NE(step3, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(step3, IDC_STEP3_MOUSE_ACTION)), "RIGHTDOWN;RIGHTUP;");
  EXPECT_TRUE(Enabled(step3, IDC_WIZARD_FINISH));
  EXPECT_TRUE(Enabled(step3, IDC_STEP3_MOUSE_CLEAR));

  Click(step3, IDC_WIZARD_FINISH);
  EXPECT_FALSE(IsWindow(step3));
  EXPECT_EQ(Items(list), (std::vector<std::string>{"LW 00 40;MOVE 0 5;", "LW 00 41;LW 00 42;RIGHTDOWN;RIGHTUP;",
                                                   "LW 00 50;LEFTDOWN;LEFTUP;"}));
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_MAIN_DELETE)));
  for (const char* title : {"Wizard Step1", "Wizard Step2", "Wizard Step3"})
    EXPECT_EQ(WaitForWindow(program.Id(), title, 300), nullptr) << title;
  EXPECT_EQ(program.Close(frame), 0u);
}

// The keystroke recorder, driven with real keys on the bench's display.

struct Key {
  BYTE vk;
  BYTE scan;
  DWORD flags = 0;  // KEYEVENTF_KEYUP, KEYEVENTF_EXTENDEDKEY
};
constexpr DWORD kUp = KEYEVENTF_KEYUP;
constexpr DWORD kExt = KEYEVENTF_EXTENDEDKEY;

void Type(const std::vector<Key>& keys) {
  for (const Key& key : keys) keybd_event(key.vk, key.scan, key.flags, 0);
}

// A control's text once it reads `want`, or as it stands when the time is up.
std::string WaitText(HWND control, const std::string& want, DWORD timeoutMs = 5000) {
  std::string text = TextOf(control);
  for (DWORD start = GetTickCount(); text != want && GetTickCount() - start < timeoutMs; Sleep(20)) text = TextOf(control);
  return text;
}

// The control that has the keyboard focus in the window's thread.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Each row records its keys between Start and Stop into an empty field: what the
// field holds, that the keys acted on nothing (recording goes on, the focus stays
// in the field), and the idle state that Stop leads to.
TEST_F(Vantora, WizardKeyStepRecordsKeysInsteadOfActingOnThem) {
  BrowserLog help;  // F1 opens the manual
  struct Row {
    const char* what;
    std::vector<Key> keys;
    std::string field;
    size_t helpRequests = 0;
    std::string stopAdds = "";     // the key-ups Stop gives keys still down
    std::vector<Key> afterStop = {};  // releases them on the bench's keyboard
  } rows[] = {
      {"the A key", {{'A', 0x1e}, {'A', 0x1e, kUp}}, "KEYDOWN 41 1e0001;KEYUP 41 c01e0001;"},
      {"no key", {}, ""},
      {"Alt with Stop's mnemonic",
       {{VK_MENU, 0x38}, {'P', 0x19}, {'P', 0x19, kUp}, {VK_MENU, 0x38, kUp}},
       "SYSKEYDOWN 12 20380001;SYSKEYDOWN 50 20190001;SYSKEYUP 50 e0190001;KEYUP 12 c0380001;"},
      {"Tab, Enter and Esc",
       {{VK_TAB, 0x0f}, {VK_TAB, 0x0f, kUp}, {VK_RETURN, 0x1c}, {VK_RETURN, 0x1c, kUp}, {VK_ESCAPE, 0x01},
        {VK_ESCAPE, 0x01, kUp}},
       "KEYDOWN 9 f0001;KEYUP 9 c00f0001;KEYDOWN d 1c0001;KEYUP d c01c0001;KEYDOWN 1b 10001;KEYUP 1b c0010001;"},
      // The help takes F1's press before any window sees it; its release is a key like any other.
      {"F1", {{VK_F1, 0x3b}, {VK_F1, 0x3b, kUp}}, "KEYUP 70 c03b0001;", 1},
      {"Alt alone", {{VK_MENU, 0x38}, {VK_MENU, 0x38, kUp}}, "SYSKEYDOWN 12 20380001;SYSKEYUP 12 c0380001;"},
      {"a key held until it repeats", {{'A', 0x1e}, {'A', 0x1e}, {'A', 0x1e, kUp}},
       "KEYDOWN 41 1e0001;KEYDOWN 41 401e0001;KEYUP 41 c01e0001;"},
      {"Stop with Shift held", {{VK_SHIFT, 0x2a}, {'A', 0x1e}, {'A', 0x1e, kUp}},
       "KEYDOWN 10 2a0001;KEYDOWN 41 1e0001;KEYUP 41 c01e0001;", 0, "KEYUP 10 c02a0001;", {{VK_SHIFT, 0x2a, kUp}}},
  };
  auto [com1, program, frame, dialog] = StartOnIr55();
  ASSERT_NE(frame, nullptr);
  HWND step = OpenStep3(program, Dialog(frame), com1, {0x41}, IDC_STEP2_KEYBOARD);
  ASSERT_NE(step, nullptr);
  HWND field = GetDlgItem(step, IDC_STEP3_KEYS_SCRIPT);
  HWND status = GetDlgItem(step, IDC_STEP3_KEYS_STATUS);
  EXPECT_EQ(TextOf(status), "Push start button!");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    SetForegroundWindow(step);
    Click(step, IDC_STEP3_KEYS_START);
    EXPECT_EQ(TextOf(status), "Strike Keyboard!");
    for (int id : {IDC_STEP3_KEYS_START, IDC_WIZARD_FINISH, IDC_WIZARD_BACK, IDCANCEL})
      EXPECT_FALSE(Enabled(step, id)) << id;
    EXPECT_EQ(FocusOf(step), field);
    Type(row.keys);
    EXPECT_EQ(WaitText(field, row.field), row.field);
    if (row.helpRequests) {
      auto seen = help.Wait(row.helpRequests, 15000);
      ASSERT_EQ(seen.size(), row.helpRequests);
      EXPECT_TRUE(EndsWith(seen.back(), "/manual/index.html")) << seen.back();
    }
    ASSERT_TRUE(IsWindow(step));
    EXPECT_EQ(FocusOf(step), field);
    EXPECT_TRUE(Enabled(step, IDC_STEP3_KEYS_STOP));
    EXPECT_EQ(Enabled(step, IDC_STEP3_KEYS_CLEAR), !row.field.empty());
    EXPECT_EQ(TextOf(status), row.field.empty() ? "Strike Keyboard!" : "Strike Keyboard and Push stop button!");
    Click(step, IDC_STEP3_KEYS_STOP);
    Type(row.afterStop);
    EXPECT_EQ(TextOf(field), row.field + row.stopAdds);
    const bool recorded = !row.field.empty();
    EXPECT_EQ(TextOf(status), recorded ? "Good!" : "Push start button!");
    EXPECT_EQ(Enabled(step, IDC_WIZARD_FINISH), recorded);
    EXPECT_EQ(Enabled(step, IDC_STEP3_KEYS_CLEAR), recorded);
    for (int id : {IDC_STEP3_KEYS_START, IDC_WIZARD_BACK, IDCANCEL}) EXPECT_TRUE(Enabled(step, id)) << id;
    EXPECT_FALSE(Enabled(step, IDC_STEP3_KEYS_STOP));
    if (recorded) Click(step, IDC_STEP3_KEYS_CLEAR);
    EXPECT_EQ(TextOf(field), "");
  }
  EXPECT_EQ(program.Close(frame), 0u);
}

// A full field swallows keys until Clear; the close box loses what was recorded
// since the step was entered and leaves recording off; Back keeps the text; Finish
// adds the entry, whose keys the watcher then plays at a probe window as the same
// keys with the same scan codes and extended bits.
TEST_F(Vantora, WizardKeyStepFullFieldCloseBoxBackFinishAndReplay) {
  auto [com1, program, frame, dialog] = StartOnIr55({"LW 00 40;MOVE 0 5;"});
  ASSERT_NE(frame, nullptr);
  HWND list = GetDlgItem(dialog, IDC_MAIN_EVENTS_LIST);
  HWND step = OpenStep3(program, dialog, com1, {0x41}, IDC_STEP2_KEYBOARD);
  ASSERT_NE(step, nullptr);

  const std::string full(240, 'A');
  SetWindowTextA(GetDlgItem(step, IDC_STEP3_KEYS_SCRIPT), full.c_str());
  SetForegroundWindow(step);
  Click(step, IDC_STEP3_KEYS_START);
  Type({{VK_ESCAPE, 0x01}, {VK_ESCAPE, 0x01, kUp}});
  EXPECT_EQ(WaitText(GetDlgItem(step, IDC_STEP3_KEYS_STATUS), "Buffer over flow! Push clear button!"),
            "Buffer over flow! Push clear button!");
  ASSERT_TRUE(IsWindow(step));
  EXPECT_EQ(TextOf(GetDlgItem(step, IDC_STEP3_KEYS_SCRIPT)), full);
  for (int id : {IDC_STEP3_KEYS_START, IDC_STEP3_KEYS_STOP, IDC_WIZARD_FINISH, IDC_WIZARD_BACK, IDCANCEL})
    EXPECT_FALSE(Enabled(step, id)) << id;
  EXPECT_TRUE(Enabled(step, IDC_STEP3_KEYS_CLEAR));
  Click(step, IDC_STEP3_KEYS_CLEAR);
  EXPECT_EQ(TextOf(GetDlgItem(step, IDC_STEP3_KEYS_SCRIPT)), "");
  EXPECT_EQ(TextOf(GetDlgItem(step, IDC_STEP3_KEYS_STATUS)), "Push start button!");
  EXPECT_FALSE(Enabled(step, IDC_STEP3_KEYS_CLEAR));
  EXPECT_TRUE(Enabled(step, IDC_STEP3_KEYS_START));

  // Below 240 characters, Shift's press would leave no room for its release in the
  // 255 characters of the entry: it is refused, so is G, and the field is full.
  const std::string nearlyFull(208, 'A');
  SetWindowTextA(GetDlgItem(step, IDC_STEP3_KEYS_SCRIPT), nearlyFull.c_str());
  SetForegroundWindow(step);
  Click(step, IDC_STEP3_KEYS_START);
  Type({{VK_SHIFT, 0x2a}, {'G', 0x22}, {'G', 0x22, kUp}, {VK_SHIFT, 0x2a, kUp}});
  EXPECT_EQ(WaitText(GetDlgItem(step, IDC_STEP3_KEYS_STATUS), "Buffer over flow! Push clear button!"),
            "Buffer over flow! Push clear button!");
  EXPECT_EQ(TextOf(GetDlgItem(step, IDC_STEP3_KEYS_SCRIPT)), nearlyFull);
  EXPECT_FALSE(Enabled(step, IDC_STEP3_KEYS_STOP));
  EXPECT_TRUE(Enabled(step, IDC_STEP3_KEYS_CLEAR));
  Click(step, IDC_STEP3_KEYS_CLEAR);
  EXPECT_EQ(TextOf(GetDlgItem(step, IDC_STEP3_KEYS_SCRIPT)), "");

  const std::string a = "KEYDOWN 41 1e0001;KEYUP 41 c01e0001;";
  Click(step, IDC_STEP3_KEYS_START);
  Type({{'A', 0x1e}, {'A', 0x1e, kUp}});
  ASSERT_EQ(WaitText(GetDlgItem(step, IDC_STEP3_KEYS_SCRIPT), a), a);
  Click(step, IDC_STEP3_KEYS_STOP);
  Click(step, IDC_WIZARD_BACK);
  HWND step2 = WaitForWindow(program.Id(), "Wizard Step2", 20000);
  ASSERT_NE(step2, nullptr);
  Click(step2, IDC_WIZARD_NEXT);
  step = WaitForWindow(program.Id(), "Wizard Step3", 20000);
  ASSERT_NE(step, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(step, IDC_STEP3_KEYS_SCRIPT)), a);
  EXPECT_EQ(TextOf(GetDlgItem(step, IDC_STEP3_KEYS_STATUS)), "Good!");
  EXPECT_TRUE(Enabled(step, IDC_WIZARD_FINISH));

  // The close box while recording; the main window then opens the same step again.
  SetForegroundWindow(step);
  Click(step, IDC_STEP3_KEYS_START);
  Type({{VK_TAB, 0x0f}, {VK_TAB, 0x0f, kUp}});
  ASSERT_EQ(WaitText(GetDlgItem(step, IDC_STEP3_KEYS_SCRIPT), a + "KEYDOWN 9 f0001;KEYUP 9 c00f0001;"),
            a + "KEYDOWN 9 f0001;KEYUP 9 c00f0001;");
  PostMessageA(step, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitVisible(step, false, 5000));
  PostMessageA(dialog, vantor::WizardStepMessage, 0, 0);
  step = WaitForWindow(program.Id(), "Wizard Step3", 20000);
  ASSERT_NE(step, nullptr);
  HWND field = GetDlgItem(step, IDC_STEP3_KEYS_SCRIPT);
  EXPECT_EQ(TextOf(field), a);
  EXPECT_TRUE(Enabled(step, IDC_STEP3_KEYS_START));
  EXPECT_FALSE(Enabled(step, IDC_STEP3_KEYS_STOP));
  // Not recording: keys typed into the field type there, as into any field.
  SetForegroundWindow(step);
  SendMessageA(step, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
  SendMessageA(field, EM_SETSEL, a.size(), a.size());
  Type({{'B', 0x30}, {'B', 0x30, kUp}});
  ASSERT_EQ(WaitText(field, a + "b"), a + "b");
  SendMessageA(field, EM_SETSEL, a.size(), a.size() + 1);
  SendMessageA(field, WM_CLEAR, 0, 0);

  // An extended key beside the plain one: Delete.
  const std::string recorded = a + "KEYDOWN 2e 1530001;KEYUP 2e c1530001;";
  Click(step, IDC_STEP3_KEYS_START);
  Type({{VK_DELETE, 0x53, kExt}, {VK_DELETE, 0x53, kExt | kUp}});
  ASSERT_EQ(WaitText(field, recorded), recorded);
  Click(step, IDC_STEP3_KEYS_STOP);
  Click(step, IDC_WIZARD_FINISH);
  EXPECT_FALSE(IsWindow(step));
  EXPECT_EQ(Items(list), (std::vector<std::string>{"LW 00 40;MOVE 0 5;", "LW 00 41;" + recorded}));
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 1);

  Click(dialog, IDC_MAIN_START);
  bench::InputProbe probe(100, 100, 600, 500);
  probe.Focus();
  probe.Pump(100);
  probe.Clear();
  bench::Ir55Feeder(com1, ir55::Script().Press(0x41)).Wait();
  for (int i = 0; i < 40 && probe.Messages().size() < 4; ++i) probe.Pump(100);
  // Message, virtual key, scan code and extended bit of each key the probe saw.
  std::vector<std::string> played;
  for (const bench::InputMessage& m : probe.Messages()) {
    char seen[40];
    std::snprintf(seen, sizeof seen, "%x %llx %llx %llx", m.message, m.wParam, (m.lParam >> 16) & 0xFF, (m.lParam >> 24) & 1);
    played.push_back(seen);
  }
  EXPECT_EQ(played, (std::vector<std::string>{"100 41 1e 0", "101 41 1e 0", "100 2e 53 1", "101 2e 53 1"}));
  PostMessageA(dialog, WM_COMMAND, IDM_TRAY_EXIT_SYSTEM, 0);
  EXPECT_EQ(program.WaitExit(20000), 0u);
}

TEST_F(Vantora, WizardWithoutAReceiverOnlyPrompts) {
  Put(kPortKey, "Transmitter", "0;0;end");
  Program program;
  HWND option = WaitForWindow(program.Id(), "Option", 20000);
  ASSERT_NE(option, nullptr);
  SendMessageA(GetDlgItem(option, IDCANCEL), BM_CLICK, 0, 0);
  HWND frame = program.MainWindow();
  ASSERT_NE(frame, nullptr);
  HWND step = OpenWizard(program, Dialog(frame));
  ASSERT_NE(step, nullptr);
  Click(step, IDC_STEP1_LEARN);
  EXPECT_EQ(TextOf(GetDlgItem(step, IDC_STEP1_STATUS)), "Fire remocon signal!");
  EXPECT_FALSE(Enabled(step, IDC_WIZARD_NEXT));
  EXPECT_EQ(program.Close(frame), 0u);
}

// The receiver goes away while the second code of a pair is awaited: the options
// come up while the prompt still shows, "Fault!" follows, and the pair is dropped.
// A line whose far end closes (reads succeed with nothing) counts as gone too, and
// so does the IrDA-SIR receiver's line.
TEST_F(Vantora, WizardShowsTheOptionsBeforeFaultWhenThePortIsLost) {
  struct Row {
    const char* what;
    bool kestrel;
    bool shut;  // the far end closed, rather than the line hung up
    const char* box;
    std::vector<const char*> prompts;
  } rows[] = {
      {"IR55, hung up", false, false, "ReadFileEroor M-36", {"Fire 2nd. signal!", "Fire 1st. signal!"}},
      {"IR55, far end closed", false, true, "ReadFileEroor M-36", {"Fire 2nd. signal!"}},
      {"IrDA-SIR, hung up", true, false, "Error I-33", {"Fire remocon signal!"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    RegDeleteTreeA(HKEY_CURRENT_CONFIG, kRoot);
    bench::PtyPort com1(1);
    Put(kPortKey, "Transmitter", row.kestrel ? "0;1;end" : "1;0;end");
    Put(kPortKey, "IrDAPortNum", "1");
    Program program;
    if (row.kestrel) {
      HWND notice = WaitForWindow(program.Id(), "TransmitterNec/Sony", 20000);
      ASSERT_NE(notice, nullptr);
      PostMessageA(notice, WM_COMMAND, IDOK, 0);
    }
    HWND frame = program.MainWindow();
    ASSERT_NE(frame, nullptr);
    HWND step = OpenWizard(program, Dialog(frame));
    ASSERT_NE(step, nullptr);
    if (!row.kestrel) {
      Click(step, IDC_STEP1_TWO_IR);
      ASSERT_EQ(LearnIr55(step, com1, ir55::Script().Press(0x41)), "Lern 2nd. signal!");
    }
    if (row.shut) ASSERT_TRUE(com1.Shut());
    else com1.Hangup();
    for (const char* prompt : row.prompts) {
      PostMessageA(GetDlgItem(step, IDC_STEP1_LEARN), BM_CLICK, 0, 0);
      HWND option = OptionsAfterBoxes(program, row.box);
      ASSERT_NE(option, nullptr) << prompt;
      EXPECT_EQ(TextOf(GetDlgItem(step, IDC_STEP1_STATUS)), prompt);
      PostMessageA(option, WM_COMMAND, IDCANCEL, 0);
      EXPECT_EQ(WaitText(GetDlgItem(step, IDC_STEP1_STATUS), "Fault!", 10000), "Fault!");
      EXPECT_EQ(TextOf(GetDlgItem(step, IDC_STEP1_SIGNAL)), "");
    }
    EXPECT_EQ(program.Close(frame), 0u);
  }
}

// A tapped and a held button learn the same code, and the watcher plays an entry
// made from it when the button is tapped.
TEST_F(Vantora, WizardLearnsTheCodeTheWatcherPlaysTappedOrHeld) {
  auto [com1, program, frame, dialog] = StartOnIr55();
  ASSERT_NE(frame, nullptr);
  for (const ir55::Script& press : {ir55::Script().Press(0x42), ir55::Script().Hold(0x42, 300)}) {
    HWND step = OpenWizard(program, dialog);
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(LearnIr55(step, com1, press), "Good!");
    EXPECT_EQ(TextOf(GetDlgItem(step, IDC_STEP1_SIGNAL)), "LW 00 42;");
    Click(step, IDCANCEL);
  }
  HWND list = GetDlgItem(dialog, IDC_MAIN_EVENTS_LIST);
  Edit(dialog, list, "LW 00 42;MOVE 7 0;");
  Click(dialog, IDC_MAIN_UPDATE);
  Click(dialog, IDC_MAIN_START);
  bench::InputProbe probe(100, 100, 600, 500);
  Ready(probe);
  bench::Ir55Feeder(com1, ir55::Script().Press(0x42)).Wait();
  probe.Pump(400);
  auto moves = probe.Moves();
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves.back().x, 307);
  PostMessageA(dialog, WM_COMMAND, IDM_TRAY_EXIT_SYSTEM, 0);
  EXPECT_EQ(program.WaitExit(20000), 0u);
}

// How many options dialogs the program shows.
int OptionDialogs(DWORD pid) {
  int found = 0;
  for (HWND window : bench::TopLevelWindows(pid)) {
    char title[16] = {};
    GetWindowTextA(window, title, sizeof title);
    if (!strcmp(title, "Option")) ++found;
  }
  return found;
}

// Start with a wizard step open: a learning there borrows the receiver from the
// watcher and hands it back, so the stored button still plays. When the receiver
// goes away the watcher's options come up; "&Lern Ir" in the step then opens no
// second options dialog, and once the receiver is back the remote plays again.
TEST_F(Vantora, StartWithAStepOpenKeepsTheRemoteAndOneOptionsDialog) {
  auto [com1, program, frame, dialog] = StartOnIr55({"LW 00 41;MOVE 7 0;"});
  ASSERT_NE(frame, nullptr);
  HWND step = OpenWizard(program, dialog);
  ASSERT_NE(step, nullptr);
  Click(dialog, IDC_MAIN_START);
  EXPECT_TRUE(WaitVisible(frame, false, 5000));

  bench::InputProbe probe(100, 100, 600, 500);
  // The stored button pressed while the step learns: the learning has the receiver,
  // the watcher plays nothing meanwhile.
  Ready(probe);
  EXPECT_EQ(LearnIr55(step, com1, Tap(0x41)), "This signal is already registed!");
  probe.Pump(300);
  EXPECT_TRUE(probe.Moves().empty());
  EXPECT_EQ(LearnIr55(step, com1, Tap(0x42)), "Good!");
  EXPECT_EQ(TextOf(GetDlgItem(step, IDC_STEP1_SIGNAL)), "LW 00 42;");

  // Presses the stored button; where the pointer went, or -1 when it did not move.
  auto press = [&] {
    Ready(probe);
    bench::Ir55Feeder(com1, Tap(0x41)).Wait();
    for (int i = 0; i < 20 && probe.Moves().empty(); ++i) probe.Pump(100);
    auto moves = probe.Moves();
    return moves.empty() ? -1L : static_cast<long>(moves.back().x);
  };
  EXPECT_EQ(press(), 307);

  com1.Hangup();
  HWND option = OptionsAfterBoxes(program, "ReadFileEroor M-36");
  ASSERT_NE(option, nullptr);
  PostMessageA(GetDlgItem(step, IDC_STEP1_LEARN), BM_CLICK, 0, 0);
  Sleep(1000);
  EXPECT_EQ(OptionDialogs(program.Id()), 1);
  EXPECT_TRUE(Answers(option, WM_NULL));

  // The receiver is back; OK opens it and the watcher goes on.
  ReattachCom1();
  PostMessageA(option, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitVisible(option, false, 10000));
  EXPECT_EQ(OptionDialogs(program.Id()), 0);
  EXPECT_EQ(press(), 307);
  PostMessageA(dialog, WM_COMMAND, IDM_TRAY_EXIT_SYSTEM, 0);
  EXPECT_EQ(program.WaitExit(20000), 0u);
}

// The IrDA-SIR receiver: an NEC button in one press at 4800; a Sony button asks for
// a second press ("AGAIN"), which runs at 9600; the format stays "SO", and the
// watcher reports that button with the code learned.
TEST_F(Vantora, WizardLearnsIrdaSirButtonsAtTheirFormatsSpeed) {
  bench::PtyPort com1(1);
  Put(kPortKey, "Transmitter", "0;1;end");
  Put(kPortKey, "IrDAPortNum", "1");
  Program program;
  HWND notice = WaitForWindow(program.Id(), "TransmitterNec/Sony", 20000);
  ASSERT_NE(notice, nullptr);
  PostMessageA(notice, WM_COMMAND, IDOK, 0);
  HWND frame = program.MainWindow();
  ASSERT_NE(frame, nullptr);
  HWND dialog = Dialog(frame);
  struct Pass {
    std::optional<sir::Protocol> protocol;  // none: a lamp's trickle of bytes instead of a button
    unsigned baud;
    const char* status;
    const char* signal;
  };
  const std::vector<Pass> buttons[] = {
      {{sir::Protocol::Nec, 4800, "Good!", "NE 01 01;"}},
      // A format that asks for another press at a speed other than Sony's: the
      // format stays, and the next press is captured at NEC's speed.
      {{sir::Protocol::Jvc, 4800, "Fault!", ""}, {sir::Protocol::Nec, 4800, "Good!", "NE 01 01;"}},
      // A line that never goes quiet ends the learning as silence does, about five
      // seconds in: the format goes back to "NE" from Sony's.
      {{sir::Protocol::Sony12, 4800, "Fault!", ""}, {std::nullopt, 9600, "Fault!", ""},
       {sir::Protocol::Nec, 4800, "Good!", "NE 01 01;"}},
      {{sir::Protocol::Sony12, 4800, "Fault!", ""}, {sir::Protocol::Sony12, 9600, "Good!", "SO 01 01;"}},
  };
  for (const auto& passes : buttons) {
    HWND step = OpenWizard(program, dialog);
    ASSERT_NE(step, nullptr);
    for (const Pass& pass : passes) {
      unsigned baud = 0;
      if (pass.protocol) {
        EXPECT_EQ(bench::LearnSir(step, com1, *pass.protocol, 0x01, 0x01, baud), pass.status);
      } else {
        PostMessageA(GetDlgItem(step, IDC_STEP1_LEARN), BM_CLICK, 0, 0);
        baud = bench::WaitForCapture(com1, 5000, [](DWORD ms) { Sleep(ms); });
        Trickler trickle(com1, 90);
        EXPECT_EQ(WaitText(GetDlgItem(step, IDC_STEP1_STATUS), pass.status, 12000), pass.status);
        EXPECT_TRUE(trickle.Running());  // the learning ended while the line still trickled
      }
      EXPECT_EQ(baud, pass.baud);
      EXPECT_EQ(TextOf(GetDlgItem(step, IDC_STEP1_SIGNAL)), pass.signal);
    }
    Click(step, IDCANCEL);
  }

  // The watcher, now capturing in "SO", reports the Sony button as learned.
  Edit(dialog, GetDlgItem(dialog, IDC_MAIN_EVENTS_LIST), "SO 01 01;MOVE 7 0;");
  Click(dialog, IDC_MAIN_UPDATE);
  Click(dialog, IDC_MAIN_START);
  bench::InputProbe probe(100, 100, 600, 500);
  Ready(probe);
  const bench::Waiter pump = [&](DWORD ms) { probe.Pump(ms); };
  unsigned baud = bench::WaitForCapture(com1, 5000, pump);
  EXPECT_EQ(baud, 9600u);
  probe.Pump(100);
  bench::PlaySir(com1, sir::Protocol::Sony12, 0x01, 0x01, baud, pump);
  for (int i = 0; i < 40 && probe.Moves().empty(); ++i) probe.Pump(100);
  auto moves = probe.Moves();
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves.front().x, 307);  // a quarter-second press plays again while held
  PostMessageA(dialog, WM_COMMAND, IDM_TRAY_EXIT_SYSTEM, 0);
  EXPECT_EQ(program.WaitExit(20000), 0u);
  EXPECT_EQ(Get(kPortKey, "RCFormat"), "SO");
}

}  // namespace

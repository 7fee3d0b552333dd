// TSetMsIr against Wine's real registry, stand-in monitor windows and the bench's
// pseudo-terminal ports. The driver stack's keys are made by each test and
// removed after it.
//
// Not reachable here: "Registory error!" 15, 28 and 47 (the key opened with full
// access, yet the value cannot be set) and 48 (the key opened for reading
// "IrEnabled" but not for writing it a moment later); the registry grants or
// refuses both through the same open.
#include "app/options/set_ms_ir.h"

#include <gtest/gtest.h>
#include <sddl.h>
#include <windows.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/options/serial_access.h"
#include "app/options/set_ms_ir_applet.h"
#include "bench/message_boxes.h"
#include "bench/pty_port.h"

namespace vantor {
namespace {

using set_ms_ir_applet::Calls;

const wchar_t kJapaneseTitle[] = L"\x8d64\x5916\x7dda\x30e2\x30cb\x30bf";  // 赤外線モニタ

bool KeyExists(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Values put into Wine's registry; every key this makes is deleted again.
class Registry {
 public:
  ~Registry() {
    for (auto it = Made.rbegin(); it != Made.rend(); ++it) RegDeleteTreeA(it->first, it->second.c_str());
  }
  void Raw(HKEY root, const std::string& path, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = Create(root, path);
    if (name) RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
  void Text(HKEY root, const std::string& path, const char* name, const std::string& text) {
    Raw(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }
  void Dword(HKEY root, const std::string& path, const char* name, DWORD value) {
    Raw(root, path, name, REG_DWORD, &value, sizeof value);
  }

 private:
  HKEY Create(HKEY root, const std::string& path) {
    for (size_t end = 0; end != std::string::npos;) {
      end = path.find('\\', end + 1);
      std::string part = path.substr(0, end);
      if (!KeyExists(root, part)) {
        Made.emplace_back(root, part);
        break;
      }
    }
    // Wine keeps HKEY_CURRENT_CONFIG\System volatile, and only volatile keys may go under it.
    HKEY key = nullptr;
    for (DWORD options : {REG_OPTION_NON_VOLATILE, REG_OPTION_VOLATILE})
      if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr, &key, nullptr) == 0) break;
    return key;
  }
  std::vector<std::pair<HKEY, std::string>> Made;
};

const char kPanel[] = "Control Panel\\Infrared";
const char kPorts[] = "Enum\\Infrared\\VirtualPorts";
const char kMouseKey[] = "System\\CurrentControlSet\\Services\\VxD\\VMD";
const char kPrintersKey[] = "System\\CurrentControlSet\\Control\\Print\\Printers";

bool ReadIrEnabled(DWORD* value, DWORD* type) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kPanel, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD size = sizeof *value;
  bool found = RegQueryValueExA(key, "IrEnabled", nullptr, type, reinterpret_cast<BYTE*>(value), &size) == 0;
  RegCloseKey(key);
  return found && size == 4;
}

// A window standing in for the infrared monitor, on a thread of its own that
// pumps messages, so SendMessageA from the test thread returns. It records the
// commands and WM_DESTROY it receives and, when it gets a command, the watched
// object's StatusText at that moment.
class StandInMonitor {
 public:
  explicit StandInMonitor(const wchar_t* title, const TSetMsIr* watched = nullptr) : Title(title), Watched(watched) {
    InitializeCriticalSection(&Lock);
    Ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    WaitForSingleObject(Ready, 5000);
  }
  ~StandInMonitor() {
    PostMessageW(Hwnd, WM_APP, 0, 0);
    WaitForSingleObject(Thread, 5000);
    CloseHandle(Thread);
    CloseHandle(Ready);
    DeleteCriticalSection(&Lock);
  }
  HWND hwnd() const { return Hwnd; }
  // "113" for WM_COMMAND 113, "destroy" for WM_DESTROY; waits up to ms for count.
  std::vector<std::string> Received(size_t count = 0, unsigned ms = 0) {
    for (DWORD start = GetTickCount(); Snapshot().size() < count && GetTickCount() - start < ms;) Sleep(10);
    return Snapshot();
  }
  std::string statusSeen;

 private:
  std::vector<std::string> Snapshot() {
    EnterCriticalSection(&Lock);
    auto copy = Messages;
    LeaveCriticalSection(&Lock);
    return copy;
  }
  static DWORD WINAPI Run(void* self) {
    static ATOM registered = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"VantorStandInMonitor";
      return RegisterClassW(&wc);
    }();
    (void)registered;
    auto* me = static_cast<StandInMonitor*>(self);
    me->Hwnd = CreateWindowExW(0, L"VantorStandInMonitor", me->Title, WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleW(nullptr), me);
    SetEvent(me->Ready);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
  }
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* me = reinterpret_cast<StandInMonitor*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (me && (message == WM_COMMAND || message == WM_DESTROY)) {
      if (message == WM_COMMAND && me->Watched) me->statusSeen = me->Watched->StatusText;
      EnterCriticalSection(&me->Lock);
      me->Messages.push_back(message == WM_COMMAND ? std::to_string(wParam) : "destroy");
      LeaveCriticalSection(&me->Lock);
      return 0;  // a stand-in only listens; it goes when the test ends
    }
    if (message == WM_APP) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      DestroyWindow(hwnd);
      PostQuitMessage(0);
      return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  const wchar_t* Title;
  const TSetMsIr* Watched;
  CRITICAL_SECTION Lock;
  HANDLE Ready;
  HANDLE Thread;
  HWND Hwnd = nullptr;
  std::vector<std::string> Messages;
};

// Puts our own WinExec in for the applet; the real one comes back afterwards.
// The "applet" records its command line and may bring up a stand-in monitor.
struct FakeApplet {
  explicit FakeApplet(UINT result, const wchar_t* monitorTitle = nullptr) {
    saved = Calls().WinExec;
    the = this;
    this->result = result;
    title = monitorTitle;
    Calls().WinExec = [](LPCSTR command, UINT show) -> UINT {
      the->started.push_back(std::string(command) + (show == SW_HIDE ? " (hidden)" : " (shown)"));
      if (the->title) the->monitor = std::make_unique<StandInMonitor>(the->title);
      return the->result;
    };
  }
  ~FakeApplet() { Calls().WinExec = saved; }
  static inline FakeApplet* the = nullptr;
  UINT (*saved)(LPCSTR, UINT);
  UINT result;
  const wchar_t* title;
  std::vector<std::string> started;
  std::unique_ptr<StandInMonitor> monitor;
};

// One machine with the driver stack: physical port COM1, virtual ports COM2 and
// COM3 (pseudo-terminals, so TestPort can open them unless a test holds them).
class SetMsIrMachine : public ::testing::Test {
 protected:
  void SetUp() override {
    // A test stopped half-way leaves its keys behind: start from a machine without the driver.
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Enum");
    RegDeleteTreeA(HKEY_CURRENT_USER, kPanel);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMouseKey);
    RegDeleteTreeA(HKEY_CURRENT_CONFIG, kPrintersKey);
  }
  // Any box is answered, so a test cannot hang on one; only TestPort's are expected.
  void TearDown() override { EXPECT_EQ(boxes.Boxes().size(), boxesExpected); }
  void InstallDriver(DWORD enabled) {
    reg.Raw(HKEY_LOCAL_MACHINE, "Enum\\Root\\Infrared", nullptr, 0, nullptr, 0);
    reg.Text(HKEY_LOCAL_MACHINE, kPorts, "VirtualComPortName", "com2");
    reg.Text(HKEY_LOCAL_MACHINE, kPorts, "VirtualLptPortName", "com3");
    reg.Text(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Framer", "PortName", "com1");
    reg.Dword(HKEY_CURRENT_USER, kPanel, "IrEnabled", enabled);
  }
  DWORD IrEnabled() {
    DWORD value = 0xDEAD, type = 0;
    EXPECT_TRUE(ReadIrEnabled(&value, &type));
    EXPECT_EQ(type, DWORD(REG_DWORD));
    return value;
  }
  bench::MessageBoxCapture boxes;
  size_t boxesExpected = 0;
  Registry reg;
  TSetMsIr ir;
};

using SetMsIrStatus = SetMsIrMachine;
using SetMsIrOff = SetMsIrMachine;
using SetMsIrOn = SetMsIrMachine;
using SetMsIrKill = SetMsIrMachine;
using SetMsIrTestPort = SetMsIrMachine;

TEST_F(SetMsIrStatus, ReadsEveryFieldUpperCasedAndFindsTheMonitor) {
  InstallDriver(1);
  reg.Text(HKEY_LOCAL_MACHINE, kMouseKey, "MouseType", "Serial on COM2");
  reg.Text(HKEY_CURRENT_CONFIG, kPrintersKey, "Default", "Office Laser");
  reg.Text(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Print\\Printers\\OFFICE LASER", "Port", "lpt1:");
  StandInMonitor irmon(L"IRMON");

  EXPECT_EQ(ir.ReadStatus(), TRUE);
  EXPECT_STREQ(ir.VirtualCom, "COM2");
  EXPECT_STREQ(ir.VirtualLpt, "COM3");
  EXPECT_STREQ(ir.PhysicalCom, "COM1");
  EXPECT_STREQ(ir.DefaultLpt, "LPT1");
  EXPECT_STREQ(ir.MousePort, "COM1");  // whatever port the mouse really uses
  EXPECT_EQ(ir.DriverEnabled, 1u);
  EXPECT_EQ(ir.MonitorActive, 1);
  EXPECT_EQ(ir.MonitorWindow, irmon.hwnd());
}

TEST_F(SetMsIrStatus, AMachineWithoutTheDriverHasEmptyFields) {
  reg.Text(HKEY_LOCAL_MACHINE, kMouseKey, "MouseType", "serial");  // case counts
  EXPECT_EQ(ir.ReadStatus(), TRUE);
  for (const char* field : {ir.VirtualCom, ir.VirtualLpt, ir.PhysicalCom, ir.DefaultLpt, ir.MousePort})
    EXPECT_STREQ(field, "");
  EXPECT_EQ(ir.DriverEnabled, 0u);
  EXPECT_EQ(ir.MonitorActive, 0);
  EXPECT_EQ(ir.MonitorWindow, nullptr);
}

TEST_F(SetMsIrStatus, ValuesThatDoNotFitOrAreNotTextCountAsAbsent) {
  InstallDriver(1);
  reg.Text(HKEY_LOCAL_MACHINE, kPorts, "VirtualComPortName", std::string(99, 'c'));  // fills the buffer exactly
  reg.Text(HKEY_LOCAL_MACHINE, kPorts, "VirtualLptPortName", std::string(100, 'l'));
  reg.Raw(HKEY_LOCAL_MACHINE, "Enum\\Infrared\\Framer", "PortName", REG_BINARY, "COM1", 5);
  ir.ReadStatus();
  EXPECT_EQ(std::string(ir.VirtualCom), std::string(99, 'C'));
  EXPECT_STREQ(ir.VirtualLpt, "");
  EXPECT_STREQ(ir.PhysicalCom, "");

  // Without its zero (and with no zero right after it, which the registry would count in).
  reg.Raw(HKEY_LOCAL_MACHINE, kPorts, "VirtualComPortName", REG_SZ, std::string(100, 'c').c_str(), 99);
  reg.Raw(HKEY_CURRENT_USER, kPanel, "IrEnabled", REG_BINARY, "\1\0\0\0", 4);
  ir.ReadStatus();
  EXPECT_STREQ(ir.VirtualCom, "");
  EXPECT_EQ(ir.DriverEnabled, 1u);  // the 4 bytes count, whatever their type
  unsigned long long wide = 1;
  reg.Raw(HKEY_CURRENT_USER, kPanel, "IrEnabled", REG_QWORD, &wide, sizeof wide);
  ir.ReadStatus();
  EXPECT_EQ(ir.DriverEnabled, 0u);
}

TEST_F(SetMsIrStatus, APrinterNameTooLongForTheKeyPathMeansNoDefaultPrinter) {
  // 48 characters of key path are taken, so 51 of the 99 left hold a name.
  const std::string fits(51, 'P');
  reg.Text(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Print\\Printers\\" + fits, "Port", "LPT2:");
  reg.Text(HKEY_CURRENT_CONFIG, kPrintersKey, "Default", fits);
  ir.ReadStatus();
  EXPECT_STREQ(ir.DefaultLpt, "LPT2");
  // One more character: the cut path would name the key above, which must not be read.
  reg.Text(HKEY_CURRENT_CONFIG, kPrintersKey, "Default", fits + "Q");
  ir.ReadStatus();
  EXPECT_STREQ(ir.DefaultLpt, "");
}

TEST_F(SetMsIrOff, WithoutTheDriverNothingChanges) {
  InstallDriver(1);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Enum\\Root\\Infrared");
  StandInMonitor irmon(L"IRMON");
  EXPECT_EQ(ir.SetDriver(FALSE), TRUE);
  EXPECT_STREQ(ir.StatusText, "IrDA driver is not installed. 38");
  EXPECT_EQ(IrEnabled(), 1u);
  EXPECT_TRUE(irmon.Received().empty());

  reg.Raw(HKEY_LOCAL_MACHINE, "Enum\\Root\\Infrared", nullptr, 0, nullptr, 0);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPorts);
  EXPECT_EQ(ir.SetDriver(FALSE), TRUE);
  EXPECT_STREQ(ir.StatusText, "MS-IrDA driver is not installed. 39");

  InstallDriver(0);
  EXPECT_EQ(ir.SetDriver(FALSE), TRUE);
  EXPECT_STREQ(ir.StatusText, "Allready MS-IrDA driver was DISABLE! 40");
  EXPECT_TRUE(irmon.Received().empty());
}

TEST_F(SetMsIrOff, TheMonitorIsToldToLetGoWhenTheVirtualPortsAreFree) {
  InstallDriver(1);
  bench::PtyPort com(2), lpt(3);
  StandInMonitor irmon(L"IRMON", &ir);
  EXPECT_EQ(ir.SetDriver(FALSE), TRUE);
  EXPECT_EQ(irmon.Received(), std::vector<std::string>{"113"});
  EXPECT_STREQ(ir.StatusText, "Success! IrDA-driver is DISABLE! 44");
  // While the monitor handled the command, the status line stood in StatusText.
  EXPECT_EQ(irmon.statusSeen,
            "PhysicalCOM=COM1\r\nDefaultLPT=\r\nV-COM=COM2\r\nV-LPT=COM3\r\nEnable=1\r\nActive=1\r\nMouse=");
  EXPECT_EQ(IrEnabled(), 1u);  // the monitor, not this program, switches the driver off
}

TEST_F(SetMsIrOff, AVirtualPortHeldByAnotherProgramStopsIt) {
  InstallDriver(1);
  StandInMonitor irmon(L"IRMON");
  struct Case {
    bool comHeld, lptHeld;
    const char* text;
  } cases[] = {
      {true, false,
       "MSIrDA-UI cannot open port !\nAnother communication software \nusing virtual com port on IrDA driver! 41"},
      {false, true, "MSIrDA-UI cannot open port !\nAnother software using \nvirtual printer port on IrDA driver! 42"},
      {true, true, "MSIrDA-UI cannot open port !\nAnother software using \nvirtual port on IrDA driver! 43"}};
  for (const Case& c : cases) {
    using Mode = bench::PtyPort::Mode;
    bench::PtyPort com(2, c.comHeld ? Mode::Held : Mode::Ready), lpt(3, c.lptHeld ? Mode::Held : Mode::Ready);
    EXPECT_EQ(ir.SetDriver(FALSE), FALSE);
    EXPECT_STREQ(ir.StatusText, c.text);
  }
  EXPECT_TRUE(irmon.Received().empty());
  EXPECT_EQ(IrEnabled(), 1u);
}

TEST_F(SetMsIrOff, WithoutAMonitorTheRegistryIsSwitchedOff) {
  InstallDriver(1);
  EXPECT_EQ(ir.SetDriver(FALSE), TRUE);
  EXPECT_STREQ(ir.StatusText, "Success! IrDA-driver is DISABLE! 46");
  EXPECT_EQ(IrEnabled(), 0u);
  EXPECT_EQ(ir.DriverEnabled, 0u);
}

TEST_F(SetMsIrOn, EndsEarlyWithoutTheDriverOrWhenItIsOn) {
  EXPECT_EQ(ir.SetDriver(TRUE), FALSE);
  EXPECT_STREQ(ir.StatusText, "IrDA driver is not installed. 1");
  InstallDriver(1);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPorts);
  EXPECT_EQ(ir.SetDriver(TRUE), FALSE);
  EXPECT_STREQ(ir.StatusText, "IrDA driver is not installed. 2");

  InstallDriver(1);
  FakeApplet applet(33);
  {
    StandInMonitor irmon(L"IRMON");
    EXPECT_EQ(ir.SetDriver(TRUE), TRUE);
    EXPECT_STREQ(ir.StatusText, "Allready IrDA driver was ENABLE 3");
    EXPECT_TRUE(irmon.Received().empty());
  }
  bench::PtyPort com(2);
  EXPECT_EQ(ir.SetDriver(TRUE), TRUE);
  EXPECT_STREQ(ir.StatusText, "Success! IrDA-driver is ENABLE! 5");
  EXPECT_TRUE(applet.started.empty());
}

TEST_F(SetMsIrOn, AFailedAppletStartEndsIt) {
  // Each way to reach the applet, with the virtual COM port held so it is needed.
  struct Way { DWORD enabled; bool monitor; int first; } ways[] = {{1, false, 6}, {0, true, 18}, {0, false, 31}};
  const char* texts[] = {"The system is out of memory or resources! %d", "Non-Win32 .EXE or error in .EXE image! %d",
                         "The specified file was not found! %d", "The specified path was not found! %d"};
  const UINT results[] = {0, ERROR_BAD_FORMAT, ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND};
  bench::PtyPort physical(1), com(2, bench::PtyPort::Mode::Held);
  for (const Way& way : ways) {
    std::unique_ptr<StandInMonitor> irmon(way.monitor ? new StandInMonitor(L"IRMON") : nullptr);
    for (int i = 0; i < 4; ++i) {
      InstallDriver(way.enabled);
      FakeApplet applet(results[i]);
      EXPECT_EQ(ir.SetDriver(TRUE), FALSE);
      char expected[100];
      snprintf(expected, sizeof expected, texts[i], way.first + i);
      EXPECT_STREQ(ir.StatusText, expected);
      EXPECT_EQ(applet.started, std::vector<std::string>{"CONTROL.EXE INFRARED.CPL (hidden)"});
    }
  }
}

TEST_F(SetMsIrOn, TheAppletsMonitorIsWaitedFor) {
  bench::PtyPort com(2, bench::PtyPort::Mode::Held);
  InstallDriver(1);
  {
    FakeApplet applet(33, L"IRMON");
    EXPECT_EQ(ir.SetDriver(TRUE), TRUE);
    EXPECT_STREQ(ir.StatusText, "Success! IrDA-driver is ENABLE! 11");
    ASSERT_TRUE(applet.monitor);
    EXPECT_EQ(ir.MonitorWindow, applet.monitor->hwnd());
  }
  InstallDriver(0);
  {
    FakeApplet applet(33, kJapaneseTitle);
    EXPECT_EQ(ir.SetDriver(TRUE), TRUE);
    EXPECT_STREQ(ir.StatusText, "Success! IrDA-driver is ENABLE! 36");
    ASSERT_TRUE(applet.monitor);
    EXPECT_EQ(ir.MonitorWindow, applet.monitor->hwnd());
    EXPECT_EQ(IrEnabled(), 1u);
  }
  bench::PtyPort physical(1);
  StandInMonitor irmon(L"IRMON");
  InstallDriver(0);
  FakeApplet applet(33, L"Infrared Monitor");
  EXPECT_EQ(ir.SetDriver(TRUE), TRUE);
  EXPECT_STREQ(ir.StatusText, "Success! IrDA-driver is ENABLE! 23");
  ASSERT_TRUE(applet.monitor);
  EXPECT_EQ(ir.MonitorWindow, applet.monitor->hwnd());
  EXPECT_EQ(irmon.Received(), std::vector<std::string>{"destroy"});
}

// The two waits in full, with the real applet start (Wine has no infrared applet,
// so no monitor comes): about 9 and 6 seconds.
TEST_F(SetMsIrOn, NoMonitorAfterTheIrmonWait) {
  InstallDriver(1);
  bench::PtyPort com(2, bench::PtyPort::Mode::Held);
  EXPECT_EQ(ir.SetDriver(TRUE), FALSE);
  EXPECT_STREQ(ir.StatusText, "MSIrDA-UI can not activate IrDA-driver! 10");
  EXPECT_EQ(ir.MonitorWindow, nullptr);
}

TEST_F(SetMsIrOn, NoMonitorAfterTheTitleWait) {
  InstallDriver(0);
  bench::PtyPort com(2, bench::PtyPort::Mode::Held);
  EXPECT_EQ(ir.SetDriver(TRUE), FALSE);
  EXPECT_STREQ(ir.StatusText, "MSIrDA-UI can not activate IrDA-driver! 35");
  EXPECT_EQ(IrEnabled(), 1u);  // written before the wait, and kept
  EXPECT_EQ(ir.DriverEnabled, 1u);
}

TEST_F(SetMsIrOn, TheRegistryIsSwitchedOnWhenTheVirtualPortIsFree) {
  bench::PtyPort com(2);
  InstallDriver(0);
  EXPECT_EQ(ir.SetDriver(TRUE), TRUE);
  EXPECT_STREQ(ir.StatusText, "Success! IrDA-driver is ENABLE! 30");
  EXPECT_EQ(IrEnabled(), 1u);
  EXPECT_EQ(ir.DriverEnabled, 1u);

  // A monitor left running is closed first, and the physical port must be free.
  StandInMonitor irmon(L"IRMON");
  InstallDriver(0);
  {
    bench::PtyPort physical(1, bench::PtyPort::Mode::Held);
    EXPECT_EQ(ir.SetDriver(TRUE), FALSE);
    EXPECT_STREQ(ir.StatusText, "MSIrDA-UI cannot open port !\nAnother software possession physical port directly! 13");
    EXPECT_EQ(IrEnabled(), 0u);
  }
  bench::PtyPort physical(1);
  EXPECT_EQ(ir.SetDriver(TRUE), TRUE);
  EXPECT_STREQ(ir.StatusText, "Success! IrDA-driver is ENABLE! 17");
  EXPECT_EQ(IrEnabled(), 1u);
  EXPECT_EQ(irmon.Received(), (std::vector<std::string>{"destroy", "destroy"}));
}

TEST_F(SetMsIrOn, AKeyThatRefusesWritingLeavesTheDriverOff) {
  InstallDriver(1);
  // Readable by everyone, writable by nobody: "IrEnabled" cannot be opened for the
  // write, and so it reads as 0 too.
  PSECURITY_DESCRIPTOR readOnly = nullptr;
  ASSERT_TRUE(
      ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kPanel, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly), ERROR_SUCCESS);
  RegCloseKey(key);
  LocalFree(readOnly);

  bench::PtyPort physical(1);
  EXPECT_EQ(ir.SetDriver(TRUE), FALSE);
  EXPECT_STREQ(ir.StatusText, "Registory error! 29");
  EXPECT_EQ(ir.DriverEnabled, 0u);
  StandInMonitor irmon(L"IRMON");
  EXPECT_EQ(ir.SetDriver(TRUE), FALSE);
  EXPECT_STREQ(ir.StatusText, "Registory error! 16");
  EXPECT_EQ(ir.DriverEnabled, 0u);
}

TEST_F(SetMsIrKill, ClosesTheMonitorOnlyOnceTheDriverIsOff) {
  EXPECT_EQ(ir.KillMonitor(), TRUE);
  EXPECT_STREQ(ir.StatusText, "Allready MS-IrDA was killed! 53");

  InstallDriver(1);
  bench::PtyPort com(2), lpt(3);
  StandInMonitor irmon(L"IRMON");
  EXPECT_EQ(ir.KillMonitor(), FALSE);
  EXPECT_STREQ(ir.StatusText, "You must do disable driver first! 51");
  EXPECT_EQ(irmon.Received(), std::vector<std::string>{"113"});  // the switch-off it ran

  InstallDriver(0);
  EXPECT_EQ(ir.KillMonitor(), TRUE);
  EXPECT_STREQ(ir.StatusText, "Success! MSIrDA-UI kill MS IrDA-driver! 50");
  EXPECT_EQ(irmon.Received(2, 2000), (std::vector<std::string>{"113", "destroy"}));
}

TEST(PortCheckAccess, WriteOnlyExceptUnderWine) {
  EXPECT_EQ(PortCheckAccess(false), static_cast<DWORD>(GENERIC_WRITE));
  EXPECT_EQ(PortCheckAccess(true), static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE));
  EXPECT_TRUE(RunningUnderWine());  // the bench is Wine: the test ports open read-write
}

TEST_F(SetMsIrTestPort, ConfiguresAFreePortAndClosesIt) {
  bench::PtyPort port(4);
  EXPECT_EQ(ir.TestPort("COM4"), TRUE);
  EXPECT_EQ(ir.TestHandle, INVALID_HANDLE_VALUE);
  bench::LineSettings line;
  ASSERT_TRUE(port.Settings(line));
  EXPECT_EQ(line.baud, 9600u);
  EXPECT_EQ(line.dataBits, 8);
  EXPECT_EQ(line.parity, 'N');
  EXPECT_EQ(line.stopBits, 1);
  EXPECT_TRUE(ir.TestState.fBinary && ir.TestState.fAbortOnError);
  EXPECT_EQ(ir.TestTimeouts.ReadIntervalTimeout, MAXDWORD);
  EXPECT_EQ(ir.TestTimeouts.ReadTotalTimeoutConstant + ir.TestTimeouts.ReadTotalTimeoutMultiplier +
                ir.TestTimeouts.WriteTotalTimeoutConstant + ir.TestTimeouts.WriteTotalTimeoutMultiplier,
            0u);

  bench::PtyPort held(3, bench::PtyPort::Mode::Held);
  EXPECT_EQ(ir.TestPort("COM3"), FALSE);
  EXPECT_EQ(ir.TestPort(""), FALSE);  // a port that does not open is no message
}

}  // namespace
}  // namespace vantor

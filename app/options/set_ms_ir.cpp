#include "app/options/set_ms_ir.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "app/events/store_values.h"
#include "app/options/serial_access.h"
#include "app/options/set_ms_ir_applet.h"
#include "win32/utf8_to_wide.h"

namespace vantor {

namespace set_ms_ir_applet {

AppletCalls& Calls() {
  static AppletCalls calls{::WinExec};
  return calls;
}

}  // namespace set_ms_ir_applet

namespace {

using set_ms_ir_applet::Calls;

// Every value is read through a buffer of this size.
constexpr DWORD kValueBufferSize = 100;
using ValueBuffer = char[kValueBufferSize];

// The printer key path is held in this many characters, its zero included.
constexpr std::size_t kPrinterKeyPathSize = 100;

const char kRootKey[] = "Enum\\Root\\Infrared";
const char kVirtualPortsKey[] = "Enum\\Infrared\\VirtualPorts";
const char kFramerKey[] = "Enum\\Infrared\\Framer";
const char kPrintersKey[] = "System\\CurrentControlSet\\Control\\Print\\Printers";
// Key names ignore case: "control" here and "Control" above are the same branch.
const char kPrinterKeyPrefix[] = "System\\CurrentControlSet\\control\\Print\\Printers\\";
const char kMouseKey[] = "System\\CurrentControlSet\\Services\\VxD\\VMD";
const char kInfraredPanelKey[] = "Control Panel\\Infrared";

const char kMonitorTitle[] = "IRMON";
const char kMonitorTitleEnglish[] = "Infrared Monitor";
const char kMonitorTitleJapanese[] = "赤外線モニタ";  // UTF-8

// The monitor's command that makes the driver let go of the physical port.
constexpr WPARAM kMonitorCommandDisable = 113;

// Bounded waits for the monitor window after starting the applet.
constexpr int kIrmonTries = 30;
constexpr int kTitleTries = 20;
constexpr DWORD kTryPauseMs = 300;

// The failure texts of starting the applet: result 0, 11, 2, 3.
struct AppletTexts {
  const char* outOfMemory;
  const char* badFormat;
  const char* fileNotFound;
  const char* pathNotFound;
};

// The texts of switching the driver on, once "IrEnabled" is to be written.
struct EnableTexts {
  const char* keyNotOpened;
  const char* writeFailed;
  const char* written;
  const char* virtualPortFree;
  AppletTexts applet;
  const char* monitorFound;
  const char* monitorNotFound;
};

// Starting the applet when the registry has the driver on but its virtual port is held.
const AppletTexts kAppletTextsDriverOn{
    "The system is out of memory or resources! 6", "Non-Win32 .EXE or error in .EXE image! 7",
    "The specified file was not found! 8", "The specified path was not found! 9"};

// Switching on while a monitor still runs with the driver off.
const EnableTexts kEnableTextsMonitorRunning{
    "Registory error! 16",
    "Registory error! 15",
    "Success! IrDA-driver is ENABLE! 14",
    "Success! IrDA-driver is ENABLE! 17",
    {"The system is out of memory or resources! 18", "Non-Win32 .EXE or error in .EXE image! 19",
     "The specified file was not found! 20", "The specified path was not found! 21"},
    "Success! IrDA-driver is ENABLE! 23",
    "MSIrDA-UI can not activate IrDA-driver! 22"};

// Switching on with no monitor running.
const EnableTexts kEnableTextsNoMonitor{
    "Registory error! 29",
    "Registory error! 28",
    "Success! IrDA-driver is ENABLE! 27",
    "Success! IrDA-driver is ENABLE! 30",
    {"The system is out of memory or resources! 31", "Non-Win32 .EXE or error in .EXE image! 32",
     "The specified file was not found! 33", "The specified path was not found! 34"},
    "Success! IrDA-driver is ENABLE! 36",
    "MSIrDA-UI can not activate IrDA-driver! 35"};

void Copy(char (&to)[256], const char* from) { std::snprintf(to, sizeof to, "%s", from); }

HKEY OpenKey(HKEY root, const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return nullptr;
  return key;
}

bool KeyExists(HKEY root, const char* path) {
  HKEY key = OpenKey(root, path);
  if (!key) return false;
  RegCloseKey(key);
  return true;
}

// Reads a text value. Missing, unreadable, longer than the buffer, not
// a string, or without its terminating zero: absent, and the buffer is empty.
bool ReadText(HKEY root, const char* path, const char* name, ValueBuffer& buffer) {
  std::memset(buffer, 0, sizeof buffer);
  HKEY key = OpenKey(root, path);
  if (!key) return false;
  DWORD type = 0;
  DWORD size = sizeof buffer;
  LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  bool usable = result == ERROR_SUCCESS && type == REG_SZ && size <= sizeof buffer &&
                std::memchr(buffer, 0, size) != nullptr;
  if (!usable) {
    std::memset(buffer, 0, sizeof buffer);
    return false;
  }
  return true;
}

bool ReadUpperText(HKEY root, const char* path, const char* name, ValueBuffer& buffer) {
  if (!ReadText(root, path, name, buffer)) return false;
  UpperCaseAscii(buffer);
  return true;
}

// "IrEnabled": its 4 bytes, whatever type it was stored with (the panel has written
// it as a binary value too); 0 when the key or the value is missing or longer.
DWORD ReadIrEnabled() {
  HKEY key = OpenKey(HKEY_CURRENT_USER, kInfraredPanelKey);
  if (!key) return 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  LONG result = RegQueryValueExA(key, "IrEnabled", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? value : 0;
}

enum class WriteResult { Written, KeyNotOpened, WriteFailed };

WriteResult WriteIrEnabled(DWORD value) {
  HKEY key = OpenKey(HKEY_CURRENT_USER, kInfraredPanelKey);
  if (!key) return WriteResult::KeyNotOpened;
  LONG result = RegSetValueExA(key, "IrEnabled", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? WriteResult::Written : WriteResult::WriteFailed;
}

// The default printer's port. A printer name too long for the key path means no
// default printer: a truncated path could name another printer's key.
void ReadDefaultLpt(char (&defaultLpt)[256]) {
  defaultLpt[0] = 0;
  ValueBuffer name;
  if (!ReadUpperText(HKEY_CURRENT_CONFIG, kPrintersKey, "Default", name)) return;
  char path[kPrinterKeyPathSize];
  int length = std::snprintf(path, sizeof path, "%s%s", kPrinterKeyPrefix, name);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof path) return;
  ValueBuffer port;
  if (!ReadUpperText(HKEY_LOCAL_MACHINE, path, "Port", port)) return;
  Copy(defaultLpt, port);
  if (char* colon = std::strchr(defaultLpt, ':')) *colon = 0;
}

// The Japanese title goes through the wide API so it matches whatever the
// system's ANSI code page is.
HWND FindJapaneseMonitor() {
  wchar_t title[32];
  if (!Utf8ToWide(kMonitorTitleJapanese, title, std::size(title))) return nullptr;
  return FindWindowW(nullptr, title);
}

}  // namespace

// Empty rather than undefined, should anything read a field before ReadStatus.
TSetMsIr::TSetMsIr()
    : PhysicalCom{},
      StatusText{},
      DriverEnabled(0),
      MonitorActive(0),
      VirtualCom{},
      VirtualLpt{},
      DefaultLpt{},
      MousePort{},
      MonitorWindow(nullptr),
      TestHandle(INVALID_HANDLE_VALUE),
      TestState{},
      TestTimeouts{} {}

TSetMsIr::~TSetMsIr() = default;

BOOL TSetMsIr::ReadStatus() {
  ValueBuffer value;

  VirtualCom[0] = 0;
  if (ReadUpperText(HKEY_LOCAL_MACHINE, kVirtualPortsKey, "VirtualComPortName", value)) Copy(VirtualCom, value);

  VirtualLpt[0] = 0;
  if (ReadUpperText(HKEY_LOCAL_MACHINE, kVirtualPortsKey, "VirtualLptPortName", value)) Copy(VirtualLpt, value);

  ReadDefaultLpt(DefaultLpt);

  // Only the type is stored: a serial mouse is taken to be on COM1, whatever port it uses.
  MousePort[0] = 0;
  if (ReadText(HKEY_LOCAL_MACHINE, kMouseKey, "MouseType", value) && std::strncmp(value, "Serial", 6) == 0)
    Copy(MousePort, "COM1");

  PhysicalCom[0] = 0;
  if (ReadUpperText(HKEY_LOCAL_MACHINE, kFramerKey, "PortName", value)) Copy(PhysicalCom, value);

  DriverEnabled = ReadIrEnabled();

  MonitorWindow = FindWindowA(nullptr, kMonitorTitle);
  MonitorActive = MonitorWindow ? 1 : 0;
  return TRUE;
}

namespace {

void WriteStatusLine(TSetMsIr& ir) {
  std::snprintf(ir.StatusText, sizeof ir.StatusText,
                "PhysicalCOM=%s\r\nDefaultLPT=%s\r\nV-COM=%s\r\nV-LPT=%s\r\nEnable=%d\r\nActive=%d\r\nMouse=%s",
                ir.PhysicalCom, ir.DefaultLpt, ir.VirtualCom, ir.VirtualLpt, static_cast<int>(ir.DriverEnabled),
                ir.MonitorActive, ir.MousePort);
}

BOOL Finish(TSetMsIr& ir, const char* text, BOOL result) {
  std::snprintf(ir.StatusText, sizeof ir.StatusText, "%s", text);
  return result;
}

// Starts the control-panel applet, which brings the monitor up. Returns the text
// for a start that failed, nullptr when the wait for the monitor should follow.
const char* StartApplet(const AppletTexts& texts) {
  switch (Calls().WinExec("CONTROL.EXE INFRARED.CPL", SW_HIDE)) {
    case 0:
      return texts.outOfMemory;
    case ERROR_BAD_FORMAT:
      return texts.badFormat;
    case ERROR_FILE_NOT_FOUND:
      return texts.fileNotFound;
    case ERROR_PATH_NOT_FOUND:
      return texts.pathNotFound;
    default:
      return nullptr;
  }
}

// The monitor started by the applet has one of two titles, by language.
HWND WaitForMonitorByTitles() {
  HWND window = nullptr;
  for (int i = 0; i < kTitleTries; ++i) {
    window = FindWindowA(nullptr, kMonitorTitleEnglish);
    if (!window) window = FindJapaneseMonitor();
    if (window) break;
    Sleep(kTryPauseMs);
  }
  return window;
}

// Switching on once "IrEnabled" is to be set (the driver was off).
BOOL EnableInRegistry(TSetMsIr& ir, const EnableTexts& texts) {
  ir.DriverEnabled = 1;
  switch (WriteIrEnabled(1)) {
    case WriteResult::KeyNotOpened:
      ir.DriverEnabled = 0;
      return Finish(ir, texts.keyNotOpened, FALSE);
    case WriteResult::WriteFailed:
      ir.DriverEnabled = 0;
      return Finish(ir, texts.writeFailed, FALSE);
    case WriteResult::Written:
      Finish(ir, texts.written, TRUE);
      break;
  }
  if (ir.TestPort(ir.VirtualCom)) return Finish(ir, texts.virtualPortFree, TRUE);
  if (const char* failure = StartApplet(texts.applet)) return Finish(ir, failure, FALSE);
  ir.MonitorWindow = WaitForMonitorByTitles();
  if (ir.MonitorWindow) return Finish(ir, texts.monitorFound, TRUE);
  return Finish(ir, texts.monitorNotFound, FALSE);
}

BOOL SwitchOff(TSetMsIr& ir) {
  if (!KeyExists(HKEY_LOCAL_MACHINE, kRootKey)) return Finish(ir, "IrDA driver is not installed. 38", TRUE);
  if (!ir.VirtualCom[0] || !ir.VirtualLpt[0]) return Finish(ir, "MS-IrDA driver is not installed. 39", TRUE);
  if (ir.DriverEnabled == 0) return Finish(ir, "Allready MS-IrDA driver was DISABLE! 40", TRUE);

  if (ir.MonitorActive) {
    // The monitor can only let go of virtual ports that no other program holds.
    bool comBusy = !ir.TestPort(ir.VirtualCom);
    bool lptBusy = !ir.TestPort(ir.VirtualLpt);
    if (comBusy && lptBusy)
      return Finish(ir,
                    "MSIrDA-UI cannot open port !\nAnother software using \n"
                    "virtual port on IrDA driver! 43",
                    FALSE);
    if (comBusy)
      return Finish(ir,
                    "MSIrDA-UI cannot open port !\nAnother communication software \n"
                    "using virtual com port on IrDA driver! 41",
                    FALSE);
    if (lptBusy)
      return Finish(ir,
                    "MSIrDA-UI cannot open port !\nAnother software using \n"
                    "virtual printer port on IrDA driver! 42",
                    FALSE);
    // Returns once the monitor has handled it.
    SendMessageA(ir.MonitorWindow, WM_COMMAND, kMonitorCommandDisable, 0);
    return Finish(ir, "Success! IrDA-driver is DISABLE! 44", TRUE);
  }

  ir.DriverEnabled = 0;
  switch (WriteIrEnabled(0)) {
    case WriteResult::KeyNotOpened:
      ir.DriverEnabled = 1;
      return Finish(ir, "Registory error! 48", TRUE);
    case WriteResult::WriteFailed:
      ir.DriverEnabled = 1;
      return Finish(ir, "Registory error! 47", TRUE);
    case WriteResult::Written:
      break;
  }
  return Finish(ir, "Success! IrDA-driver is DISABLE! 46", TRUE);
}

BOOL SwitchOn(TSetMsIr& ir) {
  if (!KeyExists(HKEY_LOCAL_MACHINE, kRootKey)) return Finish(ir, "IrDA driver is not installed. 1", FALSE);
  if (!ir.VirtualCom[0] || !ir.VirtualLpt[0]) return Finish(ir, "IrDA driver is not installed. 2", FALSE);

  if (ir.DriverEnabled != 0) {
    if (ir.MonitorActive) return Finish(ir, "Allready IrDA driver was ENABLE 3", TRUE);
    if (ir.TestPort(ir.VirtualCom)) return Finish(ir, "Success! IrDA-driver is ENABLE! 5", TRUE);
    if (const char* failure = StartApplet(kAppletTextsDriverOn)) return Finish(ir, failure, FALSE);
    ir.MonitorWindow = nullptr;
    for (int i = 0; i < kIrmonTries && !ir.MonitorWindow; ++i) {
      ir.MonitorWindow = FindWindowA(nullptr, kMonitorTitle);
      Sleep(kTryPauseMs);
    }
    if (ir.MonitorWindow) return Finish(ir, "Success! IrDA-driver is ENABLE! 11", TRUE);
    return Finish(ir, "MSIrDA-UI can not activate IrDA-driver! 10", FALSE);
  }

  if (ir.MonitorActive) {
    // A monitor left running with the driver off still holds the physical port.
    if (ir.MonitorWindow) SendMessageA(ir.MonitorWindow, WM_DESTROY, 0, 0);
    if (!ir.TestPort(ir.PhysicalCom))
      return Finish(ir, "MSIrDA-UI cannot open port !\nAnother software possession physical port directly! 13", FALSE);
    return EnableInRegistry(ir, kEnableTextsMonitorRunning);
  }
  return EnableInRegistry(ir, kEnableTextsNoMonitor);
}

}  // namespace

BOOL TSetMsIr::SetDriver(BOOL enable) {
  ReadStatus();
  WriteStatusLine(*this);
  return enable ? SwitchOn(*this) : SwitchOff(*this);
}

BOOL TSetMsIr::KillMonitor() {
  ReadStatus();
  WriteStatusLine(*this);
  if (MonitorActive && DriverEnabled == 0) {
    PostMessageA(MonitorWindow, WM_DESTROY, 0, 0);
    return Finish(*this, "Success! MSIrDA-UI kill MS IrDA-driver! 50", TRUE);
  }
  if (MonitorActive) {
    SetDriver(FALSE);
    return Finish(*this, "You must do disable driver first! 51", FALSE);
  }
  return Finish(*this, "Allready MS-IrDA was killed! 53", TRUE);
}

BOOL TSetMsIr::TestPort(const char* portName) {
  BOOL lastResult = FALSE;
  const SerialStep failed = OpenSerialPort(
      portName, PortCheckSetup(PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR, true),
      {TestHandle, TestState, TestTimeouts, lastResult});
  if (failed == SerialStep::Open) return FALSE;  // a port that does not open is no message
  // A setting the port refused is told while the port is still held.
  if (failed != SerialStep::None) MessageBoxA(nullptr, SerialStepText(failed), "Error", PortCheckFailureStyle(failed));
  CloseSerialPort(TestHandle);
  return failed == SerialStep::None;
}

}  // namespace vantor

// The release installer on the bench: a silent install into Program Files, the
// installed program started, a silent uninstall, and what each leaves behind.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "bench/program.h"
#include "bench/pty_port.h"

namespace {

const char kSettingsKey[] = "Infrared\\Software\\Vantora";
const char kEventListKey[] = "Infrared\\Software\\Vantora\\EventList";
// Where a standard user's settings go when HKCC cannot be written.
const char kUserSettingsKey[] = "Software\\Infrared\\Vantora";
const char kUserEventListKey[] = "Software\\Infrared\\Vantora\\EventList";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantor";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kEntry[] = "LW 00 41;LEFTDOWN;LEFTUP;";

std::string Folder(int csidl) {
  char path[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A value as text, "<no key>" or "<absent>"; the 64-bit view, where the installer writes.
std::string Get(HKEY root, const char* path, const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return "<no key>";
  char buffer[512] = {};
  DWORD size = sizeof buffer - 1;
  LONG found = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  return found == ERROR_SUCCESS ? buffer : "<absent>";
}

// Runs a command line and waits for it and every process it starts: the
// uninstaller runs from a copy of itself in the temporary folder and its first
// process ends at once.
DWORD RunAndWait(std::string commandLine) {
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si,
                      &pi)) {
    CloseHandle(job);
    return 0xFFFFFFFF;
  }
  AssignProcessToJobObject(job, pi.hProcess);
  ResumeThread(pi.hThread);
  WaitForSingleObject(pi.hProcess, 60000);
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
  for (int i = 0; i < 600; ++i) {
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr) ||
        info.ActiveProcesses == 0)
      break;
    Sleep(100);
  }
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  CloseHandle(job);
  return code;
}

std::string SetupPath() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string bin(path);
  bin = bin.substr(0, bin.find_last_of('\\') + 1);
  return bin + "..\\dist\\" VANTOR_INSTALLER;
}

struct Row {
  const char* installSwitches;
  const char* uninstallSwitches;
  bool autostart;    // the Run value is written
  bool eventsKept;   // the learned events outlive the uninstall
};

// Installs, starts the installed program, uninstalls; each step checked.
void InstallRunUninstall(const Row& row) {
  ASSERT_TRUE(Exists(SetupPath())) << SetupPath();
  // A learned event and an IR55 receiver on COM1, so the installed program opens its main window.
  bench::PtyPort com1(1);
  bench::PutString("Infrared\\Software\\Vantora\\Port", "Transmitter", "1;0;end");
  bench::PutString("Infrared\\Software\\Vantora\\Port", "IrDAPortNum", "1");
  bench::PutString(kEventListKey, "EventListCount", "1");
  bench::PutString(kEventListKey, "EventList0", kEntry);
  bench::PutString(kUserEventListKey, "EventList0", kEntry, HKEY_CURRENT_USER);

  const std::string dir = Folder(CSIDL_PROGRAM_FILES) + "\\Vantor";
  const std::string menu = Folder(CSIDL_COMMON_PROGRAMS) + "\\Vantor";
  ASSERT_EQ(RunAndWait("\"" + SetupPath() + "\" /S " + row.installSwitches), 0u);

  for (const char* file : {"Vantora.exe", "kestrel.dll", "pellow.dll", "README.txt", "uninstall.exe",
                           "manual\\index.html", "manual\\receivers.html", "manual\\main-window.png"})
    EXPECT_TRUE(Exists(dir + "\\" + file)) << file;
  EXPECT_TRUE(Exists(menu + "\\Vantor.lnk"));
  EXPECT_TRUE(Exists(menu + "\\Vantor manual.lnk"));
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), "\"" + dir + "\\uninstall.exe\"");
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"), VANTOR_VERSION);
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, kRunKey, "Vantor"),
            row.autostart ? "\"" + dir + "\\Vantora.exe\"" : std::string("<absent>"));

  // The installed program runs: its main window comes up, and its close box ends it.
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const std::string exe = dir + "\\Vantora.exe";
  ASSERT_TRUE(CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi));
  HWND frame = nullptr;
  for (DWORD start = GetTickCount(); !frame && GetTickCount() - start < 20000; Sleep(50))
    frame = bench::FindTopLevel(pi.dwProcessId, nullptr, "Vantor");
  EXPECT_NE(frame, nullptr);
  if (frame) PostMessageA(frame, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 99);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);

  ASSERT_EQ(RunAndWait("\"" + dir + "\\uninstall.exe\" /S " + row.uninstallSwitches), 0u);
  EXPECT_FALSE(Exists(dir));
  EXPECT_FALSE(Exists(menu));
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), "<no key>");
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, kRunKey, "Vantor"), "<absent>");
  if (row.eventsKept) {
    EXPECT_EQ(Get(HKEY_CURRENT_CONFIG, kEventListKey, "EventList0"), kEntry);
    EXPECT_EQ(Get(HKEY_CURRENT_USER, kUserEventListKey, "EventList0"), kEntry);
  } else {
    EXPECT_EQ(Get(HKEY_CURRENT_CONFIG, kSettingsKey, ""), "<no key>");
    EXPECT_EQ(Get(HKEY_CURRENT_USER, kUserSettingsKey, ""), "<no key>");
  }
}

// The program's settings are the bench's: none before, none left after.
class Installer : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_CONFIG, kSettingsKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, kUserSettingsKey);
  }
};

TEST_F(Installer, WithAutostartAndASilentUninstallThatKeepsTheLearnedEvents) {
  InstallRunUninstall(Row{"/AUTOSTART", "", true, true});
}

TEST_F(Installer, WithoutAutostartAndAnUninstallAskedToRemoveTheLearnedEvents) {
  InstallRunUninstall(Row{"", "/REMOVEEVENTS", false, false});
}

TEST_F(Installer, AnUpgradeWithoutAutostartRemovesTheStartWithWindowsEntry) {
  ASSERT_EQ(RunAndWait("\"" + SetupPath() + "\" /S /AUTOSTART"), 0u);
  ASSERT_NE(Get(HKEY_LOCAL_MACHINE, kRunKey, "Vantor"), "<absent>");
  ASSERT_EQ(RunAndWait("\"" + SetupPath() + "\" /S"), 0u);
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, kRunKey, "Vantor"), "<absent>");
  const std::string dir = Folder(CSIDL_PROGRAM_FILES) + "\\Vantor";
  EXPECT_TRUE(Exists(dir + "\\Vantora.exe"));
  ASSERT_EQ(RunAndWait("\"" + dir + "\\uninstall.exe\" /S"), 0u);
}

}  // namespace

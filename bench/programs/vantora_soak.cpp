// Not a test: a long run against the real program on the bench. Vantora.exe
// starts with the IR55 receiver on COM1 and two key entries, Start is pressed,
// then (1) presses alternate between the two keys and every WM_KEYDOWN reaching
// a focused probe window is counted; (2) the receiver hangs up and comes back
// (a new terminal behind COM1, the Option dialog answered with IR55 and COM1),
// and one press must play after each return. The program's handle count and
// memory are read before, between and after.
// Run: bench/wine-bench.sh run build/windows build/windows/bin/vantora_soak.exe
//        [--presses N] [--cycles N]
#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "app/resources/resource_ids.h"
#include "bench/ir55_feed.h"
#include "bench/input_probe.h"
#include "bench/program.h"
#include "bench/pty_port.h"

namespace {

const char kRoot[] = "Infrared\\Software\\Vantora";
const char kPortKey[] = "Infrared\\Software\\Vantora\\Port";
const char kEventListKey[] = "Infrared\\Software\\Vantora\\EventList";

void Put(const char* path, const char* name, const char* text) { bench::PutString(path, name, text); }

struct Found {
  HWND window = nullptr;
  std::string title;
};

// A visible top-level window of the program other than its frame (a box or a dialog).
bool FindOther(DWORD pid, HWND frame, Found& out) {
  out = Found{};
  for (HWND hwnd : bench::TopLevelWindows(pid)) {
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (hwnd == frame || strcmp(cls, "#32770") != 0) continue;
    char title[128] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    out = Found{hwnd, title};
    return true;
  }
  return false;
}

HWND WaitForFrame(DWORD pid, DWORD timeoutMs) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50))
    if (HWND frame = bench::FindTopLevel(pid, nullptr, "Vantor")) return frame;
  return nullptr;
}

// The handles the process holds, counted in the system's handle list (Wine
// answers GetProcessHandleCount for another process with 0, and its process
// list gives the handle table's size, not its use).
ULONG ListedHandles(DWORD pid) {
  struct Entry {
    ULONG ownerPid;
    BYTE objectType, flags;
    USHORT handle;
    PVOID object;
    ULONG access;
  };
  struct Table {
    ULONG count;
    Entry entries[1];
  };
  using Query = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  const ULONG kSystemHandleInformation = 16;
  std::string buffer(1 << 16, '\0');
  for (;;) {
    ULONG size = 0;
    NTSTATUS status = query ? query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &size)
                            : static_cast<NTSTATUS>(-1);
    if (status == static_cast<NTSTATUS>(0xC0000004L) && buffer.size() < (64u << 20)) {  // length mismatch
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (status != 0) return 0;
    break;
  }
  const auto* table = reinterpret_cast<const Table*>(buffer.data());
  ULONG n = 0;
  for (ULONG i = 0; i < table->count; ++i) n += table->entries[i].ownerPid == pid;
  return n;
}

struct Usage {
  DWORD handles = 0;
  ULONG listedHandles = 0;
  SIZE_T pagefile = 0, workingSet = 0;
};

Usage Measure(HANDLE process) {
  Usage u;
  GetProcessHandleCount(process, &u.handles);
  u.listedHandles = ListedHandles(GetProcessId(process));
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (GetProcessMemoryInfo(process, &pmc, sizeof pmc)) {
    u.pagefile = pmc.PagefileUsage;
    u.workingSet = pmc.WorkingSetSize;
  }
  return u;
}

void Print(const char* when, const Usage& u) {
  std::printf("| %s | %lu | %lu | %zu KiB | %zu KiB |\n", when, u.handles, u.listedHandles, u.pagefile / 1024,
              u.workingSet / 1024);
}

class Soak {
 public:
  Soak(DWORD pid, HWND frame, bench::InputProbe& probe) : Pid(pid), Frame(frame), Probe(probe) {}

  int KeyDowns() const {
    int n = 0;
    for (const auto& m : Probe.Messages()) n += m.message == WM_KEYDOWN;
    return n;
  }
  // Pumps for ms, answering any box of the program that is not the Option dialog with OK.
  void Pump(unsigned ms) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms;) {
      Probe.Pump(10);
      Found f;
      if (FindOther(Pid, Frame, f) && f.title != "Option") Answer(f);
    }
  }
  void Answer(const Found& f) {
    if (Answered.count(f.window) && GetTickCount() - Answered[f.window] < 500) return;
    Answered[f.window] = GetTickCount();
    ++BoxCounts[f.title];
    PostMessageA(f.window, WM_COMMAND, IDOK, 0);
  }
  // Waits for the Option dialog, answering other boxes meanwhile.
  HWND WaitForOption(unsigned timeoutMs) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs;) {
      Probe.Pump(10);
      Found f;
      if (!FindOther(Pid, Frame, f)) continue;
      if (f.title == "Option") return f.window;
      Answer(f);
    }
    return nullptr;
  }
  bool OptionGone(HWND option, unsigned timeoutMs) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs;) {
      if (!IsWindow(option) || !IsWindowVisible(option)) return true;
      Probe.Pump(10);
    }
    return false;
  }
  const std::map<std::string, int>& Boxes() const { return BoxCounts; }

 private:
  DWORD Pid;
  HWND Frame;
  bench::InputProbe& Probe;
  std::map<HWND, DWORD> Answered;
  std::map<std::string, int> BoxCounts;
};

}  // namespace

int main(int argc, char** argv) {
  int presses = 2000, cycles = 100;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--presses")) presses = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--cycles")) cycles = std::atoi(argv[i + 1]);
  }
  RegDeleteTreeA(HKEY_CURRENT_CONFIG, kRoot);
  Put(kPortKey, "Transmitter", "1;0;end");
  Put(kPortKey, "IrDAPortNum", "1");
  Put(kEventListKey, "EventListCount", "2");
  Put(kEventListKey, "EventList0", "LW 00 41;KEYDOWN 41 1e0001;KEYUP 41 c01e0001;");
  Put(kEventListKey, "EventList1", "LW 00 42;KEYDOWN 42 300001;KEYUP 42 c0300001;");
  auto com1 = std::make_unique<bench::PtyPort>(1);

  PROCESS_INFORMATION pi{};
  if (!bench::StartBeside("Vantora.exe", pi)) {
    std::fprintf(stderr, "cannot start Vantora.exe\n");
    return 1;
  }
  HWND frame = WaitForFrame(pi.dwProcessId, 20000);
  if (!frame) {
    std::fprintf(stderr, "no main window\n");
    TerminateProcess(pi.hProcess, 99);
    return 1;
  }
  HWND dialog = GetWindow(frame, GW_CHILD);
  SendMessageA(GetDlgItem(dialog, IDC_MAIN_START), BM_CLICK, 0, 0);  // Start: the window hides, the watcher runs

  bench::DisablePointerAcceleration();
  bench::InputProbe probe(100, 100, 500, 400);
  probe.Focus();
  Soak soak(pi.dwProcessId, frame, probe);
  soak.Pump(1000);
  Usage atStart = Measure(pi.hProcess);

  // (1) Presses, alternating the two keys.
  probe.Clear();
  DWORD t0 = GetTickCount();
  Usage afterHalf;
  for (int half = 0; half < 2; ++half) {  // in two halves: growth shows as a difference between them
    const int from = half ? presses / 2 : 0, to = half ? presses : presses / 2;
    ir55::Script script;
    for (int i = from; i < to; ++i) script.Press(i % 2 ? 0x42 : 0x41);
    bench::Ir55Feeder feeder(*com1, std::move(script));
    while (!feeder.Done()) soak.Pump(20);
    for (DWORD start = GetTickCount(); soak.KeyDowns() < to && GetTickCount() - start < 5000;) soak.Pump(20);
    soak.Pump(300);
    if (!half) afterHalf = Measure(pi.hProcess);
  }
  int played = 0, twice = 0, wrongKey = 0;
  unsigned last = 0;
  for (const auto& m : probe.Messages()) {
    if (m.message != WM_KEYDOWN) continue;
    if (m.wParam == last) ++twice;  // the same key twice running: a lost press or a doubled one
    if (m.wParam != 0x41 && m.wParam != 0x42) ++wrongKey;
    last = static_cast<unsigned>(m.wParam);
    ++played;
  }
  std::printf("presses: %d sent in %.1f s, %d key-downs seen, %d lost, %d same key twice running, %d other keys\n",
              presses, (GetTickCount() - t0) / 1000.0, played, played < presses ? presses - played : 0, twice,
              wrongKey);
  std::fflush(stdout);
  Usage afterPresses = Measure(pi.hProcess);

  // (2) Hang-up and return.
  int returned = 0, playedAfter = 0, noOption = 0, optionStuck = 0;
  t0 = GetTickCount();
  Usage afterHalfCycles;
  for (int c = 0; c < cycles; ++c) {
    if (c == cycles / 2) afterHalfCycles = Measure(pi.hProcess);
    com1->Hangup();
    HWND option = soak.WaitForOption(5000);
    if (!option) {
      ++noOption;
      std::printf("cycle %d: no Option dialog\n", c);
      break;
    }
    com1.reset();
    com1 = std::make_unique<bench::PtyPort>(1);
    SendMessageA(GetDlgItem(option, IDC_OPTION_PELLOW), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(option, IDC_OPTION_COM1), BM_CLICK, 0, 0);
    PostMessageA(option, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(option, IDOK)));
    if (!soak.OptionGone(option, 5000)) {
      ++optionStuck;
      std::printf("cycle %d: the Option dialog stayed\n", c);
      break;
    }
    ++returned;
    // The dialog is gone before the port is opened again: wait for the receiver's speed on the line.
    bench::LineSettings line;
    bool reopened = false;
    for (DWORD start = GetTickCount(); !reopened && GetTickCount() - start < 3000; soak.Pump(10))
      reopened = com1->Settings(line) && line.baud == 1200;
    if (!reopened) std::printf("cycle %d: COM1 not at the receiver's speed\n", c);
    probe.Focus();  // the dialog took the focus
    soak.Pump(100);
    probe.Clear();
    const unsigned char press[] = {0x41, 0x55};
    for (unsigned char b : press) {
      com1->Write(&b, 1);
      soak.Pump(9);
    }
    for (DWORD start = GetTickCount(); soak.KeyDowns() < 1 && GetTickCount() - start < 2000;) soak.Pump(10);
    soak.Pump(100);
    if (soak.KeyDowns() == 1)
      ++playedAfter;
    else
      std::printf("cycle %d: %d key-downs after the return\n", c, soak.KeyDowns());
  }
  std::printf("hang-ups: %d of %d returned, a press played exactly once after %d, in %.1f s\n", returned, cycles,
              playedAfter, (GetTickCount() - t0) / 1000.0);
  for (const auto& [title, n] : soak.Boxes()) std::printf("  box \"%s\" answered %d times\n", title.c_str(), n);
  if (soak.Boxes().empty()) std::printf("  no box but the Option dialog appeared\n");
  soak.Pump(500);
  Usage atEnd = Measure(pi.hProcess);

  std::printf("| when | GetProcessHandleCount | handles listed | pagefile usage | working set |\n|---|---|---|---|---|\n");
  Print("after Start", atStart);
  Print("after half the presses", afterHalf);
  Print("after the presses", afterPresses);
  Print("after half the hang-ups", afterHalfCycles);
  Print("after the hang-ups", atEnd);

  PostMessageA(dialog, WM_COMMAND, IDM_TRAY_EXIT_SYSTEM, 0);
  DWORD code = STILL_ACTIVE;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; soak.Pump(50)) {
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;
  }
  GetExitCodeProcess(pi.hProcess, &code);
  std::printf("exit code %lu\n", code);
  if (code == STILL_ACTIVE) TerminateProcess(pi.hProcess, 99);
  RegDeleteTreeA(HKEY_CURRENT_CONFIG, kRoot);
  bool clean = played == presses && twice == 0 && wrongKey == 0 && returned == cycles && playedAfter == cycles;
  return clean ? 0 : 1;
}

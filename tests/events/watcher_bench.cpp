// Not a test: measures the watcher with the IR55 receiver under Wine.
//   idle cost: CPU time of the watcher thread while nothing is pressed;
//   latency: from the key's last byte written to the terminal until the
//   pointer has moved (median and 99th percentile).
// Run: tests/support/wine-bench.sh run build/windows build/windows/bin/watcher_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/events/sig_catch.h"
#include "support/bench/input_probe.h"
#include "support/bench/pty_port.h"

namespace {

class Host : public vantor::TWatcherHost {
 public:
  const vantor::TComboBox& EventsList() override { return list; }
  char* ReceiveText() override { return text; }
  const char* RcFormatCode() override { return "NE"; }
  TKestrel& Kestrel() override { return kestrel; }
  TPellow& Pellow() override { return pellow; }
  const vantor::PortOptionsRecord& PortOptions() override { return ports; }
  void PortOptionsProcedure() override { ++procedureRuns; }

  vantor::TComboBox list;
  char text[vantor::kReceiveTextSize] = {};
  TKestrel kestrel;
  TPellow pellow;
  vantor::PortOptionsRecord ports;
  int procedureRuns = 0;
};

double Seconds(const FILETIME& t) {
  ULARGE_INTEGER v;
  v.LowPart = t.dwLowDateTime;
  v.HighPart = t.dwHighDateTime;
  return static_cast<double>(v.QuadPart) / 1e7;
}

double CpuSeconds(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(thread, &created, &exited, &kernel, &user);
  return Seconds(kernel) + Seconds(user);
}

double NowMs() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

}  // namespace

int main() {
  bench::DisablePointerAcceleration();
  bench::InputProbe probe(100, 100, 600, 500);
  bench::PtyPort receiver(1);
  Host host;
  HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_POPUP | CBS_SIMPLE | CBS_SORT, 0, 0, 400, 300, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  host.list.Attach(combo);
  host.list.AddString("LW 00 41;MOVE 1 0;");
  host.ports.UsePellow = 1;
  if (!receiver.ok() || !host.pellow.UserChangePort(1)) {
    std::fprintf(stderr, "no port\n");
    return 1;
  }
  vantor::TSigCatch watcher(&host);
  watcher.Start();

  // Idle cost.
  const double idleSeconds = 10.0;
  double cpu0 = CpuSeconds(watcher.GetHandle());
  double t0 = NowMs();
  probe.Pump(static_cast<unsigned>(idleSeconds * 1000));
  double cpu = CpuSeconds(watcher.GetHandle()) - cpu0;
  double wall = (NowMs() - t0) / 1000.0;
  std::printf("idle: watcher thread used %.3f s of CPU in %.1f s: %.2f%% of one core\n", cpu, wall, 100.0 * cpu / wall);

  // Latency: one press at a time, the pointer watched from this (GUI) thread.
  const int presses = 300;
  std::vector<double> ms;
  bench::SetCursorTo(200, 300);
  probe.Pump(50);
  for (int i = 0; i < presses; ++i) {
    long x = bench::CursorPos().x;
    if (x > 700) {
      bench::SetCursorTo(200, 300);
      probe.Pump(20);
      x = bench::CursorPos().x;
    }
    unsigned char code = 0x41, end = 0x55;
    receiver.Write(&code, 1);
    Sleep(9);  // one byte time at 1200 baud
    receiver.Write(&end, 1);
    double sent = NowMs();
    while (bench::CursorPos().x == x && NowMs() - sent < 1000) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    ms.push_back(NowMs() - sent);
    probe.Pump(static_cast<unsigned>(5 + i % 7));  // presses at uneven moments
  }
  std::sort(ms.begin(), ms.end());
  std::printf("latency over %d presses: median %.2f ms, 99th percentile %.2f ms, max %.2f ms\n", presses,
              ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back());
  watcher.Suspend();
  TerminateThread(watcher.GetHandle(), 0);
  host.pellow.Close();
  return 0;
}

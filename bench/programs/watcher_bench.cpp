// Not a test: measures, on one bench in one run, the watcher with the IR55
// receiver against the busy loop (a thread calling the non-waiting stream step
// without pause, matching and playing as the watcher does), and that loop over
// the waiting step, which tells the driver's wait apart from the watcher's own cost.
//   idle cost: CPU of the whole process and of the reading thread while nothing
//   is pressed, and of the wineserver (shared by the prefix);
//   latency: from the key's last byte written to the terminal until the pointer
//   has moved. The two readers take turns in blocks of presses.
// Run: bench/wine-bench.sh run build/windows build/windows/bin/watcher_bench.exe
//        [--presses N] [--idle-s S] [--wait-ms MS]
// With --sir it measures the IrDA-SIR receiver instead: the watcher's stream path
// beside the capture path (a thread doing what the watcher did before: one capture
// per call), presses written as the synthesizer's bytes at their arrival times;
// latency runs from the first byte written until the pointer has moved.
//        --sir [--taps N] [--random N] [--random-capture N] [--idle-s S]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/events/action_player.h"
#include "app/events/event_list_model.h"
#include "app/events/sig_catch.h"
#include "app/events/signal_matcher.h"
#include "app/receivers/receivers.h"
#include "bench/input_probe.h"
#include "bench/pty_port.h"
#include "remotes/sir/protocols.h"
#include "remotes/sir/uart_bytes.h"

namespace {

class Host : public vantor::TWatcherHost {
 public:
  vantor::TReceiver* ChosenReceiver() override { return receivers.Chosen(); }
  void PortOptionsProcedure() override {}

  vantor::TEventListModel list;  // handed to the watcher; the loops read it as it is
  char text[vantor::kReceiveTextSize] = {};
  vantor::PortOptionsRecord ports;
  char format[16] = "NE";
  vantor::TReceivers receivers{ports.UseKestrel, ports.UsePellow, format};
  // The busy loops read the libraries themselves.
  TKestrel& kestrel = receivers.Kestrel.Raw();
  TPellow& pellow = receivers.Pellow.Raw();
};

// The learned list the readers match against, holding these entries.
void FillList(Host& host, std::initializer_list<const char*> entries) {
  for (const char* entry : entries) host.list.Add(entry);
}

// A thread reading codes as the watcher does and playing the entries they match,
// with none of the watcher's pause checks: how it reads one code is all that
// differs from one such loop to another. It starts parked.
class ReaderLoop {
 public:
  // Reads one code into the text; false when there was none.
  using Read = std::function<bool(char* text)>;
  // Makes a read in progress return, so that the loop can park.
  using Interrupt = std::function<void()>;

  ReaderLoop(Host& host, Read read, Interrupt interrupt = nullptr)
      : Shared(host), ReadCode(std::move(read)), Wake(std::move(interrupt)) {
    Go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Thread = CreateThread(nullptr, 0, &ReaderLoop::Entry, this, 0, nullptr);
  }
  HANDLE Handle() const { return Thread; }
  // Waits, pumping the probe window, until the loop parks.
  void Pause(bench::InputProbe& probe) {
    ResetEvent(Go);
    PauseWanted = true;
    while (!Parked) {
      if (Wake) Wake();
      probe.Pump(1);
    }
  }
  void Resume() {
    PauseWanted = false;
    SetEvent(Go);
  }

 private:
  static DWORD WINAPI Entry(void* self) {
    static_cast<ReaderLoop*>(self)->Run();
    return 0;
  }
  void Run() {
    vantor::TMatchState state;
    const vantor::TEventListModelView list(Shared.list);
    for (;;) {
      if (PauseWanted) {
        Parked = true;
        WaitForSingleObject(Go, INFINITE);
        Parked = false;
        continue;
      }
      char* text = Shared.text;
      std::memset(text, 0, vantor::kReceiveTextSize);
      if (!ReadCode(text)) continue;
      text[vantor::kReceiveTextSize - 1] = '\0';
      vantor::TMatchResult match = vantor::MatchCode(state, text, list);
      if (match.action != vantor::TMatchAction::Play) continue;
      vantor::PlayAction(Shared.list.Text(match.index).c_str());
    }
  }

  Host& Shared;
  Read ReadCode;
  Interrupt Wake;
  HANDLE Go = nullptr;
  HANDLE Thread = nullptr;
  std::atomic<bool> PauseWanted{true};
  std::atomic<bool> Parked{false};
};

// The baseline: the stream step in a loop, nothing between two calls. With a
// wait, the same loop over the waiting step: the watcher without its pause checks.
ReaderLoop::Read PellowStep(Host& host, DWORD waitMs) {
  return [&host, waitMs](char* text) {
    return (waitMs ? host.pellow.PellowWaitRemoconSignal2(vantor::kReceiveTextSize, text, waitMs)
                   : host.pellow.PellowGetRemoconSignal2(vantor::kReceiveTextSize, text)) != FALSE;
  };
}

// The watcher as it was for IrDA-SIR: one capture per call, in the current format.
ReaderLoop::Read KestrelCapture(Host& host) {
  return [&host](char* text) {
    std::memset(host.kestrel.CodePrefix, 0, sizeof host.kestrel.CodePrefix);
    std::snprintf(host.kestrel.CodePrefix, sizeof host.kestrel.CodePrefix, "%s", host.format);
    return host.kestrel.KestrelGetRemoconSignal(vantor::kReceiveTextSize, text) != FALSE;
  };
}

// A capture waits for light; this makes it return at once.
ReaderLoop::Interrupt KestrelBreak(Host& host) {
  return [&host] { std::atomic_ref<BYTE>(host.kestrel.BreakRequested).store(1); };
}

double Seconds(const FILETIME& t) {
  ULARGE_INTEGER v;
  v.LowPart = t.dwLowDateTime;
  v.HighPart = t.dwHighDateTime;
  return static_cast<double>(v.QuadPart) / 1e7;
}

double ThreadCpu(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(thread, &created, &exited, &kernel, &user);
  return Seconds(kernel) + Seconds(user);
}

double ProcessCpu() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return Seconds(kernel) + Seconds(user);
}

// The /proc stat file of this prefix's wineserver (Wine shows / as Z:), found once.
std::string WineserverStat() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return "";
  char prefix[MAX_PATH] = {};
  GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  const std::string wanted = std::string("WINEPREFIX=") + prefix + '\0';
  std::string stat;
  do {
    if (found.cFileName[0] < '1' || found.cFileName[0] > '9') continue;
    std::string path = std::string("Z:\\proc\\") + found.cFileName + "\\comm";
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) continue;
    char name[64] = {};
    std::fread(name, 1, sizeof name - 1, f);
    std::fclose(f);
    if (std::strncmp(name, "wineserver", 10) != 0) continue;
    // Other prefixes on the machine have their own server: take the one of ours.
    std::string dir = std::string("Z:\\proc\\") + found.cFileName;
    f = std::fopen((dir + "\\environ").c_str(), "rb");
    if (!f) continue;
    std::string env;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) env.append(chunk, n);
    std::fclose(f);
    if (env.find(wanted) != std::string::npos) stat = dir + "\\stat";
  } while (stat.empty() && FindNextFileA(search, &found));
  FindClose(search);
  return stat;
}

// Its CPU seconds (user and system, fields 14 and 15, in 1/100 s), or -1.
double WineserverCpu() {
  static const std::string path = WineserverStat();
  FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
  if (!f) return -1;
  char line[1024] = {};
  size_t n = std::fread(line, 1, sizeof line - 1, f);
  std::fclose(f);
  line[n] = '\0';
  const char* p = std::strrchr(line, ')');
  for (int field = 2; field < 14 && p; ++field) {
    p = std::strchr(p + 1, ' ');
  }
  unsigned long long utime = 0, stime = 0;
  if (!p || std::sscanf(p, " %llu %llu", &utime, &stime) != 2) return -1;
  return static_cast<double>(utime + stime) / 100.0;
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

struct Idle {
  double process = 0, thread = 0, server = 0;  // shares of one core, in %
};

Idle MeasureIdle(bench::InputProbe& probe, HANDLE reader, double seconds) {
  probe.Pump(300);  // settle after the switch
  // The wineserver is read outside the process's interval: reading it costs the process.
  double s0 = WineserverCpu();
  double p0 = ProcessCpu(), t0 = ThreadCpu(reader), w0 = NowMs();
  probe.Pump(static_cast<unsigned>(seconds * 1000));
  double p1 = ProcessCpu(), t1 = ThreadCpu(reader), w1 = NowMs();
  double s1 = WineserverCpu();
  double wall = (w1 - w0) / 1000.0;
  Idle idle;
  idle.process = 100.0 * (p1 - p0) / wall;
  idle.thread = 100.0 * (t1 - t0) / wall;
  idle.server = s0 < 0 || s1 < 0 ? -1 : 100.0 * (s1 - s0) / wall;
  return idle;
}

// One press (code 0x41, then 0x55 a byte time later); ms from the last byte to the move, or -1.
double Press(bench::InputProbe& probe, bench::PtyPort& receiver) {
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
  // Sleeps until a message comes (the move's), so
  // this thread takes no core from the reader it measures.
  while (bench::CursorPos().x == x) {
    if (NowMs() - sent > 1000) return -1;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (bench::CursorPos().x != x) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return NowMs() - sent;
}

struct Figures {
  std::vector<double> ms;
  int lost = 0;
  Idle idle;
};

void PrintRow(const char* name, Figures& f) {
  std::sort(f.ms.begin(), f.ms.end());
  auto at = [&](size_t i) { return f.ms.empty() ? -1.0 : f.ms[std::min(i, f.ms.size() - 1)]; };
  std::printf("| %s | %zu | %d | %.2f ms | %.2f ms | %.2f ms | %.2f %% | %.2f %% | %.2f %% |\n", name, f.ms.size(),
              f.lost, at(f.ms.size() / 2), at(f.ms.size() * 99 / 100), at(f.ms.size() - 1), f.idle.process,
              f.idle.thread, f.idle.server);
}

// The pointer's first move after a press began, seen while pumping.
struct MoveWatch {
  bool on = false;
  long y = 0;
  double movedMs = -1;
} g_watch;

// Pumps the probe window while waiting until `dueMs`, and notes the
// pointer's first move meanwhile.
void PumpUntil(double dueMs) {
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (g_watch.on && g_watch.movedMs < 0 && bench::CursorPos().y != g_watch.y) g_watch.movedMs = NowMs();
    double left = dueMs - NowMs();
    if (left <= 0) return;
    // Short waits while a move is awaited: the move itself posts no message here.
    DWORD wait = static_cast<DWORD>(left < 1 ? 1 : left);
    if (g_watch.on && g_watch.movedMs < 0 && wait > 1) wait = 1;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
  }
}

struct Sent {
  double firstMs = 0, lastMs = 0;
};

// Writes a press's bytes at the times a UART would have them.
Sent SendLight(bench::PtyPort& port, const std::vector<std::uint32_t>& light, unsigned baud) {
  Sent sent;
  const double t0 = NowMs();
  bool first = true;
  for (const sir::UartByte& b : sir::UartBytes(light, baud)) {
    PumpUntil(t0 + b.arrivalUs / 1000.0);
    port.Write(&b.value, 1);
    sent.lastMs = NowMs();
    if (first) sent.firstMs = sent.lastMs;
    first = false;
  }
  return sent;
}

// Entries move the pointer down one unit: moves are counted on y.
long Y() { return bench::CursorPos().y; }
void Recentre(bench::InputProbe& probe) {
  bench::SetCursorTo(300, 200);
  probe.Pump(20);
}

// A tap; ms from its first byte written until the pointer moved, or -1.
double Tap(bench::InputProbe& probe, bench::PtyPort& port, sir::Protocol p, std::uint32_t device,
           std::uint32_t function, int frames, unsigned baud) {
  Recentre(probe);
  g_watch = {true, Y(), -1};
  Sent sent = SendLight(port, sir::RenderPress(p, device, function, {.frames = frames}), baud);
  PumpUntil(sent.firstMs + 1500);
  g_watch.on = false;
  return g_watch.movedMs < 0 ? -1 : g_watch.movedMs - sent.firstMs;
}

struct Hold {
  long whileHeld = 0, after = 0;
};

// A button held for `ms`: moves until 20 ms after its last byte, and in the second after.
Hold Held(bench::InputProbe& probe, bench::PtyPort& port, sir::Protocol p, std::uint32_t device,
          std::uint32_t function, unsigned ms, unsigned baud) {
  Recentre(probe);
  const long y = Y();
  Sent sent = SendLight(port, sir::RenderPress(p, device, function, {.holdUs = ms * 1000u}), baud);
  PumpUntil(sent.lastMs + 20);
  Hold h;
  h.whileHeld = Y() - y;
  PumpUntil(sent.lastMs + 1000);
  h.after = Y() - y - h.whileHeld;
  return h;
}

std::string Stats(std::vector<double> ms, int lost) {
  std::sort(ms.begin(), ms.end());
  auto at = [&](size_t i) { return ms.empty() ? -1.0 : ms[std::min(i, ms.size() - 1)]; };
  char text[160];
  std::snprintf(text, sizeof text, "%.1f ms | %.1f ms | %.1f ms | %.1f ms | %d", at(ms.size() / 2),
                at(ms.size() * 9 / 10), at(0), at(ms.size() - 1), lost);
  return text;
}

double LoadAverage() {
  FILE* f = std::fopen("Z:\\proc\\loadavg", "rb");
  double load = -1;
  if (f) {
    if (std::fscanf(f, "%lf", &load) != 1) load = -1;
    std::fclose(f);
  }
  return load;
}

int RunSir(int argc, char** argv) {
  int taps = 20, randomPresses = 500, randomCapture = 100;
  double idleSeconds = 20.0;
  for (int i = 1; i + 1 < argc; ++i) {
    if (!std::strcmp(argv[i], "--taps")) taps = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--random")) randomPresses = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--random-capture")) randomCapture = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--idle-s")) idleSeconds = std::atof(argv[i + 1]);
  }
  bench::DisablePointerAcceleration();
  bench::InputProbe probe(100, 100, 600, 500);
  bench::PtyPort port(1);
  Host host;
  FillList(host, {"NE 05 21;MOVE 0 1;", "NE 05 22;MOVE 0 1;", "SO 01 15;MOVE 0 1;"});
  host.ports.UseKestrel = 1;
  if (!port.ok() || !host.kestrel.UserChangePort(1)) {
    std::fprintf(stderr, "no port\n");
    return 1;
  }
  vantor::TSigCatch watcher(&host);
  watcher.UseEvents(host.list);
  ReaderLoop capture(host, KestrelCapture(host), KestrelBreak(host));
  watcher.Start();
  watcher.Suspend();
  int current = -1;
  auto use = [&](int reader, const char* format) {
    if (current == 0) watcher.Suspend();
    if (current == 1) capture.Pause(probe);
    std::strcpy(host.format, format);
    if (reader == 0) watcher.Resume();
    if (reader == 1) capture.Resume();
    current = reader;
    probe.Pump(200);
  };
  const char* names[2] = {"stream path (watcher)", "capture path (one capture per call)"};
  std::printf("IrDA-SIR, load average at the start %.2f\n\n", LoadAverage());

  // Idle, in the program's format.
  Idle idle[2];
  for (int r = 0; r < 2; ++r) {
    use(r, "NE");
    idle[r] = MeasureIdle(probe, r == 0 ? watcher.GetHandle() : capture.Handle(), idleSeconds);
  }

  // Taps, in turns of five.
  std::vector<double> nec[2], sony[2];
  int necLost[2] = {}, sonyLost[2] = {};
  for (int done = 0; done < taps; done += 5) {
    for (int r = 0; r < 2; ++r) {
      use(r, "NE");
      for (int i = 0; i < 5; ++i) {
        double ms = Tap(probe, port, sir::Protocol::Nec, 0x05, 0x21, 1, 4800);
        if (ms < 0) ++necLost[r];
        else nec[r].push_back(ms);
      }
      use(r, "SO");
      for (int i = 0; i < 5; ++i) {
        double ms = Tap(probe, port, sir::Protocol::Sony12, 0x01, 0x15, 3, 9600);
        if (ms < 0) ++sonyLost[r];
        else sony[r].push_back(ms);
      }
    }
  }
  std::printf("Press to effect, from the first byte written (%d taps each):\n\n", taps);
  std::printf("| reader | press | median | 90th percentile | min | max | lost |\n|---|---|---|---|---|---|---|\n");
  for (int r = 0; r < 2; ++r) {
    std::printf("| %s | NEC, one frame | %s |\n", names[r], Stats(nec[r], necLost[r]).c_str());
    std::printf("| %s | Sony 12 bit, three frames | %s |\n", names[r], Stats(sony[r], sonyLost[r]).c_str());
  }

  // Held buttons.
  std::printf("\nHeld buttons: moves until 20 ms after the last byte (while held), then in the next second:\n\n");
  std::printf("| reader | button | held | moves while held | moves after |\n|---|---|---|---|---|\n");
  for (int r = 0; r < 2; ++r) {
    for (unsigned ms : {1000u, 2000u, 5000u}) {
      use(r, "NE");
      Hold h = Held(probe, port, sir::Protocol::Nec, 0x05, 0x21, ms, 4800);
      std::printf("| %s | NEC | %u s | %ld | %ld |\n", names[r], ms / 1000, h.whileHeld, h.after);
    }
    for (unsigned ms : {1000u, 2000u}) {
      use(r, "SO");
      Hold h = Held(probe, port, sir::Protocol::Sony12, 0x01, 0x15, ms, 9600);
      std::printf("| %s | Sony 12 bit | %u s | %ld | %ld |\n", names[r], ms / 1000, h.whileHeld, h.after);
    }
  }

  // Presses at random moments: NEC taps of two buttons, 150 to 1200 ms apart.
  std::printf("\nNEC taps at random moments (150 to 1200 ms apart, two buttons in turn):\n\n");
  std::printf("| reader | presses | moves | lost |\n|---|---|---|---|\n");
  std::srand(2026);
  for (int r = 0; r < 2; ++r) {
    const int n = r == 0 ? randomPresses : randomCapture;
    use(r, "NE");
    Recentre(probe);
    long y = Y();
    long moves = 0;
    for (int i = 0; i < n; ++i) {
      if (i % 50 == 49) {
        // Back from the screen's edge, once what was pressed has played.
        PumpUntil(NowMs() + 600);
        moves += Y() - y;
        Recentre(probe);
        y = Y();
      }
      SendLight(port, sir::RenderPress(sir::Protocol::Nec, 0x05, 0x21 + (i % 2), {.frames = 1}), 4800);
      PumpUntil(NowMs() + 150 + std::rand() % 1050);
    }
    PumpUntil(NowMs() + 600);
    moves += Y() - y;
    std::printf("| %s | %d | %ld | %ld |\n", names[r], n, moves, n - moves);
  }

  std::printf("\nIdle over %.0f s in \"NE\" (share of one core):\n\n| reader | process | reading thread | wineserver |\n|---|---|---|---|\n",
              idleSeconds);
  for (int r = 0; r < 2; ++r)
    std::printf("| %s | %.2f %% | %.2f %% | %.2f %% |\n", names[r], idle[r].process, idle[r].thread, idle[r].server);
  std::printf("\nload average at the end %.2f\n", LoadAverage());
  use(-1, "NE");
  TerminateThread(watcher.GetHandle(), 0);
  TerminateThread(capture.Handle(), 0);
  host.kestrel.Close();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--sir")) return RunSir(argc, argv);
  }
  int presses = 400;
  double idleSeconds = 10.0;
  DWORD waitMs = vantor::TSigCatch::kDefaultByteWaitMs;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--presses")) presses = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--idle-s")) idleSeconds = std::atof(argv[i + 1]);
    if (!std::strcmp(argv[i], "--wait-ms")) waitMs = static_cast<DWORD>(std::atoi(argv[i + 1]));
  }
  bench::DisablePointerAcceleration();
  bench::InputProbe probe(100, 100, 600, 500);
  bench::PtyPort receiver(1);
  Host host;
  FillList(host, {"LW 00 41;MOVE 1 0;"});
  host.ports.UsePellow = 1;
  if (!receiver.ok() || !host.pellow.UserChangePort(1)) {
    std::fprintf(stderr, "no port\n");
    return 1;
  }
  vantor::TSigCatch watcher(&host);
  watcher.UseEvents(host.list);
  watcher.SetByteWaitMs(waitMs);
  ReaderLoop loop(host, PellowStep(host, 0)), waitLoop(host, PellowStep(host, waitMs));
  watcher.Start();
  watcher.Suspend();
  bench::SetCursorTo(200, 300);

  // Only one reader runs at a time; what queued meanwhile is thrown away.
  int current = -1;
  auto use = [&](int reader) {
    if (reader == current) return;
    if (current == 0) watcher.Suspend();
    if (current == 1) loop.Pause(probe);
    if (current == 2) waitLoop.Pause(probe);
    PurgeComm(host.pellow.PortHandle, PURGE_RXCLEAR);
    if (reader == 0) watcher.Resume();
    if (reader == 1) loop.Resume();
    if (reader == 2) waitLoop.Resume();
    current = reader;
  };
  HANDLE readers[3] = {watcher.GetHandle(), loop.Handle(), waitLoop.Handle()};
  Figures figures[3];
  for (int r = 0; r < 3; ++r) {
    use(r);
    figures[r].idle = MeasureIdle(probe, readers[r], idleSeconds);
  }
  const int block = 10;
  for (int done = 0; done < presses; done += block) {
    for (int r = 0; r < 3; ++r) {
      use(r);
      probe.Pump(100);
      for (int i = 0; i < block && done + i < presses; ++i) {
        double ms = Press(probe, receiver);
        if (ms < 0)
          ++figures[r].lost;
        else
          figures[r].ms.push_back(ms);
        probe.Pump(static_cast<unsigned>(5 + i % 7));  // presses at uneven moments
      }
    }
  }
  std::printf("IR55 byte wait of the watcher and the waiting loop: %lu ms; %d presses each, in turns of %d; idle over %.0f s\n", waitMs,
              presses, block, idleSeconds);
  std::printf("| reader | presses | lost | median | 99th percentile | max | idle: process | idle: reading thread | idle: wineserver |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|\n");
  PrintRow("watcher (TSigCatch)", figures[0]);
  PrintRow("busy loop", figures[1]);
  PrintRow("loop over the waiting step", figures[2]);
  use(-1);
  TerminateThread(watcher.GetHandle(), 0);
  TerminateThread(loop.Handle(), 0);
  TerminateThread(waitLoop.Handle(), 0);
  host.pellow.Close();
  return 0;
}

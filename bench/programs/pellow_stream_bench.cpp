// Times one PellowGetRemoconSignal2 call on a bench terminal behind COM1: with
// nothing waiting, and with one byte waiting (a plain code byte, and a code byte
// inside a held run, which also formats the code). Run through the bench:
//   bench/wine-bench.sh run BUILD BUILD/bin/pellow_stream_bench.exe [calls]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "pellow/pellow.h"
#include "bench/pty_port.h"

namespace {

LARGE_INTEGER g_freq;

double Micros(const LARGE_INTEGER& a, const LARGE_INTEGER& b) {
  return static_cast<double>(b.QuadPart - a.QuadPart) * 1e6 / static_cast<double>(g_freq.QuadPart);
}

void Report(const char* what, std::vector<double> us, int discarded) {
  if (us.empty()) {
    std::printf("%-34s no samples\n", what);
    return;
  }
  std::sort(us.begin(), us.end());
  const double median = us[us.size() / 2];
  const double p99 = us[std::min(us.size() - 1, us.size() * 99 / 100)];
  std::printf("%-34s calls %5zu  median %8.1f us  p99 %8.1f us  min %8.1f us  max %8.1f us",
              what, us.size(), median, p99, us.front(), us.back());
  if (discarded) std::printf("  (%d calls found no byte yet)", discarded);
  std::printf("\n");
}

// Times calls that each consume the one byte written before them.
std::vector<double> OneByteWaiting(TPellow& p, bench::PtyPort& receiver, unsigned char byte,
                                   int calls, int& discarded) {
  std::vector<double> us;
  char text[32];
  for (int i = 0; i < calls; ++i) {
    receiver.Write(&byte, 1);
    Sleep(3);  // let the byte cross the terminal
    for (;;) {
      LARGE_INTEGER a, b;
      QueryPerformanceCounter(&a);
      p.PellowGetRemoconSignal2(4096, text);
      QueryPerformanceCounter(&b);
      if (p.BytesRead == 1) {
        us.push_back(Micros(a, b));
        break;
      }
      if (p.PortHandle == INVALID_HANDLE_VALUE) return us;
      ++discarded;
      Sleep(1);
    }
  }
  return us;
}

}  // namespace

int main(int argc, char** argv) {
  const int calls = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
  QueryPerformanceFrequency(&g_freq);
  bench::PtyPort receiver(1);
  TPellow p;
  if (!receiver.ok() || !p.UserChangePort(1)) {
    std::fprintf(stderr, "no bench terminal on COM1\n");
    return 1;
  }

  std::vector<double> empty;
  char text[32];
  for (int i = 0; i < calls; ++i) {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    p.PellowGetRemoconSignal2(4096, text);
    QueryPerformanceCounter(&b);
    if (p.BytesRead == 0) empty.push_back(Micros(a, b));
  }
  Report("nothing waiting", empty, 0);

  int discarded = 0;
  Report("one byte waiting (code 0x41)", OneByteWaiting(p, receiver, 0x41, calls, discarded), discarded);

  const unsigned char held = 0x52;
  receiver.Write(&held, 1);
  for (int i = 0; i < 1000 && !p.PressFlag; ++i) {
    p.PellowGetRemoconSignal2(4096, text);
    Sleep(1);
  }
  discarded = 0;
  Report("one byte waiting, reported (held)", OneByteWaiting(p, receiver, 0x41, calls, discarded),
         discarded);
  p.Close();
  return 0;
}

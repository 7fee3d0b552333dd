// Plays an IR55 script through a bench terminal from a thread of its own, each byte
// at its time, so a blocking receive call on the test's thread meets real pacing.
#pragma once

#include <windows.h>

#include <utility>

#include "bench/pty_port.h"
#include "remotes/ir55/ir55_emulator.h"

namespace bench {

class Ir55Feeder {
 public:
  // startMs: delay before the script's time zero. hangUp: close the receiver's end
  // of the line once the script has played.
  Ir55Feeder(bench::PtyPort& port, ir55::Script script, unsigned startMs = 0, bool hangUp = false)
      : Port(port), ToPlay(std::move(script)), StartMs(startMs), HangUp(hangUp) {
    Thread = CreateThread(nullptr, 0, &Ir55Feeder::Run, this, 0, nullptr);
    Started = Thread != nullptr;
  }
  ~Ir55Feeder() { Wait(); }
  Ir55Feeder(const Ir55Feeder&) = delete;
  Ir55Feeder& operator=(const Ir55Feeder&) = delete;

  void Wait() {
    if (!Thread) return;
    WaitForSingleObject(Thread, INFINITE);
    CloseHandle(Thread);
    Thread = nullptr;
  }
  bool Done() const { return !Thread || WaitForSingleObject(Thread, 0) == WAIT_OBJECT_0; }
  // Waits for the end; true if every byte went out.
  bool Played() {
    Wait();
    return Started && Wrote;
  }

 private:
  static DWORD WINAPI Run(void* self) {
    static_cast<Ir55Feeder*>(self)->Play();
    return 0;
  }

  void Play() {
    LARGE_INTEGER freq, start, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    auto elapsedUs = [&] {
      QueryPerformanceCounter(&now);
      return static_cast<unsigned long long>((now.QuadPart - start.QuadPart) * 1000000 / freq.QuadPart);
    };
    auto sleepUntil = [&](unsigned long long us) {
      for (unsigned long long t = elapsedUs(); t < us; t = elapsedUs())
        Sleep(static_cast<DWORD>((us - t) / 1000));
    };
    const unsigned long long zero = StartMs * 1000ull;
    for (const ir55::TimedByte& b : ToPlay.Bytes()) {
      sleepUntil(zero + b.atUs);
      if (!Port.Write(&b.value, 1)) Wrote = false;
    }
    sleepUntil(zero + ToPlay.EndUs());
    if (HangUp) Port.Hangup();
  }

  bench::PtyPort& Port;
  ir55::Script ToPlay;
  unsigned StartMs;
  bool HangUp;
  bool Wrote = true;
  bool Started = false;
  HANDLE Thread = nullptr;
};

}  // namespace bench

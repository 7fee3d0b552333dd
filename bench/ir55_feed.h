// Plays an IR55 script through a bench terminal from a thread of its own, each byte
// at its time, so a blocking receive call on the test's thread meets real pacing.
#pragma once

#include <windows.h>

#include <utility>

#include "bench/pty_port.h"
#include "tools/ir55/ir55_emulator.h"

namespace bench {

class Ir55Feeder {
 public:
  // startMs: delay before the script's time zero. hangUp: close the receiver's end
  // of the line once the script has played.
  Ir55Feeder(bench::PtyPort& port, ir55::Script script, unsigned startMs = 0, bool hangUp = false)
      : port_(port), script_(std::move(script)), startMs_(startMs), hangUp_(hangUp) {
    thread_ = CreateThread(nullptr, 0, &Ir55Feeder::Run, this, 0, nullptr);
    started_ = thread_ != nullptr;
  }
  ~Ir55Feeder() { Wait(); }
  Ir55Feeder(const Ir55Feeder&) = delete;
  Ir55Feeder& operator=(const Ir55Feeder&) = delete;

  void Wait() {
    if (!thread_) return;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  bool Done() const { return !thread_ || WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0; }
  // Waits for the end; true if every byte went out.
  bool Played() {
    Wait();
    return started_ && wrote_;
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
    const unsigned long long zero = startMs_ * 1000ull;
    for (const ir55::TimedByte& b : script_.Bytes()) {
      sleepUntil(zero + b.atUs);
      if (!port_.Write(&b.value, 1)) wrote_ = false;
    }
    sleepUntil(zero + script_.EndUs());
    if (hangUp_) port_.Hangup();
  }

  bench::PtyPort& port_;
  ir55::Script script_;
  unsigned startMs_;
  bool hangUp_;
  bool wrote_ = true;
  bool started_ = false;
  HANDLE thread_ = nullptr;
};

}  // namespace bench

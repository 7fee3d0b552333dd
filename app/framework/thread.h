// TThread: a system thread owned by an object. The thread is created suspended
// by Start and then let go, so the object knows its handle before Run begins.
// Derived classes give the thread body, Run.
//
// Suspend is a pause the thread takes at a safe point of its own (PausePoint, or
// a wait made with WaitSafely), never at an arbitrary instruction: a thread
// frozen by SuspendThread while it holds the heap lock or the display
// connection stops every other thread that needs them, for good.
#pragma once

#include <windows.h>

#include <atomic>

namespace vantor {

class TThread {
 public:
  enum class Status { Created, Running, Suspended, Finished };
  // How long Suspend waits for the thread to reach its safe point.
  static constexpr DWORD kPauseWaitMs = 100;

  TThread();
  // Releases the handles only: a running thread goes on until the process ends.
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Creates the thread and starts Run; false if it exists already or cannot be made.
  bool Start();
  // Asks the thread to pause and waits up to kPauseWaitMs for it to reach a safe
  // point. The thread must never wait for the caller meanwhile (no message sent
  // to its windows). True once the thread is paused; if it is not yet, it pauses
  // as soon as it reaches its next safe point.
  bool Suspend();
  // Lets a suspended thread go on; false if it was not suspended.
  bool Resume();
  // True while the thread waits at a safe point for Resume.
  bool IsPaused() const;
  // Safe to read from any thread.
  Status GetStatus() const { return CurrentStatus.load(); }
  HANDLE GetHandle() const { return Handle; }
  DWORD GetId() const { return Id; }

 protected:
  virtual int Run() = 0;
  // Called on the suspending thread while it waits, every few milliseconds:
  // cut short whatever long call the thread may be inside.
  virtual void Interrupt() {}

  // For Run: a safe point. Waits here while a pause is asked for; true when it
  // paused, so the caller knows time has passed.
  bool PausePoint();
  enum class WaitResult { Signalled, TimedOut, PauseAsked, Failed };
  // For Run: waits for `object` (nullptr: for nothing but the time) up to `ms`,
  // or until a pause is asked for; then the caller puts away what it holds
  // and calls PausePoint.
  WaitResult WaitSafely(HANDLE object, DWORD ms);

 private:
  static DWORD WINAPI Entry(LPVOID self);
  HANDLE Handle = nullptr;
  DWORD Id = 0;
  // Manual-reset events: pause asked for; the thread may run; the thread is parked.
  HANDLE PauseWanted;
  HANDLE MayRun;
  HANDLE Parked;
  std::atomic<Status> CurrentStatus{Status::Created};
};

}  // namespace vantor

#include "app/framework/thread.h"

namespace vantor {
namespace {
constexpr DWORD kInterruptEveryMs = 5;
}

TThread::TThread()
    : PauseWanted(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      MayRun(CreateEventA(nullptr, TRUE, TRUE, nullptr)),
      Parked(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

TThread::~TThread() {
  for (HANDLE h : {Handle, PauseWanted, MayRun, Parked})
    if (h) CloseHandle(h);
}

DWORD WINAPI TThread::Entry(LPVOID param) {
  auto* self = static_cast<TThread*>(param);
  DWORD code = 0;
  try {
    code = static_cast<DWORD>(self->Run());
  } catch (...) {
    code = 1;  // nothing may unwind out of a thread
  }
  self->CurrentStatus = Status::Finished;
  return code;
}

bool TThread::Start() {
  if (Handle || !PauseWanted || !MayRun || !Parked) return false;
  Handle = CreateThread(nullptr, 0, Entry, this, CREATE_SUSPENDED, &Id);
  if (!Handle) return false;
  CurrentStatus = Status::Running;
  ResumeThread(Handle);
  return true;
}

bool TThread::Suspend() {
  Status now = CurrentStatus.load();
  if (now == Status::Created || now == Status::Finished) return false;
  if (now == Status::Running) {
    CurrentStatus = Status::Suspended;
    ResetEvent(MayRun);
    SetEvent(PauseWanted);
  }
  DWORD start = GetTickCount();
  for (;;) {
    if (IsPaused()) return true;
    DWORD waited = GetTickCount() - start;
    if (waited >= kPauseWaitMs) return false;
    Interrupt();
    DWORD slice = kPauseWaitMs - waited < kInterruptEveryMs ? kPauseWaitMs - waited : kInterruptEveryMs;
    WaitForSingleObject(Parked, slice);
  }
}

bool TThread::Resume() {
  if (CurrentStatus.load() != Status::Suspended) return false;
  CurrentStatus = Status::Running;
  // Cleared here, not by the thread: a Suspend right after this Resume must not
  // take the old acknowledgement for a new one.
  ResetEvent(Parked);
  ResetEvent(PauseWanted);
  SetEvent(MayRun);
  return true;
}

bool TThread::IsPaused() const { return WaitForSingleObject(Parked, 0) == WAIT_OBJECT_0; }

bool TThread::PausePoint() {
  bool paused = false;
  while (WaitForSingleObject(PauseWanted, 0) == WAIT_OBJECT_0) {
    paused = true;
    SetEvent(Parked);
    WaitForSingleObject(MayRun, INFINITE);
  }
  return paused;
}

TThread::WaitResult TThread::WaitSafely(HANDLE object, DWORD ms) {
  HANDLE objects[2] = {PauseWanted, object};
  DWORD count = object ? 2 : 1;
  DWORD got = WaitForMultipleObjects(count, objects, FALSE, ms);
  if (got == WAIT_OBJECT_0) return WaitResult::PauseAsked;
  if (got == WAIT_OBJECT_0 + 1) return WaitResult::Signalled;
  if (got == WAIT_TIMEOUT) return WaitResult::TimedOut;
  return WaitResult::Failed;
}

}  // namespace vantor

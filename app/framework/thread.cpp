#include "app/framework/thread.h"

namespace vantor {

TThread::~TThread() {
  if (handle_) CloseHandle(handle_);
}

DWORD WINAPI TThread::Entry(LPVOID param) {
  auto* self = static_cast<TThread*>(param);
  DWORD code = 0;
  try {
    code = static_cast<DWORD>(self->Run());
  } catch (...) {
    code = 1;  // nothing may unwind out of a thread
  }
  self->status_ = Status::Finished;
  return code;
}

bool TThread::Start() {
  if (handle_) return false;
  handle_ = CreateThread(nullptr, 0, Entry, this, CREATE_SUSPENDED, &id_);
  if (!handle_) return false;
  status_ = Status::Running;
  ResumeThread(handle_);
  return true;
}

DWORD TThread::Suspend() {
  if (!handle_ || status_ == Status::Finished) return static_cast<DWORD>(-1);
  DWORD count = SuspendThread(handle_);
  if (count != static_cast<DWORD>(-1)) status_ = Status::Suspended;
  return count;
}

DWORD TThread::Resume() {
  if (!handle_ || status_ == Status::Finished) return static_cast<DWORD>(-1);
  DWORD count = ResumeThread(handle_);
  // Only the last resume lets the thread run again.
  if (count == 1) status_ = Status::Running;
  return count;
}

}  // namespace vantor

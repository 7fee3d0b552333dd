// TThread: a system thread owned by an object. The thread is created suspended
// by Start and then let go, so the object knows its handle before Run begins.
// Derived classes give the thread body, Run.
#pragma once

#include <windows.h>

namespace vantor {

class TThread {
 public:
  enum class Status { Created, Running, Suspended, Finished };

  TThread() = default;
  // Releases the handle only: a running thread goes on until the process ends.
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Creates the thread and starts Run; false if it exists already or cannot be made.
  bool Start();
  // Suspension takes effect at once, wherever the thread is.
  DWORD Suspend();
  DWORD Resume();
  Status GetStatus() const { return status_; }
  HANDLE GetHandle() const { return handle_; }
  DWORD GetId() const { return id_; }

 protected:
  virtual int Run() = 0;

 private:
  static DWORD WINAPI Entry(LPVOID self);
  HANDLE handle_ = nullptr;
  DWORD id_ = 0;
  // Written by the owning thread (Start, Suspend, Resume) and once by the thread as it ends.
  volatile Status status_ = Status::Created;
};

}  // namespace vantor

// A watch on the serial calls the program and the receiver libraries make, for
// tests that link them statically.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/message_boxes.h"
#include "win32/serial_calls.h"

namespace bench {

// Watches the port calls made through the serial call table and passes them on to
// the system, so a test can tell which port was opened, how it was configured and
// whether the handle was let go (Wine does not refuse a second open of a serial
// port, so trying one proves nothing). A test may also make SetCommState refuse one
// speed. One watch at a time.
//
// Log() holds one line per call, in order, with the arguments that matter:
//   CreateFileA COM1 access=c0000000 share=0 disposition=3 flags=0
//   PurgeComm flags=f
//   GetCommState
//   SetCommState baud=19200 bits=8 parity=0 stop=0 binary=1 abortOnError=0
//   GetCommTimeouts
//   SetCommTimeouts interval=ffffffff readMultiplier=0 readConstant=0 writeMultiplier=0 writeConstant=0
//   SetupComm in=1024 out=4096
//   ReadFile size=1024
//   ClearCommError
//   CloseHandle COM1
// Numbers other than sizes and speeds are hexadecimal; a handle is named by the port
// it was opened as. A call a test swapped out of the table after the watch began is
// not logged.
class SerialWatch {
 public:
  SerialWatch() {
    Seen() = {};
    vantor::SerialCalls& seam = vantor::SerialSeam();
    seam = vantor::SystemSerialCalls();
    seam.CreateFileA = &Open;
    seam.PurgeComm = &Purge;
    seam.GetCommState = &GetState;
    seam.SetCommState = &SetState;
    seam.GetCommTimeouts = &GetTimeouts;
    seam.SetCommTimeouts = &SetTimeouts;
    seam.SetupComm = &Setup;
    seam.ReadFile = &Read;
    seam.ClearCommError = &ClearError;
    seam.CloseHandle = &Close;
  }
  ~SerialWatch() {
    vantor::SerialSeam() = vantor::SystemSerialCalls();
    Seen().boxes = nullptr;
  }
  SerialWatch(const SerialWatch&) = delete;
  SerialWatch& operator=(const SerialWatch&) = delete;

  // SetCommState with this speed fails (0: none does).
  void RefuseSpeed(DWORD baud) { Seen().refused = baud; }
  // Counts boxes at every close, to tell whether the user heard before or after.
  void CountBoxesFrom(const bench::MessageBoxCapture* boxes) { Seen().boxes = boxes; }

  const std::vector<std::string>& Log() const { return Seen().log; }
  const std::vector<std::string>& Opened() const { return Seen().opened; }
  const std::vector<DWORD>& Speeds() const { return Seen().speeds; }
  void ForgetSpeeds() { Seen().speeds.clear(); }
  bool Closed(HANDLE h) const {
    for (HANDLE c : Seen().closed) if (c == h) return true;
    return false;
  }
  size_t Closes() const { return Seen().closed.size(); }
  size_t Purges() const { return Seen().purges; }
  size_t BoxesAtLastClose() const { return Seen().boxesAtClose; }

 private:
  struct State {
    std::vector<std::string> log;
    std::vector<std::string> opened;
    std::vector<HANDLE> handles;  // what each open returned, beside `opened`
    std::vector<DWORD> speeds;
    std::vector<HANDLE> closed;
    DWORD refused = 0;
    const bench::MessageBoxCapture* boxes = nullptr;
    size_t boxesAtClose = 0;
    size_t purges = 0;
  };
  static State& Seen() {
    static State s;
    return s;
  }
  __attribute__((format(printf, 1, 2))) static void Note(const char* format, ...) {
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    Seen().log.push_back(line);
  }
  static std::string PortOf(HANDLE h) {
    const State& s = Seen();
    for (size_t i = s.handles.size(); i-- > 0;) {
      if (s.handles[i] == h) return s.opened[i];
    }
    return "?";
  }

  static HANDLE WINAPI Open(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa, DWORD how,
                            DWORD flags, HANDLE templ) {
    Note("CreateFileA %s access=%lx share=%lx disposition=%lu flags=%lx", name, access, share, how, flags);
    HANDLE h = CreateFileA(name, access, share, sa, how, flags, templ);
    Seen().opened.push_back(name);
    Seen().handles.push_back(h);
    return h;
  }
  static BOOL WINAPI Purge(HANDLE h, DWORD flags) {
    Note("PurgeComm flags=%lx", flags);
    ++Seen().purges;
    return PurgeComm(h, flags);
  }
  static BOOL WINAPI GetState(HANDLE h, LPDCB dcb) {
    Note("GetCommState");
    return GetCommState(h, dcb);
  }
  static BOOL WINAPI SetState(HANDLE h, LPDCB dcb) {
    Note("SetCommState baud=%lu bits=%u parity=%u stop=%u binary=%u abortOnError=%u", dcb->BaudRate,
         unsigned{dcb->ByteSize}, unsigned{dcb->Parity}, unsigned{dcb->StopBits}, unsigned{dcb->fBinary},
         unsigned{dcb->fAbortOnError});
    Seen().speeds.push_back(dcb->BaudRate);
    if (dcb->BaudRate == Seen().refused) {
      SetLastError(ERROR_GEN_FAILURE);
      return FALSE;
    }
    return SetCommState(h, dcb);
  }
  static BOOL WINAPI GetTimeouts(HANDLE h, LPCOMMTIMEOUTS t) {
    Note("GetCommTimeouts");
    return GetCommTimeouts(h, t);
  }
  static BOOL WINAPI SetTimeouts(HANDLE h, LPCOMMTIMEOUTS t) {
    Note("SetCommTimeouts interval=%lx readMultiplier=%lx readConstant=%lx writeMultiplier=%lx writeConstant=%lx",
         t->ReadIntervalTimeout, t->ReadTotalTimeoutMultiplier, t->ReadTotalTimeoutConstant,
         t->WriteTotalTimeoutMultiplier, t->WriteTotalTimeoutConstant);
    return SetCommTimeouts(h, t);
  }
  static BOOL WINAPI Setup(HANDLE h, DWORD in, DWORD out) {
    Note("SetupComm in=%lu out=%lu", in, out);
    return SetupComm(h, in, out);
  }
  static BOOL WINAPI Read(HANDLE h, LPVOID into, DWORD size, LPDWORD got, LPOVERLAPPED overlapped) {
    Note("ReadFile size=%lu", size);
    return ReadFile(h, into, size, got, overlapped);
  }
  static BOOL WINAPI ClearError(HANDLE h, LPDWORD errors, LPCOMSTAT status) {
    Note("ClearCommError");
    return ClearCommError(h, errors, status);
  }
  static BOOL WINAPI Close(HANDLE h) {
    Note("CloseHandle %s", PortOf(h).c_str());
    Seen().closed.push_back(h);
    Seen().boxesAtClose = Seen().boxes ? Seen().boxes->Boxes().size() : 0;
    return CloseHandle(h);
  }
};

}  // namespace bench

// A watch on the serial calls the program and the receiver libraries make, for
// tests that link them statically.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "bench/message_boxes.h"
#include "win32/serial_calls.h"

namespace bench {

// Watches the port calls made through the serial call table and passes them on to
// the system, so a test can tell which port was opened and whether the handle was
// let go (Wine does not refuse a second open of a serial port, so trying one proves
// nothing). A test may also make SetCommState refuse one speed. One watch at a time.
class SerialWatch {
 public:
  SerialWatch() {
    Seen() = {};
    vantor::SerialSeam() = vantor::SystemSerialCalls();
    vantor::SerialSeam().CreateFileA = &Open;
    vantor::SerialSeam().SetCommState = &SetState;
    vantor::SerialSeam().CloseHandle = &Close;
    vantor::SerialSeam().PurgeComm = &Purge;
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
    std::vector<std::string> opened;
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
  static HANDLE WINAPI Open(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa, DWORD how,
                            DWORD flags, HANDLE templ) {
    Seen().opened.push_back(name);
    return CreateFileA(name, access, share, sa, how, flags, templ);
  }
  static BOOL WINAPI SetState(HANDLE h, LPDCB dcb) {
    Seen().speeds.push_back(dcb->BaudRate);
    if (dcb->BaudRate == Seen().refused) {
      SetLastError(ERROR_GEN_FAILURE);
      return FALSE;
    }
    return SetCommState(h, dcb);
  }
  static BOOL WINAPI Purge(HANDLE h, DWORD flags) {
    ++Seen().purges;
    return PurgeComm(h, flags);
  }
  static BOOL WINAPI Close(HANDLE h) {
    Seen().closed.push_back(h);
    Seen().boxesAtClose = Seen().boxes ? Seen().boxes->Boxes().size() : 0;
    return CloseHandle(h);
  }
};

}  // namespace bench

// Shared pieces of the kestrel tests under Wine: a receiver that acts while the
// library blocks the test's thread, a watch on the library's port calls, and the
// check every failure box gets.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "kestrel/serial_calls.h"
#include "support/bench/message_boxes.h"

namespace kestrel_test {

// What a user sees on every kestrel failure: OK, exclamation icon, task-modal.
inline constexpr unsigned kErrorStyle = MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL;
inline constexpr char kCannotOpen[] =
    "Cannot open serial port !\n\nAnother communication software using this port?\n\n\n";

// Runs `work` on its own thread (the MinGW runtime here has no std::thread);
// joined when the object goes away, so the test never outlives its receiver.
class OnAnotherThread {
 public:
  explicit OnAnotherThread(std::function<void()> work) : work_(std::move(work)) {
    thread_ = CreateThread(nullptr, 0, &Main, this, 0, nullptr);
  }
  ~OnAnotherThread() { Join(); }
  OnAnotherThread(const OnAnotherThread&) = delete;
  OnAnotherThread& operator=(const OnAnotherThread&) = delete;

  bool started() const { return thread_ != nullptr; }
  void Join() {
    if (thread_ == nullptr) return;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }

 private:
  static DWORD WINAPI Main(void* self) {
    static_cast<OnAnotherThread*>(self)->work_();
    return 0;
  }
  std::function<void()> work_;
  HANDLE thread_ = nullptr;
};

// Watches the port calls the library makes and passes them on to the system, so a
// test can tell which port was opened and whether the handle was let go (Wine does
// not refuse a second open of a serial port, so trying one proves nothing). A test
// may also make SetCommState refuse one speed. One watch at a time.
class SerialWatch {
 public:
  SerialWatch() {
    Seen() = {};
    KestrelSerial() = KestrelSystemSerial();
    KestrelSerial().CreateFileA = &Open;
    KestrelSerial().SetCommState = &SetState;
    KestrelSerial().CloseHandle = &Close;
    KestrelSerial().PurgeComm = &Purge;
  }
  ~SerialWatch() {
    KestrelSerial() = KestrelSystemSerial();
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

inline void ExpectOneError(const bench::MessageBoxCapture& boxes, const char* text, const char* caption) {
  std::vector<bench::CapturedBox> seen = boxes.Boxes();
  ASSERT_EQ(seen.size(), 1u) << "expected one box: " << caption;
  EXPECT_EQ(seen[0].text, text);
  EXPECT_EQ(seen[0].caption, caption);
  EXPECT_EQ(seen[0].style, kErrorStyle);
}

}  // namespace kestrel_test

// Shared pieces of the kestrel tests under Wine: a receiver that acts while the
// library blocks the test's thread, and the check every failure box gets.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "bench/message_boxes.h"
#include "bench/serial_watch.h"

namespace kestrel_test {

// What a user sees on every kestrel failure: OK, exclamation icon, task-modal.
inline constexpr unsigned kErrorStyle = MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL;
inline constexpr char kCannotOpen[] =
    "Cannot open serial port !\n\nAnother communication software using this port?\n\n\n";

// Runs `work` on its own thread (the MinGW runtime here has no std::thread);
// joined when the object goes away, so the test never outlives its receiver.
class OnAnotherThread {
 public:
  explicit OnAnotherThread(std::function<void()> work) : Work(std::move(work)) {
    Thread = CreateThread(nullptr, 0, &Main, this, 0, nullptr);
  }
  ~OnAnotherThread() { Join(); }
  OnAnotherThread(const OnAnotherThread&) = delete;
  OnAnotherThread& operator=(const OnAnotherThread&) = delete;

  bool started() const { return Thread != nullptr; }
  void Join() {
    if (Thread == nullptr) return;
    WaitForSingleObject(Thread, INFINITE);
    CloseHandle(Thread);
    Thread = nullptr;
  }

 private:
  static DWORD WINAPI Main(void* self) {
    static_cast<OnAnotherThread*>(self)->Work();
    return 0;
  }
  std::function<void()> Work;
  HANDLE Thread = nullptr;
};

using bench::SerialWatch;

inline void ExpectOneError(const bench::MessageBoxCapture& boxes, const char* text, const char* caption) {
  std::vector<bench::CapturedBox> seen = boxes.Boxes();
  ASSERT_EQ(seen.size(), 1u) << "expected one box: " << caption;
  EXPECT_EQ(seen[0].text, text);
  EXPECT_EQ(seen[0].caption, caption);
  EXPECT_EQ(seen[0].style, kErrorStyle);
}

}  // namespace kestrel_test

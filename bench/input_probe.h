// Observing synthetic input on the bench's display: a focused probe window that
// records the key and mouse-button messages it receives, and the pointer position.
#pragma once

#include <vector>

namespace bench {

struct InputMessage {
  unsigned message = 0;     // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_LBUTTONDOWN, ...
  unsigned long long wParam = 0;
  unsigned long long lParam = 0;
};

struct Point {
  long x = 0;
  long y = 0;
};

class InputProbe {
 public:
  // Creates a visible top-level window at the given screen rectangle and gives it
  // the focus, so synthetic keys and clicks land on it.
  InputProbe(int x = 100, int y = 100, int width = 400, int height = 300);
  ~InputProbe();
  InputProbe(const InputProbe&) = delete;
  InputProbe& operator=(const InputProbe&) = delete;

  bool Focus();
  // Runs this thread's message loop for about ms milliseconds.
  void Pump(unsigned ms);
  std::vector<InputMessage> Messages() const { return MessagesSeen; }
  // Pointer positions (screen) of the moves the probe saw, apart from Messages():
  // another process's GetCursorPos may lag behind moves injected elsewhere.
  std::vector<Point> Moves() const { return MovesSeen; }
  void Clear() {
    MessagesSeen.clear();
    MovesSeen.clear();
  }
  void* hwnd() const { return Hwnd; }

 private:
  static long long __stdcall Proc(void* hwnd, unsigned msg, unsigned long long wParam, long long lParam);
  void* Hwnd = nullptr;
  std::vector<InputMessage> MessagesSeen;
  std::vector<Point> MovesSeen;
};

// SPI_SETMOUSE with thresholds and acceleration 0: a relative move is applied 1:1.
bool DisablePointerAcceleration();
Point CursorPos();
bool SetCursorTo(long x, long y);

}  // namespace bench

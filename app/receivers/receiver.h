// TReceiver: a receiver as the program uses it, whichever library drives it. The
// GUI thread opens and closes it, the wizard learns with it and the watcher waits
// on it, one user at a time (TReceiverOwner); BreakWait alone may come from
// another thread, to cut the watcher's wait short.
#pragma once

#include <windows.h>

namespace vantor {

// Room for the longest code either library writes (IR55's 28 bytes).
constexpr int kMinCodeTextSize = 28;
// The text a receive call is given; the libraries ignore its size.
constexpr int kReceiveTextSize = 4096;

enum class TReceived {
  Nothing,  // the wait ended without a code
  Press,    // the code of a new press
  Held,     // the code of the button still held
  Failed,   // the line is gone: the library has closed the port
};

class TReceiver {
 public:
  // Opens COM`comNumber` at the receiver's speed; the library shows why not.
  virtual bool Open(int comNumber) = 0;
  // Lets the port go, if it is open.
  virtual void Close() = 0;
  // The library has closed the port (a read or write failed), or it never opened.
  virtual bool LineGone() const = 0;
  // Waits for one whole code and writes it into `text` (`size` bytes, at least
  // kMinCodeTextSize); false without one, the library's boxes shown.
  virtual bool Learn(char* text, int size) = 0;
  // One receive step of the watcher, sleeping up to `waitMs` for input; `text`
  // is left as it was unless a code came. A smaller buffer gets Nothing.
  virtual TReceived Wait(char* text, int size, DWORD waitMs) = 0;
  // Makes a Wait under way return before its sleep. Any thread.
  virtual void BreakWait() = 0;
  // Input that came while the watcher was paused belongs to no one.
  virtual void DropQueuedInput() = 0;
  // What the user is told at start-up when this receiver is the chosen one, and
  // after every attempt to open it.
  virtual void ShowNotice() = 0;

 protected:
  ~TReceiver() = default;
};

}  // namespace vantor

// TSigCatch: the watcher thread. It receives codes from the selected receiver,
// decides with MatchCode what each one does, and plays matched entries of its own
// copy of the learned list, so it never waits for a window. It runs while the main
// window is hidden; the main window suspends it whenever it shows itself, and it
// pauses only between receiver calls, so the two never use a receiver at the
// same time. Each writes codes into a buffer of its own.
#pragma once

#include <windows.h>

#include "app/events/store_values.h"
#include "app/events/event_list_model.h"
#include "app/framework/thread.h"
#include "app/receivers/receiver.h"

namespace vantor {

// What the watcher reaches through the main window. Owned by the GUI thread.
class TWatcherHost {
 public:
  // The receiver the options chose, asked for at every step: the options may
  // change it while the watcher is paused. Null when none is chosen.
  virtual TReceiver* ChosenReceiver() = 0;
  // Shows the options dialog until a port opens or the user cancels. The
  // watcher has it run on the GUI thread and waits for it.
  virtual void PortOptionsProcedure() = 0;

 protected:
  ~TWatcherHost() = default;
};

class TSigCatch : public TThread {
 public:
  explicit TSigCatch(TWatcherHost* host) : Host(host) { InitializeCriticalSection(&Handover); }
  ~TSigCatch() override;

  // Made on the calling (GUI) thread, which then runs the options procedure
  // for the watcher.
  bool Start();
  // The list the watcher matches codes against from its next cycle on: the main
  // window hands it over at every Start, so edits made meanwhile wait for that.
  void UseEvents(const TEventListModel& events);

  // How long a receive step sleeps in the driver waiting for a byte: a pause
  // asked for meanwhile is taken when the step returns, so keep it below
  // kPauseWaitMs. Set before Start (the benchmark compares values).
  static constexpr DWORD kDefaultByteWaitMs = 50;
  void SetByteWaitMs(DWORD ms) { ByteWaitMs = ms; }

 protected:
  int Run() override;
  // Cuts the chosen receiver's step short (it returns quietly before its wait).
  void Interrupt() override;

 private:
  // The receiver's port was closed or is gone: run the options procedure on the
  // GUI thread and wait for it to end.
  void PortLost();
  // Input that came while the watcher was paused belongs to no one.
  void DiscardQueuedInput();
  static LRESULT CALLBACK GuiProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  TWatcherHost* Host;
  DWORD ByteWaitMs = kDefaultByteWaitMs;
  // A message-only window of the GUI thread, and the event set when the
  // procedure it ran for the watcher has ended.
  HWND GuiWindow = nullptr;
  HANDLE ProcedureDone = nullptr;
  // The watcher's own copy of the list, and the one handed over for its next cycle.
  TEventListModel Events;
  // What the receiver writes a code into; the watcher's own.
  char ReceiveText[kReceiveTextSize] = {};
  CRITICAL_SECTION Handover;
  TEventListModel NextEvents;
  bool HasNextEvents = false;
};

}  // namespace vantor

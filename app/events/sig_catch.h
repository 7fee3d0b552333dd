// TSigCatch: the watcher thread. It receives codes from the selected receiver,
// decides with MatchCode what each one does, and plays matched entries. It runs
// while the main window is hidden; the main window suspends it whenever it shows
// itself, so the two never use the receivers or ReceiveText at the same time.
#pragma once

#include <windows.h>

#include "app/events/port_options_record.h"
#include "app/framework/controls.h"
#include "app/framework/thread.h"
#include "kestrel/kestrel.h"
#include "pellow/pellow.h"

namespace vantor {

constexpr int kReceiveTextSize = 4096;

// What the watcher reaches through the main window. Owned by the GUI thread; the
// watcher touches EventsList only through the control's find and get-text
// messages, which the system carries out on the GUI thread.
class TWatcherHost {
 public:
  virtual const TComboBox& EventsList() = 0;
  virtual char* ReceiveText() = 0;         // kReceiveTextSize bytes
  virtual const char* RcFormatCode() = 0;  // at most 15 characters
  virtual TKestrel& Kestrel() = 0;
  virtual TPellow& Pellow() = 0;
  virtual const PortOptionsRecord& PortOptions() = 0;
  // Shows the options dialog until a port opens or the user cancels.
  virtual void PortOptionsProcedure() = 0;

 protected:
  ~TWatcherHost() = default;
};

class TSigCatch : public TThread {
 public:
  explicit TSigCatch(TWatcherHost* host) : Host(host) {}

 protected:
  int Run() override;

 private:
  // One receive call on the selected receiver; false when neither is selected.
  bool Receive(BOOL* got);
  // After a zero result from the IR55 receiver with its port open: waits a little
  // unless a byte is queued, instead of spinning on the port. byteTaken: the step
  // consumed a byte without reporting a key.
  void WaitForPellowByte(bool byteTaken);

  TWatcherHost* Host;
  DWORD LastActivity = 0;  // tick of the last byte seen; the watcher thread's own
};

}  // namespace vantor

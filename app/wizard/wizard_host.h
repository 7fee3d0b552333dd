// What the wizard's steps reach through the main window: its step number, the
// receive buffer, the format code, the events list and the receivers. Owned by
// the GUI thread.
#pragma once

#include <windows.h>

#include "app/events/port_options_record.h"
#include "app/framework/controls.h"
#include "kestrel/kestrel.h"
#include "pellow/pellow.h"

namespace vantor {

class TWizardHost {
 public:
  virtual int& WizardStepNumber() = 0;
  // Posts WizardStepMessage: the main window opens step WizardStepNumber() once the
  // closing step's window is gone.
  virtual void PostWizardStep() = 0;
  virtual BYTE& AwaitingSecondFlag() = 0;
  virtual char* GetReceiveText() = 0;  // kReceiveTextSize bytes
  virtual auto FormatCode() -> char (&)[16] = 0;  // RcFormatCode
  virtual const TComboBox& GetEventsList() = 0;
  virtual TKestrel& Kestrel() = 0;
  virtual TPellow& Pellow() = 0;
  virtual const PortOptionsRecord& PortOptions() = 0;
  virtual void PortOptionsProcedure() = 0;
  virtual void PlayStartSound() = 0;
  // Shows the entry at `index` as the one in the way: Delete enabled, the list
  // focused with the entry selected, as if the user had selected it.
  virtual void PointAtEntry(int index) = 0;
  // Selects the entry at `index` as if the user had selected it.
  virtual void SelectEntry(int index) = 0;
  // Makes sure the watcher is inside no receiver call; false if it could not be
  // parked, and then the receivers must not be used.
  virtual bool ParkWatcher() = 0;

 protected:
  ~TWizardHost() = default;
};

}  // namespace vantor

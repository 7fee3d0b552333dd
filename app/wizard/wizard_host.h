// What the wizard's steps reach through the main window: the receive buffer, the
// learned list, the chosen receiver and the list's selection. Owned by the GUI thread.
#pragma once

#include <windows.h>

#include "app/events/learned_events.h"
#include "app/receivers/receiver.h"

namespace vantor {

class TWizardHost {
 public:
  virtual TLearnedEvents& LearnedEvents() = 0;
  // The receiver the options chose as they stand now; null when none is.
  virtual TReceiver* ChosenReceiver() = 0;
  // Whether the options procedure has the receivers now (a learning asked for from
  // inside its dialog); its dialog is then brought forward.
  virtual bool OptionsHaveReceivers() = 0;
  // Lends the receivers to a learning, the watcher parked meanwhile;
  // false if they cannot be had, and then they must not be used.
  virtual bool BorrowReceivers() = 0;
  // Hands them back; the watcher goes on if it ran before.
  virtual void ReturnReceivers() = 0;
  // The options procedure, for a learning that holds the receivers and found its port closed.
  virtual void PortOptionsForLearning() = 0;
  virtual void PlayStartSound() = 0;
  // Shows the entry at `index` as the one in the way: Delete enabled, the list
  // focused with the entry selected, as if the user had selected it.
  virtual void PointAtEntry(int index) = 0;
  // Selects the entry at `index` as if the user had selected it.
  virtual void SelectEntry(int index) = 0;

 protected:
  ~TWizardHost() = default;
};

}  // namespace vantor

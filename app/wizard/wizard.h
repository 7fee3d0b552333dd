// TWizard: the event wizard. It owns its steps, the record they fill, which step
// is current and whether the next one is on its way. A step that is left closes
// its window and tells the wizard; the wizard then has the owner window open the
// next step once the closing one is gone (WizardStepMessage, answered by ShowStep).
// GUI thread only.
#pragma once

#include <windows.h>

#include "app/framework/window.h"
#include "app/wizard/step1.h"
#include "app/wizard/step2.h"
#include "app/wizard/step3_1.h"
#include "app/wizard/step3_2.h"
#include "app/wizard/wizard_host.h"
#include "app/wizard/wizard_state.h"

namespace vantor {

class TWizard {
 public:
  // owner: the main window, parent of the steps and receiver of WizardStepMessage.
  TWizard(TWindow* owner, TWizardHost& host);

  // "&Add event": a step that is up comes forward; otherwise a new wizard starts at its first step.
  void Open();
  // The owner's WizardStepMessage: opens the current step, if any.
  void ShowStep();

  // A step whose window has just closed.
  void Next() { Go(StepNumber + 1); }
  void Back() { Go(StepNumber - 1); }
  void Cancel() { StepNumber = 0; }

 private:
  void Go(int step);
  TWizardStep* OpenStep();

  TWindow* Owner;
  TWizardState State;
  int StepNumber = 0;
  // WizardStepMessage is on its way: the step it opens counts as open.
  bool StepPending = false;
  TStep1 Step1;
  TStep2 Step2;
  TStep3_1 Step3Mouse;
  TStep3_2 Step3Keys;
};

}  // namespace vantor

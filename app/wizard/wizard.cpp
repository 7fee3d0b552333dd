#include "app/wizard/wizard.h"

#include "app/resources/private_messages.h"
#include "win32/bring_to_front.h"

namespace vantor {

TWizard::TWizard(TWindow* owner, TWizardHost& host)
    : Owner(owner),
      Step1(owner, *this, host, State),
      Step2(owner, *this, host, State),
      Step3Mouse(owner, *this, host, State),
      Step3Keys(owner, *this, host, State) {}

TWizardStep* TWizard::OpenStep() {
  for (TWizardStep* step : {static_cast<TWizardStep*>(&Step1), static_cast<TWizardStep*>(&Step2),
                            static_cast<TWizardStep*>(&Step3Mouse), static_cast<TWizardStep*>(&Step3Keys)})
    if (step->GetHandle()) return step;
  return nullptr;
}

void TWizard::Open() {
  if (TWizardStep* open = OpenStep()) {
    BringToFront(open->GetHandle());
    return;
  }
  // Between one step's close and the next one's opening no step window exists.
  if (StepPending) return;
  State.Start();
  Step1.ForgetFirstCode();
  Go(1);
}

void TWizard::Go(int step) {
  StepNumber = step;
  StepPending = true;
  PostMessageA(Owner->GetHandle(), WizardStepMessage, 0, 0);
}

void TWizard::ShowStep() {
  StepPending = false;
  switch (StepNumber) {
    case 1:
      Step1.Enter();
      break;
    case 2:
      Step2.Enter();
      break;
    case 3:
      if (State.MouseKind == 1) Step3Mouse.Enter();
      else Step3Keys.Enter();
      break;
    default:
      break;
  }
}

}  // namespace vantor

#include "app/wizard/wizard_step.h"

#include "win32/bring_to_front.h"
#include "app/resources/resource_ids.h"

namespace vantor {

HWND TWizardStep::Enter() {
  if (HWND open = GetHandle()) {
    BringToFront(open);
    return open;
  }
  return Create();
}

void TWizardStep::Next() {
  TransferData(TTransferDirection::GetData);
  ++Host.WizardStepNumber();
  CloseWindow(IDC_WIZARD_NEXT);
  Host.PostWizardStep();
}

void TWizardStep::Back() {
  TransferData(TTransferDirection::GetData);
  --Host.WizardStepNumber();
  CloseWindow(IDC_WIZARD_BACK);
  Host.PostWizardStep();
}

void TWizardStep::CmOk() {
  // Enter in the dialog asks for button 1 even while it is disabled.
  HWND next = GetDlgItem(GetHandle(), IDC_WIZARD_NEXT);
  if (next && !IsWindowEnabled(next)) return;
  Next();
}

void TWizardStep::CmCancel() {
  TransferData(TTransferDirection::GetData);
  Host.WizardStepNumber() = 0;
  CloseWindow(IDCANCEL);
}

}  // namespace vantor

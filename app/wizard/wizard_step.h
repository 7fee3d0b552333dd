// TWizardStep: the protocol every step of the wizard follows. A step's dialog is
// modeless, created when the step is entered and destroyed when it is left;
// Next, Back and Cancel copy the controls into TWizardState first, the caption's
// close box does not. Esc reaches Cancel through the dialog navigation.
#pragma once

#include "app/framework/dialog.h"
#include "app/wizard/wizard_host.h"
#include "app/wizard/wizard_state.h"

namespace vantor {

class TWizardStep : public TDialog {
 public:
  TWizardStep(TWindow* parent, int resourceId, TWizardHost& host, TWizardState& state)
      : TDialog(parent, resourceId), Host(host), State(state) {}

  // Creates the step's window, or brings it forward when it is up already.
  HWND Enter();

 protected:
  void Next();
  void Back();
  void CmOk() override;
  void CmCancel() override;
  void EvClose() override { CloseWindow(IDCANCEL); }

  TWizardHost& Host;
  TWizardState& State;
};

}  // namespace vantor

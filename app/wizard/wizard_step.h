// TWizardStep: the protocol every step of the wizard follows. A step's dialog is
// modeless, created when the step is entered and destroyed when it is left;
// Next, Back and Cancel copy the controls into TWizardState first, the caption's
// close box does not, then tell the wizard which way to go. Esc reaches Cancel
// through the dialog navigation.
#pragma once

#include <cstddef>
#include <string>

#include "app/framework/dialog.h"
#include "app/wizard/wizard_host.h"
#include "app/wizard/wizard_state.h"

namespace vantor {

class TWizard;

class TWizardStep : public TDialog {
 public:
  TWizardStep(TWindow* parent, int resourceId, TWizard& wizard, TWizardHost& host, TWizardState& state)
      : TDialog(parent, resourceId), Wizard(wizard), Host(host), State(state) {}

  // Creates the step's window, or brings it forward when it is up already.
  HWND Enter();

  // An action field this long takes no further token (both third steps).
  static constexpr std::size_t kFullAction = 240;

 protected:
  void Next();
  void Back();
  void CmOk() override;
  void CmCancel() override;
  void EvClose() override { CloseWindow(IDCANCEL); }

  // The third steps' shared parts. How long the action may grow for the entry
  // (signal text and action) to stay one the store keeps whole.
  std::size_t ActionRoom() const;
  // Appends `token` to `text`, the action field's text, and shows the result with
  // the caret after it, the newest token in view. A token that would make the entry
  // too long is refused whole with a beep, never cut; false then.
  bool AppendToken(const TEdit& field, std::string text, const char* token) const;
  // Shows `text` in the action field with the caret after it, the newest token in view.
  static void ShowAtEnd(const TEdit& field, const std::string& text);
  // Adds the signal text and `action` as one entry to the events list, selects it
  // and closes the step; beeps and stays when the entry would be too long.
  void FinishEntry(const std::string& action);

  TWizard& Wizard;
  TWizardHost& Host;
  TWizardState& State;
};

}  // namespace vantor

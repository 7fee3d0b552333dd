// TStep3_1: the mouse step. Each action button appends one token to the action
// field; Finish puts the learned signal in front of the field's text and adds
// the entry to the events list.
#pragma once

#include "app/resources/resource_ids.h"
#include "app/wizard/wizard_step.h"

namespace vantor {

class TStep3_1 : public TWizardStep {
 public:
  TStep3_1(TWindow* parent, TWizard& wizard, TWizardHost& host, TWizardState& state);

 protected:
  void SetupWindow() override;
  void DoDataExchange(TDataExchange& exchange) override;
  void CmOk() override;
  bool Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Append(const char* token);
  void ClearBuffer();
  void EnableFinishAndClear(bool enable) const;

  TEdit Action{this, IDC_STEP3_MOUSE_ACTION};
  TButton FinishButton{this, IDC_WIZARD_FINISH};
  TButton ClearButton{this, IDC_STEP3_MOUSE_CLEAR};
  static const TResponseTable<TStep3_1> Responses;
};

}  // namespace vantor

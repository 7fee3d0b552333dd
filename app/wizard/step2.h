// TStep2: whether the learned signal drives a mouse action or a keystroke sequence.
#pragma once

#include "app/wizard/wizard_step.h"

namespace vantor {

class TStep2 : public TWizardStep {
 public:
  TStep2(TWindow* parent, TWizard& wizard, TWizardHost& host, TWizardState& state);

 protected:
  void DoDataExchange(TDataExchange& exchange) override;
  bool Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  static const TResponseTable<TStep2> Responses;
};

}  // namespace vantor

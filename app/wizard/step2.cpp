#include "app/wizard/step2.h"

#include "app/resources/resource_ids.h"

namespace vantor {

const TResponseTable<TStep2> TStep2::Responses = {
    TResponseTable<TStep2>::Command(IDC_WIZARD_BACK, &TStep2::Back),
};

TStep2::TStep2(TWindow* parent, TWizard& wizard, TWizardHost& host, TWizardState& state)
    : TWizardStep(parent, IDD_WIZARD_STEP2, wizard, host, state) {}

void TStep2::DoDataExchange(TDataExchange& exchange) {
  exchange.Radio(IDC_STEP2_MOUSE, State.MouseKind);
  exchange.Radio(IDC_STEP2_KEYBOARD, State.KeyboardKind);
}

bool TStep2::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  return Responses.Dispatch(this, msg, wParam, lParam, result) || TWizardStep::Dispatch(msg, wParam, lParam, result);
}

}  // namespace vantor

#include "app/wizard/step3_1.h"

#include <cstdio>
#include <string>

namespace vantor {
namespace {

struct ActionButton {
  int id;
  int x, y;            // a movement: "MOVE %d %d;"
  const char* clicks;  // a click, copied as it stands; null for a movement
};

constexpr ActionButton kActionButtons[] = {
    {IDC_STEP3_MOUSE_UP, 0, -5, nullptr},
    {IDC_STEP3_MOUSE_DOWN, 0, 5, nullptr},
    {IDC_STEP3_MOUSE_LEFT, -5, 0, nullptr},
    {IDC_STEP3_MOUSE_RIGHT, 5, 0, nullptr},
    {IDC_STEP3_MOUSE_UP_LEFT, -5, -5, nullptr},
    {IDC_STEP3_MOUSE_UP_RIGHT, 5, -5, nullptr},
    {IDC_STEP3_MOUSE_DOWN_LEFT, -5, 5, nullptr},
    {IDC_STEP3_MOUSE_DOWN_RIGHT, 5, 5, nullptr},
    {IDC_STEP3_MOUSE_CLICK, 0, 0, "LEFTDOWN;LEFTUP;"},
    {IDC_STEP3_MOUSE_DOUBLE_CLICK, 0, 0, "LEFTDOWN;LEFTUP;LEFTDOWN;LEFTUP;"},
    {IDC_STEP3_MOUSE_RIGHT_CLICK, 0, 0, "RIGHTDOWN;RIGHTUP;"},
};

}  // namespace

const TResponseTable<TStep3_1> TStep3_1::Responses = {
    TResponseTable<TStep3_1>::Command(IDC_WIZARD_BACK, &TStep3_1::Back),
    TResponseTable<TStep3_1>::Command(IDC_STEP3_MOUSE_CLEAR, &TStep3_1::ClearBuffer),
};

TStep3_1::TStep3_1(TWindow* parent, TWizard& wizard, TWizardHost& host, TWizardState& state)
    : TWizardStep(parent, IDD_WIZARD_STEP3_MOUSE, wizard, host, state) {}

bool TStep3_1::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    for (const ActionButton& button : kActionButtons) {
      if (LOWORD(wParam) != button.id) continue;
      char token[40];
      if (button.clicks) std::snprintf(token, sizeof token, "%s", button.clicks);
      else std::snprintf(token, sizeof token, "MOVE %d %d;", button.x, button.y);
      Append(token);
      result = 0;
      return true;
    }
  }
  return Responses.Dispatch(this, msg, wParam, lParam, result) || TWizardStep::Dispatch(msg, wParam, lParam, result);
}

void TStep3_1::SetupWindow() {
  TWizardStep::SetupWindow();
  // Typing cannot make the entry longer than the store keeps whole either.
  Action.LimitText(static_cast<int>(ActionRoom()));
  EnableFinishAndClear(State.MouseScript[0] != '\0');
}

void TStep3_1::DoDataExchange(TDataExchange& exchange) { exchange.Text(IDC_STEP3_MOUSE_ACTION, State.MouseScript); }

void TStep3_1::EnableFinishAndClear(bool enable) const {
  FinishButton.EnableWindow(enable);
  ClearButton.EnableWindow(enable);
}

void TStep3_1::Append(const char* token) {
  EnableFinishAndClear(true);
  std::string text = Action.GetText();
  if (text.size() >= kFullAction) {
    // Owned by the step, so no further press reaches the step while it is up.
    MessageBoxExA(Handle, "buffer over flow", "Notice", MB_OK, 0);
    ClearBuffer();
    return;
  }
  AppendToken(Action, text, token);
}

void TStep3_1::ClearBuffer() {
  Action.SetText("");
  EnableFinishAndClear(false);
}

void TStep3_1::CmOk() {
  // Enter in the dialog asks for button 1 even while it is disabled.
  if (!FinishButton.IsWindowEnabled()) return;
  FinishEntry(Action.GetText());
}

}  // namespace vantor

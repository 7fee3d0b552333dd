#include "app/wizard/wizard_step.h"

#include <cstring>

#include "app/events/store_values.h"
#include "app/framework/error_box.h"
#include "app/resources/resource_ids.h"
#include "app/wizard/wizard.h"
#include "win32/bring_to_front.h"

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
  CloseWindow(IDC_WIZARD_NEXT);
  Wizard.Next();
}

void TWizardStep::Back() {
  TransferData(TTransferDirection::GetData);
  CloseWindow(IDC_WIZARD_BACK);
  Wizard.Back();
}

void TWizardStep::CmOk() {
  // Enter in the dialog asks for button 1 even while it is disabled.
  HWND next = GetDlgItem(GetHandle(), IDC_WIZARD_NEXT);
  if (next && !IsWindowEnabled(next)) return;
  Next();
}

void TWizardStep::CmCancel() {
  TransferData(TTransferDirection::GetData);
  Wizard.Cancel();
  CloseWindow(IDCANCEL);
}

std::size_t TWizardStep::ActionRoom() const {
  const std::size_t signal = strnlen(State.SignalText, sizeof State.SignalText);
  return signal < kMaxEntryLength ? kMaxEntryLength - signal : 0;
}

bool TWizardStep::AppendToken(const TEdit& field, std::string text, const char* token) const {
  text += token;
  if (text.size() > ActionRoom()) {
    MessageBeep(MB_OK);
    return false;
  }
  ShowAtEnd(field, text);
  return true;
}

void TWizardStep::ShowAtEnd(const TEdit& field, const std::string& text) {
  field.SetText(text.c_str());
  const auto end = static_cast<WPARAM>(text.size());
  SendMessageA(field.GetHandle(), EM_SETSEL, end, static_cast<LPARAM>(end));
  SendMessageA(field.GetHandle(), EM_SCROLLCARET, 0, 0);
}

void TWizardStep::FinishEntry(const std::string& action) {
  const std::string entry = std::string(State.SignalText, strnlen(State.SignalText, sizeof State.SignalText)) + action;
  // The field may hold more than fits after a longer signal learned since it was filled.
  if (entry.size() > kMaxEntryLength) {
    MessageBeep(MB_OK);
    return;
  }
  const int index = Host.LearnedEvents().Add(entry);
  if (index < 0) {
    // The list refused it: the wizard stays, with what the user built.
    ShowProgramError(kEntryRefused);
    return;
  }
  Host.SelectEntry(index);
  TransferData(TTransferDirection::GetData);
  CloseWindow(IDC_WIZARD_FINISH);
}

}  // namespace vantor

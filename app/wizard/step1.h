// TStep1: learns the signal of the new event, one code or a pair pressed one
// after the other, from the selected receiver on the GUI thread, and refuses
// codes that already begin an entry.
#pragma once

#include <string>

#include "app/receivers/receiver.h"
#include "app/resources/resource_ids.h"
#include "app/wizard/wizard_step.h"

namespace vantor {

class TStep1 : public TWizardStep {
 public:
  TStep1(TWindow* parent, TWizard& wizard, TWizardHost& host, TWizardState& state);

  // A new wizard: no first code of a pair is waiting for its second.
  void ForgetFirstCode() { AwaitingSecond = false; }

  // The longest code the receivers form: a format code of 15 characters, a
  // blank and two fields of 8 hexadecimal digits. A longer one is refused.
  static constexpr std::size_t kMaxCodeLength = 15 + 1 + 8 + 1 + 8;

 protected:
  void SetupWindow() override;
  void DoDataExchange(TDataExchange& exchange) override;
  void CmCancel() override;
  bool Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Learn();
  // One learning in the step's window `window`; it ends quietly if that window goes.
  void LearnOnce(HWND window);
  void Learned(const std::string& code, bool oneCode);
  void ShowFault(HWND window);
  void Accept();
  void RefuseDuplicate(int index);
  void Status(const char* text) const { StatusField.SetText(text); }
  // Lets the messages already queued run (the prompt gets drawn), waiting for none.
  static void ProcessWaitingMessages();

  TRadioButton OneIr{this, IDC_STEP1_ONE_IR};
  TEdit StatusField{this, IDC_STEP1_STATUS};
  TEdit Signal{this, IDC_STEP1_SIGNAL};
  TButton NextButton{this, IDC_WIZARD_NEXT};
  bool Learning = false;
  // The first code of a pair is learned; the next learning is its second.
  bool AwaitingSecond = false;
  // What the receiver writes the learned code into.
  char ReceiveText[kReceiveTextSize] = {};
  // The window a click on "&Lern Ir" came from while a learning ran; null: none.
  HWND PendingWindow = nullptr;
  static const TResponseTable<TStep1> Responses;
};

}  // namespace vantor

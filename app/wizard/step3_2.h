// TStep3_2: the keystroke recorder. Between Start and Stop every key message
// addressed to the dialog or its controls is claimed before translation and
// written as one token with its virtual key and whole key data, so Tab, Enter,
// Esc and Alt with a mnemonic are recorded instead of acting. Finish puts the
// learned signal in front of the recorded text and adds the entry.
#pragma once

#include <windows.h>

#include "app/events/key_recording.h"
#include "app/resources/resource_ids.h"
#include "app/wizard/wizard_step.h"

namespace vantor {

class TStep3_2 : public TWizardStep {
 public:
  TStep3_2(TWindow* parent, TWizard& wizard, TWizardHost& host, TWizardState& state);

  // Claims the key messages of the dialog and its controls while recording.
  bool PreProcessMsg(MSG& msg) override;

 protected:
  void SetupWindow() override;
  void DoDataExchange(TDataExchange& exchange) override;
  void CmOk() override;
  void CmCancel() override;
  bool Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Start();
  void Stop();
  void ClearBuffer();
  void GoBack();
  void Record(TKeyRecording::TKind kind, unsigned vk, unsigned data);
  void SetStatus(const char* text) const { Status.SetText(text); }

  BYTE Recording = 0;  // 1 between Start and Stop; GUI thread only
  TKeyRecording Keys;  // the keys recorded down and not yet up

  TEdit Script{this, IDC_STEP3_KEYS_SCRIPT};
  TEdit Status{this, IDC_STEP3_KEYS_STATUS};
  TButton StartButton{this, IDC_STEP3_KEYS_START};
  TButton StopButton{this, IDC_STEP3_KEYS_STOP};
  TButton ClearButton{this, IDC_STEP3_KEYS_CLEAR};
  TButton BackButton{this, IDC_WIZARD_BACK};
  TButton FinishButton{this, IDC_WIZARD_FINISH};
  TButton CancelButton{this, IDC_CANCEL};
  static const TResponseTable<TStep3_2> Responses;
};

}  // namespace vantor

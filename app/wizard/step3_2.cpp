#include "app/wizard/step3_2.h"

#include <cstdio>
#include <string>

namespace vantor {
namespace {

// One token per key message: the virtual key and the whole 32-bit key data, so
// the player can press the same key with the same scan code and extended bit.
struct KeyKind {
  UINT message;
  TKeyRecording::TKind kind;
};
constexpr KeyKind kKeyKinds[] = {
    {WM_KEYDOWN, TKeyRecording::TKind::KeyDown},
    {WM_KEYUP, TKeyRecording::TKind::KeyUp},
    {WM_SYSKEYDOWN, TKeyRecording::TKind::SysKeyDown},
    {WM_SYSKEYUP, TKeyRecording::TKind::SysKeyUp},
};

const KeyKind* KindOf(UINT message) {
  for (const KeyKind& key : kKeyKinds)
    if (key.message == message) return &key;
  return nullptr;
}

}  // namespace

const TResponseTable<TStep3_2> TStep3_2::Responses = {
    TResponseTable<TStep3_2>::Command(IDC_WIZARD_BACK, &TStep3_2::GoBack),
    TResponseTable<TStep3_2>::Command(IDC_STEP3_KEYS_START, &TStep3_2::Start),
    TResponseTable<TStep3_2>::Command(IDC_STEP3_KEYS_STOP, &TStep3_2::Stop),
    TResponseTable<TStep3_2>::Command(IDC_STEP3_KEYS_CLEAR, &TStep3_2::ClearBuffer),
};

TStep3_2::TStep3_2(TWindow* parent, TWizard& wizard, TWizardHost& host, TWizardState& state)
    : TWizardStep(parent, IDD_WIZARD_STEP3_KEYS, wizard, host, state) {}

bool TStep3_2::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  return Responses.Dispatch(this, msg, wParam, lParam, result) || TWizardStep::Dispatch(msg, wParam, lParam, result);
}

void TStep3_2::SetupWindow() {
  TWizardStep::SetupWindow();
  // Typing cannot make the entry longer than the store keeps whole either.
  Script.LimitText(static_cast<int>(ActionRoom()));
  // A recording cut short by the caption's close box does not go on here.
  Stop();
}

void TStep3_2::DoDataExchange(TDataExchange& exchange) { exchange.Text(IDC_STEP3_KEYS_SCRIPT, State.KeyScript); }

bool TStep3_2::PreProcessMsg(MSG& msg) {
  // Anything else, and every key while not recording, goes on to the dialog
  // navigation and the ordinary dispatch.
  const KeyKind* key = Recording ? KindOf(msg.message) : nullptr;
  if (!key || !Handle || (msg.hwnd != Handle && !IsChild(Handle, msg.hwnd))) return false;
  Record(key->kind, static_cast<unsigned>(msg.wParam), static_cast<unsigned>(static_cast<DWORD>(msg.lParam)));
  // Claimed: not translated, so no character and no navigation comes of it.
  return true;
}

void TStep3_2::Record(TKeyRecording::TKind kind, unsigned vk, unsigned data) {
  std::string text = Script.GetText();
  if (text.size() < kFullAction) {
    switch (Keys.Add(text, ActionRoom(), kind, vk, data)) {
      case TKeyRecording::TOutcome::Swallowed:
        return;
      case TKeyRecording::TOutcome::Appended:
        ShowAtEnd(Script, text);
        SetStatus("Strike Keyboard and Push stop button!");
        ClearButton.EnableWindow(true);
        return;
      case TKeyRecording::TOutcome::Full:
        break;
    }
  }
  // Full, or this key with the key-ups it needs would not fit: every further key
  // is swallowed until Clear, the one way on.
  SetStatus("Buffer over flow! Push clear button!");
  ClearButton.EnableWindow(true);
  StopButton.EnableWindow(false);
}

void TStep3_2::Start() {
  Recording = 1;
  Keys.Begin();
  // The focus first: a disabled button that holds it leaves the dialog without one.
  SendMessageA(Handle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Script.GetHandle()), TRUE);
  StartButton.EnableWindow(false);
  StopButton.EnableWindow(true);
  FinishButton.EnableWindow(false);
  BackButton.EnableWindow(false);
  CancelButton.EnableWindow(false);
  SetStatus("Strike Keyboard!");
}

void TStep3_2::Stop() {
  if (Recording) {
    // Keys still down get their key-ups: a recording never leaves a key pressed.
    std::string text = Script.GetText();
    const std::size_t recorded = text.size();
    Keys.ReleaseAll(text, ActionRoom());
    if (text.size() != recorded) ShowAtEnd(Script, text);
  }
  Recording = 0;
  StartButton.EnableWindow(true);
  StopButton.EnableWindow(false);
  BackButton.EnableWindow(true);
  CancelButton.EnableWindow(true);
  const bool recorded = !Script.GetText().empty();
  FinishButton.EnableWindow(recorded);
  ClearButton.EnableWindow(recorded);
  SetStatus(recorded ? "Good!" : "Push start button!");
}

void TStep3_2::ClearBuffer() {
  Keys.Begin();
  Script.SetText("");
  Stop();
  ClearButton.EnableWindow(false);
}

void TStep3_2::GoBack() {
  Stop();
  Back();
}

void TStep3_2::CmCancel() {
  Stop();
  TWizardStep::CmCancel();
}

void TStep3_2::CmOk() {
  // Enter in the dialog asks for button 1 even while it is disabled.
  if (!FinishButton.IsWindowEnabled()) return;
  Stop();
  FinishEntry(Script.GetText());
}

}  // namespace vantor

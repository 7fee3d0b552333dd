#include "app/wizard/step3_2.h"

#include <cstdio>
#include <string>

namespace vantor {
namespace {

// One token per key message: the virtual key and the whole 32-bit key data, so
// the player can press the same key with the same scan code and extended bit.
struct KeyFormat {
  UINT message;
  const char* format;
};

constexpr KeyFormat kKeyFormats[] = {
    {WM_KEYDOWN, "KEYDOWN %x %x;"},
    {WM_KEYUP, "KEYUP %x %x;"},
    {WM_SYSKEYDOWN, "SYSKEYDOWN %x %x;"},
    {WM_SYSKEYUP, "SYSKEYUP %x %x;"},
};

const KeyFormat* FormatOf(UINT message) {
  for (const KeyFormat& key : kKeyFormats)
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

TStep3_2::TStep3_2(TWindow* parent, TWizardHost& host, TWizardState& state)
    : TWizardStep(parent, IDD_WIZARD_STEP3_KEYS, host, state) {}

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
  const KeyFormat* key = Recording ? FormatOf(msg.message) : nullptr;
  if (!key || !Handle || (msg.hwnd != Handle && !IsChild(Handle, msg.hwnd))) return false;
  char token[48];
  std::snprintf(token, sizeof token, key->format, static_cast<unsigned>(msg.wParam),
                static_cast<unsigned>(static_cast<DWORD>(msg.lParam)));
  Record(token);
  // Claimed: not translated, so no character and no navigation comes of it.
  return true;
}

void TStep3_2::Record(const char* token) {
  std::string text = Script.GetText();
  if (text.size() >= kFullAction) {
    // Full: every further key is swallowed until Clear, the one way on.
    SetStatus("Buffer over flow! Push clear button!");
    ClearButton.EnableWindow(true);
    StopButton.EnableWindow(false);
    return;
  }
  if (!AppendToken(Script, text, token)) return;
  SetStatus("Strike Keyboard and Push stop button!");
  ClearButton.EnableWindow(true);
}

void TStep3_2::Start() {
  Recording = 1;
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

#include "app/wizard/step1.h"

#include <cstring>

#include "app/events/sig_catch.h"
#include "app/framework/application.h"

namespace vantor {
namespace {
constexpr char kGood[] = "Good!";
constexpr std::size_t kFieldSize = 255;  // the status and signal fields, with the terminator
}  // namespace

const TResponseTable<TStep1> TStep1::Responses = {
    TResponseTable<TStep1>::Command(IDC_STEP1_LEARN, &TStep1::Learn),
};

TStep1::TStep1(TWindow* parent, TWizard& wizard, TWizardHost& host, TWizardState& state)
    : TWizardStep(parent, IDD_WIZARD_STEP1, wizard, host, state) {}

bool TStep1::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  return Responses.Dispatch(this, msg, wParam, lParam, result) || TWizardStep::Dispatch(msg, wParam, lParam, result);
}

void TStep1::SetupWindow() {
  TWizardStep::SetupWindow();
  StatusField.LimitText(kFieldSize - 1);
  Signal.LimitText(kFieldSize - 1);
  // Next only after a learning that ended well, also when coming back to this step.
  NextButton.EnableWindow(std::strncmp(State.LearnStatus, kGood, sizeof State.LearnStatus) == 0);
}

void TStep1::DoDataExchange(TDataExchange& exchange) {
  exchange.Radio(IDC_STEP1_ONE_IR, State.OneIr);
  exchange.Radio(IDC_STEP1_TWO_IR, State.TwoIr);
  exchange.Text(IDC_STEP1_STATUS, State.LearnStatus);
  exchange.Text(IDC_STEP1_SIGNAL, State.SignalText);
}

void TStep1::CmCancel() {
  Status("");
  Signal.SetText("");
  TWizardStep::CmCancel();
}

void TStep1::ProcessWaitingMessages() { TApplication::ProcessQueued(); }

void TStep1::Learn() {
  // A click that arrives while the waiting messages are processed must not start
  // a learning inside this one: it runs once this one has ended, and only in the
  // window it was made in, not in a step opened since.
  if (Learning) {
    PendingWindow = GetHandle();
    return;
  }
  Learning = true;
  for (HWND window = GetHandle(); window;) {
    PendingWindow = nullptr;
    LearnOnce(window);
    window = PendingWindow && PendingWindow == GetHandle() ? PendingWindow : nullptr;
  }
  Learning = false;
}

void TStep1::LearnOnce(HWND window) {
  // Asked for from inside the options dialog: it has the receivers, and stays in front.
  if (Host.OptionsHaveReceivers()) return;
  NextButton.EnableWindow(false);
  const bool oneCode = OneIr.GetCheck();
  Status(oneCode ? "Fire remocon signal!" : AwaitingSecond ? "Fire 2nd. signal!" : "Fire 1st. signal!");
  ProcessWaitingMessages();
  // The user may have closed the step while the prompt was drawn.
  if (GetHandle() != window) return;

  // The receiver choice as it stands now: a queued "&Option" may just have changed it.
  TReceiver* receiver = Host.ChosenReceiver();
  if (!receiver) return;
  if (!Host.BorrowReceivers()) {
    // The watcher still holds the receiver: nothing was received, nothing to reset.
    ShowFault(window);
    return;
  }
  char* received = ReceiveText;
  if (!receiver->Learn(received, kReceiveTextSize)) {
    // A lost port is put right before the user hears of the fault.
    if (receiver->LineGone()) Host.PortOptionsForLearning();
    Host.ReturnReceivers();
    ShowFault(window);
    return;
  }
  Host.PlayStartSound();
  std::size_t length = 0;
  while (length < static_cast<std::size_t>(kReceiveTextSize) && received[length]) ++length;
  const std::string code(received, length);
  Host.ReturnReceivers();
  // A code too long would be cut, and so be some other button's code.
  if (length > kMaxCodeLength) ShowFault(window);
  else if (GetHandle() == window) Learned(code, oneCode);
}

void TStep1::Learned(const std::string& code, bool oneCode) {
  const TLearnedEvents& list = Host.LearnedEvents();
  if (oneCode || AwaitingSecond) {
    std::string signal = code + ";";
    if (!oneCode) {
      signal = Signal.GetText() + signal;
      if (signal.size() > kFieldSize - 1) {
        ShowFault(GetHandle());
        return;
      }
    }
    AwaitingSecond = false;
    Signal.SetText(signal.c_str());
    int found = list.FindPrefix(signal.c_str());
    if (found < 0) Accept();
    else RefuseDuplicate(found);
    return;
  }

  // First code of a pair. A code that begins a pair whose second code has the
  // same format may begin another pair; one in use on its own may not.
  const std::string probe = code + ";";
  Signal.SetText(probe.c_str());
  int found = list.FindPrefix(probe.c_str());
  if (found >= 0 && list.FindPrefix((probe + code.substr(0, 3)).c_str()) < 0) {
    RefuseDuplicate(found);
    return;
  }
  AwaitingSecond = true;
  Status("Lern 2nd. signal!");
}

void TStep1::Accept() {
  Status(kGood);
  NextButton.EnableWindow(true);
}

void TStep1::RefuseDuplicate(int index) {
  Status("This signal is already registed!");
  Host.PointAtEntry(index);
}

void TStep1::ShowFault(HWND window) {
  // A failure while waiting for the second code discards the first.
  if (GetHandle() == window) {
    Status("Fault!");
    Signal.SetText("");
  }
  ProcessWaitingMessages();
  AwaitingSecond = false;
}

}  // namespace vantor

#include "app/events/sig_catch.h"

#include <cstring>
#include <utility>

#include "app/events/action_player.h"
#include "app/events/signal_matcher.h"

namespace vantor {
namespace {

constexpr UINT kRunPortOptions = WM_APP + 1;
constexpr char kGuiClass[] = "VantorWatcherGui";
// With neither receiver chosen there is nothing to read; look at the flags now and then.
constexpr DWORD kNoReceiverWaitMs = 100;

}  // namespace

TSigCatch::~TSigCatch() {
  if (GuiWindow) DestroyWindow(GuiWindow);
  if (ProcedureDone) CloseHandle(ProcedureDone);
  DeleteCriticalSection(&Handover);
}

void TSigCatch::UseEvents(const TEventListModel& events) {
  EnterCriticalSection(&Handover);
  NextEvents = events;
  HasNextEvents = true;
  LeaveCriticalSection(&Handover);
}

LRESULT CALLBACK TSigCatch::GuiProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  if (msg == kRunPortOptions) {
    auto* self = reinterpret_cast<TSigCatch*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self) {
      self->Host->PortOptionsProcedure();
      SetEvent(self->ProcedureDone);
    }
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool TSigCatch::Start() {
  HINSTANCE module = GetModuleHandleA(nullptr);
  static const ATOM kClass = [module] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = GuiProc;
    wc.hInstance = module;
    wc.lpszClassName = kGuiClass;
    return RegisterClassA(&wc);
  }();
  if (!GuiWindow && kClass)
    GuiWindow = CreateWindowExA(0, kGuiClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, this);
  if (!ProcedureDone) ProcedureDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!GuiWindow || !ProcedureDone) return false;
  return TThread::Start();
}

void TSigCatch::Interrupt() {
  // Every receive step is back within ByteWaitMs; a break makes one return before it waits.
  if (TReceiver* receiver = Host->ChosenReceiver()) receiver->BreakWait();
}

void TSigCatch::PortLost() {
  // The options dialog belongs to the GUI thread; this one waits, and may be
  // paused meanwhile (the window shown from the tray while the dialog is up).
  PostMessageA(GuiWindow, kRunPortOptions, 0, 0);
  for (;;) {
    WaitResult result = WaitSafely(ProcedureDone, INFINITE);
    if (result != WaitResult::PauseAsked) return;
    PausePoint();
  }
}

void TSigCatch::DiscardQueuedInput() {
  if (TReceiver* receiver = Host->ChosenReceiver()) receiver->DropQueuedInput();
}

int TSigCatch::Run() {
  // Held on this thread for its whole life: survives suspension and resumption.
  TMatchState state;
  const TEventListModelView list(Events);
  for (;;) {
    if (PausePoint()) DiscardQueuedInput();
    EnterCriticalSection(&Handover);
    if (HasNextEvents) {
      Events = std::move(NextEvents);
      HasNextEvents = false;
    }
    LeaveCriticalSection(&Handover);
    char* text = ReceiveText;
    std::memset(text, 0, kReceiveTextSize);
    TReceiver* receiver = Host->ChosenReceiver();
    if (!receiver) {
      WaitSafely(nullptr, kNoReceiverWaitMs);  // neither receiver chosen: nothing to read
      continue;
    }
    const TReceived got = receiver->Wait(text, kReceiveTextSize, ByteWaitMs);
    if (got == TReceived::Press || got == TReceived::Held) {
      text[kReceiveTextSize - 1] = '\0';
      TMatchResult match = MatchCode(state, text, list, got == TReceived::Held);
      if (match.action == TMatchAction::Play) PlayAction(Events.Text(match.index).c_str());
      continue;
    }
    if (got == TReceived::Failed) {
      // The first code of a pair does not wait across a lost receiver: the
      // next press after it comes back begins afresh.
      state = TMatchState{};
      PortLost();
    }
  }
}

}  // namespace vantor

#include "app/events/sig_catch.h"

#include <atomic>
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
  // Both receive steps are back within ByteWaitMs; this makes the IrDA-SIR one
  // return before it waits.
  if (Host->PortOptions().UseKestrel) std::atomic_ref<BYTE>(Host->Kestrel().BreakRequested).store(1);
}

bool TSigCatch::Receive(BOOL* got) {
  const PortOptionsRecord& ports = Host->PortOptions();
  char* text = Host->GetReceiveText();
  if (ports.UseKestrel) {
    TKestrel& kestrel = Host->Kestrel();
    std::memset(kestrel.CodePrefix, 0, sizeof kestrel.CodePrefix);
    std::strncpy(kestrel.CodePrefix, Host->RcFormatCode(), sizeof kestrel.CodePrefix - 1);
    // Read between presses: a frame is played as soon as it ends, and again while held.
    *got = kestrel.KestrelWaitRemoconSignal(kReceiveTextSize, text, ByteWaitMs);
    return true;
  }
  if (ports.UsePellow) {
    *got = Host->Pellow().PellowWaitRemoconSignal2(kReceiveTextSize, text, ByteWaitMs);
    return true;
  }
  return false;
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
  const PortOptionsRecord& ports = Host->PortOptions();
  if (ports.UseKestrel || !ports.UsePellow) return;  // the IrDA-SIR step starts afresh after a pause
  HANDLE port = Host->Pellow().PortHandle;
  if (port != INVALID_HANDLE_VALUE) PurgeComm(port, PURGE_RXCLEAR);
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
    char* text = Host->GetReceiveText();
    std::memset(text, 0, kReceiveTextSize);
    BOOL got = FALSE;
    if (!Receive(&got)) {
      WaitSafely(nullptr, kNoReceiverWaitMs);  // neither receiver chosen: nothing to read
      continue;
    }
    if (got) {
      text[kReceiveTextSize - 1] = '\0';
      TMatchResult match = MatchCode(state, text, list, got == TKestrel::KestrelHeld);
      if (match.action == TMatchAction::Play) PlayAction(Events.Text(match.index).c_str());
      continue;
    }
    // A zero result: only the receiver that was called can have closed its port.
    HANDLE port = Host->PortOptions().UseKestrel ? Host->Kestrel().PortHandle : Host->Pellow().PortHandle;
    if (port == INVALID_HANDLE_VALUE) {
      // The first code of a pair does not wait across a lost receiver: the
      // next press after it comes back begins afresh.
      state = TMatchState{};
      PortLost();
    }
  }
}

}  // namespace vantor

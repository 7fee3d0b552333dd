#include "app/events/sig_catch.h"

#include <cstring>
#include <string>

#include <mmsystem.h>

#include "app/events/action_player.h"
#include "app/events/signal_matcher.h"

namespace vantor {
namespace {

// The IR55 receiver sends a key as its code byte and, one byte time (8.3 ms at
// 1200 baud) later, the 0x55 that completes the report. An idle port is looked at
// every kIdleLookMs, which costs little and still sees a code byte before its
// 0x55 arrives; once a byte has come, the port is looked at every millisecond for
// a while, so the report is played without adding delay.
constexpr DWORD kIdleLookMs = 8;
constexpr DWORD kActiveLookMs = 1;
constexpr DWORD kActiveForMs = 100;
constexpr DWORD kMaxWaitMs = 100;
// With neither receiver chosen there is nothing to read; look at the flags now and then.
constexpr DWORD kNoReceiverWaitMs = 100;

class ComboView final : public TEventListView {
 public:
  explicit ComboView(const TComboBox& list) : list_(list) {}
  int FindPrefix(const char* prefix) const override { return list_.FindString(prefix); }

 private:
  const TComboBox& list_;
};

}  // namespace

bool TSigCatch::Receive(BOOL* got) {
  const PortOptionsRecord& ports = Host->PortOptions();
  char* text = Host->ReceiveText();
  if (ports.UseKestrel) {
    TKestrel& kestrel = Host->Kestrel();
    std::memset(kestrel.CodePrefix, 0, sizeof kestrel.CodePrefix);
    std::strncpy(kestrel.CodePrefix, Host->RcFormatCode(), sizeof kestrel.CodePrefix - 1);
    *got = kestrel.KestrelGetRemoconSignal(kReceiveTextSize, text);
    return true;
  }
  if (ports.UsePellow) {
    *got = Host->Pellow().PellowGetRemoconSignal2(kReceiveTextSize, text);
    return true;
  }
  return false;
}

void TSigCatch::WaitForPellowByte(bool byteTaken) {
  if (byteTaken) LastActivity = GetTickCount();
  HANDLE port = Host->Pellow().PortHandle;
  // Look at the driver's queue only (one cheap call), until a byte is there or
  // kMaxWaitMs pass; then the next receive call reads it, or finds a failed port.
  for (DWORD waited = 0; waited < kMaxWaitMs;) {
    // Only the queue count is wanted: the port's error state is of no use to the library.
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(port, &errors, &status) || status.cbInQue > 0) return;
    DWORD pause = GetTickCount() - LastActivity < kActiveForMs ? kActiveLookMs : kIdleLookMs;
    Sleep(pause);
    waited += pause;
  }
}

int TSigCatch::Run() {
  // Held on this thread for its whole life: survives suspension and resumption.
  TMatchState state;
  ComboView list(Host->EventsList());
  // Sleep(1) must mean about a millisecond on Windows too, not a 15.6 ms tick.
  timeBeginPeriod(1);
  for (;;) {
    char* text = Host->ReceiveText();
    std::memset(text, 0, kReceiveTextSize);
    // The stream step reports only complete keys; a change of its state tells that
    // it took a byte without reporting one.
    const TPellow& pellow = Host->Pellow();
    int lastByte = pellow.LastByte;
    BYTE pressFlag = pellow.PressFlag;
    BOOL got = FALSE;
    if (!Receive(&got)) {
      Sleep(kNoReceiverWaitMs);  // neither receiver chosen: nothing to read
      continue;
    }
    if (got) {
      LastActivity = GetTickCount();
      text[kReceiveTextSize - 1] = '\0';
      TMatchResult match = MatchCode(state, text, list);
      if (match.action == TMatchAction::Play) {
        // The whole entry, however long: entries loaded from the registry may
        // exceed the 255 characters the wizard and the edit field allow.
        std::string entry = Host->EventsList().GetString(match.index);
        PlayAction(entry.c_str());
      }
      continue;
    }
    // A zero result: only the receiver that was called can have closed its port.
    const PortOptionsRecord& ports = Host->PortOptions();
    if (ports.UseKestrel) {
      if (Host->Kestrel().PortHandle == INVALID_HANDLE_VALUE) Host->PortOptionsProcedure();
    } else if (Host->Pellow().PortHandle == INVALID_HANDLE_VALUE) {
      Host->PortOptionsProcedure();
    } else {
      WaitForPellowByte(pellow.LastByte != lastByte || pellow.PressFlag != pressFlag);
    }
  }
}

}  // namespace vantor

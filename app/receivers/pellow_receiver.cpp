#include "app/receivers/pellow_receiver.h"

#include <cstring>

namespace vantor {

void TPellowReceiver::Close() {
  if (!LineGone()) Library.Close();
}

bool TPellowReceiver::Learn(char* text, int size) {
  if (!text || size < kMinCodeTextSize) return false;
  std::memset(text, 0, size);
  // Every IR55 code is of the one format.
  std::strcpy(Library.CodePrefix, "LW");
  return Library.PellowGetRemoconSignal(size, text) != FALSE;
}

TReceived TPellowReceiver::Wait(char* text, int size, DWORD waitMs) {
  if (!text || size < kMinCodeTextSize) return TReceived::Nothing;
  // A held button sends 0x52, then its code byte again and again until 0x55: the
  // first report after 0x52 is the press, the later ones of that run the button held.
  const bool runBefore = Library.PressFlag != 0;
  const BOOL got = Library.PellowWaitRemoconSignal2(size, text, waitMs);
  const bool run = Library.PressFlag != 0;
  if (!run || !runBefore) ReportedInRun = false;
  if (got) {
    const bool held = run && ReportedInRun;
    ReportedInRun = run;
    return held ? TReceived::Held : TReceived::Press;
  }
  return LineGone() ? TReceived::Failed : TReceived::Nothing;
}

void TPellowReceiver::DropQueuedInput() {
  if (!LineGone()) PurgeComm(Library.PortHandle, PURGE_RXCLEAR);
}

}  // namespace vantor

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
  if (Library.PellowWaitRemoconSignal2(size, text, waitMs)) return TReceived::Press;
  return LineGone() ? TReceived::Failed : TReceived::Nothing;
}

void TPellowReceiver::DropQueuedInput() {
  if (!LineGone()) PurgeComm(Library.PortHandle, PURGE_RXCLEAR);
}

}  // namespace vantor

#include "app/receivers/receivers.h"

namespace vantor {

TReceiver* TReceivers::Chosen() {
  if (UseKestrel) return &Kestrel;
  if (UsePellow) return &Pellow;
  return nullptr;
}

void TReceivers::CloseBoth() {
  Kestrel.Close();
  Pellow.Close();
}

}  // namespace vantor

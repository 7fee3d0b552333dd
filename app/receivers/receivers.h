// TReceivers: both receivers, and the one place that says which of them the
// options chose. The choice is read at every call: the options may change it
// between two calls.
#pragma once

#include <cstdint>

#include "app/receivers/kestrel_receiver.h"
#include "app/receivers/pellow_receiver.h"

namespace vantor {

class TReceivers {
 public:
  // The options' two receiver flags (PortOptionsRecord::UseKestrel and UsePellow)
  // and the stored format code, all read where they live.
  TReceivers(const std::int32_t& useKestrel, const std::int32_t& usePellow, char (&formatCode)[16])
      : Kestrel(formatCode), UseKestrel(useKestrel), UsePellow(usePellow) {}

  // The IrDA-SIR receiver when its flag is set, else the IR55 one when its flag
  // is; null when neither is.
  TReceiver* Chosen();
  // Lets both ports go before another is opened, and when the program ends.
  void CloseBoth();

  TKestrelReceiver Kestrel;
  TPellowReceiver Pellow;

 private:
  const std::int32_t& UseKestrel;
  const std::int32_t& UsePellow;
};

}  // namespace vantor

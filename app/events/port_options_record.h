// The receiver and COM port choice, shared by the settings store, the options
// dialog and the main window. The options dialog transfers its six radio buttons
// into it in this field order, so the order is part of the layout.
#pragma once

#include <cstdint>

namespace vantor {

struct PortOptionsRecord {
  std::int32_t UseCom2 = 0;
  std::int32_t UseCom4 = 0;
  std::int32_t UsePellow = 0;
  std::int32_t UseKestrel = 0;
  std::int32_t UseCom1 = 0;
  std::int32_t UseCom3 = 0;
};

}  // namespace vantor

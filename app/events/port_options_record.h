// The receiver and COM port choice, shared by the settings store, the options
// dialog and the main window. The field order is the record's fixed layout; the
// options dialog binds each radio button to its field by id.
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

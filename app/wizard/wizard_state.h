// TWizardState: the wizard's one program-wide record. It outlives the step
// dialogs, so Back and a re-opened step show what was entered before.
#pragma once

#include <cstdint>

namespace vantor {

struct TWizardState {
  std::int32_t OneIr = 0;
  char LearnStatus[255] = {};
  std::int32_t TwoIr = 0;
  char SignalText[255] = {};
  std::int32_t MouseKind = 0;
  std::int32_t KeyboardKind = 0;
  char KeyScript[255] = {};
  char MouseScript[255] = {};

  // The values a new wizard starts from.
  void Start() { *this = TWizardState{.OneIr = 1, .MouseKind = 1}; }
};

}  // namespace vantor

// The watcher's decisions for each received code: drop it, hold it as the first
// code of a pair, or play an entry. Works over any list that offers the two
// operations the events list control offers (first item from the top that
// begins with a text, letters compared without case; the text of item i), so it
// is tested here without windows and used by TSigCatch on the real control.
#pragma once

#include <cstddef>

namespace vantor {

class TEventListView {
 public:
  // Index of the first item from the top that begins with `prefix` (without
  // regard to case), or a negative value.
  virtual int FindPrefix(const char* prefix) const = 0;

 protected:
  ~TEventListView() = default;
};

// The watcher's working state, kept across cycles and across suspension.
struct TMatchState {
  static constexpr std::size_t kTextSize = 256;
  char PendingFirst[kTextSize] = {};  // first code and ";" while a pair is half received
  bool Pending = false;
  // The last new press played a one-signal entry: a held button plays it again.
  bool HeldPlays = false;
};

enum class TMatchAction {
  Drop,  // nothing matches: nothing is played
  Hold,  // the first code of a pair: wait for the second
  Play,  // play the entry at `index`
};

struct TMatchResult {
  TMatchAction action = TMatchAction::Drop;
  int index = -1;
  // For Play: the text the entry at `index` was found to begin with.
  char searched[TMatchState::kTextSize] = {};
};

// Decides what a received code does, updating the state. `held`: the code is the
// same button still held since its last report. It plays a one-signal entry again,
// and is nothing else: a held first button of a pair is not its second, and a
// held second button does not begin another pair.
TMatchResult MatchCode(TMatchState& state, const char* code, const TEventListView& list, bool held = false);

}  // namespace vantor

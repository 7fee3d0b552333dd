#include "app/events/signal_matcher.h"

#include <cstdio>
#include <cstring>

namespace vantor {
namespace {

void ClearPending(TMatchState& state) {
  std::memset(state.PendingFirst, 0, sizeof state.PendingFirst);
  state.Pending = false;
}

}  // namespace

TMatchResult MatchCode(TMatchState& state, const char* code, const TEventListView& list, bool held) {
  TMatchResult result;
  if (held && !state.HeldPlays) return result;
  state.HeldPlays = false;
  if (!state.Pending) {
    result.index = list.FindPrefix(code);
    if (result.index < 0) {
      ClearPending(state);
      return result;
    }
    // Does some entry have this code first and a code of the same format second?
    // The first three characters of a code are its format and the blank after it.
    char probe[TMatchState::kTextSize];
    int n = std::snprintf(probe, sizeof probe, "%s;%.3s", code, code);
    bool fits = n >= 0 && static_cast<std::size_t>(n) < sizeof probe;
    if (fits && list.FindPrefix(probe) >= 0) {
      std::snprintf(state.PendingFirst, sizeof state.PendingFirst, "%s;", code);
      state.Pending = true;
      result.action = TMatchAction::Hold;
      result.index = -1;
      return result;
    }
    ClearPending(state);
    result.action = TMatchAction::Play;
    state.HeldPlays = true;
    std::snprintf(result.searched, sizeof result.searched, "%s", code);
    return result;
  }

  // The second code completes the pair, or both are dropped.
  std::size_t used = std::strlen(state.PendingFirst);
  int n = std::snprintf(state.PendingFirst + used, sizeof state.PendingFirst - used, "%s;", code);
  bool fits = n >= 0 && used + static_cast<std::size_t>(n) < sizeof state.PendingFirst;
  result.index = fits ? list.FindPrefix(state.PendingFirst) : -1;
  result.action = result.index >= 0 ? TMatchAction::Play : TMatchAction::Drop;
  if (result.index >= 0) std::memcpy(result.searched, state.PendingFirst, sizeof result.searched);
  ClearPending(state);
  return result;
}

}  // namespace vantor

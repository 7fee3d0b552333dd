#include "app/events/signal_matcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/events/event_list_model.h"

namespace vantor {
namespace {

// The learned list as the matcher sees it, counting the searches.
class SortedList final : public TEventListView {
 public:
  SortedList(std::initializer_list<std::string> items) {
    for (const std::string& item : items) Model.Add(item);
  }
  int FindPrefix(const char* prefix) const override {
    ++searches;
    return TEventListModelView(Model).FindPrefix(prefix);
  }
  const std::string& operator[](int i) const { return Model.Text(i); }
  mutable int searches = 0;

 private:
  TEventListModel Model;
};

// Feeds codes in turn; returns the entries played, in order. A code written
// "+LW 00 41" is that button still held.
std::vector<std::string> Feed(const SortedList& list, TMatchState& state, std::initializer_list<const char*> codes) {
  std::vector<std::string> played;
  for (const char* code : codes) {
    const bool held = code[0] == '+';
    TMatchResult r = MatchCode(state, code + (held ? 1 : 0), list, held);
    if (r.action == TMatchAction::Play) played.push_back(list[r.index]);
  }
  return played;
}

const char kClick[] = "LW 00 41;LEFTDOWN;LEFTUP;";
const char kPairUp[] = "LW 00 41;LW 00 42;MOVE 0 -5;";

TEST(SignalMatcher, OneSignalEntriesPlayOnEveryReportInAnyCase) {
  SortedList list{kClick};
  TMatchState state;
  EXPECT_EQ(Feed(list, state, {"LW 00 41", "lw 00 41", "LW 00 41"}), (std::vector<std::string>(3, kClick)));
  EXPECT_FALSE(state.Pending);
}

TEST(SignalMatcher, APairPlaysOnceAndAWrongSecondCodeDropsBoth) {
  SortedList list{kPairUp};
  TMatchState state;
  EXPECT_EQ(Feed(list, state, {"LW 00 41", "LW 00 42"}), std::vector<std::string>{kPairUp});
  EXPECT_TRUE(Feed(list, state, {"LW 00 41", "LW 00 43"}).empty());
  EXPECT_FALSE(state.Pending);
  // The dropped second code is not tried as a first code, and a lone second code plays nothing.
  EXPECT_TRUE(Feed(list, state, {"LW 00 42"}).empty());
  EXPECT_EQ(std::string(state.PendingFirst), "");
}

TEST(SignalMatcher, AHeldButtonRepeatsOnlyAOneSignalEntry) {
  const char kPairDown[] = "LW 00 42;LW 00 43;MOVE 0 5;";
  SortedList list{kClick, kPairUp, "LW 00 44;MOVE 5 0;", kPairDown};
  TMatchState state;
  EXPECT_EQ(Feed(list, state, {"LW 00 44", "+LW 00 44", "+LW 00 44"}),
            (std::vector<std::string>(3, "LW 00 44;MOVE 5 0;")));
  // The first button of a pair held: still its first, however long.
  EXPECT_EQ(Feed(list, state, {"LW 00 41", "+LW 00 41", "+LW 00 41", "LW 00 42"}), std::vector<std::string>{kPairUp});
  // The second held: the pair once, and the held code begins no other pair.
  EXPECT_EQ(Feed(list, state, {"LW 00 41", "LW 00 42", "+LW 00 42", "LW 00 44"}),
            (std::vector<std::string>{kPairUp, "LW 00 44;MOVE 5 0;"}));
  // Held after a code that played nothing: nothing.
  EXPECT_TRUE(Feed(list, state, {"LW 00 99", "+LW 00 99"}).empty());
  EXPECT_FALSE(state.Pending);
}

TEST(SignalMatcher, APairWinsOverAOneSignalEntryWithTheSameFirstCode) {
  SortedList list{kClick, kPairUp};
  TMatchState state;
  TMatchResult r = MatchCode(state, "LW 00 41", list);
  EXPECT_EQ(r.action, TMatchAction::Hold);
  EXPECT_STREQ(state.PendingFirst, "LW 00 41;");
  EXPECT_EQ(Feed(list, state, {"LW 00 42"}), std::vector<std::string>{kPairUp});
}

TEST(SignalMatcher, APendingFirstCodeWaitsAsLongAsItTakes) {
  SortedList list{kPairUp};
  TMatchState state;
  MatchCode(state, "LW 00 41", list);
  TMatchState kept = state;  // cycles without a code and suspension leave the state alone
  EXPECT_EQ(Feed(list, kept, {"lw 00 42"}), std::vector<std::string>{kPairUp});
}

TEST(SignalMatcher, UnknownCodesAreDroppedWithOneSearch) {
  SortedList list{kClick, kPairUp};
  TMatchState state;
  TMatchResult r = MatchCode(state, "LW 00 7f", list);
  EXPECT_EQ(r.action, TMatchAction::Drop);
  EXPECT_FALSE(state.Pending);
  EXPECT_EQ(list.searches, 1);
}

TEST(SignalMatcher, PrefixesOfLongerCodesAndTheFirstInListOrderWin) {
  SortedList list{"NE 00 4101;MOVE 1 0;", "NE 00 41;MOVE 2 0;"};
  TMatchState state;
  // "NE 00 41" begins both: the one the list holds first is played.
  EXPECT_EQ(Feed(list, state, {"NE 00 41"}), std::vector<std::string>{list[0]});
  EXPECT_EQ(Feed(list, state, {"NE 00 410"}), std::vector<std::string>{"NE 00 4101;MOVE 1 0;"});
}

TEST(SignalMatcher, ASecondCodeOfAnotherFormatDoesNotOpenAPair) {
  // The probe asks for a second code of the same format: "SO" after "LW" does not count.
  SortedList list{"LW 00 41;SO 01 01;MOVE 0 1;"};
  TMatchState state;
  EXPECT_EQ(MatchCode(state, "LW 00 41", list).action, TMatchAction::Play);
}

TEST(SignalMatcher, OverlongCodesNeverOverrunTheState) {
  SortedList list{kPairUp};
  TMatchState state;
  std::string huge(4000, 'L');
  EXPECT_EQ(MatchCode(state, huge.c_str(), list).action, TMatchAction::Drop);
  MatchCode(state, "LW 00 41", list);
  ASSERT_TRUE(state.Pending);
  EXPECT_EQ(MatchCode(state, huge.c_str(), list).action, TMatchAction::Drop);
  EXPECT_FALSE(state.Pending);
  EXPECT_EQ(std::string(state.PendingFirst), "");
}

}  // namespace
}  // namespace vantor

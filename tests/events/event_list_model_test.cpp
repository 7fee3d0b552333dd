// The learned list without a window. The orders are the ones the system's sorted
// combo box gave the same texts on the bench, added in the same order.
#include "app/events/event_list_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantor {
namespace {

TEST(EventListModel, SortsAsTheSystemsListFindsByPrefixAndKeepsItsIndexes) {
  struct Case {
    std::vector<const char*> added;
    bool stored;  // added as the store loads them
    int deleted;  // index deleted afterwards, -1 none
    std::vector<const char*> held;
    const char* prefix;
    int found;
  };
  const Case cases[] = {
      {{"SO 01 15;CLICK;", "LW 00 41;MOVE 0 -5;", "NE 00 41;MOVE 0 5;"}, false, -1,
       {"LW 00 41;MOVE 0 -5;", "NE 00 41;MOVE 0 5;", "SO 01 15;CLICK;"}, "ne 00 41", 1},
      // Letters without case; an equal text goes before the one already there.
      {{"LW 00 41;B", "LW 00 4;A", "lw 00 41;a", "LW 00 41;A", "LW 00 0A;", "LW 00 0a;", "LW 00 0A;1"}, false, -1,
       {"LW 00 0a;", "LW 00 0A;", "LW 00 0A;1", "LW 00 4;A", "LW 00 41;A", "lw 00 41;a", "LW 00 41;B"}, "lw 00 41", 4},
      // Punctuation before digits before letters; codes of eight digits after two.
      {{"LW 00 FF;", "LW 00 FFFFFF80;", "LW 00 ff;X", "a;b", "a1b", "ab", "a b", "A~B", "a_b", "1", "!", ""}, false, -1,
       {"", "!", "1", "a b", "a;b", "a_b", "A~B", "a1b", "ab", "LW 00 FF;", "LW 00 ff;X", "LW 00 FFFFFF80;"},
       "lw 00 ff", 9},
      // '-' and '\'' are passed over; fewer of them first.
      {{"MOVE 0 -5", "MOVE 0 5", "MOVE 0 -4", "MOVE 0 4", "x-", "x", "x--", "co-op", "coop", "co op", "a-b", "ab",
        "a'b", "--a", "-a", "a-", "a"},
       false, -1,
       {"a", "a-", "-a", "--a", "ab", "a'b", "a-b", "co op", "coop", "co-op", "MOVE 0 4", "MOVE 0 -4", "MOVE 0 5",
        "MOVE 0 -5", "x", "x-", "x--"},
       "move 0 -", 11},
      // The store upper-cases what it loads; the search ignores case either way.
      {{"lw 00 0a;MOVE 0 -5;", "le 00 01;keydown 41 1e0001;"}, true, -1,
       {"LE 00 01;KEYDOWN 41 1E0001;", "LW 00 0A;MOVE 0 -5;"}, "lw 00 0a", 1},
      {{"B", "A", "C"}, false, 1, {"A", "C"}, "c", 1},
      {{"B", "A"}, false, 2, {"A", "B"}, "", -1},  // no item 2; nothing begins with the empty text
      {{"LW 00 41;LEFTDOWN;LEFTUP;"}, false, -1, {"LW 00 41;LEFTDOWN;LEFTUP;"}, "LW 00 41;LEFTDOWN;LEFTUP;X", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.held.empty() ? "" : c.held.back());
    TEventListModel list;
    for (const char* text : c.added) {
      const int at = c.stored ? list.AddStored(text) : list.Add(text);
      std::string shown = text;
      if (c.stored) for (char& ch : shown) ch = static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
      EXPECT_EQ(list.Text(at), shown);  // the index Add gives is the item's
    }
    if (c.deleted >= 0) {
      EXPECT_EQ(list.Delete(c.deleted), c.deleted < static_cast<int>(c.added.size()));
    }
    std::vector<std::string> held;
    for (int i = 0; i < list.Count(); ++i) held.push_back(list.Text(i));
    EXPECT_EQ(held, std::vector<std::string>(c.held.begin(), c.held.end()));
    EXPECT_EQ(list.FindPrefix(c.prefix), c.found);
    EXPECT_EQ(list.Text(list.Count()), "");
    EXPECT_EQ(list.Text(-1), "");
  }
}

TEST(EventListModel, FindsAnItemWhereItWasOrWhereItMoved) {
  TEventListModel list;
  for (const char* text : {"LW 00 41;A;", "LW 00 43;C;"}) list.Add(text);
  EXPECT_EQ(list.Find("LW 00 43;C;", 1), 1);
  list.Add("LW 00 3F;B;");  // sorts in before both
  EXPECT_EQ(list.Find("LW 00 43;C;", 1), 2);
  EXPECT_EQ(list.Find("LW 00 43;", 2), -1);  // a whole text, not a prefix
  list.Delete(2);
  EXPECT_EQ(list.Find("LW 00 43;C;", 1), -1);
}

}  // namespace
}  // namespace vantor

#include "app/events/action_script.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vantor {
namespace {

struct Recorder final : InputSink {
  std::vector<InputEvent> events;
  void Play(const InputEvent& e) override { events.push_back(e); }
};

std::vector<InputEvent> Walk(const std::string& entry) {
  Recorder r;
  WalkActionScript(entry.c_str(), entry.size(), r);
  return r.events;
}

std::vector<InputKind> Kinds(const std::vector<InputEvent>& events) {
  std::vector<InputKind> kinds;
  for (const auto& e : events) kinds.push_back(e.kind);
  return kinds;
}

using K = InputKind;

TEST(ActionScript, ClicksAndMovesFromTheWizardsCompositions) {
  EXPECT_EQ(Kinds(Walk("LW 00 41;LEFTDOWN;LEFTUP;")), (std::vector<K>{K::LeftDown, K::LeftUp}));
  EXPECT_EQ(Kinds(Walk("LW 00 41;LEFTDOWN;LEFTUP;LEFTDOWN;LEFTUP;")),
            (std::vector<K>{K::LeftDown, K::LeftUp, K::LeftDown, K::LeftUp}));
  EXPECT_EQ(Kinds(Walk("LW 00 41;RIGHTDOWN;RIGHTUP;")), (std::vector<K>{K::RightDown, K::RightUp}));

  auto moves = Walk("X;MOVE -10 0;MOVE -10 0;");
  ASSERT_EQ(moves.size(), 2u);
  for (const auto& m : moves) {
    EXPECT_EQ(m.kind, K::Move);
    EXPECT_EQ(m.dx, -10);
    EXPECT_EQ(m.dy, 0);
  }
}

TEST(ActionScript, CodesAndTextOutsideTokensPlayNothing) {
  // The first code, the second code of a pair, an unclosed tail, empty tokens.
  auto pair = Walk("LW 00 41;LW 00 42;MOVE 0 -5;");
  ASSERT_EQ(pair.size(), 1u);
  EXPECT_EQ(pair[0].dy, -5);
  for (const char* entry : {"LW 00 41", "LW 00 41;MOVE 3 4", ";;;", "", ";", "MOVE 1 1;", "LEFTDOWN;X"})
    EXPECT_TRUE(Walk(entry).empty()) << entry;
}

TEST(ActionScript, KeysReplayTheRecordedScanCodeAndExtendedBit) {
  auto keys = Walk("X;KEYDOWN 41 1e0001;KEYUP 41 c01e0001;");
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].kind, K::KeyDown);
  EXPECT_EQ(keys[1].kind, K::KeyUp);
  for (const auto& k : keys) {
    EXPECT_EQ(k.key, 0x41);
    EXPECT_EQ(k.scan, 0x1e);  // bits 16..23, not the repeat count's low byte
    EXPECT_FALSE(k.extended);
  }
  // Delete on the navigation block: extended, scan 0x53; loaded entries are upper case.
  auto del = Walk("X;KEYDOWN 2E 1530001;KEYUP 2E C1530001;");
  ASSERT_EQ(del.size(), 2u);
  EXPECT_EQ(del[0].key, 0x2e);
  EXPECT_EQ(del[0].scan, 0x53);
  EXPECT_TRUE(del[0].extended);
  EXPECT_TRUE(del[1].extended);
}

TEST(ActionScript, SystemKeysAreExactlyOnePressAndOneRelease) {
  auto alt = Walk("X;SYSKEYDOWN 12 20380001;SYSKEYUP 12 c0380001;");
  ASSERT_EQ(alt.size(), 2u);
  EXPECT_EQ(alt[0].kind, K::KeyDown);
  EXPECT_EQ(alt[1].kind, K::KeyUp);
  EXPECT_EQ(alt[0].key, 0x12);
  EXPECT_EQ(alt[0].scan, 0x38);
}

TEST(ActionScript, OperandsFollowScanfRules) {
  auto tight = Walk("X;MOVE3 -4;MOVE\t7\t8;MOVE +2 -0;");
  ASSERT_EQ(tight.size(), 3u);
  EXPECT_EQ(tight[0].dx, 3);
  EXPECT_EQ(tight[0].dy, -4);
  EXPECT_EQ(tight[1].dx, 7);
  EXPECT_EQ(tight[2].dx, 2);
  auto prefixed = Walk("X;KEYDOWN 0x41 0X1E0001;");
  ASSERT_EQ(prefixed.size(), 1u);
  EXPECT_EQ(prefixed[0].key, 0x41);
  EXPECT_EQ(prefixed[0].scan, 0x1e);
  auto wide = Walk("X;KEYDOWN 1A5 1E0001;");  // a key wider than a byte keeps its low 8 bits
  ASSERT_EQ(wide.size(), 1u);
  EXPECT_EQ(wide[0].key, 0xa5);
}

TEST(ActionScript, MalformedOperandsPlayNothingAndTheRestStillPlays) {
  const char* bad[] = {"XMOVE 1 2", "MOVE a b", "MOVE 3", "MOVE 99999999999 1", "KEYDOWN zz",
                       "KEYDOWN 41", "KEYUP 41 123456789", "SYSKEYDOWN", " MOVE 1 2", "move 1 2"};
  for (const char* token : bad) {
    auto events = Walk(std::string("X;") + token + ";LEFTDOWN;");
    EXPECT_EQ(Kinds(events), (std::vector<K>{K::LeftDown})) << token;
  }
}

TEST(ActionScript, AMalformedTokenPassesEveryTestItMatches) {
  EXPECT_EQ(Kinds(Walk("X;LEFTDOWNLEFTUP;")), (std::vector<K>{K::LeftDown, K::LeftUp}));
  // "KEYUP" inside "SYSKEYUP" is not read as a plain key: one release, from the system-key test.
  EXPECT_EQ(Kinds(Walk("X;SYSKEYUP 12 c0380001;")), (std::vector<K>{K::KeyUp}));
}

TEST(ActionScript, OnlyTheFirst255CharactersOfATokenCount) {
  std::string padded = "X;MOVE 1 2" + std::string(400, ' ') + ";";
  ASSERT_EQ(Walk(padded).size(), 1u);
  std::string late = "X;" + std::string(255, 'x') + "LEFTDOWN;";
  EXPECT_TRUE(Walk(late).empty());
  std::string justInside = "X;" + std::string(247, 'x') + "LEFTDOWN;";  // ends at character 255
  EXPECT_EQ(Walk(justInside).size(), 1u);
}

TEST(ActionScript, TheWalkStopsAtTheGivenLengthAndAtAZero) {
  std::string entry = "X;LEFTDOWN;LEFTUP;";
  Recorder r;
  WalkActionScript(entry.c_str(), std::strlen("X;LEFTDOWN;LEF"), r);
  EXPECT_EQ(Kinds(r.events), (std::vector<K>{K::LeftDown}));
  const char withZero[] = "X;LEFTDOWN;\0LEFTUP;";
  Recorder z;
  WalkActionScript(withZero, sizeof withZero - 1, z);
  EXPECT_EQ(Kinds(z.events), (std::vector<K>{K::LeftDown}));
  Recorder none;
  WalkActionScript(nullptr, 0, none);  // an empty entry with no storage behind it
  EXPECT_TRUE(none.events.empty());
}

}  // namespace
}  // namespace vantor

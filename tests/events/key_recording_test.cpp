#include "app/events/key_recording.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vantor::TKeyRecording;
using Kind = TKeyRecording::TKind;
using Outcome = TKeyRecording::TOutcome;

struct KeyMessage {
  Kind kind;
  unsigned vk;
  unsigned data;
};

const KeyMessage kShiftDown{Kind::KeyDown, 0x10, 0x2a0001};
const KeyMessage kShiftUp{Kind::KeyUp, 0x10, 0xc02a0001};
const KeyMessage kGDown{Kind::KeyDown, 0x47, 0x220001};
const KeyMessage kGUp{Kind::KeyUp, 0x47, 0xc0220001};

// Each row records its messages into `before` with `room` characters in all, then stops.
TEST(KeyRecording, NeverPressesAKeyItDoesNotRelease) {
  const std::string a = "KEYDOWN 41 1e0001;KEYUP 41 c01e0001;";
  const std::size_t shiftNeeds = 18 + TKeyRecording::KeyUpRoom(0x10);  // its key-down and room for its key-up
  struct Row {
    const char* what;
    std::string before;
    std::size_t room;
    std::vector<KeyMessage> keys;
    std::vector<Outcome> outcomes;
    std::string recorded;  // what the keys added
    std::string atStop;    // what Stop adds
  } rows[] = {
      {"Shift+G with room", "", 246, {kShiftDown, kGDown, kGUp, kShiftUp}, {Outcome::Appended, Outcome::Appended,
       Outcome::Appended, Outcome::Appended}, "KEYDOWN 10 2a0001;KEYDOWN 47 220001;KEYUP 47 c0220001;KEYUP 10 c02a0001;", ""},
      // Shift's key-down would leave no room for its key-up: refused, and its key-up with it.
      {"Shift without room for its key-up", a, a.size() + shiftNeeds - 1, {kShiftDown, kGDown, kGUp, kShiftUp},
       {Outcome::Full, Outcome::Full, Outcome::Swallowed, Outcome::Swallowed}, "", ""},
      {"Shift just fits; G does not", a, a.size() + shiftNeeds, {kShiftDown, kGDown, kGUp, kShiftUp},
       {Outcome::Appended, Outcome::Full, Outcome::Swallowed, Outcome::Appended}, "KEYDOWN 10 2a0001;KEYUP 10 c02a0001;", ""},
      {"Stop with Shift held", "", 246, {kShiftDown, kGDown, kGUp}, {Outcome::Appended, Outcome::Appended, Outcome::Appended},
       "KEYDOWN 10 2a0001;KEYDOWN 47 220001;KEYUP 47 c0220001;", "KEYUP 10 c02a0001;"},
      // Last pressed, first released; an Alt chord as the system reports it.
      {"Stop with Ctrl and Alt held", "", 246, {{Kind::KeyDown, 0x11, 0x1d0001}, {Kind::SysKeyDown, 0x12, 0x20380001}},
       {Outcome::Appended, Outcome::Appended}, "KEYDOWN 11 1d0001;SYSKEYDOWN 12 20380001;",
       "SYSKEYUP 12 e0380001;KEYUP 11 c01d0001;"},
      // A held key repeats: no second key-up is needed, the repeat must fit with the first.
      {"a key repeat", "", 246, {{Kind::KeyDown, 0x41, 0x1e0001}, {Kind::KeyDown, 0x41, 0x401e0001}},
       {Outcome::Appended, Outcome::Appended}, "KEYDOWN 41 1e0001;KEYDOWN 41 401e0001;", "KEYUP 41 c01e0001;"},
      {"a repeat without room", "", 18 + 21 + 5, {{Kind::KeyDown, 0x41, 0x1e0001}, {Kind::KeyDown, 0x41, 0x401e0001}},
       {Outcome::Appended, Outcome::Full}, "KEYDOWN 41 1e0001;", "KEYUP 41 c01e0001;"},
      // A key-up of a key pressed before Start (or F1's, whose press the help took) is written.
      {"a key-up alone", "", 246, {{Kind::SysKeyUp, 0x12, 0xc0380001}}, {Outcome::Appended}, "SYSKEYUP 12 c0380001;", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TKeyRecording keys;
    keys.Begin();
    std::string text = row.before;
    std::vector<Outcome> outcomes;
    for (const KeyMessage& key : row.keys) outcomes.push_back(keys.Add(text, row.room, key.kind, key.vk, key.data));
    EXPECT_EQ(outcomes, row.outcomes);
    EXPECT_EQ(text, row.before + row.recorded);
    keys.ReleaseAll(text, row.room);
    EXPECT_EQ(text, row.before + row.recorded + row.atStop);
    EXPECT_LE(text.size(), row.room);
  }
}

// Whatever keys go down, in whatever room, Stop releases every one of them.
TEST(KeyRecording, EveryKeyDownHasItsKeyUpAfterStop) {
  for (std::size_t room = 0; room < 160; room += 7) {
    TKeyRecording keys;
    keys.Begin();
    std::string text;
    for (unsigned vk = 0x41; vk < 0x41 + 12; ++vk) keys.Add(text, room, Kind::KeyDown, vk, 0x1e0001);
    keys.ReleaseAll(text, room);
    EXPECT_LE(text.size(), room);
    int balance = 0;
    for (std::size_t at = text.find("KEY"); at != std::string::npos; at = text.find("KEY", at + 1))
      balance += text.compare(at, 7, "KEYDOWN") == 0 ? 1 : text.compare(at, 5, "KEYUP") == 0 ? -1 : 0;
    EXPECT_EQ(balance, 0) << room << " " << text;
  }
}

}  // namespace

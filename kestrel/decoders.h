// The three ways a level picture becomes bits ('0', '1', '?' for a bit whose
// length fell into the time a UART does not see), and the tables that set each
// format's rules. Which decoder runs, and with which table, is in the format's
// record (format_records.h).
#pragma once

#include <string>

namespace kestrel {

// What a run of eight or more light characters does when the byte ends on it.
enum class LongLight {
  Nothing,     // the leader or a long mark: no bit
  Abort,       // too long for this format: give the capture up
  SetLeader,   // the leader has been seen; bits start from here
  Undecided,   // no threshold: every byte end in light is a lost bit
};

// Run decoder rules for one format.
struct RunTable {
  int darkForOne = 0;     // a dark run this long, ended by light or a byte end, is a "1"
  bool lightCounts = false;   // in a long light run every third light character is a "0" of its own
  bool needsLeader = false;   // dark runs and counted light are ignored until the leader was seen
  LongLight longLight = LongLight::Nothing;  // a light run of eight or more at a byte end (shorter ones give "?")
  int darkIgnoredAt = 0;  // a dark run this long at a byte end is idle (0: never); below darkForOne "?"
};

// Pattern decoder: patterns at p, tried in this order (the stop pattern only
// where a stage has it):
//   "-" "_" "_"  stop: the frame is over               -> stage ends
//   "-" "-"      "0"   1 bit                           -> p + 1
//   "-" "_" "-"  "1"   1 bit                           -> p + 2
//   "-" "?"      "?"   1 bit ("??", 2 bits, p + 3 where a stage loses pairs) -> p + 2
//   "-" "_" "?"  "1?"  2 bits                          -> p + 3
//   otherwise    nothing                               -> p + 1
struct PatternStage {
  int first = 0, last = -1;  // positions a pattern may start at; last < first: no such stage
  bool stop = false;         // "-" "_" "_" ends the stage
  int limit = 0;             // bits the frame may hold once the stage is done (0: no limit)
  bool lostPair = false;     // a byte end right after light hides two bits, not one
};

// The bits a frame holds once the junction stage is done.
inline constexpr int kJunctionLimit = 16;

struct PatternTable {
  PatternStage first = {};
  PatternStage second = {};
  // Behind the gap between the second and third byte, which may have swallowed a
  // bit; it only runs while the frame holds fewer than kJunctionLimit bits.
  PatternStage junction = {};
};

// Run decoder: reads a bit off the length of each run of light and dark, by the
// rules of the capture's format ("NE", "PA", "M0", "J1", "SH", "M1").
enum class RunOutcome { Done, Abort };
RunOutcome RunDecode(const std::string& picture, const RunTable& t, std::string& bits);

// Pattern decoder: reads short patterns at fixed positions, stage by stage, by
// the stages of the capture's format ("J2", "M2", "PI").
void PatternDecode(const std::string& picture, const PatternTable& t, std::string& bits);

// Pulse-length decoder ("SO"): one bit per byte end, from the light before it.
void PulseDecode(const std::string& picture, std::string& bits);

}  // namespace kestrel

#include <cstring>

#include "kestrel/decoders.h"

namespace kestrel {
namespace {

// What a run of eight or more light characters does when the byte ends on it.
enum class LongLight {
  Nothing,     // the leader or a long mark: no bit
  Abort,       // too long for this format: give the capture up
  SetLeader,   // the leader has been seen; bits start from here
  Undecided,   // no threshold: every byte end in light is a lost bit
};

struct RunTable {
  char code[3];
  int darkForOne;       // a dark run this long, ended by light or a byte end, is a "1"
  bool lightCounts;     // in a long light run every third light character is a "0" of its own
  bool needsLeader;     // dark runs and counted light are ignored until the leader was seen
  LongLight longLight;  // a light run of eight or more at a byte end (shorter ones give "?")
  int darkIgnoredAt;    // a dark run this long at a byte end is idle (0: never); below darkForOne "?"
};

constexpr RunTable kRunTables[] = {
    //      dark "1"  light  leader  long light at byte end  dark idle
    {"NE", 4, false, false, LongLight::Nothing, 8},
    {"PA", 4, false, false, LongLight::Nothing, 8},
    {"M0", 6, false, false, LongLight::Abort, 0},
    {"J1", 2, true, true, LongLight::SetLeader, 0},
    {"SH", 2, true, false, LongLight::Nothing, 0},
    {"M1", 2, true, false, LongLight::Undecided, 0},
};

const RunTable* FindTable(const char* code) {
  for (const RunTable& t : kRunTables) {
    if (std::strncmp(code, t.code, 2) == 0) return &t;
  }
  return nullptr;
}

}  // namespace

RunOutcome RunDecode(const std::string& picture, const char* code, std::string& bits) {
  const RunTable* t = FindTable(code);
  if (t == nullptr) return RunOutcome::Done;
  bool inDark = false;
  int light = 0;
  int dark = 0;
  bool leader = !t->needsLeader;
  for (char c : picture) {
    if (c == '-') {
      if (inDark) {
        inDark = false;
        light = 1;
        bits.push_back(dark >= t->darkForOne ? '1' : '0');
      } else {
        ++light;
        if (t->lightCounts && leader && light >= 3) {
          light = 1;
          bits.push_back('0');
        }
      }
    } else if (c == '_') {
      if (!leader) continue;
      if (inDark) {
        ++dark;
      } else {
        inDark = true;
        dark = 1;
      }
    } else if (c == '?') {
      if (!inDark) {
        if (light < 8 || t->longLight == LongLight::Undecided) {
          bits.push_back('?');
        } else if (t->longLight == LongLight::Abort) {
          return RunOutcome::Abort;
        } else if (t->longLight == LongLight::SetLeader) {
          leader = true;
        }
      } else if (t->darkIgnoredAt == 0 || dark < t->darkIgnoredAt) {
        bits.push_back(dark >= t->darkForOne ? '1' : '?');
      }
      inDark = false;
      light = 0;
      dark = 0;
    }
  }
  return RunOutcome::Done;
}

}  // namespace kestrel

#include "kestrel/decoders.h"

namespace kestrel {
namespace {

// A light run this long at a byte end is a leader or a long mark, not a bit
// lost in the gap.
constexpr int kLongLight = 8;

}  // namespace

RunOutcome RunDecode(const std::string& picture, const RunTable& t, std::string& bits) {
  bool inDark = false;
  int light = 0;
  int dark = 0;
  bool leader = !t.needsLeader;
  for (char c : picture) {
    if (c == '-') {
      if (inDark) {
        inDark = false;
        light = 1;
        bits.push_back(dark >= t.darkForOne ? '1' : '0');
      } else {
        ++light;
        if (t.lightCounts && leader && light >= 3) {
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
        if (light < kLongLight || t.longLight == LongLight::Undecided) {
          bits.push_back('?');
        } else if (t.longLight == LongLight::Abort) {
          return RunOutcome::Abort;
        } else if (t.longLight == LongLight::SetLeader) {
          leader = true;
        }
      } else if (t.darkIgnoredAt == 0 || dark < t.darkIgnoredAt) {
        bits.push_back(dark >= t.darkForOne ? '1' : '?');
      }
      inDark = false;
      light = 0;
      dark = 0;
    }
  }
  return RunOutcome::Done;
}

}  // namespace kestrel

#include "kestrel/capture_loop.h"

namespace kestrel {

CapturePoll::Next CapturePoll::AfterRead(unsigned long bytes) {
  if (bytes > 0) {
    IsQuiet = false;
    PollCount = 0;
    HasStarted = true;
  } else if (HasStarted) {
    if (IsQuiet) return Next::Leave;
    IsQuiet = true;
  }
  if (++AllPolls >= kMaxPolls) {
    CutShort = true;
    return Next::Leave;
  }
  // The sleep comes before the count is tested, so the last poll still sleeps.
  ++PollCount;
  return PollCount < kPolls ? Next::SleepThenRead : Next::SleepThenLeave;
}

}  // namespace kestrel

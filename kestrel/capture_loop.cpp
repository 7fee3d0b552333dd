#include "kestrel/capture_loop.h"

namespace kestrel {

CapturePoll::Next CapturePoll::AfterRead(unsigned long bytes) {
  if (bytes > 0) {
    quiet_ = false;
    count_ = 0;
    started_ = true;
  } else if (started_) {
    if (quiet_) return Next::Leave;
    quiet_ = true;
  }
  // The sleep comes before the count is tested, so the last poll still sleeps.
  ++count_;
  return count_ < kPolls ? Next::SleepThenRead : Next::SleepThenLeave;
}

}  // namespace kestrel

// The capture's poll loop, as decisions only: the caller reads (a read returns at
// once with what is queued), reports how many bytes came, and sleeps when told.
#pragma once

namespace kestrel {

inline constexpr unsigned long kCaptureBufferSize = 1024;

// Bytes to ask for next: the room left in the capture buffer. A full buffer asks
// for nothing, which reads as silence and so ends the capture.
constexpr unsigned long ReadRequest(unsigned long captured) {
  return captured < kCaptureBufferSize ? kCaptureBufferSize - captured : 0;
}

// Waits up to kPolls polls for the first byte, restarts the count whenever bytes
// arrive, and ends at the second empty poll in a row once data has come (50 to
// 100 ms of silence after the frame). A line that never goes quiet (a lamp's
// trickle of bytes) is given up after kMaxPolls polls in all, so the caller,
// often the GUI thread, waits about five seconds at most.
class CapturePoll {
 public:
  static constexpr unsigned kPollMs = 50;
  static constexpr unsigned kPolls = 100;
  // Room for a frame that begins at the last waiting poll to end.
  static constexpr unsigned kMaxPolls = kPolls + 10;

  enum class Next {
    Leave,           // quiet after data: done, no sleep
    SleepThenRead,   // sleep kPollMs, then read again
    SleepThenLeave,  // sleep kPollMs, then give up: the count ran out
  };

  // Called after every read with the number of bytes it returned.
  Next AfterRead(unsigned long bytes);

  // The loop ended without a signal: no byte ever came (the quiet flag is only
  // set once data has started), or none was kept.
  // A capture cut short at kMaxPolls holds no frame that ended.
  bool NoSignal(unsigned long captured) const { return !IsQuiet || captured == 0 || CutShort; }

  bool Started() const { return HasStarted; }
  unsigned Count() const { return PollCount; }

 private:
  bool HasStarted = false;
  bool IsQuiet = false;
  unsigned PollCount = 0;
  unsigned AllPolls = 0;
  bool CutShort = false;
};

}  // namespace kestrel

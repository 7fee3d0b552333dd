// The watcher's receive path, as decisions over bytes: fed the bytes a port
// gives at the format's speed with the time they came, it tells when a frame is
// complete, when the same button is still held, and when a press is over. The
// port stays open and read between presses; nothing here waits or reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kestrel/capture_result.h"
#include "kestrel/format_records.h"

namespace kestrel {

enum class Heard {
  Nothing,
  Press,  // a button's code, the first time in this press
  Held,   // the same button still held: its code again
  Burst,  // a press in a format read as a whole: decode Bytes() as one capture
};

struct StreamReport {
  Heard heard = Heard::Nothing;
  char code[kCodeSize] = {};  // Press and Held
};

class FrameStream {
 public:
  // A press read as a whole holds at most what a capture holds.
  static constexpr std::size_t kMaxPressBytes = 1024;
  // A frame read bit by bit is given up past this many bytes (an NEC frame
  // gives about 35, a JVC frame and its copy about 50).
  static constexpr std::size_t kMaxFrameBytes = 128;

  // An unknown code listens in the first pass.
  explicit FrameStream(const char* format = kFirstPass) { Start(KnownFormat(format)); }
  explicit FrameStream(const FormatRecord& format) { Start(format); }

  // Forgets everything heard and listens in `format`.
  void Start(const FormatRecord& format);
  const FormatRecord& Format() const { return *Record; }

  // Bytes that arrived at `atMs`. Stops after the byte that completes a report,
  // or before a byte whose silence before it completed one; `used` says how
  // many were taken, and the rest are to be fed again.
  StreamReport Feed(const std::uint8_t* bytes, std::size_t count, std::uint32_t atMs, std::size_t& used);
  // Nothing came until `nowMs`.
  StreamReport Quiet(std::uint32_t nowMs);
  // How long from `nowMs` the caller may wait for bytes before Quiet has
  // something to decide; `longest` when nothing is due.
  std::uint32_t WaitLimit(std::uint32_t nowMs, std::uint32_t longest) const;

  // The press read as a whole, once Heard::Burst was reported.
  const std::vector<std::uint8_t>& Bytes() const { return Press; }

 private:
  struct Blank {};
  explicit FrameStream(Blank) {}
  StreamReport Byte(std::uint8_t byte, std::uint32_t atMs, bool& taken);
  StreamReport LeaderByte(std::uint8_t byte, std::uint32_t atMs, bool& taken);
  StreamReport CountedByte(std::uint8_t byte, std::uint32_t atMs);
  StreamReport BurstByte(std::uint8_t byte, std::uint32_t atMs, bool& taken);
  StreamReport SettleRepeat();
  StreamReport DecideFrame();
  StreamReport Report(const char* code, std::uint32_t frameMs);
  bool QuietSince(std::uint32_t nowMs) const;

  const FormatRecord* Record = nullptr;
  std::vector<std::uint8_t> Press;  // the frame (Leader), the press (Counted, Burst)
  bool Active = false;              // a byte came and the silence after it is not yet over
  std::uint32_t LastByteMs = 0;

  // The button held: its code and when its last frame or repeat code began.
  bool Holding = false;
  char HeldCode[kCodeSize] = {};
  std::uint32_t HeldFrameMs = 0;

  // Leader: a frame is being read; a leader and one lone mark wait for silence.
  bool InFrame = false;
  bool RepeatCandidate = false;
  bool Unsettled = false;  // enough bits, but they may still be another format's
  std::uint32_t FrameMs = 0;

  // Counted: bytes per frame once the press is decided (0: not yet), frames
  // counted, the frame being read, and whether the press was given up.
  std::size_t FrameBytes = 0;
  int Frames = 0;
  std::vector<std::uint8_t> Frame;
  bool GivenUp = false;
};

}  // namespace kestrel

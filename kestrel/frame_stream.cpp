#include "kestrel/frame_stream.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "kestrel/decode.h"
#include "kestrel/level_picture.h"

namespace kestrel {
namespace {

// A byte that holds one mark and then only dark: what a repeat code's closing
// mark gives. The first bit of a frame may give it too; what follows tells them apart.
bool LoneMark(std::uint8_t byte) {
  return byte != 0 && static_cast<std::uint8_t>(byte | (byte - 1)) == 0xFF;
}

// A byte at a pulse-length format's speed reads as a long mark when it is all light.
bool LongMark(std::uint8_t byte) { return byte == 0x00; }

// The frame decoded and recognised as the capture would, from a fresh state: the
// stream never touches the halves learning keeps.
CaptureOutcome Decide(const FormatRecord& f, const std::vector<std::uint8_t>& bytes) {
  RecognitionState s = FreshState();
  SetPrefix(s, f.code);
  return DecodeCapture(bytes.data(), bytes.size(), &f, s);
}

// The first pass tells a JVC frame by its copy, which ends a bit past NEC's 32:
// while the bits so far are also that, the frame is not yet decided.
bool MayBeJvc(const std::string& bits, const std::vector<std::uint8_t>& bytes) {
  const FormatRecord& jvc = KnownFormat("J1");
  const FrameLayout& f = jvc.frame;
  if (bytes.size() < 2 || !jvc.firstBytes.Match(bytes[0], bytes[1])) return false;
  if (static_cast<int>(bits.size()) > f.End() + f.copyAt) return false;
  if (At(bits, static_cast<std::size_t>(f.End())) == '0') return false;
  for (int i = 0; i < f.End() && i + f.copyAt < static_cast<int>(bits.size()); ++i) {
    if (bits[static_cast<std::size_t>(i)] != bits[static_cast<std::size_t>(i + f.copyAt)]) return false;
  }
  return true;
}

StreamReport Made(Heard heard, const char* code = nullptr) {
  StreamReport r;
  r.heard = heard;
  if (code != nullptr) std::memcpy(r.code, code, sizeof r.code);
  r.code[sizeof r.code - 1] = '\0';
  return r;
}

}  // namespace

void FrameStream::Start(const FormatRecord& format) {
  FrameStream fresh{Blank{}};
  fresh.Record = &format;
  *this = std::move(fresh);
}

bool FrameStream::QuietSince(std::uint32_t nowMs) const { return nowMs - LastByteMs >= Record->stream.quietMs; }

StreamReport FrameStream::Feed(const std::uint8_t* bytes, std::size_t count, std::uint32_t atMs, std::size_t& used) {
  used = 0;
  if (bytes == nullptr) return {};
  while (used < count) {
    bool taken = true;
    StreamReport r = Byte(bytes[used], atMs, taken);
    if (taken) ++used;
    if (r.heard != Heard::Nothing) return r;
  }
  return {};
}

StreamReport FrameStream::Byte(std::uint8_t byte, std::uint32_t atMs, bool& taken) {
  switch (Record->stream.kind) {
    case StreamKind::Leader: return LeaderByte(byte, atMs, taken);
    case StreamKind::Counted: return CountedByte(byte, atMs);
    case StreamKind::Burst: return BurstByte(byte, atMs, taken);
  }
  return {};
}

StreamReport FrameStream::Report(const char* code, std::uint32_t frameMs) {
  const bool held = Holding && std::strncmp(HeldCode, code, sizeof HeldCode) == 0 &&
                    frameMs - HeldFrameMs <= Record->stream.repeatWindowMs;
  Holding = true;
  std::memcpy(HeldCode, code, sizeof HeldCode);
  HeldCode[sizeof HeldCode - 1] = '\0';
  HeldFrameMs = frameMs;
  return Made(held ? Heard::Held : Heard::Press, HeldCode);
}

StreamReport FrameStream::SettleRepeat() {
  RepeatCandidate = false;
  InFrame = false;
  // A repeat code says only "still held": it repeats the button whose frame or
  // repeat came just before, or nothing.
  if (!Holding || FrameMs - HeldFrameMs > Record->stream.repeatWindowMs) {
    Holding = false;
    return {};
  }
  HeldFrameMs = FrameMs;
  return Made(Heard::Held, HeldCode);
}

StreamReport FrameStream::LeaderByte(std::uint8_t byte, std::uint32_t atMs, bool& taken) {
  const StreamRecord& rule = Record->stream;
  if (RepeatCandidate) {
    if (atMs - LastByteMs >= rule.quietMs) {
      taken = false;
      return SettleRepeat();
    }
    RepeatCandidate = false;  // more bits: a frame
  }
  if (Unsettled && atMs - LastByteMs >= rule.quietMs) {
    taken = false;
    return DecideFrame();
  }
  LastByteMs = atMs;
  Active = true;
  if (byte == rule.leader) {
    Press.assign(1, byte);
    InFrame = true;
    FrameMs = atMs;
    return {};
  }
  // Outside a frame: noise, or what follows a frame already decided.
  if (!InFrame) return {};
  Press.push_back(byte);
  if (Press.size() == 2 && LoneMark(byte)) RepeatCandidate = true;

  std::string bits;
  if (!DecodeBits(LevelPicture(Press.data(), Press.size()), *Record, bits)) InFrame = false;
  if (static_cast<int>(bits.size()) < rule.decidingBits) {
    if (Press.size() >= kMaxFrameBytes) InFrame = false;  // no frame is that long: noise
    return {};
  }
  // Waits for one more bit, or for the silence after the frame.
  Unsettled = MayBeJvc(bits, Press);
  if (Unsettled) return {};
  return DecideFrame();
}

StreamReport FrameStream::DecideFrame() {
  InFrame = false;
  RepeatCandidate = false;
  Unsettled = false;
  const CaptureOutcome o = Decide(*Record, Press);
  if (o.result != 1) {
    Holding = false;  // another button, or one that cannot be read: the hold is over
    return {};
  }
  return Report(o.code, FrameMs);
}

StreamReport FrameStream::CountedByte(std::uint8_t byte, std::uint32_t atMs) {
  if (!Active || QuietSince(atMs)) {
    // A new press: its first byte is its first frame's leader.
    Press.clear();
    Frame.clear();
    FrameBytes = 0;
    Frames = 0;
    GivenUp = false;
    Holding = false;
  }
  Active = true;
  LastByteMs = atMs;
  if (GivenUp) return {};

  if (FrameBytes == 0) {
    // Decided as the capture decides: a frame confirmed by the next, in the
    // short length first, then the long one. Each frame is a leader byte and
    // one byte per bit.
    Press.push_back(byte);
    const std::size_t shortFrame = static_cast<std::size_t>(Record->frame.End()) + 1;
    const std::size_t longFrame = static_cast<std::size_t>(std::max(Record->enhanced.End(), Record->frame.End())) + 1;
    if (Press.size() != 2 * shortFrame && Press.size() != 2 * longFrame) return {};
    const CaptureOutcome o = Decide(*Record, Press);
    if (o.result == 1) {
      FrameBytes = Press.size() / 2;
      Frames = 2;
      return Report(o.code, atMs);
    }
    if (Press.size() >= 2 * longFrame) GivenUp = true;
    return {};
  }

  // Held: each further frame must read as the last one did.
  Frame.push_back(byte);
  if (Frame.size() < FrameBytes) return {};
  bool same = true;
  for (std::size_t i = 0; i < FrameBytes; ++i) same = same && LongMark(Frame[i]) == LongMark(Press[FrameBytes + i]);
  Frame.clear();
  if (!same) {
    GivenUp = true;
    Holding = false;
    return {};
  }
  if (++Frames <= Record->stream.tapFrames) return {};
  return Made(Heard::Held, HeldCode);
}

StreamReport FrameStream::BurstByte(std::uint8_t byte, std::uint32_t atMs, bool& taken) {
  if (Active && QuietSince(atMs)) {
    // The silence before this byte ended the last press.
    taken = false;
    Active = false;
    return Made(Heard::Burst);
  }
  if (!Active) Press.clear();
  Active = true;
  LastByteMs = atMs;
  Press.push_back(byte);
  if (Press.size() < kMaxPressBytes) return {};
  Active = false;  // as full as a capture gets
  return Made(Heard::Burst);
}

StreamReport FrameStream::Quiet(std::uint32_t nowMs) {
  switch (Record->stream.kind) {
    case StreamKind::Leader:
      if (RepeatCandidate && QuietSince(nowMs)) return SettleRepeat();
      if (Unsettled && QuietSince(nowMs)) return DecideFrame();
      return {};
    case StreamKind::Counted:
      if (Active && QuietSince(nowMs)) Active = false;
      return {};
    case StreamKind::Burst:
      if (!Active || !QuietSince(nowMs)) return {};
      Active = false;
      return Made(Heard::Burst);
  }
  return {};
}

std::uint32_t FrameStream::WaitLimit(std::uint32_t nowMs, std::uint32_t longest) const {
  const bool due = Record->stream.kind == StreamKind::Leader ? RepeatCandidate || Unsettled
                   : Record->stream.kind == StreamKind::Burst ? Active
                                                              : false;
  if (!due) return longest;
  const std::uint32_t since = nowMs - LastByteMs;
  const std::uint32_t left = since >= Record->stream.quietMs ? 0 : Record->stream.quietMs - since;
  return std::min(longest, left);
}

}  // namespace kestrel

#include "kestrel/decode.h"

#include <cstring>

#include "kestrel/decoders.h"
#include "kestrel/format_records.h"
#include "kestrel/level_picture.h"
#include "kestrel/recognition.h"

namespace kestrel {

RecognitionState FreshState() {
  RecognitionState s{};
  ResetHalf(s.StoredGroup);
  ResetHalf(s.StoredData);
  SetPrefix(s, kFirstPass);
  return s;
}

void ResetHalf(char (&half)[kStoredHalfSize]) { std::memset(half, '?', sizeof half); }

void SetPrefix(RecognitionState& s, const char* code) {
  std::memset(s.CodePrefix, 0, sizeof s.CodePrefix);
  std::memcpy(s.CodePrefix, code, 2);
}

void NormaliseFormat(RecognitionState& s, const std::uint8_t* bytes, std::size_t count) {
  const FormatRecord* f = FindFormat(s.CodePrefix);
  if (f == nullptr) {
    SetPrefix(s, kFirstPass);
    f = FindFormat(kFirstPass);
  }
  // A first-pass capture that begins with Mitsubishi bytes is decoded as
  // Mitsubishi at once: the first bytes alone tell that format.
  const FormatRecord& mitsubishi = KnownFormat("M0");
  if (f->recognition == Recognition::Classify && count >= 2 && bytes != nullptr &&
      mitsubishi.firstBytes.Match(bytes[0], bytes[1])) {
    SetPrefix(s, mitsubishi.code);
  }
}

bool DecodeBits(const std::string& picture, const char* codePrefix, std::string& bits) {
  bits.clear();
  const FormatRecord* f = FindFormat(codePrefix);
  if (f == nullptr) return true;
  switch (f->decoder) {
    case Decoder::Runs:
      return RunDecode(picture, codePrefix, bits) == RunOutcome::Done;
    case Decoder::Patterns:
      PatternDecode(picture, codePrefix, bits);
      return true;
    case Decoder::Pulses:
      PulseDecode(picture, bits);
      return true;
    case Decoder::None:
      // The capture only proves a button was pressed.
      return true;
  }
  return true;
}

CaptureOutcome DecodeCapture(const std::uint8_t* bytes, std::size_t count, RecognitionState& s) {
  if (bytes == nullptr) count = 0;
  if (count > 1024) count = 1024;
  NormaliseFormat(s, bytes, count);
  const std::string picture = LevelPicture(bytes, count);
  std::string bits;
  if (!DecodeBits(picture, s.CodePrefix, bits)) {
    // A light run too long for Mitsubishi: whatever was collected is void.
    ResetHalf(s.StoredGroup);
    ResetHalf(s.StoredData);
    SetPrefix(s, kFirstPass);
    CaptureOutcome abandoned;
    abandoned.writeCode = true;
    return abandoned;
  }
  RawStart raw;
  if (count > 0) raw.r0 = bytes[0];
  if (count > 1) raw.r1 = bytes[1];
  if (count > 2) raw.r2 = bytes[2];
  if (count > 0) raw.bytes = {bytes, count};
  return Recognise(bits, raw, s);
}

}  // namespace kestrel

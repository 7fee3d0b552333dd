#include "kestrel/decode.h"

#include <cstring>

#include "kestrel/decoders.h"
#include "kestrel/format_code.h"
#include "kestrel/level_picture.h"
#include "kestrel/recognition.h"

namespace kestrel {
namespace {

bool Is(const char* prefix, const char* code) { return std::strncmp(prefix, code, 2) == 0; }

bool MitsubishiByte(std::uint8_t b) { return b == 0xFE || b == 0x9E; }

}  // namespace

RecognitionState FreshState() {
  RecognitionState s{};
  ResetHalf(s.StoredGroup);
  ResetHalf(s.StoredData);
  SetPrefix(s, "NE");
  return s;
}

void ResetHalf(char (&half)[kStoredHalfSize]) { std::memset(half, '?', sizeof half); }

void SetPrefix(RecognitionState& s, const char* code) {
  std::memset(s.CodePrefix, 0, sizeof s.CodePrefix);
  std::memcpy(s.CodePrefix, code, 2);
}

void NormaliseFormat(RecognitionState& s, const std::uint8_t* bytes, std::size_t count) {
  if (!IsFormatCode(s.CodePrefix)) SetPrefix(s, "NE");
  if (Is(s.CodePrefix, "NE") && count >= 2 && bytes != nullptr && MitsubishiByte(bytes[0]) &&
      MitsubishiByte(bytes[1])) {
    SetPrefix(s, "M0");
  }
}

bool DecodeBits(const std::string& picture, const char* codePrefix, std::string& bits) {
  bits.clear();
  for (const char* run : {"NE", "PA", "J1", "SH", "M0", "M1"}) {
    if (Is(codePrefix, run)) return RunDecode(picture, codePrefix, bits) == RunOutcome::Done;
  }
  for (const char* pattern : {"J2", "PI", "M2"}) {
    if (Is(codePrefix, pattern)) {
      PatternDecode(picture, codePrefix, bits);
      return true;
    }
  }
  if (Is(codePrefix, "SO")) PulseDecode(picture, bits);
  // "JV" and "MI" have no decoder: the capture only proves a button was pressed.
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
    SetPrefix(s, "NE");
    CaptureOutcome abandoned;
    abandoned.writeCode = true;
    return abandoned;
  }
  RawStart raw;
  if (count > 0) raw.r0 = bytes[0];
  if (count > 1) raw.r1 = bytes[1];
  if (count > 2) raw.r2 = bytes[2];
  return Recognise(bits, raw, s);
}

}  // namespace kestrel

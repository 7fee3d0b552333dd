#include "kestrel/decode.h"

#include <cstring>

#include "kestrel/decoders.h"
#include "kestrel/format_records.h"
#include "kestrel/level_picture.h"
#include "kestrel/recognition.h"

namespace kestrel {

void Reset(RecognitionView s) {
  ResetHalf(s.StoredGroup);
  ResetHalf(s.StoredData);
  SetPrefix(s, kFirstPass);
}

RecognitionState FreshState() {
  RecognitionState s{};
  Reset(s);
  return s;
}

void ResetHalf(char (&half)[kStoredHalfSize]) { std::memset(half, '?', sizeof half); }

void SetPrefix(RecognitionView s, const char* code) {
  std::memset(s.CodePrefix, 0, sizeof s.CodePrefix);
  std::memcpy(s.CodePrefix, code, 2);
}

const FormatRecord& NormaliseFormat(const FormatRecord* format, RecognitionView s, const std::uint8_t* bytes,
                                    std::size_t count) {
  if (format == nullptr) {
    SetPrefix(s, kFirstPass);
    format = &KnownFormat(kFirstPass);
  }
  // A first-pass capture that begins with Mitsubishi bytes is decoded as
  // Mitsubishi at once: the first bytes alone tell that format.
  const FormatRecord& mitsubishi = KnownFormat("M0");
  if (format->recognition == Recognition::Classify && count >= 2 && bytes != nullptr &&
      mitsubishi.firstBytes.Match(bytes[0], bytes[1])) {
    SetPrefix(s, mitsubishi.code);
    return mitsubishi;
  }
  return *format;
}

bool DecodeBits(const std::string& picture, const FormatRecord& format, std::string& bits) {
  bits.clear();
  switch (format.decoder) {
    case Decoder::Runs:
      return RunDecode(picture, format.runs, bits) == RunOutcome::Done;
    case Decoder::Patterns:
      PatternDecode(picture, format.patterns, bits);
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

CaptureOutcome DecodeCapture(const std::uint8_t* bytes, std::size_t count, const FormatRecord* format,
                             RecognitionView s) {
  if (bytes == nullptr) count = 0;
  if (count > 1024) count = 1024;
  const FormatRecord& f = NormaliseFormat(format, s, bytes, count);
  const std::string picture = LevelPicture(bytes, count);
  std::string bits;
  if (!DecodeBits(picture, f, bits)) {
    // A light run too long for Mitsubishi: whatever was collected is void.
    Reset(s);
    CaptureOutcome abandoned;
    abandoned.writeCode = true;
    return abandoned;
  }
  RawStart raw;
  if (count > 0) raw.r0 = bytes[0];
  if (count > 1) raw.r1 = bytes[1];
  if (count > 2) raw.r2 = bytes[2];
  if (count > 0) raw.bytes = {bytes, count};
  return Recognise(bits, raw, f, s);
}

CaptureOutcome DecodeCapture(const std::uint8_t* bytes, std::size_t count, RecognitionView s) {
  return DecodeCapture(bytes, count, FindFormat(s.CodePrefix), s);
}

}  // namespace kestrel

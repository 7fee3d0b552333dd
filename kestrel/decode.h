// Everything a capture does once its bytes are in: the level picture, the format
// check, the decoder the format selects, and recognition.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "kestrel/capture_result.h"

namespace kestrel {

struct FormatRecord;

// The record a capture is decoded in: `format`, the record of s.CodePrefix (null
// for an unknown code, which becomes "NE"), or "M0" for an "NE" capture that
// begins with two Mitsubishi bytes (0xFE or 0x9E each). s.CodePrefix names it.
const FormatRecord& NormaliseFormat(const FormatRecord* format, RecognitionView s, const std::uint8_t* bytes,
                                    std::size_t count);

// The bits the format's decoder reads off the picture. False when the "M0"
// decoder gave the capture up.
bool DecodeBits(const std::string& picture, const FormatRecord& format, std::string& bits);

// The whole decode of one capture; `count` is at most 1024. `format` is the
// record of s.CodePrefix, looked up once by the caller that captured at its
// speed (null for an unknown code).
CaptureOutcome DecodeCapture(const std::uint8_t* bytes, std::size_t count, const FormatRecord* format,
                             RecognitionView s);
// The same for a caller that has not looked the record up.
CaptureOutcome DecodeCapture(const std::uint8_t* bytes, std::size_t count, RecognitionView s);

}  // namespace kestrel

// Everything a capture does once its bytes are in: the level picture, the format
// check, the decoder the format selects, and recognition.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "kestrel/capture_result.h"

namespace kestrel {

// An unknown format code becomes "NE"; an "NE" capture that begins with two
// Mitsubishi bytes (0xFE or 0x9E each) is decoded as "M0".
void NormaliseFormat(RecognitionState& s, const std::uint8_t* bytes, std::size_t count);

// The bits the current format's decoder reads off the picture. False when the
// "M0" decoder gave the capture up.
bool DecodeBits(const std::string& picture, const char* codePrefix, std::string& bits);

// The whole decode of one capture; `count` is at most 1024.
CaptureOutcome DecodeCapture(const std::uint8_t* bytes, std::size_t count, RecognitionState& s);

}  // namespace kestrel

// Recognition: from the decoded bits of one capture, the first raw bytes and the
// halves kept from earlier passes, either a code string ("%s %02lx %02lx"), a
// request to capture the same button again at another format ("AGAIN"), an
// abandoned attempt (empty text), or nothing usable.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "kestrel/capture_result.h"

namespace kestrel {

struct RawStart {
  std::uint8_t r0 = 0, r1 = 0, r2 = 0;  // first three captured bytes, 0 where none came
  std::span<const std::uint8_t> bytes = {};  // the whole capture, for a look past the first three
};

struct FormatRecord;

// Runs the stage of `format`, the record s.CodePrefix names, and updates the
// state as the stage says.
CaptureOutcome Recognise(const std::string& bits, const RawStart& raw, const FormatRecord& format,
                         RecognitionView s);

}  // namespace kestrel

// The three ways a level picture becomes bits ('0', '1', '?' for a bit whose
// length fell into the time a UART does not see). Which one runs, and with which
// table, depends on the format code; see decode.cpp.
#pragma once

#include <string>

namespace kestrel {

// Run decoder: reads a bit off the length of each run of light and dark.
enum class RunOutcome { Done, Abort };
// `code` is one of "NE", "PA", "M0", "J1", "SH", "M1"; any other decodes nothing.
RunOutcome RunDecode(const std::string& picture, const char* code, std::string& bits);

// Pattern decoder: reads short patterns at fixed positions, stage by stage.
// `code` is one of "J2", "M2", "PI"; any other decodes nothing.
void PatternDecode(const std::string& picture, const char* code, std::string& bits);

// Pulse-length decoder ("SO"): one bit per byte end, from the light before it.
void PulseDecode(const std::string& picture, std::string& bits);

}  // namespace kestrel

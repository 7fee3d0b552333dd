// Format codes: the two letters that begin every IrDA-SIR code and choose the
// speed a frame is captured at (and, with it, how long one received bit lasts).
#pragma once

namespace kestrel {

struct FormatRecord;

// The line rests at this speed between captures.
inline constexpr unsigned kIdleBaud = 19200;

// Speed at which frames of the format `codePrefix` are captured, or 0 when the
// format has no speed of its own. Only the first two characters are compared,
// so the prefix need not be terminated; a null pointer matches nothing.
unsigned FormatBaud(const char* codePrefix);

// The speed a capture runs at: the format's own, else the speed the line has now
// (also for a null record: an unknown code).
unsigned CaptureBaudOf(const FormatRecord* format, unsigned currentBaud);
unsigned CaptureBaud(const char* codePrefix, unsigned currentBaud);

// True when the first two characters are one of the twelve known format codes.
bool IsFormatCode(const char* codePrefix);

}  // namespace kestrel

// The IR55 receiver as a timeline of the bytes it sends to the PC.
//
// Model (the receiver's documented contract is only the two markers and one code
// byte per key; the rest is our choice, kept as simple as the decoders allow):
//  - The line runs at 1200 baud, 8N1: ten bits, 8333 us per byte. Bytes of one
//    message follow each other without a gap.
//  - A key pressed and let go sends its code byte, then the end marker 0x55.
//  - A held key sends the repeat marker 0x52 and the code byte at once, then the
//    code byte again every repeat period (45 ms, a Sony-style remote's frame
//    period) while it stays down, and the end marker 0x55 when it is let go. The
//    short period keeps the first three bytes of a hold inside one burst read.
//  - A release on its own is a bare 0x55.
// Each byte carries the time its stop bit ends, counted from the script's start:
// that is when the PC's UART has it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace ir55 {

inline constexpr std::uint32_t kBaud = 1200;
inline constexpr std::uint32_t kBitsPerByte = 10;  // start, 8 data, stop
inline constexpr std::uint32_t kByteTimeUs = (kBitsPerByte * 1000000u + kBaud - 1) / kBaud;
inline constexpr std::uint32_t kRepeatPeriodUs = 45000;

inline constexpr std::uint8_t kRepeatMarker = 0x52;
inline constexpr std::uint8_t kEndMarker = 0x55;

struct TimedByte {
  std::uint8_t value;
  std::uint64_t atUs;  // end of its stop bit, from the start of the script
};

class Script {
 public:
  // A key pressed and let go.
  Script& Press(std::uint8_t code);
  // A key held for holdMs, then let go; the repeat bytes cover [0, holdMs).
  Script& Hold(std::uint8_t code, std::uint32_t holdMs);
  // A bare end marker.
  Script& Release();
  // Bytes exactly as given, back to back.
  Script& Raw(std::initializer_list<std::uint8_t> bytes);
  Script& Raw(const std::vector<std::uint8_t>& bytes);
  // Silence on the line.
  Script& Wait(std::uint32_t ms);

  const std::vector<TimedByte>& Bytes() const { return Data; }
  std::vector<std::uint8_t> Values() const;
  // When the line falls quiet after the last byte or wait.
  std::uint64_t EndUs() const { return FreeAtUs; }

 private:
  // Sends value as soon as the line is free, but not before notBeforeUs.
  void Send(std::uint8_t value, std::uint64_t notBeforeUs = 0);

  std::vector<TimedByte> Data;
  std::uint64_t FreeAtUs = 0;  // when the line can start the next byte
};

// Reads a script from words such as: press 41  hold 42 300ms  release  wait 1s
// byte 80. Codes are hexadecimal (optionally 0x...), durations in ms or s (a bare
// number is ms). On error returns false with a message in error.
bool ParseScript(const std::vector<std::string>& words, Script& out, std::string& error);

}  // namespace ir55

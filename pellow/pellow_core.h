// IR55 decoding shared by the DLL, its unit tests and the fuzzer: no ports, no windows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pellow {

// Marker bytes of the IR55 receiver.
inline constexpr unsigned char kRepeatMarker = 0x52;  // 'R': the codes of a held key follow
inline constexpr unsigned char kEndMarker = 0x55;     // 'U'

inline constexpr char kDefaultPrefix[] = "LW";
inline constexpr std::size_t kPrefixSize = 16;    // TPellow::CodePrefix
inline constexpr std::size_t kCaptureSize = 1024; // TPellow::CaptureBuffer
// Longest code string: 15-character prefix, " 00 ", eight hex digits, terminator.
inline constexpr std::size_t kCodeTextSize = 28;

inline constexpr int kBurstPolls = 100;           // polls without any byte before a burst read gives up
inline constexpr unsigned kBurstPollIntervalMs = 50;

// The code string carries the code byte as a signed 8-bit value widened to 32 bits,
// so 0x80 prints as ffffff80. Learned events in the registry depend on that.
std::int32_t WidenCodeByte(unsigned char byte);

// Code byte of a burst: its first byte that is not a marker, or -1 when it holds
// markers only. A burst may begin with the end of an earlier press (a lone end
// marker); the press the learning sees is the first code byte after it.
int BurstCodeByte(const unsigned char* bytes, std::size_t length);

// Poll bookkeeping of the burst read, one call per poll.
struct BurstPoll {
  int polls = 0;          // polls in the current run
  bool dataSeen = false;  // a byte has arrived
  bool quietOnce = false; // the previous poll was empty
};

enum class BurstStep {
  Continue, // sleep and poll again
  Complete, // enough bytes, or silence after the first byte
  Silent,   // a whole run of polls without any byte
};

// newBytes: bytes this poll read; collected: bytes gathered so far, this poll included.
BurstStep BurstAfterPoll(BurstPoll& poll, std::uint32_t newBytes, std::uint32_t collected);

struct StreamReport {
  bool report;             // a key is complete
  std::int32_t codeByte;   // its code byte, widened, when report is set
};

// One byte of the receiver's stream against the state kept between calls
// (TPellow::PressFlag and TPellow::LastByte).
StreamReport StreamStep(unsigned char byte, unsigned char& pressFlag, std::int32_t& lastByte);

// Writes "%s %02lx %02lx" with prefix, 0 and the code byte into out, never more than
// outSize bytes. The prefix is read up to its terminator or 15 characters, whichever
// comes first, since the program fills it and it may lack a terminator.
// Returns the length of the full text, or -1 when nothing could be written.
int FormatCode(char* out, std::size_t outSize, const char* prefix, std::int32_t codeByte);

// Sets a CodePrefix-sized buffer to "LW", zero-filled behind it.
void ResetPrefix(char (&prefix)[kPrefixSize]);

}  // namespace pellow

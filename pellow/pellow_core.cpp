#include "pellow/pellow_core.h"

#include <cstdio>
#include <cstring>

namespace pellow {

std::int32_t WidenCodeByte(unsigned char byte) {
  return static_cast<std::int32_t>(static_cast<std::int8_t>(byte));
}

int BurstCodeByte(const unsigned char* bytes, std::size_t length) {
  if (bytes == nullptr) return -1;
  for (std::size_t i = 0; i < length; ++i)
    if (bytes[i] != kRepeatMarker && bytes[i] != kEndMarker) return bytes[i];
  return -1;
}

BurstStep BurstAfterPoll(BurstPoll& poll, std::uint32_t newBytes, std::uint32_t collected) {
  if (newBytes > 0) {
    poll.quietOnce = false;
    if (collected >= 3) return BurstStep::Complete;
    poll.dataSeen = true;
    // A poll that brings bytes starts a new run of polls and counts as its first.
    poll.polls = 1;
    return BurstStep::Continue;
  }
  if (poll.dataSeen) {
    if (poll.quietOnce) return BurstStep::Complete;
    poll.quietOnce = true;
  }
  if (++poll.polls >= kBurstPolls) return poll.dataSeen ? BurstStep::Complete : BurstStep::Silent;
  return BurstStep::Continue;
}

StreamReport StreamStep(unsigned char byte, unsigned char& pressFlag, std::int32_t& lastByte) {
  if (byte == kRepeatMarker) {
    pressFlag = 1;
    return {false, 0};
  }
  if (byte == kEndMarker) {
    // The end of a held run, or a repeated end marker, reports nothing.
    if (pressFlag != 0 || lastByte == kEndMarker) {
      pressFlag = 0;
      return {false, 0};
    }
    const StreamReport done{true, lastByte};
    lastByte = kEndMarker;
    return done;
  }
  lastByte = WidenCodeByte(byte);
  if (pressFlag != 0) return {true, lastByte};
  return {false, 0};
}

int FormatCode(char* out, std::size_t outSize, const char* prefix, std::int32_t codeByte) {
  if (out == nullptr || outSize == 0) return -1;
  char word[kPrefixSize] = {};
  if (prefix != nullptr) {
    std::size_t n = 0;
    while (n < kPrefixSize - 1 && prefix[n] != '\0') ++n;
    std::memcpy(word, prefix, n);
  }
  // %lx takes an unsigned long, which is 64 bits on Linux: go through 32 bits so the
  // widened byte prints as eight digits on both builds.
  const unsigned long code = static_cast<std::uint32_t>(codeByte);
  return std::snprintf(out, outSize, "%s %02lx %02lx", word, 0ul, code);
}

void ResetPrefix(char (&prefix)[kPrefixSize]) {
  std::memset(prefix, 0, sizeof prefix);
  std::memcpy(prefix, kDefaultPrefix, sizeof kDefaultPrefix);
}

}  // namespace pellow

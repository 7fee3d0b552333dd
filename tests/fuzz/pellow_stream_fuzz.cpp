// Any bytes a receiver sends, under any prefix the program leaves in CodePrefix,
// must give codes of the one documented shape that fit the 28-byte code text, and
// no write may pass the size it is given.
//
// Input: byte 0 picks the prefix length (0..16 bytes, 16 meaning no terminator),
// then the prefix bytes, then the receiver's bytes. The burst half reads the same
// bytes as polls: a byte's low two bits say how many of the following bytes arrive.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "pellow/pellow_core.h"

namespace {

constexpr unsigned char kSentinel = 0xA5;

void Check(bool ok) {
  if (!ok) std::abort();
}

bool IsLowerHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// The prefix as the code string must show it: up to its terminator or 15 characters.
std::size_t ShownPrefix(const char (&prefix)[pellow::kPrefixSize]) {
  std::size_t n = 0;
  while (n < pellow::kPrefixSize - 1 && prefix[n] != '\0') ++n;
  return n;
}

void CheckCode(const char (&prefix)[pellow::kPrefixSize], std::int32_t codeByte, std::size_t outSize) {
  Check(codeByte >= -128 && codeByte <= 127);

  // Room to spare behind the 28 bytes, so an overlong code would show.
  char text[pellow::kCodeTextSize * 2];
  std::memset(text, kSentinel, sizeof text);
  const int n = pellow::FormatCode(text, sizeof text, prefix, codeByte);
  Check(n >= 0 && static_cast<std::size_t>(n) < pellow::kCodeTextSize);
  Check(text[n] == '\0');
  for (std::size_t i = pellow::kCodeTextSize; i < sizeof text; ++i)
    Check(static_cast<unsigned char>(text[i]) == kSentinel);

  // "<prefix> 00 <hex>": two digits for 0..7f, eight (ffffff80..ffffffff) below zero.
  const std::size_t p = ShownPrefix(prefix);
  Check(std::memcmp(text, prefix, p) == 0);
  Check(std::memcmp(text + p, " 00 ", 4) == 0);
  const char* hex = text + p + 4;
  const std::size_t digits = std::strlen(hex);
  Check(digits == (codeByte < 0 ? 8u : 2u));
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    Check(IsLowerHex(hex[i]));
    value = value * 16 + static_cast<std::uint32_t>(hex[i] <= '9' ? hex[i] - '0' : hex[i] - 'a' + 10);
  }
  Check(value == static_cast<std::uint32_t>(codeByte));

  // A smaller buffer: cut, terminated, and nothing written at or past its size.
  char small[pellow::kCodeTextSize + 8];
  std::memset(small, kSentinel, sizeof small);
  const int m = pellow::FormatCode(small, outSize, prefix, codeByte);
  if (outSize == 0) {
    Check(m == -1);
  } else {
    Check(m == n);
    const std::size_t kept = static_cast<std::size_t>(n) < outSize ? static_cast<std::size_t>(n) : outSize - 1;
    Check(std::memcmp(small, text, kept) == 0 && small[kept] == '\0');
  }
  for (std::size_t i = outSize; i < sizeof small; ++i)
    Check(static_cast<unsigned char>(small[i]) == kSentinel);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  char prefix[pellow::kPrefixSize];
  std::memset(prefix, 0, sizeof prefix);
  const std::size_t prefixLength = data[0] % (pellow::kPrefixSize + 1);
  if (size < 1 + prefixLength) return 0;
  std::memcpy(prefix, data + 1, prefixLength);
  const std::uint8_t* bytes = data + 1 + prefixLength;
  const std::size_t count = size - 1 - prefixLength;
  const std::size_t outSize = prefixLength * 2 % (pellow::kCodeTextSize + 8);

  // The watcher's stream step over every byte.
  unsigned char pressFlag = 0;
  std::int32_t lastByte = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const pellow::StreamReport r = pellow::StreamStep(bytes[i], pressFlag, lastByte);
    Check(pressFlag <= 1);
    Check(lastByte >= -128 && lastByte <= 127);
    if (r.report) {
      Check(bytes[i] != pellow::kRepeatMarker);
      CheckCode(prefix, r.codeByte, outSize);
    }
  }

  // The learning read's bookkeeping and code choice over the same bytes.
  unsigned char capture[pellow::kCaptureSize];
  std::size_t at = 0;
  while (at < count) {
    std::memset(capture, 0, sizeof capture);
    std::uint32_t collected = 0;
    pellow::BurstPoll poll;
    pellow::BurstStep step = pellow::BurstStep::Continue;
    while (step == pellow::BurstStep::Continue) {
      std::uint32_t arrived = 0;
      if (at < count) {
        const std::uint32_t wanted = bytes[at++] & 3u;
        for (; arrived < wanted && at < count && collected < sizeof capture; ++arrived)
          capture[collected++] = bytes[at++];
      }
      step = pellow::BurstAfterPoll(poll, arrived, collected);
      Check(poll.polls <= pellow::kBurstPolls);
    }
    Check((step == pellow::BurstStep::Silent) == (collected == 0));
    if (step == pellow::BurstStep::Complete) {
      const int code = pellow::BurstCodeByte(capture, collected);
      std::size_t first = 0;
      while (first < collected && (capture[first] == pellow::kRepeatMarker || capture[first] == pellow::kEndMarker))
        ++first;
      Check(code == (first < collected ? capture[first] : -1));
      if (code >= 0) CheckCode(prefix, pellow::WidenCodeByte(static_cast<unsigned char>(code)), outSize);
    }
  }
  return 0;
}

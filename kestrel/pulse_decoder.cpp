#include "kestrel/decoders.h"
#include "kestrel/level_picture.h"

namespace kestrel {
namespace {

// The first byte is the leader's and is skipped; 31 bytes cover the longest frame.
constexpr std::size_t kFirst = 10;
constexpr std::size_t kLast = 319;
// Light over more than seven characters of a byte (about 730 us at 9600) is a long mark.
constexpr int kLongMark = 7;

}  // namespace

void PulseDecode(const std::string& picture, std::string& bits) {
  int light = 0;
  for (std::size_t p = kFirst; p <= kLast; ++p) {
    char c = At(picture, p);
    if (c == '-') {
      ++light;
    } else if (c == '?') {
      bits.push_back(light > kLongMark ? '1' : '0');
      light = 0;
    }
  }
}

}  // namespace kestrel

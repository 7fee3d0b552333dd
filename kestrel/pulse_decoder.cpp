#include "kestrel/decoders.h"
#include "kestrel/level_picture.h"

namespace kestrel {
namespace {

// The first byte is the leader's and is skipped; 31 bytes cover the longest frame.
constexpr std::size_t kFirst = 10;
constexpr std::size_t kLast = 319;
// A mark is long when it is still lit at the sample 8.5 bit times into its byte
// (885 us at 9600): the sample nearest the midpoint between a Sony "0" (600 us)
// and "1" (1200 us), so marks held up to 285 us longer or shorter than nominal,
// as real remotes give them, still read right.
constexpr int kLongMark = 8;

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

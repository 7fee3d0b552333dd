#include "kestrel/level_picture.h"

namespace kestrel {

std::string LevelPicture(const std::uint8_t* bytes, std::size_t count) {
  std::string picture;
  if (bytes == nullptr) return picture;
  picture.reserve(count * 10);
  for (std::size_t i = 0; i < count; ++i) {
    picture.push_back('-');  // the start bit is the falling edge itself
    for (int bit = 0; bit < 8; ++bit) picture.push_back((bytes[i] >> bit) & 1 ? '_' : '-');
    picture.push_back('?');
  }
  return picture;
}

}  // namespace kestrel

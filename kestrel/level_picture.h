// The level picture: ten characters per received byte, what the line did while
// the UART sampled it. '-' light (line low), '_' dark (line high), '?' the stop
// bit together with the unseen time until the next start bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrel {

std::string LevelPicture(const std::uint8_t* bytes, std::size_t count);

// Positions past the end read as a zero byte, which no decoder rule matches.
inline char At(const std::string& s, std::size_t i) { return i < s.size() ? s[i] : '\0'; }

}  // namespace kestrel

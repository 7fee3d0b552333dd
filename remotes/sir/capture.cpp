#include "remotes/sir/capture.h"

namespace sir {

std::vector<std::uint8_t> CapturedBytes(const std::vector<UartByte>& bytes, std::uint32_t pollPhaseUs) {
  constexpr double kPollUs = 50000;
  constexpr std::size_t kBuffer = 1024;
  std::vector<std::uint8_t> kept;
  std::size_t next = 0;
  bool started = false;
  int empty = 0;
  for (double poll = pollPhaseUs; next < bytes.size() || started; poll += kPollUs) {
    std::size_t got = 0;
    while (next < bytes.size() && bytes[next].arrivalUs <= poll && kept.size() < kBuffer) {
      kept.push_back(bytes[next++].value);
      ++got;
    }
    if (got > 0) {
      started = true;
      empty = 0;
    } else if (started && ++empty == 2) {
      break;
    }
  }
  return kept;
}

}  // namespace sir

// Which of a press's bytes one capture of the program keeps: it polls the port
// every 50 ms, starts with the first poll that finds bytes, and stops at the
// second empty poll in a row, or with 1024 bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "remotes/sir/uart_bytes.h"

namespace sir {

// `pollPhaseUs` (0 to 50000): when the first poll falls after the press begins.
std::vector<std::uint8_t> CapturedBytes(const std::vector<UartByte>& bytes, std::uint32_t pollPhaseUs);

}  // namespace sir

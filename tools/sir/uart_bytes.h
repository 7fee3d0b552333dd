// The byte-level half of the IrDA-SIR synthesizer: what a UART behind an IrDA-SIR
// transceiver receives while a remote control sends a frame.
//
// The transceiver pulls its output line low while it sees light. A remote sends
// each mark as a burst of carrier pulses; we take the transceiver to hold the
// line low for the whole burst, so a mark is simply the line low for the mark's
// duration and a space is the line high (idle).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace sir {

struct UartByte {
  std::uint8_t value;
  bool framingError;  // the stop bit was sampled low; the byte is delivered all the same
  double arrivalUs;   // when the stop bit is sampled, from the start of the first mark
};

// Durations in microseconds, alternating mark, space, mark, ... starting with a
// mark at time 0; the line is idle (high) before and after them. Zero durations
// are allowed (a zero space joins its neighbouring marks).
//
// The receiver: a start bit begins at each falling edge; the 8 data bits (least
// significant first) and the stop bit are sampled at their bit centres; a level
// change at the very sampling instant counts as already made. Once the stop bit is
// sampled (9.5 bit times after the start) the receiver waits for the next falling
// edge, and the time until then is lost: light that lasts past the stop sample
// gives that one character (a break) and nothing more until it ends. A falling
// edge before the stop sample starts nothing. A speed outside 1 to 115200 baud, or
// durations adding up to more than an hour, receive nothing.
std::vector<UartByte> UartBytes(std::span<const std::uint32_t> markSpaceUs, std::uint32_t baud);

// The same light as a transceiver that keeps its output low `us` longer after each
// mark sees it: every mark grows by `us`, taken from the space after it (never
// below zero). A press ends with its last space, so its length stays the same.
std::vector<std::uint32_t> StretchMarks(std::span<const std::uint32_t> markSpaceUs, std::uint32_t us);

// Only the values, in arrival order.
std::vector<std::uint8_t> UartValues(std::span<const std::uint32_t> markSpaceUs, std::uint32_t baud);

}  // namespace sir

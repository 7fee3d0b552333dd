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

// The same light from a remote and receiver whose marks are `us` longer (or, when
// negative, shorter) than nominal, as real ones are: every mark changes by `us`,
// the space after it by the opposite amount, neither below zero. A mark that
// starts keeps its place, so the frame's timing stays the same; the last mark of
// a press has no space after it and stays as it is.
std::vector<std::uint32_t> OffsetMarks(std::span<const std::uint32_t> markSpaceUs, std::int32_t us);

// Each edge after the first moved later by a random amount below `us` (each the
// same random stream for the same seed), as a receiver sampling the line every
// `us` places it: a duration gains what its end moved and loses what its start did.
std::vector<std::uint32_t> DitherEdges(std::span<const std::uint32_t> markSpaceUs, double us, std::uint32_t seed);

// The same light through a transceiver that answers each carrier pulse of a mark
// with a line pulse of `pulseUs` (an IrDA-SIR receiver gives 3/16 of a bit time):
// each mark becomes a train of such pulses every 1/carrierHz, with the line high
// between them. Where a pulse lasts as long as the carrier's period the mark stays
// whole.
std::vector<std::uint32_t> CarrierPulses(std::span<const std::uint32_t> markSpaceUs, double carrierHz, double pulseUs);

// Only the values, in arrival order.
std::vector<std::uint8_t> UartValues(std::span<const std::uint32_t> markSpaceUs, std::uint32_t baud);

}  // namespace sir

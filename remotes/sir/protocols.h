// The protocol half of the IrDA-SIR synthesizer: a button press of a remote as
// alternating mark and space durations (microseconds, mark first), frames and
// repeats included, ready for UartBytes.
#pragma once

#include <cstdint>
#include <vector>

namespace sir {

enum class Protocol { Nec, NecExtended, Sony12, Sony15, Sony20, Jvc, Sharp, Mitsubishi, Panasonic, Pioneer };

struct PressOptions {
  int frames = 3;             // the frame and its repeats while the button is held
  std::uint32_t holdUs = 0;   // when set, more frames until the press lasts this long
  double jitter = 0.0;        // each duration scaled by a factor in [1 - jitter, 1 + jitter]
  std::uint32_t seed = 1;     // makes jittered runs reproducible
};

// The protocol's carrier frequency: each mark is a burst of pulses at this rate.
std::uint32_t CarrierHz(Protocol protocol);

std::vector<std::uint32_t> RenderPress(Protocol protocol, std::uint32_t device, std::uint32_t function,
                                       const PressOptions& options = {});

}  // namespace sir

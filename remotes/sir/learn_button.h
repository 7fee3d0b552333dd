// Learning one button of a synthesized remote the way a caller of the IrDA-SIR
// library does: capture at the speed the current format code asks for, decode
// and recognise, and press the same button again for as long as the library says
// "AGAIN", in the format the caller's learning rule gives. Portable: the captures
// are the synthesizer's bytes, not a port's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kestrel/capture_result.h"
#include "kestrel/learning_pass.h"
#include "remotes/sir/protocols.h"

namespace sir {

enum class Ending {
  Complete,       // a code string
  Abandoned,      // the empty text: the library gave the button up
  Unchanged,      // nothing usable in the last capture (or no capture at all)
  TooManyPasses,  // still "AGAIN" after the last press allowed
};

struct PassRecord {
  std::string prefix;     // format code the capture ran in
  unsigned baud = 0;      // its speed
  std::size_t bytes = 0;  // bytes the capture kept
  std::string result;     // "AGAIN", "" (abandoned), "-" (unchanged) or the code string
};

struct Learned {
  Ending ending = Ending::Unchanged;
  std::string code;  // the code string when complete
  std::vector<PassRecord> passes;
  std::vector<kestrel::Message> messages;  // every box the library would have shown
};

struct LearnSetup {
  double jitter = 0.0;             // per duration, as in sir::PressOptions
  std::uint32_t seed = 1;          // each press uses seed + its number
  std::uint32_t pollPhaseUs = 20000;  // first poll of each capture after the press begins
  int frames = 3;                  // at least this many frames per press
  std::uint32_t holdUs = 250000;   // and as many more as a quarter-second press sends
  std::int32_t markOffsetUs = 0;   // marks this much longer (shorter, when negative) than nominal
  bool dither = false;             // each edge up to one tick of the UART's 16-times clock late
  bool pulses = false;             // a transceiver that gives 3/16 of a bit time per carrier pulse
  int maxPasses = 8;
  // Every: each press in the format the library asked for. Sony: as the wizard
  // learns, where only Sony's request is taken up.
  kestrel::Adopts adopts = kestrel::Adopts::Every;
};

Learned LearnButton(sir::Protocol protocol, std::uint32_t device, std::uint32_t function,
                    const LearnSetup& setup = {});

// The code string the protocol's device and function stand for, when the
// recognition has a code for that protocol at all: NEC and Pioneer frames as
// "NE" (or "PI" for the six Pioneer addresses), JVC as "JV", Mitsubishi as "MI",
// Sony 12 and 15 bit as "SO" (device, command), Sharp as "SH" with the expansion
// and check bits above the command. None for the others.
std::optional<std::string> ExpectedCode(sir::Protocol protocol, std::uint32_t device, std::uint32_t function);

// One press caught the way the watcher catches it: a single capture in the
// program's format code, decoded and recognised from a fresh state.
struct Caught {
  bool got = false;  // the library reported a code
  std::string code;
};
Caught CatchPress(sir::Protocol protocol, std::uint32_t device, std::uint32_t function, const char* formatCode,
                  const LearnSetup& setup = {});

// The same press caught by the watcher's stream path: its bytes at the format's
// speed, fed as they arrive; the first code the stream reports (a press in a
// format read as a whole is decoded as one capture).
Caught StreamPress(sir::Protocol protocol, std::uint32_t device, std::uint32_t function, const char* formatCode,
                   const LearnSetup& setup = {});

// The bytes the first capture of learning (in "NE", at 4800 baud) keeps of one press.
std::vector<std::uint8_t> FirstCapture(sir::Protocol protocol, std::uint32_t device, std::uint32_t function,
                                       const LearnSetup& setup = {});

const char* ProtocolName(sir::Protocol protocol);

}  // namespace sir

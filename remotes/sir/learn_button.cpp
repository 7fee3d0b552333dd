#include "remotes/sir/learn_button.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include "kestrel/decode.h"
#include "kestrel/format_code.h"
#include "kestrel/frame_stream.h"
#include "remotes/sir/capture.h"
#include "remotes/sir/uart_bytes.h"

namespace sir {
namespace {

std::string Hex(const char* prefix, unsigned group, unsigned data) {
  char text[32];
  std::snprintf(text, sizeof text, "%s %02x %02x", prefix, group, data);
  return text;
}

bool PioneerAddress(std::uint32_t device) {
  for (std::uint32_t a : {0xAAu, 0xABu, 0xA6u, 0xA1u, 0xA2u, 0xA8u}) {
    if ((device & 0xFF) == a) return true;
  }
  return false;
}

// The light of one press as a receiver at `baud` gives it, every byte with its arrival.
std::vector<sir::UartByte> PressBytes(sir::Protocol protocol, std::uint32_t device, std::uint32_t function,
                                      unsigned baud, const LearnSetup& setup, std::uint32_t seed) {
  sir::PressOptions press;
  press.frames = setup.frames;
  press.holdUs = setup.holdUs;
  press.jitter = setup.jitter;
  press.seed = seed;
  std::vector<std::uint32_t> light = sir::RenderPress(protocol, device, function, press);
  if (setup.markOffsetUs != 0) light = sir::OffsetMarks(light, setup.markOffsetUs);
  // A UART finds a falling edge on its 16-times clock: each edge counts as up to
  // one tick late.
  if (setup.dither) light = sir::DitherEdges(light, 1e6 / baud / 16, seed);
  if (setup.pulses) light = sir::CarrierPulses(light, sir::CarrierHz(protocol), 3.0 / 16 * 1e6 / baud);
  return sir::UartBytes(light, baud);
}

// The bytes one capture at `baud` keeps of one press.
std::vector<std::uint8_t> CaptureOf(sir::Protocol protocol, std::uint32_t device, std::uint32_t function,
                                    unsigned baud, const LearnSetup& setup, std::uint32_t seed) {
  return sir::CapturedBytes(PressBytes(protocol, device, function, baud, setup, seed), setup.pollPhaseUs);
}

}  // namespace

std::vector<std::uint8_t> FirstCapture(sir::Protocol protocol, std::uint32_t device, std::uint32_t function,
                                       const LearnSetup& setup) {
  kestrel::RecognitionState state = kestrel::FreshState();
  return CaptureOf(protocol, device, function, kestrel::CaptureBaud(state.CodePrefix, kestrel::kIdleBaud), setup,
                   setup.seed);
}

Caught CatchPress(sir::Protocol protocol, std::uint32_t device, std::uint32_t function, const char* formatCode,
                  const LearnSetup& setup) {
  kestrel::RecognitionState state = kestrel::FreshState();
  std::memset(state.CodePrefix, 0, sizeof state.CodePrefix);
  std::snprintf(state.CodePrefix, sizeof state.CodePrefix, "%s", formatCode);
  unsigned baud = kestrel::CaptureBaud(state.CodePrefix, kestrel::kIdleBaud);
  std::vector<std::uint8_t> bytes = CaptureOf(protocol, device, function, baud, setup, setup.seed);
  Caught caught;
  if (bytes.empty()) return caught;
  kestrel::CaptureOutcome outcome = kestrel::DecodeCapture(bytes.data(), bytes.size(), state);
  caught.got = outcome.result == 1;
  if (caught.got) caught.code = outcome.code;
  return caught;
}

Caught StreamPress(sir::Protocol protocol, std::uint32_t device, std::uint32_t function, const char* formatCode,
                   const LearnSetup& setup) {
  kestrel::FrameStream stream(formatCode);
  const unsigned baud = kestrel::CaptureBaud(stream.Format().code, kestrel::kIdleBaud);
  // The press begins after a second of darkness, read byte by byte as it arrives.
  constexpr std::uint32_t kStartMs = 1000;
  Caught caught;
  auto take = [&](const kestrel::StreamReport& r) {
    if (caught.got || r.heard == kestrel::Heard::Nothing) return;
    if (r.heard == kestrel::Heard::Burst) {
      kestrel::RecognitionState state = kestrel::FreshState();
      kestrel::SetPrefix(state, stream.Format().code);
      kestrel::CaptureOutcome o = kestrel::DecodeCapture(stream.Bytes().data(), stream.Bytes().size(), state);
      if (o.result != 1) return;
      caught.code = o.code;
    } else {
      caught.code = r.code;
    }
    caught.got = true;
  };
  std::uint32_t now = kStartMs;
  for (const sir::UartByte& b : PressBytes(protocol, device, function, baud, setup, setup.seed)) {
    const std::uint32_t at = kStartMs + static_cast<std::uint32_t>(b.arrivalUs / 1000);
    while (now + stream.WaitLimit(now, 50) < at) {
      now += std::max<std::uint32_t>(stream.WaitLimit(now, 50), 1);
      take(stream.Quiet(now));
    }
    now = at;
    std::size_t used = 0;
    while (used == 0) {
      kestrel::StreamReport r = stream.Feed(&b.value, 1, now, used);
      take(r);
      if (used == 0 && r.heard == kestrel::Heard::Nothing) break;
    }
  }
  for (int i = 0; i < 40 && !caught.got; ++i) take(stream.Quiet(now += 50));
  return caught;
}

Learned LearnButton(sir::Protocol protocol, std::uint32_t device, std::uint32_t function,
                    const LearnSetup& setup) {
  Learned learned;
  kestrel::RecognitionState state = kestrel::FreshState();
  char formatCode[sizeof state.CodePrefix] = "NE";
  for (int pass = 0; pass < setup.maxPasses; ++pass) {
    // As the wizard does, every pass starts in the caller's format code.
    std::memcpy(state.CodePrefix, formatCode, sizeof state.CodePrefix);
    PassRecord record;
    record.prefix.assign(state.CodePrefix, strnlen(state.CodePrefix, 2));
    record.baud = kestrel::CaptureBaud(state.CodePrefix, kestrel::kIdleBaud);

    // A press again is a new press: it meets the port's polls at another moment.
    LearnSetup thisPress = setup;
    if (pass > 0) thisPress.pollPhaseUs = std::mt19937(setup.seed + static_cast<std::uint32_t>(pass))() % 50000;
    std::vector<std::uint8_t> bytes = CaptureOf(protocol, device, function, record.baud, thisPress,
                                                setup.seed + static_cast<std::uint32_t>(pass));
    record.bytes = bytes.size();
    if (bytes.empty()) {
      record.result = "-";
      learned.passes.push_back(record);
      learned.ending = Ending::Unchanged;
      return learned;
    }

    kestrel::CaptureOutcome outcome = kestrel::DecodeCapture(bytes.data(), bytes.size(), state);
    if (outcome.hasMessage) learned.messages.push_back(outcome.message);
    record.result = outcome.writeCode ? outcome.code : "-";
    learned.passes.push_back(record);
    if (outcome.result == 1) {
      learned.ending = Ending::Complete;
      learned.code = outcome.code;
      return learned;
    }
    if (!outcome.writeCode) {
      learned.ending = Ending::Unchanged;
      return learned;
    }
    const kestrel::LearningPass next =
        kestrel::NextLearningPass(outcome.code, state.CodePrefix, formatCode, setup.adopts);
    if (!next.Again) {
      learned.ending = Ending::Abandoned;
      return learned;
    }
    std::memcpy(formatCode, next.FormatCode, sizeof formatCode);
    std::memcpy(state.CodePrefix, next.CodePrefix, sizeof state.CodePrefix);
  }
  learned.ending = Ending::TooManyPasses;
  return learned;
}

std::optional<std::string> ExpectedCode(sir::Protocol protocol, std::uint32_t device, std::uint32_t function) {
  switch (protocol) {
    case sir::Protocol::Nec:
    case sir::Protocol::Pioneer:
      return Hex(PioneerAddress(device) ? "PI" : "NE", device & 0xFF, function & 0xFF);
    case sir::Protocol::NecExtended:
      // Only an extended address that happens to be a standard one has a code.
      if (((device >> 8) & 0xFF) != (~device & 0xFF)) return std::nullopt;
      return ExpectedCode(sir::Protocol::Nec, device, function);
    case sir::Protocol::Sony12: return Hex("SO", device & 0x1F, function & 0x7F);
    case sir::Protocol::Sony15: return Hex("SO", device & 0xFF, function & 0x7F);
    case sir::Protocol::Jvc: return Hex("JV", device & 0xFF, function & 0xFF);
    case sir::Protocol::Sharp: return Hex("SH", device & 0x1F, (function & 0xFF) | 0x100);
    case sir::Protocol::Mitsubishi: return Hex("MI", device & 0xFF, function & 0xFF);
    case sir::Protocol::Sony20:
    case sir::Protocol::Panasonic: return std::nullopt;
  }
  return std::nullopt;
}

const char* ProtocolName(sir::Protocol protocol) {
  switch (protocol) {
    case sir::Protocol::Nec: return "NEC";
    case sir::Protocol::NecExtended: return "NEC, extended address";
    case sir::Protocol::Sony12: return "Sony 12 bit";
    case sir::Protocol::Sony15: return "Sony 15 bit";
    case sir::Protocol::Sony20: return "Sony 20 bit";
    case sir::Protocol::Jvc: return "JVC";
    case sir::Protocol::Sharp: return "Sharp";
    case sir::Protocol::Mitsubishi: return "Mitsubishi";
    case sir::Protocol::Panasonic: return "Panasonic (Kaseikyo)";
    case sir::Protocol::Pioneer: return "Pioneer";
  }
  return "?";
}

}  // namespace sir

#include "remotes/sir/protocols.h"

#include "remotes/sir/protocol_renderers.h"

namespace sir {

namespace {

std::vector<std::uint32_t> RenderFrames(Protocol protocol, std::uint32_t device, std::uint32_t function,
                                        const PressOptions& options, int frames, std::uint64_t& lengthUs) {
  Timeline t(options.jitter, options.seed);
  switch (protocol) {
    case Protocol::Nec: RenderNec(t, device, function, frames, false); break;
    case Protocol::NecExtended: RenderNec(t, device, function, frames, true); break;
    case Protocol::Sony12: RenderSony(t, device & 0x1F, function, frames, 5); break;
    case Protocol::Sony15: RenderSony(t, device & 0xFF, function, frames, 8); break;
    case Protocol::Sony20: RenderSony(t, device & 0x1FFF, function, frames, 13); break;
    case Protocol::Jvc: RenderJvc(t, device, function, frames); break;
    case Protocol::Sharp: RenderSharp(t, device, function, frames < 2 ? 2 : frames); break;
    case Protocol::Mitsubishi: RenderMitsubishi(t, device, function, frames); break;
    case Protocol::Panasonic: RenderPanasonic(t, device, function, frames); break;
    case Protocol::Pioneer: RenderPioneer(t, device, function, frames); break;
  }
  lengthUs = t.Now();
  return t.Take();
}

}  // namespace

std::uint32_t CarrierHz(Protocol protocol) {
  switch (protocol) {
    case Protocol::Sony12:
    case Protocol::Sony15:
    case Protocol::Sony20:
    case Protocol::Pioneer: return 40000;
    case Protocol::Panasonic: return 37000;
    // Mitsubishi's recording gives no carrier; taken as the common 38 kHz.
    case Protocol::Nec:
    case Protocol::NecExtended:
    case Protocol::Jvc:
    case Protocol::Sharp:
    case Protocol::Mitsubishi: return 38000;
  }
  return 38000;
}

std::vector<std::uint32_t> RenderPress(Protocol protocol, std::uint32_t device, std::uint32_t function,
                                       const PressOptions& options) {
  int frames = options.frames < 1 ? 1 : options.frames;
  std::uint64_t length = 0;
  std::vector<std::uint32_t> press = RenderFrames(protocol, device, function, options, frames, length);
  // A held button: the same press with one frame more until it is long enough.
  while (length < options.holdUs && frames < 1000) {
    press = RenderFrames(protocol, device, function, options, ++frames, length);
  }
  return press;
}

}  // namespace sir

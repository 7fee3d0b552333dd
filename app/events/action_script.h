// The action script of an event entry: tokens between ";" that describe synthetic
// mouse and keyboard input. This walks an entry and hands each input event to a
// sink, without allocating; action_player.cpp is the sink that makes the calls.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantor {

enum class InputKind { Move, LeftDown, LeftUp, RightDown, RightUp, KeyDown, KeyUp };

struct InputEvent {
  InputKind kind = InputKind::Move;
  std::int32_t dx = 0;      // Move
  std::int32_t dy = 0;      // Move
  std::uint8_t key = 0;     // keys: virtual-key code (low 8 bits of the recorded key)
  std::uint8_t scan = 0;    // keys: scan code, bits 16..23 of the recorded key data
  bool extended = false;    // keys: bit 24 of the recorded key data
};

class InputSink {
 public:
  virtual void Play(const InputEvent& event) = 0;

 protected:
  ~InputSink() = default;
};

// A token is examined through a zero-filled buffer of this size, so at most 255
// of its characters count.
constexpr std::size_t kTokenBufferSize = 256;

// Walks an entry (first code, ";", tokens each followed by ";") and plays every
// event its tokens describe, in order. Text before the first ";" and after the
// last one is not a token; a token whose operands do not follow its keyword's
// format plays nothing. Reads at most length bytes and stops at a zero.
void WalkActionScript(const char* entry, std::size_t length, InputSink& sink);

// Examines one token as the walk does (exposed for tests and the fuzzer).
void PlayToken(const char* token, InputSink& sink);

}  // namespace vantor

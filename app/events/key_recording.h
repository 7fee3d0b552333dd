// The keystroke recorder's rule for what it may write: a recording never presses a
// key it does not release. Room for the key-up of every key it has recorded down
// stays free, so a key-down that would leave none is refused, and the keys still
// down when recording stops get their key-ups. Portable: no windows.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vantor {

class TKeyRecording {
 public:
  enum class TKind { KeyDown, KeyUp, SysKeyDown, SysKeyUp };
  enum class TOutcome {
    Appended,  // the token is at the end of the text
    Swallowed, // the key-up of a key whose key-down was refused: written nowhere
    Full,      // refused: no room for the token with the key-ups it needs
  };

  // A new recording: no key is down.
  void Begin() {
    Down.clear();
    Refused.clear();
  }
  // Appends the token of one key message to `text`, which may grow to `room` characters.
  TOutcome Add(std::string& text, std::size_t room, TKind kind, unsigned vk, unsigned data);
  // Appends the key-ups of the keys still down, last pressed first, and forgets them.
  void ReleaseAll(std::string& text, std::size_t room);

  // The longest key-up token a key can need: "SYSKEYUP", its code and 8 digits of data.
  static std::size_t KeyUpRoom(unsigned vk);

 private:
  struct TDownKey {
    unsigned vk;
    unsigned data;
    bool system;
  };
  std::size_t Reserved() const;

  std::vector<TDownKey> Down;
  std::vector<unsigned> Refused;
};

}  // namespace vantor

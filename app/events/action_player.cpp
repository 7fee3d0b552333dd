#include "app/events/action_player.h"

#include <windows.h>

#include <cstring>

#include "app/events/action_script.h"

namespace vantor {
namespace {

class SystemInput final : public InputSink {
 public:
  void Play(const InputEvent& e) override {
    switch (e.kind) {
      case InputKind::Move: Mouse(MOUSEEVENTF_MOVE, e.dx, e.dy); break;
      case InputKind::LeftDown: Mouse(MOUSEEVENTF_LEFTDOWN, 0, 0); break;
      case InputKind::LeftUp: Mouse(MOUSEEVENTF_LEFTUP, 0, 0); break;
      case InputKind::RightDown: Mouse(MOUSEEVENTF_RIGHTDOWN, 0, 0); break;
      case InputKind::RightUp: Mouse(MOUSEEVENTF_RIGHTUP, 0, 0); break;
      case InputKind::KeyDown: Key(e, 0); break;
      case InputKind::KeyUp: Key(e, KEYEVENTF_KEYUP); break;
    }
  }

 private:
  static void Mouse(DWORD flags, LONG dx, LONG dy) {
    // Relative moves (no absolute flag); the extra info is fetched afresh each time.
    mouse_event(flags, static_cast<DWORD>(dx), static_cast<DWORD>(dy), 0, GetMessageExtraInfo());
  }
  static void Key(const InputEvent& e, DWORD flags) {
    if (e.extended) flags |= KEYEVENTF_EXTENDEDKEY;
    keybd_event(e.key, e.scan, flags, 0);
  }
};

}  // namespace

void PlayAction(const char* entry) {
  SystemInput input;
  WalkActionScript(entry, std::strlen(entry), input);
}

}  // namespace vantor

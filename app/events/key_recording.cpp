#include "app/events/key_recording.h"

#include <algorithm>
#include <cstdio>

namespace vantor {
namespace {

std::string Token(const char* word, unsigned vk, unsigned data) {
  char token[48];
  std::snprintf(token, sizeof token, "%s %x %x;", word, vk, data);
  return token;
}

const char* WordOf(TKeyRecording::TKind kind) {
  switch (kind) {
    case TKeyRecording::TKind::KeyDown: return "KEYDOWN";
    case TKeyRecording::TKind::KeyUp: return "KEYUP";
    case TKeyRecording::TKind::SysKeyDown: return "SYSKEYDOWN";
    case TKeyRecording::TKind::SysKeyUp: return "SYSKEYUP";
  }
  return "";
}

}  // namespace

std::size_t TKeyRecording::KeyUpRoom(unsigned vk) { return Token("SYSKEYUP", vk, 0xFFFFFFFFu).size(); }

std::size_t TKeyRecording::Reserved() const {
  std::size_t total = 0;
  for (const TDownKey& key : Down) total += KeyUpRoom(key.vk);
  return total;
}

TKeyRecording::TOutcome TKeyRecording::Add(std::string& text, std::size_t room, TKind kind, unsigned vk,
                                           unsigned data) {
  const std::string token = Token(WordOf(kind), vk, data);
  const bool down = kind == TKind::KeyDown || kind == TKind::SysKeyDown;
  auto held = std::find_if(Down.begin(), Down.end(), [vk](const TDownKey& key) { return key.vk == vk; });
  auto refused = std::find(Refused.begin(), Refused.end(), vk);

  if (refused != Refused.end()) {
    // Its key-down is not in the text: neither its repeats nor its key-up go in.
    if (!down) Refused.erase(refused);
    return down ? TOutcome::Full : TOutcome::Swallowed;
  }
  std::size_t needed = text.size() + token.size() + Reserved();
  if (down && held == Down.end()) needed += KeyUpRoom(vk);
  // A held key's own key-up was reserved when it went down.
  if (!down && held != Down.end()) needed -= KeyUpRoom(vk);
  if (needed > room) {
    if (down && held == Down.end()) Refused.push_back(vk);
    return TOutcome::Full;
  }
  text += token;
  if (down && held == Down.end()) Down.push_back({vk, data, kind == TKind::SysKeyDown});
  if (!down && held != Down.end()) Down.erase(held);
  return TOutcome::Appended;
}

void TKeyRecording::ReleaseAll(std::string& text, std::size_t room) {
  for (auto key = Down.rbegin(); key != Down.rend(); ++key) {
    // Released as the system reports a release: same scan code and extended bit,
    // previous state and transition set, a repeat count of one.
    const unsigned kept = key->data & (key->system ? 0x21FF0000u : 0x01FF0000u);
    const std::string token = Token(key->system ? "SYSKEYUP" : "KEYUP", key->vk, kept | 0xC0000001u);
    if (text.size() + token.size() <= room) text += token;
  }
  Down.clear();
}

}  // namespace vantor

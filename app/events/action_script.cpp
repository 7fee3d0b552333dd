#include "app/events/action_script.h"

#include <cstring>

namespace vantor {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A small reader with the rules of scanf for the formats the scripts use:
// "KEYWORD %d %d" and "KEYWORD %x %x". A blank matches any run of white space,
// including none; other characters must match exactly. Numbers that do not fit
// in 32 bits are a mismatch, so no operand is ever undefined.
class Reader {
 public:
  explicit Reader(const char* text) : Cursor(text) {}

  bool Literal(const char* word) {
    std::size_t n = std::strlen(word);
    if (std::strncmp(Cursor, word, n) != 0) return false;
    Cursor += n;
    return true;
  }

  bool Decimal(std::int32_t* out) {
    SkipSpace();
    bool negative = Sign();
    if (*Cursor < '0' || *Cursor > '9') return false;
    std::int64_t acc = 0;
    for (; *Cursor >= '0' && *Cursor <= '9'; ++Cursor) {
      acc = acc * 10 + (*Cursor - '0');
      if (acc > std::int64_t{INT32_MAX} + 1) return false;
    }
    if (negative) acc = -acc;
    if (acc > INT32_MAX || acc < INT32_MIN) return false;
    *out = static_cast<std::int32_t>(acc);
    return true;
  }

  bool Hex(std::uint32_t* out) {
    SkipSpace();
    bool negative = Sign();
    if (Cursor[0] == '0' && (Cursor[1] == 'x' || Cursor[1] == 'X') && HexDigit(Cursor[2]) >= 0) Cursor += 2;
    if (HexDigit(*Cursor) < 0) return false;
    std::uint64_t acc = 0;
    for (int d; (d = HexDigit(*Cursor)) >= 0; ++Cursor) {
      acc = acc * 16 + static_cast<std::uint64_t>(d);
      if (acc > UINT32_MAX) return false;
    }
    // scanf's %x takes a sign and negates modulo 2^32.
    *out = negative ? static_cast<std::uint32_t>(0u - static_cast<std::uint32_t>(acc)) : static_cast<std::uint32_t>(acc);
    return true;
  }

 private:
  void SkipSpace() {
    while (IsSpace(*Cursor)) ++Cursor;
  }
  bool Sign() {
    if (*Cursor != '+' && *Cursor != '-') return false;
    return *Cursor++ == '-';
  }
  const char* Cursor;
};

bool Contains(const char* token, const char* word) { return std::strstr(token, word) != nullptr; }

void PlayMove(const char* token, InputSink& sink) {
  Reader r(token);
  InputEvent e;
  e.kind = InputKind::Move;
  if (r.Literal("MOVE") && r.Decimal(&e.dx) && r.Decimal(&e.dy)) sink.Play(e);
}

void PlayButton(InputKind kind, InputSink& sink) {
  InputEvent e;
  e.kind = kind;
  sink.Play(e);
}

// The recorded key data is the key message's parameter word: repeat count in
// bits 0..15, scan code in bits 16..23, extended-key flag in bit 24. The scan
// code and the extended flag are what a replay needs to match the recording.
void PlayKey(const char* token, const char* keyword, InputKind kind, InputSink& sink) {
  Reader r(token);
  std::uint32_t key = 0;
  std::uint32_t info = 0;
  if (!(r.Literal(keyword) && r.Hex(&key) && r.Hex(&info))) return;
  InputEvent e;
  e.kind = kind;
  e.key = static_cast<std::uint8_t>(key & 0xFF);
  e.scan = static_cast<std::uint8_t>((info >> 16) & 0xFF);
  e.extended = (info >> 24) & 1;
  sink.Play(e);
}

}  // namespace

void PlayToken(const char* token, InputSink& sink) {
  // Every test runs; a well-formed token passes exactly one of them.
  if (Contains(token, "MOVE")) PlayMove(token, sink);
  if (Contains(token, "LEFTDOWN")) PlayButton(InputKind::LeftDown, sink);
  if (Contains(token, "LEFTUP")) PlayButton(InputKind::LeftUp, sink);
  if (Contains(token, "RIGHTDOWN")) PlayButton(InputKind::RightDown, sink);
  if (Contains(token, "RIGHTUP")) PlayButton(InputKind::RightUp, sink);
  if (Contains(token, "KEYDOWN") && !Contains(token, "SYSKEYDOWN")) PlayKey(token, "KEYDOWN", InputKind::KeyDown, sink);
  if (Contains(token, "KEYUP") && !Contains(token, "SYSKEYUP")) PlayKey(token, "KEYUP", InputKind::KeyUp, sink);
  // System keys replay exactly like plain keys: no modifier is added.
  if (Contains(token, "SYSKEYDOWN")) PlayKey(token, "SYSKEYDOWN", InputKind::KeyDown, sink);
  if (Contains(token, "SYSKEYUP")) PlayKey(token, "SYSKEYUP", InputKind::KeyUp, sink);
}

void WalkActionScript(const char* entry, std::size_t length, InputSink& sink) {
  // An empty entry may come without any storage (an empty vector's data() is null),
  // which memchr must never see.
  if (!entry || length == 0) return;
  const char* end = static_cast<const char*>(std::memchr(entry, 0, length));
  if (end) length = static_cast<std::size_t>(end - entry);
  // Everything before the first ";" is the first code; each ";" then opens a token
  // that the next ";" closes.
  const char* open = static_cast<const char*>(std::memchr(entry, ';', length));
  while (open) {
    std::size_t rest = length - static_cast<std::size_t>(open + 1 - entry);
    const char* close = static_cast<const char*>(std::memchr(open + 1, ';', rest));
    if (!close) break;
    char token[kTokenBufferSize] = {};
    std::size_t n = static_cast<std::size_t>(close - open - 1);
    std::memcpy(token, open + 1, n < sizeof token - 1 ? n : sizeof token - 1);
    PlayToken(token, sink);
    open = close;
  }
}

}  // namespace vantor

#include "kestrel/format_code.h"

namespace kestrel {
namespace {

struct Format {
  char code[3];
  unsigned baud;  // 0: captured at whatever speed the line has
};

// One picture character lasts 1/baud: the speed is picked so that the shortest
// pulse of each family spans a few characters.
constexpr Format kFormats[] = {
    {"NE", 4800}, {"J1", 2500}, {"J2", 1000}, {"JV", 0},    {"SH", 2000}, {"PI", 900},
    {"PA", 2800}, {"M0", 0},    {"M1", 1600}, {"M2", 800},  {"MI", 0},    {"SO", 9600},
};

const Format* Find(const char* prefix) {
  if (prefix == nullptr) return nullptr;
  for (const Format& f : kFormats) {
    // The second character is read only when the first matched, so it exists.
    if (prefix[0] == f.code[0] && prefix[1] == f.code[1]) return &f;
  }
  return nullptr;
}

}  // namespace

unsigned FormatBaud(const char* codePrefix) {
  const Format* f = Find(codePrefix);
  return f != nullptr ? f->baud : 0;
}

unsigned CaptureBaud(const char* codePrefix, unsigned currentBaud) {
  unsigned baud = FormatBaud(codePrefix);
  return baud != 0 ? baud : currentBaud;
}

bool IsFormatCode(const char* codePrefix) { return Find(codePrefix) != nullptr; }

}  // namespace kestrel

#include "kestrel/format_code.h"

#include "kestrel/format_records.h"

namespace kestrel {

unsigned FormatBaud(const char* codePrefix) {
  const FormatRecord* f = FindFormat(codePrefix);
  return f != nullptr ? f->baud : 0;
}

unsigned CaptureBaudOf(const FormatRecord* format, unsigned currentBaud) {
  return format != nullptr && format->baud != 0 ? format->baud : currentBaud;
}

unsigned CaptureBaud(const char* codePrefix, unsigned currentBaud) {
  return CaptureBaudOf(FindFormat(codePrefix), currentBaud);
}

bool IsFormatCode(const char* codePrefix) { return FindFormat(codePrefix) != nullptr; }

}  // namespace kestrel

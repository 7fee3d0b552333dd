#include "kestrel/format_code.h"

#include "kestrel/format_records.h"

namespace kestrel {

unsigned FormatBaud(const char* codePrefix) {
  const FormatRecord* f = FindFormat(codePrefix);
  return f != nullptr ? f->baud : 0;
}

unsigned CaptureBaud(const char* codePrefix, unsigned currentBaud) {
  unsigned baud = FormatBaud(codePrefix);
  return baud != 0 ? baud : currentBaud;
}

bool IsFormatCode(const char* codePrefix) { return FindFormat(codePrefix) != nullptr; }

}  // namespace kestrel

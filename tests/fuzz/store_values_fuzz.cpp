// Registry value texts are whatever a user or another program left in the
// registry: every parser must give a defined result and stay inside its buffers.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/events/store_values.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A value arrives in a zero-filled 300-byte buffer.
  char buffer[kValueBufferSize] = {};
  std::memcpy(buffer, data, size < sizeof buffer ? size : sizeof buffer);
  if (!IsUsableText(true, buffer, sizeof buffer, size < sizeof buffer ? size : sizeof buffer)) return 0;
  UpperCaseAscii(buffer);
  for (const char* p = buffer; *p; ++p)
    if (*p >= 'a' && *p <= 'z') std::abort();

  std::int32_t value = 0;
  std::size_t used = ScanDecimal(buffer, &value);
  if (used > std::strlen(buffer)) std::abort();

  PortOptionsRecord options;
  ParseTransmitter(buffer, options);

  std::int32_t number = 0;
  char name[20];
  if (ParsePortNumber(buffer, &number)) {
    if (!FormatComPortName(name, sizeof name, number)) std::abort();  // every int32 fits
    SelectComFlag(name, options);
    if (options.UseCom1 + options.UseCom2 + options.UseCom3 + options.UseCom4 > 1) std::abort();
  }

  char code[16];
  CopyFormatCode(code, sizeof code, buffer);
  if (code[15] != '\0' || std::strncmp(code, buffer, 15) != 0) std::abort();

  // An accepted entry name must be exactly what the store writes for that index.
  std::int32_t index = 0;
  if (ParseEventListName(buffer, &index)) {
    char formatted[32];
    if (!FormatEventListName(formatted, sizeof formatted, index) || index < 0) std::abort();
    std::string upper = formatted;
    for (char& c : upper) if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (upper != buffer) std::abort();
  }
  return 0;
}

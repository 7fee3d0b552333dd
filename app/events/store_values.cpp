#include "app/events/store_values.h"

#include <cstdio>
#include <cstring>

namespace vantor {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool Fits(int written, std::size_t size) { return written >= 0 && static_cast<std::size_t>(written) < size; }

}  // namespace

void UpperCaseAscii(char* text) {
  for (; *text; ++text)
    if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
}

std::size_t ScanDecimal(const char* text, std::int32_t* value) {
  const char* p = text;
  while (IsSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (!IsDigit(*p)) return 0;
  // Accumulate as a negative number so INT32_MIN is reachable.
  std::int64_t acc = 0;
  for (; IsDigit(*p); ++p) {
    acc = acc * 10 - (*p - '0');
    if (acc < INT32_MIN) return 0;
  }
  if (!negative) {
    if (-acc > INT32_MAX) return 0;
    acc = -acc;
  }
  *value = static_cast<std::int32_t>(acc);
  return static_cast<std::size_t>(p - text);
}

void ParseTransmitter(const char* text, PortOptionsRecord& options) {
  std::int32_t value = 0;
  std::size_t used = ScanDecimal(text, &value);
  if (!used) return;
  options.UsePellow = value;
  text += used;
  if (*text != ';') return;
  if (ScanDecimal(text + 1, &value)) options.UseKestrel = value;
}

bool ParsePortNumber(const char* text, std::int32_t* number) { return ScanDecimal(text, number) != 0; }

void SelectComFlag(const char* comPortName, PortOptionsRecord& options) {
  options.UseCom1 = std::strcmp(comPortName, "COM1") == 0;
  options.UseCom2 = std::strcmp(comPortName, "COM2") == 0;
  options.UseCom3 = std::strcmp(comPortName, "COM3") == 0;
  options.UseCom4 = std::strcmp(comPortName, "COM4") == 0;
}

bool FormatTransmitter(char* out, std::size_t size, const PortOptionsRecord& options) {
  return Fits(std::snprintf(out, size, "%d;%d;end", static_cast<int>(options.UsePellow),
                            static_cast<int>(options.UseKestrel)), size);
}

bool FormatDecimal(char* out, std::size_t size, std::int32_t value) {
  return Fits(std::snprintf(out, size, "%d", static_cast<int>(value)), size);
}

bool FormatComPortName(char* out, std::size_t size, std::int32_t number) {
  return Fits(std::snprintf(out, size, "COM%d", static_cast<int>(number)), size);
}

bool FormatEventListName(char* out, std::size_t size, std::int32_t index) {
  return Fits(std::snprintf(out, size, "EventList%d", static_cast<int>(index)), size);
}

bool ParseEventListName(const char* name, std::int32_t* index) {
  static const char kStem[] = "eventlist";
  for (std::size_t i = 0; kStem[i]; ++i) {
    char c = name[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kStem[i]) return false;
  }
  const char* digits = name + sizeof kStem - 1;
  // Only the exact text "EventList%d" writes: no sign, no blank, no leading zero.
  if (!IsDigit(digits[0]) || (digits[0] == '0' && digits[1])) return false;
  std::int32_t value = 0;
  std::size_t used = ScanDecimal(digits, &value);
  if (!used || digits[used]) return false;
  *index = value;
  return true;
}

void CopyFormatCode(char* rcFormatCode, std::size_t size, const char* text) {
  if (!size) return;
  std::size_t n = std::strlen(text);
  if (n > size - 1) n = size - 1;
  std::memcpy(rcFormatCode, text, n);
  std::memset(rcFormatCode + n, 0, size - n);
}

bool IsUsableText(bool isString, const char* buffer, std::size_t bufferSize, std::size_t returnedSize) {
  if (!isString || returnedSize > bufferSize) return false;
  // The buffer was zero-filled before the query, so a shorter value is terminated;
  // one that fills the buffer must carry its own zero.
  return std::memchr(buffer, 0, bufferSize) != nullptr;
}

}  // namespace vantor

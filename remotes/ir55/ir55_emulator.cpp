#include "remotes/ir55/ir55_emulator.h"

#include <algorithm>
#include <cstdlib>

namespace ir55 {

void Script::Send(std::uint8_t value, std::uint64_t notBeforeUs) {
  const std::uint64_t start = std::max(FreeAtUs, notBeforeUs);
  FreeAtUs = start + kByteTimeUs;
  Data.push_back({value, FreeAtUs});
}

Script& Script::Press(std::uint8_t code) {
  Send(code);
  Send(kEndMarker);
  return *this;
}

Script& Script::Hold(std::uint8_t code, std::uint32_t holdMs) {
  const std::uint64_t down = FreeAtUs;
  const std::uint64_t up = down + std::uint64_t{holdMs} * 1000;
  Send(kRepeatMarker);
  Send(code);
  for (std::uint64_t t = down + kRepeatPeriodUs; t < up; t += kRepeatPeriodUs) Send(code, t);
  Send(kEndMarker, up);
  return *this;
}

Script& Script::Release() {
  Send(kEndMarker);
  return *this;
}

Script& Script::Raw(std::initializer_list<std::uint8_t> bytes) {
  for (std::uint8_t b : bytes) Send(b);
  return *this;
}

Script& Script::Raw(const std::vector<std::uint8_t>& bytes) {
  for (std::uint8_t b : bytes) Send(b);
  return *this;
}

Script& Script::Wait(std::uint32_t ms) {
  FreeAtUs += std::uint64_t{ms} * 1000;
  return *this;
}

std::vector<std::uint8_t> Script::Values() const {
  std::vector<std::uint8_t> v;
  v.reserve(Data.size());
  for (const TimedByte& b : Data) v.push_back(b.value);
  return v;
}

namespace {

bool ParseCode(const std::string& word, std::uint8_t& out) {
  std::string digits = word;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
    digits = digits.substr(2);
  if (digits.empty() || digits.size() > 2) return false;
  char* end = nullptr;
  const unsigned long v = std::strtoul(digits.c_str(), &end, 16);
  if (*end != '\0') return false;
  out = static_cast<std::uint8_t>(v);
  return true;
}

bool ParseDuration(const std::string& word, std::uint32_t& ms) {
  const std::size_t number = word.find_first_not_of("0123456789.");
  if (word.empty() || number == 0) return false;
  char* end = nullptr;
  const double v = std::strtod(word.c_str(), &end);
  if (end != word.c_str() + (number == std::string::npos ? word.size() : number)) return false;
  const std::string unit = end;
  double scale;
  if (unit.empty() || unit == "ms") {
    scale = 1;
  } else if (unit == "s") {
    scale = 1000;
  } else {
    return false;
  }
  const double total = v * scale;
  // A day is far more than any scripted keystroke needs.
  if (!(total >= 0 && total <= 86400000.0)) return false;
  ms = static_cast<std::uint32_t>(total + 0.5);
  return true;
}

}  // namespace

bool ParseScript(const std::vector<std::string>& words, Script& out, std::string& error) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& verb = words[i];
    auto arg = [&](const char* what) -> const std::string* {
      if (i + 1 >= words.size()) {
        error = verb + ": missing " + what;
        return nullptr;
      }
      return &words[++i];
    };
    std::uint8_t code = 0;
    std::uint32_t ms = 0;
    if (verb == "press" || verb == "byte") {
      const std::string* c = arg("code");
      if (!c) return false;
      if (!ParseCode(*c, code)) {
        error = verb + ": bad code '" + *c + "' (hex 00 to ff)";
        return false;
      }
      if (verb == "press") {
        out.Press(code);
      } else {
        out.Raw({code});
      }
    } else if (verb == "hold") {
      const std::string* c = arg("code");
      if (!c) return false;
      if (!ParseCode(*c, code)) {
        error = "hold: bad code '" + *c + "' (hex 00 to ff)";
        return false;
      }
      const std::string* d = arg("duration");
      if (!d) return false;
      if (!ParseDuration(*d, ms)) {
        error = "hold: bad duration '" + *d + "'";
        return false;
      }
      out.Hold(code, ms);
    } else if (verb == "release") {
      out.Release();
    } else if (verb == "wait") {
      const std::string* d = arg("duration");
      if (!d) return false;
      if (!ParseDuration(*d, ms)) {
        error = "wait: bad duration '" + *d + "'";
        return false;
      }
      out.Wait(ms);
    } else {
      error = "unknown command '" + verb + "'";
      return false;
    }
  }
  return true;
}

}  // namespace ir55

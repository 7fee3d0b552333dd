// Any format code, stored halves and captured bytes: the decode must stay inside
// its buffers, write at most nine characters of code, and leave a known format.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "kestrel/decode.h"
#include "kestrel/format_code.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kestrel::RecognitionState s;
  constexpr std::size_t kState = sizeof s.CodePrefix + sizeof s.StoredGroup + sizeof s.StoredData;
  if (size < kState) return 0;
  std::memcpy(s.CodePrefix, data, sizeof s.CodePrefix);
  std::memcpy(s.StoredGroup, data + 16, sizeof s.StoredGroup);
  std::memcpy(s.StoredData, data + 48, sizeof s.StoredData);
  std::size_t count = size - kState;
  if (count > 1024) count = 1024;
  kestrel::CaptureOutcome o = kestrel::DecodeCapture(data + kState, count, s);
  if (strnlen(o.code, sizeof o.code) > 9) std::abort();
  if (!kestrel::IsFormatCode(s.CodePrefix)) std::abort();
  if (o.result == 1 && (!o.writeCode || std::strncmp(s.CodePrefix, "NE", 2) != 0)) std::abort();
  return 0;
}

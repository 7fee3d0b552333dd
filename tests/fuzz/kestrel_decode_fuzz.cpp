// Any format code, stored halves and captured bytes: the decode must stay inside
// its buffers, write at most nine characters of code, and leave a known format.
// The same bytes fed to the watcher's stream, each some milliseconds after the
// last (the byte's low bits): reports stay within the code's size and a press
// read as a whole within a capture's.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "kestrel/decode.h"
#include "kestrel/format_code.h"
#include "kestrel/frame_stream.h"

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

  kestrel::FrameStream stream(reinterpret_cast<const char*>(data));
  std::uint32_t now = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* byte = data + kState + i;
    now += *byte & 0x3F;
    kestrel::StreamReport r;
    std::size_t used = 0;
    for (int tries = 0; used == 0 && tries < 2; ++tries) {
      r = stream.Feed(byte, 1, now, used);
      if (r.heard == kestrel::Heard::Burst && stream.Bytes().size() > kestrel::FrameStream::kMaxPressBytes) std::abort();
      if (strnlen(r.code, sizeof r.code) > 9) std::abort();
    }
    if (used != 1) std::abort();  // a byte held back for a report is taken the next time
    if (*byte == 0x55) r = stream.Quiet(now + stream.WaitLimit(now, 200));
    if (strnlen(r.code, sizeof r.code) > 9) std::abort();
  }
  return 0;
}

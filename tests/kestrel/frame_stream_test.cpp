// The watcher's stream path over synthesized light: a remote's presses as the
// bytes a UART receives at the format's speed, with the times they arrive, read
// the way the watcher reads them (a read wakes at a byte or after a wait).
#include "kestrel/frame_stream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "kestrel/format_code.h"
#include "remotes/sir/learn_button.h"
#include "remotes/sir/protocols.h"
#include "remotes/sir/uart_bytes.h"

namespace {

using kestrel::Heard;
using sir::Protocol;

struct Event {
  Heard heard;
  std::string code;
  std::uint32_t atMs;
  std::size_t bytesIn;  // bytes fed when it was heard
};

// Light for a session: each press after `gapUs` of darkness.
struct Session {
  std::vector<std::uint32_t> light;
  void Dark(std::uint32_t us) {
    if (light.size() % 2 == 0) {
      if (light.empty()) light.push_back(0);
      else {
        light.back() += us;
        return;
      }
    }
    light.push_back(us);
  }
  void Press(Protocol p, std::uint32_t device, std::uint32_t function, int frames = 1, std::uint32_t holdUs = 0,
             std::int32_t markOffsetUs = 0) {
    sir::PressOptions o;
    o.frames = frames;
    o.holdUs = holdUs;
    std::vector<std::uint32_t> press = sir::RenderPress(p, device, function, o);
    if (markOffsetUs != 0) press = sir::OffsetMarks(press, markOffsetUs);
    if (light.size() % 2 == 1) light.push_back(0);
    light.insert(light.end(), press.begin(), press.end());
  }
  std::vector<sir::UartByte> Bytes(const char* format) const {
    return sir::UartBytes(light, kestrel::FormatBaud(format));
  }
};

// Reads as the watcher does: each read waits up to 50 ms (less when the stream
// has something due) and returns when a byte has come, `lateMs` later, with
// every byte that came by then. Listens until `endMs`.
std::vector<Event> Listen(const char* format, const std::vector<sir::UartByte>& bytes, std::uint32_t lateMs = 0,
                          std::uint32_t endMs = 0) {
  kestrel::FrameStream stream(format);
  std::vector<Event> heard;
  auto at = [&](std::size_t i) { return static_cast<std::uint32_t>(bytes[i].arrivalUs / 1000); };
  if (!bytes.empty()) endMs = std::max(endMs, at(bytes.size() - 1) + 1000);
  std::uint32_t now = 0;
  std::size_t next = 0;
  while (now < endMs) {
    const std::uint32_t wake = now + stream.WaitLimit(now, 50);
    if (next < bytes.size() && at(next) <= wake) {
      now = std::max(now, at(next) + lateMs);
      std::vector<std::uint8_t> read;
      while (next < bytes.size() && at(next) <= now) read.push_back(bytes[next++].value);
      std::size_t fed = 0;
      while (fed < read.size()) {
        std::size_t used = 0;
        kestrel::StreamReport r = stream.Feed(read.data() + fed, read.size() - fed, now, used);
        fed += used;
        if (r.heard != Heard::Nothing) heard.push_back({r.heard, r.code, now, next - (read.size() - fed)});
      }
    } else {
      now = wake == now ? now + 1 : wake;
      kestrel::StreamReport r = stream.Quiet(now);
      if (r.heard != Heard::Nothing) heard.push_back({r.heard, r.code, now, next});
    }
  }
  return heard;
}

std::size_t BytesBefore(const std::vector<sir::UartByte>& bytes, double us) {
  std::size_t n = 0;
  while (n < bytes.size() && bytes[n].arrivalUs < us) ++n;
  return n;
}

int Count(const std::vector<Event>& events, Heard heard) {
  int n = 0;
  for (const Event& e : events) n += e.heard == heard;
  return n;
}

// A tap gives the code the capture path gives for the same press, once, at the
// byte that completes the frame: NEC's 32 bits, Sony's second frame; read a
// byte at a time or in reads that come late and hold several bytes.
TEST(FrameStream, ATapGivesTheCapturesCodeOnceAtTheFramesLastByte) {
  struct Row {
    Protocol protocol;
    std::uint32_t device, function;
    const char* format;
    int frames;
    double decidedBeforeUs;  // the frame that decides ends before this
    std::int32_t offsetUs;
  } rows[] = {
      {Protocol::Nec, 0x12, 0x34, "NE", 1, 108000, 0},
      {Protocol::Nec, 0x00, 0xFF, "NE", 1, 108000, 150},
      {Protocol::Pioneer, 0xA6, 0x03, "NE", 1, 108000, -100},
      {Protocol::Sony12, 0x01, 0x15, "SO", 3, 90000, 0},
      {Protocol::Sony15, 0x9A, 0x2C, "SO", 3, 90000, 200},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(sir::ProtocolName(row.protocol));
    sir::LearnSetup capture;
    capture.frames = row.frames;
    capture.holdUs = 0;
    capture.markOffsetUs = row.offsetUs;
    const sir::Caught caught = sir::CatchPress(row.protocol, row.device, row.function, row.format, capture);
    ASSERT_TRUE(caught.got);

    Session s;
    s.Dark(30000);
    s.Press(row.protocol, row.device, row.function, row.frames, 0, row.offsetUs);
    const std::vector<sir::UartByte> bytes = s.Bytes(row.format);
    const std::size_t lastOfFrame = BytesBefore(bytes, 30000 + row.decidedBeforeUs);
    for (std::uint32_t late : {0u, 7u}) {
      SCOPED_TRACE(late);
      std::vector<Event> heard = Listen(row.format, bytes, late);
      ASSERT_EQ(heard.size(), 1u);
      EXPECT_EQ(heard[0].heard, Heard::Press);
      EXPECT_EQ(heard[0].code, caught.code);
      // A last bit of "1" is told by the dark at its byte's end, before the closing mark.
      EXPECT_LE(heard[0].bytesIn, lastOfFrame + (late == 0 ? 0 : 4));
      EXPECT_GE(heard[0].bytesIn, lastOfFrame - 1);
    }
  }
}

// Held, a button is reported again for every NEC repeat code and every Sony frame
// after the three a tap sends; once it is let go, nothing more comes.
TEST(FrameStream, AHeldButtonRepeatsUntilItIsLetGo) {
  struct Row {
    Protocol protocol;
    const char* format;
    std::uint32_t periodUs;
    int tapFrames;
  } rows[] = {{Protocol::Nec, "NE", 108000, 1}, {Protocol::Sony12, "SO", 45000, 3}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.format);
    Session s;
    s.Dark(20000);
    s.Press(row.protocol, 0x05, 0x21, 1, 1000000);
    const int frames = static_cast<int>(1000000 / row.periodUs) + 1;
    s.Dark(400000);
    s.Press(row.protocol, 0x05, 0x22, row.tapFrames);
    std::vector<Event> heard = Listen(row.format, s.Bytes(row.format));
    ASSERT_EQ(Count(heard, Heard::Press), 2);
    EXPECT_EQ(heard.front().heard, Heard::Press);
    EXPECT_EQ(Count(heard, Heard::Held), frames - row.tapFrames);
    for (std::size_t i = 0; i + 1 < heard.size(); ++i) EXPECT_EQ(heard[i].code, heard.front().code);
    // The last report is the next button's tap, nothing of the first after release.
    EXPECT_EQ(heard.back().heard, Heard::Press);
    EXPECT_NE(heard.back().code, heard.front().code);
  }
}

// Noise between presses (stray light, a lamp's flicker) gives nothing and does
// not cost the next press; bytes that never make a frame give nothing.
TEST(FrameStream, NoiseBetweenPressesGivesNothingAndLosesNoPress) {
  for (const char* format : {"NE", "SO"}) {
    SCOPED_TRACE(format);
    const Protocol p = format[0] == 'N' ? Protocol::Nec : Protocol::Sony12;
    const int tap = kestrel::KnownFormat(format).stream.tapFrames;
    Session s;
    for (int i = 0; i < 5; ++i) {
      s.Dark(60000);
      s.light.push_back(300 + 200 * i);  // a flash
    }
    s.Dark(200000);
    s.Press(p, 0x11, 0x22, tap);
    for (int i = 0; i < 3; ++i) {
      s.Dark(70000);
      s.light.push_back(150);
    }
    s.Dark(200000);
    s.Press(p, 0x11, 0x24, tap);
    std::vector<Event> heard = Listen(format, s.Bytes(format));
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].heard, Heard::Press);
    EXPECT_EQ(heard[1].heard, Heard::Press);
    EXPECT_NE(heard[0].code, heard[1].code);
  }
  // Sony 20 bit never confirms in the Sony lengths: nothing, as the capture.
  Session s;
  s.Press(Protocol::Sony20, 0x11, 0x22, 5);
  EXPECT_TRUE(Listen("SO", s.Bytes("SO")).empty());
}

// NEC's 32 bits may also be a JVC frame and the start of its copy, which the
// capture tells by the bit after the copy: the stream waits for it too, and
// gives what the capture gives.
TEST(FrameStream, AFrameThatMayBeJvcWaitsForTheBitThatTellsIt) {
  struct Row {
    Protocol protocol;
    std::uint32_t device, function;
  } rows[] = {{Protocol::Jvc, 0x03, 0x44}, {Protocol::Jvc, 0x81, 0x10}, {Protocol::Nec, 0x11, 0x23},
              {Protocol::Nec, 0x11, 0x22}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.function);
    const sir::Caught captured = sir::CatchPress(row.protocol, row.device, row.function, "NE");
    const sir::Caught streamed = sir::StreamPress(row.protocol, row.device, row.function, "NE");
    EXPECT_EQ(streamed.got, captured.got);
    EXPECT_EQ(streamed.code, captured.code);
  }
}

// Formats the stream does not read frame by frame are read a press at a time,
// as one capture, once the silence after it is over.
TEST(FrameStream, OtherFormatsAreReadAPressAtATime) {
  Session s;
  s.Dark(10000);
  s.Press(Protocol::Pioneer, 0xA6, 0x44, 3);
  s.Dark(300000);
  s.Press(Protocol::Pioneer, 0xA6, 0x45, 2);
  const std::vector<sir::UartByte> bytes = s.Bytes("PI");
  kestrel::FrameStream stream("PI");
  std::vector<Event> heard = Listen("PI", bytes);
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_EQ(heard[0].heard, Heard::Burst);
  EXPECT_EQ(heard[1].heard, Heard::Burst);
  // The first burst holds exactly the first press's bytes.
  EXPECT_EQ(heard[0].bytesIn, BytesBefore(bytes, 10000 + 3 * 108000));
  // A full capture's worth ends a burst at once.
  std::vector<std::uint8_t> many(kestrel::FrameStream::kMaxPressBytes, 0x55);
  std::size_t used = 0;
  EXPECT_EQ(stream.Feed(many.data(), many.size(), 5, used).heard, Heard::Burst);
  EXPECT_EQ(used, many.size());
  EXPECT_EQ(stream.Bytes().size(), many.size());
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pellow/pellow_core.h"
#include "remotes/ir55/ir55_emulator.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// 1200 baud, 8N1: ten bits of 833.3 us.
constexpr std::uint64_t kByteUs = 8334;

std::vector<std::uint64_t> Times(const ir55::Script& s) {
  std::vector<std::uint64_t> t;
  for (const ir55::TimedByte& b : s.Bytes()) t.push_back(b.atUs);
  return t;
}

// What the watcher's stream step reports for the script's bytes.
std::vector<std::int32_t> StreamReports(const ir55::Script& s) {
  unsigned char press = 0;
  std::int32_t last = 0;
  std::vector<std::int32_t> out;
  for (std::uint8_t b : s.Values()) {
    const pellow::StreamReport r = pellow::StreamStep(b, press, last);
    if (r.report) out.push_back(r.codeByte);
  }
  return out;
}

// The learning read against the script's timing: a poll every 50 ms takes every byte
// that has arrived by then. Returns the code byte, or -1 if the read stays silent.
int BurstRead(const ir55::Script& s) {
  pellow::BurstPoll poll;
  std::vector<unsigned char> got;
  std::size_t next = 0;
  for (std::uint64_t now = 0;; now += pellow::kBurstPollIntervalMs * 1000) {
    std::uint32_t n = 0;
    for (; next < s.Bytes().size() && s.Bytes()[next].atUs <= now; ++next, ++n)
      got.push_back(s.Bytes()[next].value);
    const pellow::BurstStep step = pellow::BurstAfterPoll(poll, n, static_cast<std::uint32_t>(got.size()));
    if (step == pellow::BurstStep::Silent) return -1;
    if (step == pellow::BurstStep::Complete) return pellow::BurstCodeByte(got.data(), got.size());
  }
}

TEST(Ir55Emulator, PressIsCodeThenEndMarkerBackToBack) {
  ir55::Script s;
  s.Press(0x41);
  EXPECT_EQ(s.Values(), (Bytes{0x41, 0x55}));
  EXPECT_EQ(Times(s), (std::vector<std::uint64_t>{kByteUs, 2 * kByteUs}));
  EXPECT_EQ(StreamReports(s), (std::vector<std::int32_t>{0x41}));
}

TEST(Ir55Emulator, HoldRepeatsTheCodeEveryPeriodUntilLetGo) {
  ir55::Script s;
  s.Hold(0x42, 300);
  // Repeats start at 45, 90, ... 270 ms; the end marker starts at 300 ms.
  EXPECT_EQ(s.Values(), (Bytes{0x52, 0x42, 0x42, 0x42, 0x42, 0x42, 0x42, 0x42, 0x55}));
  const auto t = Times(s);
  EXPECT_EQ(t[1], 2 * kByteUs);
  EXPECT_EQ(t[2], 45000 + kByteUs);
  EXPECT_EQ(t[7], 270000 + kByteUs);
  EXPECT_EQ(t[8], 300000 + kByteUs);
  EXPECT_EQ(StreamReports(s), (std::vector<std::int32_t>(7, 0x42)));
  EXPECT_EQ(BurstRead(s), 0x42);
}

TEST(Ir55Emulator, BytesNeverOverlapOnTheLine) {
  ir55::Script s;
  s.Press(0x41).Wait(20).Hold(0x80, 100).Release().Raw({0x41, 0x42, 0x55});
  const auto t = Times(s);
  ASSERT_EQ(t.size(), 11u);
  EXPECT_EQ(t[2], 2 * kByteUs + 20000 + kByteUs);  // the wait shifts what follows
  for (std::size_t i = 1; i < t.size(); ++i) EXPECT_GE(t[i] - t[i - 1], kByteUs) << i;
  EXPECT_EQ(s.EndUs(), t.back());
}

TEST(Ir55Emulator, ParsesThePlayersCommands) {
  ir55::Script parsed;
  std::string error;
  ASSERT_TRUE(ir55::ParseScript({"press", "41", "hold", "0x42", "300ms", "wait", "1.5s", "release",
                                 "byte", "80", "wait", "20"},
                                parsed, error))
      << error;
  ir55::Script built;
  built.Press(0x41).Hold(0x42, 300).Wait(1500).Release().Raw({0x80}).Wait(20);
  EXPECT_EQ(parsed.Values(), built.Values());
  EXPECT_EQ(Times(parsed), Times(built));
  EXPECT_EQ(parsed.EndUs(), built.EndUs());
}

TEST(Ir55Emulator, RejectsMalformedCommands) {
  for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
           {"press"}, {"press", "1ff"}, {"press", "zz"}, {"hold", "42"}, {"hold", "42", "3x"},
           {"wait", ""}, {"wait", "-5"}, {"wait", "1.2.3s"}, {"jump"}}) {
    ir55::Script s;
    std::string error;
    EXPECT_FALSE(ir55::ParseScript(words, s, error)) << words[0];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace

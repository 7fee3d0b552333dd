#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pellow/pellow_core.h"

namespace {

std::string Code(std::int32_t codeByte, const char* prefix = "LW") {
  char text[pellow::kCodeTextSize];
  pellow::FormatCode(text, sizeof text, prefix, codeByte);
  return text;
}

std::string BurstCode(std::vector<unsigned char> bytes) {
  const int code = pellow::BurstCodeByte(bytes.data(), bytes.size());
  return code < 0 ? "<none>" : Code(pellow::WidenCodeByte(static_cast<unsigned char>(code)));
}

// Feeds a byte stream from a fresh state; one entry per byte, "" where nothing is reported.
std::vector<std::string> Stream(std::vector<unsigned char> bytes) {
  unsigned char press = 0;
  std::int32_t last = 0;
  std::vector<std::string> out;
  for (unsigned char b : bytes) {
    const pellow::StreamReport r = pellow::StreamStep(b, press, last);
    out.push_back(r.report ? Code(r.codeByte) : "");
  }
  return out;
}

struct PollOutcome {
  pellow::BurstStep step;
  int polls;
};

// Runs the burst bookkeeping over the byte counts of successive polls (0 after the list).
PollOutcome Polls(std::vector<std::uint32_t> counts) {
  pellow::BurstPoll poll;
  std::uint32_t collected = 0;
  for (int i = 0; i < 1000; ++i) {
    const std::uint32_t n = i < static_cast<int>(counts.size()) ? counts[i] : 0;
    collected += n;
    const pellow::BurstStep s = pellow::BurstAfterPoll(poll, n, collected);
    if (s != pellow::BurstStep::Continue) return {s, i + 1};
  }
  return {pellow::BurstStep::Continue, 1000};
}

TEST(PellowCode, ByteIsSignExtendedFromEightBits) {
  EXPECT_EQ(Code(0x41), "LW 00 41");
  EXPECT_EQ(Code(0x0a), "LW 00 0a");
  EXPECT_EQ(Code(pellow::WidenCodeByte(0x7f)), "LW 00 7f");
  EXPECT_EQ(Code(pellow::WidenCodeByte(0x80)), "LW 00 ffffff80");
  EXPECT_EQ(Code(pellow::WidenCodeByte(0xff)), "LW 00 ffffffff");
  EXPECT_EQ(Code(0x41, "NE"), "NE 00 41");
}

TEST(PellowCode, LongestCodeFitsAndOverlongPrefixIsCut) {
  EXPECT_EQ(Code(pellow::WidenCodeByte(0x80), "ABCDEFGHIJKLMNO"), "ABCDEFGHIJKLMNO 00 ffffff80");
  EXPECT_EQ(Code(pellow::WidenCodeByte(0x80), "ABCDEFGHIJKLMNO").size() + 1, pellow::kCodeTextSize);

  // A prefix buffer the program filled without a terminator: only 15 characters count.
  char prefix[pellow::kPrefixSize + 4];
  std::memset(prefix, 'Z', sizeof prefix);
  EXPECT_EQ(Code(0x41, prefix), "ZZZZZZZZZZZZZZZ 00 41");
  EXPECT_EQ(Code(0x41, nullptr), " 00 41");
}

TEST(PellowCode, NeverWritesPastTheGivenSize) {
  char text[16];
  std::memset(text, '#', sizeof text);
  EXPECT_EQ(pellow::FormatCode(text, 5, "LW", 0x41), 8);
  EXPECT_STREQ(text, "LW 0");
  EXPECT_EQ(text[5], '#');
  EXPECT_EQ(pellow::FormatCode(nullptr, 28, "LW", 0x41), -1);
  EXPECT_EQ(pellow::FormatCode(text, 0, "LW", 0x41), -1);
  EXPECT_EQ(text[0], 'L');
}

TEST(PellowBurst, CodeByteIsTheFirstThatIsNoMarker) {
  EXPECT_EQ(BurstCode({0x41, 0x42, 0x55}), "LW 00 41");
  EXPECT_EQ(BurstCode({0x41, 0x42, 0x43}), "LW 00 41");
  EXPECT_EQ(BurstCode({0x52, 0x41, 0x41, 0x41}), "LW 00 41");  // a held key
  EXPECT_EQ(BurstCode({0x80, 0x80, 0x55}), "LW 00 ffffff80");
  // A tap: its code byte, then the end marker or nothing more.
  EXPECT_EQ(BurstCode({0x41, 0x55}), "LW 00 41");
  EXPECT_EQ(BurstCode({0x41}), "LW 00 41");
  EXPECT_EQ(BurstCode({0x80, 0x55}), "LW 00 ffffff80");
  // The end of an earlier press, then a tap: the tap's code, not the marker.
  EXPECT_EQ(BurstCode({0x55, 0x41, 0x55}), "LW 00 41");
  EXPECT_EQ(BurstCode({0x52, 0x41}), "LW 00 41");
  // Markers only carry no button.
  for (std::vector<unsigned char> markers : {std::vector<unsigned char>{0x55}, {0x52, 0x55}, {0x55, 0x52, 0x55}, {}})
    EXPECT_EQ(pellow::BurstCodeByte(markers.data(), markers.size()), -1) << markers.size();
  EXPECT_EQ(pellow::BurstCodeByte(nullptr, 3), -1);
}

TEST(PellowBurst, SilenceEndsTheReadAfterAHundredPolls) {
  const PollOutcome silent = Polls({});
  EXPECT_EQ(silent.step, pellow::BurstStep::Silent);
  EXPECT_EQ(silent.polls, pellow::kBurstPolls);
}

TEST(PellowBurst, ThreeBytesOrTwoQuietPollsEndABurst) {
  EXPECT_EQ(Polls({3}).step, pellow::BurstStep::Complete);
  EXPECT_EQ(Polls({3}).polls, 1);
  EXPECT_EQ(Polls({0, 0, 2, 1}).polls, 4);
  // A lone byte, then two empty polls.
  const PollOutcome lone = Polls({1});
  EXPECT_EQ(lone.step, pellow::BurstStep::Complete);
  EXPECT_EQ(lone.polls, 3);
  // A byte between two empty polls clears the quiet mark: two empty polls in a row are needed.
  EXPECT_EQ(Polls({1, 0, 1}).polls, 5);
}

TEST(PellowBurst, ALateByteStartsANewRunOfPolls) {
  std::vector<std::uint32_t> counts(99, 0);
  counts.push_back(1);  // the hundredth poll brings a byte
  const PollOutcome late = Polls(counts);
  EXPECT_EQ(late.step, pellow::BurstStep::Complete);
  EXPECT_EQ(late.polls, 102);
}

TEST(PellowStream, LoneCodeIsReportedAtTheEndMarker) {
  EXPECT_EQ(Stream({0x41, 0x55}), (std::vector<std::string>{"", "LW 00 41"}));
  EXPECT_EQ(Stream({0x80, 0x55}), (std::vector<std::string>{"", "LW 00 ffffff80"}));
  // Only the last code before the marker counts, and a repeated marker reports nothing.
  EXPECT_EQ(Stream({0x41, 0x42, 0x55, 0x55}), (std::vector<std::string>{"", "", "LW 00 42", ""}));
  // A marker before any code reports the initial LastByte of 0.
  EXPECT_EQ(Stream({0x55}), (std::vector<std::string>{"LW 00 00"}));
}

TEST(PellowStream, HeldRunReportsEveryCodeAndNotItsEnd) {
  EXPECT_EQ(Stream({0x52, 0x41, 0x41, 0x55}),
            (std::vector<std::string>{"", "LW 00 41", "LW 00 41", ""}));
  // A second end marker after a run repeats the last code once, a third does not.
  EXPECT_EQ(Stream({0x52, 0x41, 0x55, 0x55, 0x55}),
            (std::vector<std::string>{"", "LW 00 41", "", "LW 00 41", ""}));
  // After a run, a plain press goes back to waiting for the marker.
  EXPECT_EQ(Stream({0x52, 0x41, 0x55, 0x43, 0x55}),
            (std::vector<std::string>{"", "LW 00 41", "", "", "LW 00 43"}));
}

}  // namespace

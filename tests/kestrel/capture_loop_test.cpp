#include "kestrel/capture_loop.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Next = kestrel::CapturePoll::Next;

struct Outcome {
  unsigned reads = 0;
  unsigned sleeps = 0;
  unsigned long captured = 0;
  bool noSignal = false;
};

// Drives the loop the way the capture does; reads past the list return nothing.
Outcome Drive(const std::vector<unsigned long>& arrivals) {
  kestrel::CapturePoll poll;
  Outcome o;
  while (o.reads < 100000) {  // a loop that never ends shows up as a huge count
    unsigned long want = kestrel::ReadRequest(o.captured);
    unsigned long got = o.reads < arrivals.size() ? arrivals[o.reads] : 0;
    if (got > want) got = want;
    ++o.reads;
    o.captured += got;
    Next next = poll.AfterRead(got);
    if (next == Next::Leave) break;
    ++o.sleeps;
    if (next == Next::SleepThenLeave) break;
  }
  o.noSignal = poll.NoSignal(o.captured);
  return o;
}

TEST(CapturePoll, NothingArrivingGivesUpAfterAHundredPolls) {
  Outcome o = Drive({});
  EXPECT_EQ(o.reads, 100u);
  EXPECT_EQ(o.sleeps, 100u);  // the last poll still sleeps: about five seconds in all
  EXPECT_TRUE(o.noSignal);
}

TEST(CapturePoll, EndsAtTheSecondEmptyPollAfterData) {
  Outcome o = Drive({5});
  EXPECT_EQ(o.reads, 3u);
  EXPECT_EQ(o.sleeps, 2u);  // leaves at once on the second empty read
  EXPECT_EQ(o.captured, 5u);
  EXPECT_FALSE(o.noSignal);

  // One empty poll between bursts is not yet the end.
  o = Drive({4, 0, 6});
  EXPECT_EQ(o.reads, 5u);
  EXPECT_EQ(o.captured, 10u);
}

TEST(CapturePoll, AFirstByteOnTheLastPollRestartsTheCount) {
  std::vector<unsigned long> late(99, 0);
  late.push_back(3);
  Outcome o = Drive(late);
  EXPECT_EQ(o.reads, 102u);
  EXPECT_EQ(o.captured, 3u);
  EXPECT_FALSE(o.noSignal);

  // One poll later is too late: the capture has already given up.
  std::vector<unsigned long> tooLate(100, 0);
  tooLate.push_back(3);
  o = Drive(tooLate);
  EXPECT_EQ(o.reads, 100u);
  EXPECT_EQ(o.captured, 0u);
  EXPECT_TRUE(o.noSignal);
}

TEST(CapturePoll, ALineThatNeverGoesQuietIsGivenUpAtTheBound) {
  // A byte every poll, and 2 bytes every other poll (a lamp's trickle), for far
  // longer than a hundred polls: the capture ends at its bound without a signal.
  for (int period : {1, 2}) {
    std::vector<unsigned long> steady;
    for (int i = 0; i < 2000; ++i) steady.push_back(i % period == 0 ? 2 : 0);
    Outcome o = Drive(steady);
    EXPECT_EQ(o.reads, kestrel::CapturePoll::kMaxPolls) << period;
    EXPECT_TRUE(o.noSignal) << period;
  }
}

}  // namespace

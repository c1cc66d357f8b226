#include "platform/clock_pacer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using platform::ClockPacer;
using std::chrono::microseconds;

// A fake clock: each read costs `read_cost`; a sleep ends `late` after the
// time asked for, or at once when input is due before it.
struct FakeClock {
  ClockPacer::Duration now{};
  microseconds read_cost{30};
  microseconds late{70};
  ClockPacer::Duration input_at = ClockPacer::Duration::max();
  int sleeps = 0;

  std::uint32_t read(ClockPacer& pacer) {
    return pacer.read(
        [this] {
          now += read_cost;
          return now;
        },
        [this](ClockPacer::Duration until) {
          ++sleeps;
          if (input_at < until) {
            now = std::max(now, input_at);
            return;
          }
          now = until + late;
        });
  }
};

// The game's WAIT1: one read for the start, then poll until `ms` passed.
std::vector<std::uint32_t> wait1(FakeClock& clock, ClockPacer& pacer, std::uint32_t ms) {
  std::vector<std::uint32_t> seen{clock.read(pacer)};
  while (seen.back() - seen.front() < ms) seen.push_back(clock.read(pacer));
  return seen;
}

std::vector<std::uint32_t> distinct(const std::vector<std::uint32_t>& v) {
  std::vector<std::uint32_t> out;
  for (auto x : v)
    if (out.empty() || out.back() != x) out.push_back(x);
  return out;
}

TEST(ClockPacer, AWaitSleepsYetEndsOnTheSameMillisecondAsABusyPoll) {
  struct Row {
    microseconds start;
    std::uint32_t ms;
  };
  for (Row row : {Row{microseconds(0), 5}, Row{microseconds(10'990), 5},
                  Row{microseconds(123'456), 1}, Row{microseconds(7'500), 200}}) {
    FakeClock busy, paced;
    busy.now = paced.now = row.start;
    busy.late = microseconds(0);
    ClockPacer never_sleeps, pacer;
    // A busy poll: the same reads, but every read counts as activity.
    std::vector<std::uint32_t> spun{busy.read(never_sleeps)};
    while (spun.back() - spun.front() < row.ms) {
      never_sleeps.activity();
      spun.push_back(busy.read(never_sleeps));
    }
    auto slept = wait1(paced, pacer, row.ms);
    EXPECT_EQ(busy.sleeps, 0);
    EXPECT_EQ(distinct(slept), distinct(spun)) << "start " << row.start.count();
    EXPECT_EQ(slept.back(), slept.front() + row.ms);
    // About one sleep per millisecond, instead of dozens of reads.
    EXPECT_LE(paced.sleeps, static_cast<int>(row.ms) + 1);
    EXPECT_LE(slept.size(), 2 * row.ms + 3);
  }
}

TEST(ClockPacer, TheStartOfAWaitRightAfterAnotherNeverSleeps) {
  FakeClock clock;
  clock.now = microseconds(40'100);
  ClockPacer pacer;
  auto first = wait1(clock, pacer, 3);
  // The next wait starts in the millisecond the first one ended in.
  int sleeps = clock.sleeps;
  auto second = wait1(clock, pacer, 2);
  EXPECT_EQ(second.front(), first.back());
  EXPECT_EQ(second.back(), first.back() + 2);
  EXPECT_GT(clock.sleeps, sleeps);
}

TEST(ClockPacer, InputCutsASleepShortAndActivityStartsTheCountAgain) {
  FakeClock clock;
  clock.now = microseconds(5'000);
  ClockPacer pacer;
  EXPECT_EQ(clock.read(pacer), 5u);
  EXPECT_EQ(clock.read(pacer), 5u);
  clock.input_at = microseconds(5'400);
  EXPECT_EQ(clock.read(pacer), 5u);  // woken by input, still in the same millisecond
  EXPECT_EQ(clock.sleeps, 1);
  clock.input_at = ClockPacer::Duration::max();
  pacer.activity();
  EXPECT_EQ(clock.read(pacer), 5u);
  EXPECT_EQ(clock.read(pacer), 5u);
  EXPECT_EQ(clock.sleeps, 1);
  EXPECT_EQ(clock.read(pacer), 6u);
  EXPECT_EQ(clock.sleeps, 2);
}

}  // namespace

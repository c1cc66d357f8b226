// A clock poll that sleeps between readings, seen from the program: the same
// readings as a busy poll, only fewer of each.
#include "platform/clock_pacer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

using platform::ClockPacer;
using std::chrono::microseconds;

// A fake clock: each read costs `read_cost`; a sleep ends `late` after the
// time asked for, or at once when input is due before it.
struct FakeClock {
  ClockPacer::Duration now{};
  microseconds read_cost{30}, late{70};
  ClockPacer::Duration input_at = ClockPacer::Duration::max();
  int sleeps = 0;

  std::uint32_t read(ClockPacer& pacer) {
    auto sleep = [this](ClockPacer::Duration until) {
      ++sleeps;
      now = input_at < until ? std::max(now, input_at) : until + late;
    };
    return pacer.read([this] { return now += read_cost; }, sleep);
  }
  // The game's WAIT1: one read for the start, then poll until `ms` passed;
  // `busy` counts every read as activity, so nothing sleeps.
  std::vector<std::uint32_t> wait1(ClockPacer& pacer, std::uint32_t ms, bool busy = false) {
    std::vector<std::uint32_t> seen{read(pacer)};
    while (seen.back() - seen.front() < ms) {
      if (busy) pacer.activity();
      seen.push_back(read(pacer));
    }
    return seen;
  }
};

std::vector<std::uint32_t> distinct(std::vector<std::uint32_t> v) {
  v.erase(std::unique(v.begin(), v.end()), v.end());
  return v;
}

TEST(ClockPacer, AWaitSleepsYetEndsOnTheSameMillisecondAsABusyPoll) {
  for (auto [start, ms] : {std::pair{microseconds(0), 5u}, {microseconds(10'990), 5u},
                           {microseconds(123'456), 1u}, {microseconds(7'500), 200u}}) {
    FakeClock busy{start, microseconds(30), microseconds(0)}, paced{start};
    ClockPacer never_sleeps, pacer;
    auto spun = busy.wait1(never_sleeps, ms, true);
    auto slept = paced.wait1(pacer, ms);
    EXPECT_EQ(busy.sleeps, 0);
    EXPECT_EQ(distinct(slept), distinct(spun)) << "start " << start.count();
    EXPECT_EQ(slept.back(), slept.front() + ms);
    // About one sleep per millisecond, instead of dozens of reads.
    EXPECT_LE(paced.sleeps, static_cast<int>(ms) + 1);
    EXPECT_LE(slept.size(), 2 * ms + 3);
    // The next wait starts, without sleeping, in the millisecond this one ended in.
    const int sleeps = paced.sleeps;
    auto next = paced.wait1(pacer, 2);
    EXPECT_EQ(std::pair(next.front(), next.back()), std::pair(slept.back(), slept.back() + 2));
    EXPECT_GT(paced.sleeps, sleeps);
  }
}

TEST(ClockPacer, InputCutsASleepShortAndActivityStartsTheCountAgain) {
  FakeClock clock{microseconds(5'000)};
  ClockPacer pacer;
  EXPECT_EQ(std::pair(clock.read(pacer), clock.read(pacer)), std::pair(5u, 5u));
  clock.input_at = microseconds(5'400);
  EXPECT_EQ(clock.read(pacer), 5u);  // woken by input, still in the same millisecond
  EXPECT_EQ(clock.sleeps, 1);
  clock.input_at = ClockPacer::Duration::max();
  pacer.activity();
  EXPECT_EQ(std::pair(clock.read(pacer), clock.read(pacer)), std::pair(5u, 5u));
  EXPECT_EQ(clock.sleeps, 1);
  EXPECT_EQ(clock.read(pacer), 6u);
  EXPECT_EQ(clock.sleeps, 2);
}

}  // namespace

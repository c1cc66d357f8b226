// The virtual and the system clock; a clock poll that sleeps yet reads as a busy poll.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <iterator>
#include <numeric>
#include <vector>

#include "platform/clock_pacer.h"
#include "platform/headless_host.h"
#include "tests/support/env.h"

namespace platform {
namespace {

auto parts(const LocalTime& t) {
  return std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

TEST(HostClock, TheVirtualClockByTheCalendarAndTheSystemsLocalTime) {
  HostOptions o;
  o.start_time = LocalTime{2017, 3, 5, 23, 59, 58};
  HeadlessHost h(o);
  EXPECT_EQ(h.millis(), 0u);
  EXPECT_EQ(h.millis(), 1u);
  h.input_idle();
  EXPECT_EQ(h.millis(), 3u);
  h.advance(1995);
  EXPECT_EQ(parts(h.local_time()), parts({2017, 3, 5, 23, 59, 59})) << "1999 ms";
  h.advance(1);
  EXPECT_EQ(parts(h.local_time()), parts({2017, 3, 6, 0, 0, 0}));
  const std::tuple<LocalTime, std::uint64_t, LocalTime> cases[] = {
      {{2016, 2, 28, 23, 59, 59}, 1000, {2016, 2, 29, 0, 0, 0}},
      {{2017, 2, 28, 23, 59, 59}, 1999, {2017, 3, 1, 0, 0, 0}},
      {{2017, 12, 31, 23, 59, 59}, 1000, {2018, 1, 1, 0, 0, 0}},
      {{2017, 1, 1, 0, 0, 0}, 4294967295u, {2017, 2, 19, 17, 2, 47}},
      {{2000, 2, 28, 12, 0, 0}, 86400000, {2000, 2, 29, 12, 0, 0}},
      {{2100, 2, 28, 12, 0, 0}, 86400000, {2100, 3, 1, 12, 0, 0}}};
  for (const auto& [from, ms, to] : cases) EXPECT_EQ(parts(add_millis(from, ms)), parts(to)) << ms;
  testing_support::ScopedEnv utc("TZ", "UTC");
  auto now = [] {
    const std::time_t t = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&t, &utc);
    return std::tuple(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min,
                      utc.tm_sec);
  };
  auto before = now();
  auto got = parts(system_local_time());
  EXPECT_TRUE(got == before || got == now());
}

using std::chrono::microseconds;

// A fake clock: each read costs 30 us; a sleep ends 70 us after the time asked for.
struct FakeClock {
  ClockPacer::Duration now{};
  int sleeps = 0;

  std::uint32_t read(ClockPacer& pacer) {
    auto sleep = [this](ClockPacer::Duration until) {
      ++sleeps;
      now = until + microseconds(70);
    };
    return pacer.read([this] { return now += microseconds(30); }, sleep);
  }
  // The game's WAIT1: one read for the start, then poll until `ms` passed.
  std::vector<std::uint32_t> wait1(ClockPacer& pacer, std::uint32_t ms) {
    std::vector<std::uint32_t> seen{read(pacer)};
    while (seen.back() - seen.front() < ms) seen.push_back(read(pacer));
    return seen;
  }
};

// A wait sees every millisecond from its start to its end in order, as a busy
// poll would, with about one sleep per millisecond instead of dozens of reads.
TEST(ClockPacer, AWaitSleepsYetSeesEveryMillisecondAsABusyPoll) {
  for (auto [start, ms] : {std::pair{microseconds(0), 5u},
                           {microseconds(10'990), 5u},
                           {microseconds(123'456), 1u},
                           {microseconds(7'500), 200u}}) {
    FakeClock clock{start};
    ClockPacer pacer;
    auto seen = clock.wait1(pacer, ms);
    std::vector<std::uint32_t> every(ms + 1), distinct;
    std::iota(every.begin(), every.end(), seen.front());
    std::ranges::unique_copy(seen, std::back_inserter(distinct));
    EXPECT_EQ(distinct, every) << start.count();
    EXPECT_EQ(seen.front(), start.count() / 1000 + (start.count() % 1000 >= 970));
    EXPECT_LE(clock.sleeps, static_cast<int>(ms) + 1);
    EXPECT_LE(seen.size(), 2 * ms + 3);
  }
  // Activity (input, drawing) starts the count of reads again.
  FakeClock clock{microseconds(5'000)};
  ClockPacer pacer;
  EXPECT_EQ(std::pair(clock.read(pacer), clock.read(pacer)), std::pair(5u, 5u));
  pacer.activity();
  EXPECT_EQ(std::pair(clock.read(pacer), clock.read(pacer)), std::pair(5u, 5u));
  EXPECT_EQ(clock.sleeps, 0);
  EXPECT_EQ(clock.read(pacer), 6u);
}

}  // namespace
}  // namespace platform

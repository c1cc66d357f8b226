// The clocks: the headless host's virtual clock, the program's local time
// moving with it, and the system's local time.
#include "platform/headless_host.h"

#include <gtest/gtest.h>

#include <chrono>

#include "tests/support/env.h"

namespace platform {
namespace {

auto parts(const LocalTime& t) {
  return std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

TEST(HostClock, TheVirtualClockMovesAsTheProgramReadsItOrWaits) {
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
}

TEST(HostClock, AddingMillisecondsKeepsToTheCalendar) {
  const std::tuple<LocalTime, std::uint64_t, LocalTime> cases[] = {
      {{2016, 2, 28, 23, 59, 59}, 1000, {2016, 2, 29, 0, 0, 0}},
      {{2017, 2, 28, 23, 59, 59}, 1999, {2017, 3, 1, 0, 0, 0}},
      {{2017, 12, 31, 23, 59, 59}, 1000, {2018, 1, 1, 0, 0, 0}},
      {{2017, 1, 1, 0, 0, 0}, 4294967295u, {2017, 2, 19, 17, 2, 47}},
      {{2000, 2, 28, 12, 0, 0}, 86400000, {2000, 2, 29, 12, 0, 0}},
      {{2100, 2, 28, 12, 0, 0}, 86400000, {2100, 3, 1, 12, 0, 0}}};
  for (const auto& [from, ms, to] : cases) EXPECT_EQ(parts(add_millis(from, ms)), parts(to)) << ms;
}

TEST(HostClock, TheSystemsLocalTimeIsTheCalendarTimeNow) {
  testing_support::ScopedEnv utc("TZ", "UTC");
  using namespace std::chrono;
  auto now = [] {
    auto t = floor<seconds>(system_clock::now());
    year_month_day d{floor<days>(t)};
    hh_mm_ss hms{t - floor<days>(t)};
    return std::tuple(static_cast<int>(d.year()), static_cast<int>(unsigned{d.month()}),
                      static_cast<int>(unsigned{d.day()}), static_cast<int>(hms.hours().count()),
                      static_cast<int>(hms.minutes().count()),
                      static_cast<int>(hms.seconds().count()));
  };
  auto before = now();
  auto got = parts(system_local_time());
  EXPECT_TRUE(got == before || got == now());
}

}  // namespace
}  // namespace platform

// The clocks: the headless host's virtual clock, the program's local time
// moving with it, the system's local time; and a script driving the host.
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
    return parts({static_cast<int>(d.year()), static_cast<int>(static_cast<unsigned>(d.month())),
                  static_cast<int>(static_cast<unsigned>(d.day())),
                  static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()),
                  static_cast<int>(hms.seconds().count())});
  };
  auto before = now();
  auto got = parts(system_local_time());
  EXPECT_TRUE(got == before || got == now());
}

struct Sink : EventSink {
  void on_event(const Event& e) override { types.push_back(e.type); }
  std::vector<Event::Type> types;
};

TEST(HeadlessHost, AScriptDrivesItUntilItSaysStop) {
  const std::string path = ::testing::TempDir() + "headless-host-shot.png";
  HostOptions o;
  std::string err;
  o.script = parse_script("wait 40\nshot " + path + "\nexpect 0 0 x\nclose\n", &err);
  HeadlessHost h(o);
  EXPECT_FALSE(h.create_window({"T", 0, 504}, &err));
  ASSERT_TRUE(h.create_window({"T", 64, 32}, &err)) << err;
  h.picture().set(3, 4, rgb(0x12, 0x34, 0x56));
  Sink s;
  int pumps = 0;
  while (h.pump(s) && pumps < 100) ++pumps, h.millis();
  EXPECT_EQ(pumps, 40) << "one millisecond a pump";
  EXPECT_EQ(h.quit_code(), 1) << "the expect has no program to look into";
  EXPECT_FALSE(h.pump(s)) << "stopped for good";
  Surface back;
  ASSERT_TRUE(load_png(path, &back, &err)) << err;
  EXPECT_EQ(back, h.picture());
  std::remove(path.c_str());
}

}  // namespace
}  // namespace platform

// The headless host: its virtual clock and the program's local time, the
// events it hands out, and a script driving it.
#include "platform/headless_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "tests/support/env.h"

namespace platform {
namespace {

struct Sink : EventSink {
  void on_event(const Event& e) override { types.push_back(e.type); }
  std::vector<Event::Type> types;
};

TEST(HeadlessHost, TheClockMovesOnAsTheProgramReadsItOrWaitsAndLocalTimeFollows) {
  HostOptions o;
  o.start_time = LocalTime{2017, 3, 5, 23, 59, 58};
  HeadlessHost h(o);
  EXPECT_EQ(h.millis(), 0u);
  EXPECT_EQ(h.millis(), 1u);
  h.input_idle();
  EXPECT_EQ(h.millis(), 3u);
  h.advance(1995);
  EXPECT_EQ(h.local_time().second, 59) << "1999 ms";
  h.advance(1);
  LocalTime t = h.local_time();
  EXPECT_EQ(std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second), std::tuple(2017, 3, 6, 0, 0, 0));
}

TEST(HostClock, AddingMillisecondsKeepsToTheCalendar) {
  const struct {
    LocalTime from;
    std::uint64_t ms;
    LocalTime to;
  } cases[] = {{{2016, 2, 28, 23, 59, 59}, 1000, {2016, 2, 29, 0, 0, 0}},
               {{2017, 2, 28, 23, 59, 59}, 1999, {2017, 3, 1, 0, 0, 0}},
               {{2017, 12, 31, 23, 59, 59}, 1000, {2018, 1, 1, 0, 0, 0}},
               {{2017, 1, 1, 0, 0, 0}, 4294967295u, {2017, 2, 19, 17, 2, 47}},
               {{2000, 2, 28, 12, 0, 0}, 86400000, {2000, 2, 29, 12, 0, 0}},
               {{2100, 2, 28, 12, 0, 0}, 86400000, {2100, 3, 1, 12, 0, 0}}};
  for (const auto& c : cases) {
    LocalTime t = add_millis(c.from, c.ms);
    EXPECT_EQ(std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second),
              std::tuple(c.to.year, c.to.month, c.to.day, c.to.hour, c.to.minute, c.to.second))
        << c.from.year << " + " << c.ms;
  }
}

TEST(HostClock, TheSystemsLocalTimeIsTheCalendarTimeNow) {
  testing_support::ScopedEnv utc("TZ", "UTC");
  using namespace std::chrono;
  auto now_parts = [] {
    auto now = floor<seconds>(system_clock::now());
    auto day = floor<days>(now);
    year_month_day ymd{day};
    hh_mm_ss hms{now - day};
    return std::tuple(static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                      static_cast<int>(static_cast<unsigned>(ymd.day())), static_cast<int>(hms.hours().count()),
                      static_cast<int>(hms.minutes().count()), static_cast<int>(hms.seconds().count()));
  };
  auto before = now_parts();
  LocalTime t = system_local_time();
  auto got = std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second);
  EXPECT_TRUE(got == before || got == now_parts());
}

TEST(HeadlessHost, HandsOutEventsInOrderUntilTheWindowCloses) {
  HeadlessHost h;
  std::string err;
  EXPECT_FALSE(h.create_window({"T", 0, 504}, &err));
  EXPECT_FALSE(err.empty());
  ASSERT_TRUE(h.create_window({"T", 64, 32}, &err)) << err;
  EXPECT_EQ(std::pair(h.picture().width(), h.picture().height()), std::pair(64, 32));
  Event move, close;
  move.type = Event::Type::MouseMove;
  h.push_event(move);
  Sink s;
  EXPECT_TRUE(h.pump(s));
  h.push_event(close);
  h.push_event(move);
  EXPECT_FALSE(h.pump(s));
  EXPECT_FALSE(h.pump(s)) << "stays closed";
  EXPECT_EQ(s.types, (std::vector{Event::Type::MouseMove, Event::Type::Close}));
  // Without a script nobody answers: waiting for input closes the window.
  HeadlessHost alone;
  alone.input_idle();
  EXPECT_FALSE(alone.pump(s));
  EXPECT_EQ(alone.quit_code(), 0);
  HeadlessHost stopped;
  request_quit_from_signal();
  EXPECT_FALSE(stopped.pump(s));
  clear_quit_request();
}

TEST(HeadlessHost, AScriptDrivesItOnTheVirtualClock) {
  const std::string path = ::testing::TempDir() + "headless-host-shot.png";
  HostOptions o;
  std::string err;
  o.script = parse_script("wait 40\nshot " + path + "\nexpect 0 0 x\nclose\n", &err);
  ASSERT_TRUE(o.script) << err;
  HeadlessHost h(o);
  ASSERT_TRUE(h.create_window({"T", 64, 32}, &err));
  h.picture().set(3, 4, rgb(255, 0, 0));
  Sink s;
  int pumps = 0;
  while (h.pump(s) && pumps < 100) ++pumps, h.millis();
  EXPECT_EQ(pumps, 40) << "one millisecond a pump";
  EXPECT_EQ(h.quit_code(), 1) << "the expect found no program to look into";
  Surface back;
  ASSERT_TRUE(load_png(path, &back, &err)) << err;
  EXPECT_EQ(back, h.picture());
  std::remove(path.c_str());
}

}  // namespace
}  // namespace platform

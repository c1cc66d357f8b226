#include "platform/headless_host.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

class Sink : public EventSink {
 public:
  void on_event(const Event& e) override { events.push_back(e); }
  std::vector<Event> events;
};

TEST(HeadlessHost, TheClockMovesOnAsTheProgramReadsItOrWaitsAndLocalTimeFollows) {
  HostOptions o;
  o.start_time = LocalTime{2017, 3, 5, 23, 59, 58};
  HeadlessHost h(o);
  std::uint32_t t0 = h.millis();
  std::uint32_t t1 = h.millis();
  EXPECT_EQ(t1 - t0, 1u);
  h.input_idle();
  EXPECT_EQ(h.millis() - t1, 2u);
  h.advance(2500);
  LocalTime t = h.local_time();
  EXPECT_EQ(t.month, 3);
  EXPECT_EQ(t.day, 6);
  EXPECT_EQ(t.hour, 0);
  EXPECT_EQ(t.second, 0);
}

TEST(HeadlessHost, DeliversQueuedEventsInOrderAndStopsAtClose) {
  HeadlessHost h;
  std::string err;
  ASSERT_TRUE(h.create_window({"T", 640, 504}, &err));
  EXPECT_EQ(h.picture().width(), 640);
  Event a, b, c;
  a.type = Event::Type::MouseMove;
  b.type = Event::Type::Close;
  c.type = Event::Type::MouseMove;
  h.push_event(a);
  h.push_event(b);
  h.push_event(c);
  Sink s;
  EXPECT_FALSE(h.pump(s));
  ASSERT_EQ(s.events.size(), 2u);
  EXPECT_EQ(s.events[1].type, Event::Type::Close);
  EXPECT_FALSE(h.pump(s)) << "stays closed";
}

TEST(HeadlessHost, AScriptDrivesItAndShotsSavePictures) {
  HostOptions o;
  std::string err;
  std::string path = ::testing::TempDir() + "headless-shot.png";
  o.script = parse_script("wait 10\nshot " + path + "\nclose\n", &err);
  ASSERT_TRUE(o.script) << err;
  HeadlessHost h(o);
  ASSERT_TRUE(h.create_window({"T", 64, 32}, &err));
  h.picture().set(3, 4, rgb(255, 0, 0));
  Sink s;
  int pumps = 0;
  while (h.pump(s)) {
    h.millis();
    ASSERT_LT(++pumps, 100);
  }
  EXPECT_GE(pumps, 10);
  Surface back;
  ASSERT_TRUE(load_png(path, &back, &err)) << err;
  EXPECT_EQ(back, h.picture());
}

}  // namespace
}  // namespace platform

// Keys, mouse, clock and random numbers, through a runtime on the headless host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sjis.h"
#include "tests/support/program.h"

namespace {

using platform::Event;
using platform::Key;
using testing_support::error_of;
using testing_support::Program;

Event key(Key k, bool down = true, bool shift = false, bool ctrl = false) {
  Event e;
  e.type = down ? Event::Type::KeyDown : Event::Type::KeyUp;
  e.key = k;
  e.shift = shift;
  e.ctrl = ctrl;
  return e;
}

Event ch(char32_t c, bool ctrl = false) {
  Event e = key(Key::Char, true, false, ctrl);
  e.ch = c;
  return e;
}

Event text(const std::string& utf8) {
  Event e;
  e.type = Event::Type::Text;
  e.text = utf8;
  return e;
}

Event mouse(Event::Type t, int x, int y, platform::MouseButton b = platform::MouseButton::Left) {
  Event e;
  e.type = t;
  e.x = x;
  e.y = y;
  e.button = b;
  return e;
}

// Every byte INKEY$ gives until the buffer is empty.
std::vector<int> drain(rt::Runtime& r) {
  std::vector<int> out;
  for (std::string k = r.INKEY(0); !k.empty(); k = r.INKEY(0)) {
    out.push_back(static_cast<unsigned char>(k[0]));
  }
  return out;
}

std::vector<int> codes_of(const std::vector<Event>& events) {
  Program p;
  p.start();
  for (const Event& e : events) p.rt().on_input_event(e);
  return drain(p.rt());
}

TEST(Keys, EditingAndCursorKeysGiveTheirCodes) {
  const struct {
    Key key;
    int code;
  } cases[] = {
      {Key::Up, 30},    {Key::Down, 31},     {Key::Right, 28},   {Key::Left, 29},
      {Key::Enter, 13}, {Key::Backspace, 8}, {Key::Tab, 9},      {Key::Escape, 27},
      {Key::Home, 11},  {Key::Clear, 12},    {Key::PageUp, 19},  {Key::PageDown, 20},
      {Key::End, 21},   {Key::Insert, 18},   {Key::Delete, 127}, {Key::Execute, 13},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(codes_of({key(c.key), key(c.key, false)}), std::vector<int>{c.code})
        << platform::key_name(c.key);
  }
}

TEST(Keys, CharactersShiftCtrlAndKeysThatGiveNothing) {
  const struct {
    const char* what;
    std::vector<Event> events;
    std::vector<int> codes;
  } cases[] = {
      {"shift from the event", {key(Key::Home, true, true)}, {12}},
      {"shift from the Shift key",
       {key(Key::Shift), key(Key::Home), key(Key::Shift, false), key(Key::Home)},
       {12, 11}},
      {"characters come from text", {ch(U'a'), text("a"), key(Key::Char, false)}, {'a'}},
      {"space", {key(Key::Space), text(" "), key(Key::Space, false)}, {' '}},
      {"double-byte", {text("Aア")}, {'A', 0x83, 0x41}},
      {"function and modifier keys",
       {key(Key::F1), key(Key::F12), key(Key::Shift), key(Key::Ctrl), key(Key::Alt),
        key(Key::Ctrl, false), key(Key::Other)},
       {}},
      {"Ctrl+letter", {ch(U'a', true)}, {1}},
      {"Ctrl from the Ctrl key", {key(Key::Ctrl), ch(U'z'), key(Key::Ctrl, false), ch(U'z')}, {26}},
      {"Ctrl+digit", {ch(U'1', true)}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(codes_of(c.events), c.codes) << c.what;
}

TEST(Keys, FullBufferKeepsTheFirst255AndBeepsForTheRest) {
  Program p;
  p.start();
  for (int i = 0; i < 300; ++i) p.rt().on_input_event(text(std::string(1, char('a' + i % 26))));
  EXPECT_EQ(p.host().beeps(), 45);
  std::vector<int> got = drain(p.rt());
  ASSERT_EQ(got.size(), 255u);
  for (int i = 0; i < 255; ++i) ASSERT_EQ(got[static_cast<std::size_t>(i)], 'a' + i % 26) << i;
  p.rt().on_input_event(text("z"));
  EXPECT_EQ(drain(p.rt()), std::vector<int>{'z'}) << "room again after reading";
}

TEST(Keys, InkeyAscAndIdlePolls) {
  Program p;
  p.start();
  rt::Runtime& r = p.rt();
  EXPECT_EQ(error_of([&] { r.ASC(""); }), 5);
  EXPECT_EQ(r.ASC("\x82\xA0"), 0x82);
  EXPECT_EQ(error_of([&] { r.INKEY(1); }), 1000);
  r.on_input_event(text("abc"));
  r.clear_key_buffer();  // as the frame does before it waits for a key
  int before = p.host().idles();
  for (int i = 0; i < 10; ++i) EXPECT_EQ(r.INKEY(0), "");
  EXPECT_GE(p.host().idles() - before, 9) << "repeated empty polls tell the host the program waits";
}

TEST(Keys, CtrlCReadByInkeyIsTheUserBreak) {
  Program p;
  p.host().push_event(key(Key::Ctrl, true, false, true));
  p.host().push_event(ch(U'c', true));
  p.host().push_event(key(Key::Ctrl, false));
  p.host().push_event(key(Key::Enter));  // the key the report waits for
  bool went_on = false;
  int code = p.run([&](rt::Runtime& r) {
    r.SET_MODULE("zideD.bas");
    for (int i = 0; i < 1000; ++i) {
      r.STMT();
      r.INKEY(0);
    }
    went_on = true;
  });
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(went_on);
  EXPECT_TRUE(p.host().boxes().empty()) << "reported in the window";
  std::string row1 = platform::sjis_to_utf8(p.rt().text_row(1));
  EXPECT_NE(row1.find("中断しました zideD.bas["), std::string::npos) << row1;
  std::string row2 = platform::sjis_to_utf8(p.rt().text_row(2));
  EXPECT_NE(row2.find("任意のキーを押してください"), std::string::npos) << row2;
}

TEST(Mouse, PositionMovementButtonsAndBadArguments) {
  Program p;
  p.start();
  rt::Runtime& r = p.rt();
  r.on_input_event(mouse(Event::Type::MouseMove, 100, 40));
  EXPECT_EQ(r.MOUSE(0, 0), 100);
  EXPECT_EQ(r.MOUSE(0, 1), 40);
  EXPECT_EQ(r.MOUSE(0, 9), 100);  // since the start
  r.on_input_event(mouse(Event::Type::MouseMove, 90, 70));
  EXPECT_EQ(r.MOUSE(0, 9), -10);
  EXPECT_EQ(r.MOUSE(0, 9), 0);
  EXPECT_EQ(r.MOUSE(0, 10), 70);

  for (int n : {-1, 2, 8, 11, 12}) EXPECT_EQ(error_of([&] { r.MOUSE(0, n); }), 5) << n;
  for (int n : {1, 10, 14, -1}) EXPECT_EQ(error_of([&] { r.MOUSE(0, n, 0); }), 5) << n;
  EXPECT_EQ(error_of([&] { r.MOUSE(0, 2, 2); }), 5);
  EXPECT_EQ(error_of([&] { r.MOUSE(0, 2, -1); }), 5);
  EXPECT_EQ(error_of([&] { r.MOUSE(1, 0); }), 1000);

  // The button function.
  using T = Event::Type;
  r.on_input_event(mouse(T::MouseDown, 10, 20));
  EXPECT_EQ(r.MOUSE(0, 2, 0), -1);
  EXPECT_EQ(r.MOUSE(0, 2, 1), 0);
  r.on_input_event(mouse(T::MouseMove, 15, 25));
  r.on_input_event(mouse(T::MouseUp, 30, 40));
  r.on_input_event(mouse(T::MouseDown, 31, 41));
  r.on_input_event(mouse(T::MouseDoubleClick, 31, 41));
  r.on_input_event(mouse(T::MouseUp, 32, 42));
  // n: down now, presses, last press x y, releases, last release x y, double clicks, its x y.
  const std::pair<int, int> reads[] = {{2, 0},  {3, 2},  {3, 0},  {4, 31}, {5, 41},  {6, 2},
                                       {7, 32}, {8, 42}, {11, 1}, {11, 0}, {12, 31}, {13, 41}};
  for (auto [n, want] : reads) EXPECT_EQ(r.MOUSE(0, n, 0), want) << n;
  EXPECT_EQ(r.MOUSE(0, 3, 1), 0) << "the right button saw nothing";
  // The right button is counted apart; a press "here" uses the pointer.
  r.on_input_event(mouse(T::MouseMove, 200, 300));
  r.on_input_event(mouse(T::MouseDown, -1, -1, platform::MouseButton::Right));
  EXPECT_EQ(r.MOUSE(0, 2, 1), -1);
  EXPECT_EQ(r.MOUSE(0, 2, 0), 0);
  EXPECT_EQ(r.MOUSE(0, 4, 1), 200);
  EXPECT_EQ(r.MOUSE(0, 5, 1), 300);
  EXPECT_EQ(r.MOUSE(0, 3, 0), 0);
}

TEST(Clock, TimeAndDateWithFormats) {
  platform::HostOptions o;
  o.start_time = platform::LocalTime{2017, 3, 5, 9, 7, 58};
  Program p(o);
  p.start();
  rt::Runtime& r = p.rt();
  EXPECT_EQ(r.DATE(""), "17/03/05");
  EXPECT_EQ(r.TIME(), "09:07:58");
  p.host().advance(2500);
  EXPECT_EQ(r.TIME(), "09:08:00");
  EXPECT_EQ(r.DATE("YYYY-MM-DD"), "2017-03-05");
  EXPECT_EQ(r.DATE("dd.mm.yy"), "05.03.17");
  // "ゥ" is 0x83 0x44: its second byte reads as 'D' but is no part of "DD".
  EXPECT_EQ(r.DATE(platform::utf8_to_sjis("ゥD/MM")), platform::utf8_to_sjis("ゥD/03"));
  EXPECT_EQ(platform::sjis_to_utf8(r.DATE(platform::utf8_to_sjis("YYYY年MM月DD日"))),
            "2017年03月05日");
}

constexpr double k2to23 = 8388608.0;

TEST(Random, SequenceFromTheStartStateAndRepeats) {
  Program p;
  p.start();
  rt::Runtime& r = p.rt();
  EXPECT_EQ(r.random_state(), 204u);
  EXPECT_EQ(static_cast<double>(r.RND(1)), 620765 / k2to23);
  EXPECT_EQ(r.random_state(), 317832095u);
  EXPECT_EQ(static_cast<double>(r.RND(1)), 7771819 / k2to23);
  EXPECT_NEAR(7771819 / k2to23, 0.9264730, 1e-7);
  EXPECT_EQ(static_cast<double>(r.RND(0)), 7771819 / k2to23);
  EXPECT_EQ(static_cast<double>(r.RND(0)), 7771819 / k2to23);
  EXPECT_EQ(static_cast<double>(r.RND(0.25)), 747984 / k2to23);
}

TEST(Random, RandomizeFlipsStateBits) {
  Program a, b;
  a.start();
  b.start();
  b.rt().RANDOMIZE(0);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(a.rt().RND(1).bits(), b.rt().RND(1).bits());
  b.rt().RANDOMIZE(37);
  EXPECT_NE(a.rt().RND(1).bits(), b.rt().RND(1).bits());
  std::uint32_t state = a.rt().random_state();
  a.rt().RANDOMIZE(-123456);
  a.rt().RANDOMIZE(-123456);
  EXPECT_EQ(a.rt().random_state(), state) << "seeding twice undoes it";
}

TEST(Random, NegativeArgumentsReseedAndZeroIsNeverReturned) {
  Program p;
  p.start();
  rt::Runtime& r = p.rt();
  r.RND(1);
  // -1 is 0xBF800000; halves exchanged 0x0000BF80, then one step.
  EXPECT_EQ(static_cast<double>(r.RND(-1)), 3259488 / k2to23);
  EXPECT_EQ(r.random_state(), 1668858211u);
  r.RND(1);
  EXPECT_EQ(static_cast<double>(r.RND(-1)), 3259488 / k2to23);
  EXPECT_EQ(static_cast<double>(r.RND(-0.5)), 322571 / k2to23);
  // State 0 would give 0: RND(0) moves on instead.
  r.RANDOMIZE(static_cast<std::int32_t>(r.random_state()));
  ASSERT_EQ(r.random_state(), 0u);
  EXPECT_EQ(static_cast<double>(r.RND(0)), 2493653 / k2to23);
  // A step that lands on 0 takes one more step.
  r.RANDOMIZE(static_cast<std::int32_t>(r.random_state() ^ 791373737u));
  EXPECT_EQ(static_cast<double>(r.RND(1)), 2493653 / k2to23);
}

}  // namespace

// Keys, mouse, clock, random numbers and library calls, through a runtime
// on the headless host.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sjis.h"
#include "tests/support/program.h"

namespace {

using platform::Event;
using platform::Key;
using testing_support::error_of;
using testing_support::Program;

Event key_down(Key k, bool shift = false, bool ctrl = false) {
  Event e;
  e.type = Event::Type::KeyDown;
  e.key = k;
  e.shift = shift;
  e.ctrl = ctrl;
  return e;
}

Event key_up(Key k) {
  Event e = key_down(k);
  e.type = Event::Type::KeyUp;
  return e;
}

Event char_down(char32_t c, bool ctrl = false) {
  Event e = key_down(Key::Char, false, ctrl);
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

std::vector<int> codes_of(std::initializer_list<Event> events) {
  Program p;
  p.start();
  for (const Event& e : events) p.rt().on_input_event(e);
  return drain(p.rt());
}

// ---- keys ----

TEST(Keys, EditingAndCursorKeysGiveTheirCodes) {
  struct Case {
    Key key;
    int code;
  };
  const Case cases[] = {
      {Key::Up, 30},    {Key::Down, 31},     {Key::Right, 28},   {Key::Left, 29},
      {Key::Enter, 13}, {Key::Backspace, 8}, {Key::Tab, 9},      {Key::Escape, 27},
      {Key::Home, 11},  {Key::Clear, 12},    {Key::PageUp, 19},  {Key::PageDown, 20},
      {Key::End, 21},   {Key::Insert, 18},   {Key::Delete, 127}, {Key::Execute, 13},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(codes_of({key_down(c.key), key_up(c.key)}), std::vector<int>{c.code})
        << platform::key_name(c.key);
  }
}

TEST(Keys, ShiftStateComesFromShiftKeysOrTheEvent) {
  EXPECT_EQ(codes_of({key_down(Key::Home, true)}), std::vector<int>{12});
  EXPECT_EQ(codes_of({key_down(Key::Shift), key_down(Key::Home), key_up(Key::Shift),
                      key_down(Key::Home)}),
            (std::vector<int>{12, 11}));
}

TEST(Keys, CharactersComeFromTextNotFromKeyDowns) {
  EXPECT_EQ(codes_of({char_down(U'a'), text("a"), key_up(Key::Char)}), std::vector<int>{'a'});
  EXPECT_EQ(codes_of({key_down(Key::Space), text(" "), key_up(Key::Space)}), std::vector<int>{' '});
  // A double-byte character gives its two Shift-JIS bytes.
  EXPECT_EQ(codes_of({text("あ")}), (std::vector<int>{0x82, 0xA0}));
  EXPECT_EQ(codes_of({text("Aア")}), (std::vector<int>{'A', 0x83, 0x41}));
}

TEST(Keys, FunctionAndModifierKeysGiveNothing) {
  EXPECT_TRUE(
      codes_of({key_down(Key::F1), key_down(Key::F12), key_down(Key::Shift), key_down(Key::Ctrl),
                key_down(Key::Alt), key_up(Key::Ctrl), key_down(Key::Other)})
          .empty());
}

TEST(Keys, CtrlWithALetterGivesItsControlCode) {
  EXPECT_EQ(codes_of({char_down(U'a', true)}), std::vector<int>{1});
  EXPECT_EQ(codes_of({key_down(Key::Ctrl), char_down(U'z'), key_up(Key::Ctrl), char_down(U'z')}),
            std::vector<int>{26});
  EXPECT_EQ(codes_of({char_down(U'1', true)}), std::vector<int>{});
}

TEST(Keys, FullBufferKeepsTheFirst255AndBeepsForTheRest) {
  Program p;
  p.start();
  for (int i = 0; i < 300; ++i) p.rt().on_input_event(text(std::string(1, char('a' + i % 26))));
  EXPECT_EQ(p.rt().keys_waiting(), 255u);
  EXPECT_EQ(p.host().beeps(), 45);
  std::vector<int> got = drain(p.rt());
  ASSERT_EQ(got.size(), 255u);
  for (int i = 0; i < 255; ++i) ASSERT_EQ(got[static_cast<std::size_t>(i)], 'a' + i % 26) << i;
  // Room again after reading.
  p.rt().on_input_event(text("z"));
  EXPECT_EQ(drain(p.rt()), std::vector<int>{'z'});
}

TEST(Keys, InkeyNeverWaitsAndAscNeedsAByte) {
  Program p;
  p.start();
  EXPECT_EQ(p.rt().INKEY(0), "");
  EXPECT_EQ(error_of([&] { p.rt().ASC(""); }), 5);
  EXPECT_EQ(p.rt().ASC("A"), 65);
  EXPECT_EQ(p.rt().ASC("\x82\xA0"), 0x82);
  EXPECT_EQ(error_of([&] { p.rt().INKEY(1); }), 1000);
  // The frame empties the buffer before it waits for a key.
  p.rt().on_input_event(text("abc"));
  p.rt().clear_key_buffer();
  EXPECT_EQ(p.rt().INKEY(0), "");
}

TEST(Keys, RepeatedEmptyPollsTellTheHostTheProgramWaits) {
  Program p;
  p.start();
  int before = p.host().idles();
  for (int i = 0; i < 10; ++i) p.rt().INKEY(0);
  EXPECT_GE(p.host().idles() - before, 9);
}

TEST(Keys, CtrlCReadByInkeyIsTheUserBreak) {
  Program p;
  p.host().push_event(key_down(Key::Ctrl, false, true));
  p.host().push_event(char_down(U'c', true));
  p.host().push_event(key_up(Key::Ctrl));
  p.host().push_event(key_down(Key::Enter));  // the key the report waits for
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

// ---- mouse ----

TEST(Mouse, PositionAndMovement) {
  Program p;
  p.start();
  rt::Runtime& r = p.rt();
  r.on_input_event(mouse(Event::Type::MouseMove, 100, 40));
  EXPECT_EQ(r.MOUSE(0, 0), 100);
  EXPECT_EQ(r.MOUSE(0, 1), 40);
  EXPECT_EQ(r.MOUSE(0, 9), 100);  // since the start
  EXPECT_EQ(r.MOUSE(0, 10), 40);
  r.on_input_event(mouse(Event::Type::MouseMove, 90, 70));
  EXPECT_EQ(r.MOUSE(0, 9), -10);
  EXPECT_EQ(r.MOUSE(0, 9), 0);
  EXPECT_EQ(r.MOUSE(0, 10), 30);
}

TEST(Mouse, ButtonArgumentsAreErrors) {
  Program p;
  p.start();
  rt::Runtime& r = p.rt();
  for (int n : {-1, 2, 3, 4, 5, 6, 7, 8, 11, 12})
    EXPECT_EQ(error_of([&] { r.MOUSE(0, n); }), 5) << n;
  for (int n : {0, 1, 9, 10, 14, -1}) EXPECT_EQ(error_of([&] { r.MOUSE(0, n, 0); }), 5) << n;
  EXPECT_EQ(error_of([&] { r.MOUSE(0, 2, 2); }), 5);
  EXPECT_EQ(error_of([&] { r.MOUSE(0, 2, -1); }), 5);
  EXPECT_EQ(error_of([&] { r.MOUSE(1, 0); }), 1000);
}

TEST(Mouse, ButtonFunctionCountsAndPositions) {
  using T = Event::Type;
  Program p;
  p.start();
  rt::Runtime& r = p.rt();
  r.on_input_event(mouse(T::MouseDown, 10, 20));
  EXPECT_EQ(r.MOUSE(0, 2, 0), -1);
  EXPECT_EQ(r.MOUSE(0, 2, 1), 0);
  r.on_input_event(mouse(T::MouseMove, 15, 25));
  r.on_input_event(mouse(T::MouseUp, 30, 40));
  r.on_input_event(mouse(T::MouseDown, 31, 41));
  r.on_input_event(mouse(T::MouseDoubleClick, 31, 41));
  r.on_input_event(mouse(T::MouseUp, 32, 42));
  EXPECT_EQ(r.MOUSE(0, 2, 0), 0);
  EXPECT_EQ(r.MOUSE(0, 3, 0), 2);
  EXPECT_EQ(r.MOUSE(0, 3, 0), 0);  // reading resets the count
  EXPECT_EQ(r.MOUSE(0, 4, 0), 31);
  EXPECT_EQ(r.MOUSE(0, 5, 0), 41);
  EXPECT_EQ(r.MOUSE(0, 6, 0), 2);
  EXPECT_EQ(r.MOUSE(0, 7, 0), 32);
  EXPECT_EQ(r.MOUSE(0, 8, 0), 42);
  EXPECT_EQ(r.MOUSE(0, 11, 0), 1);
  EXPECT_EQ(r.MOUSE(0, 11, 0), 0);
  EXPECT_EQ(r.MOUSE(0, 12, 0), 31);
  EXPECT_EQ(r.MOUSE(0, 13, 0), 41);
  EXPECT_EQ(r.MOUSE(0, 3, 1), 0);  // the right button saw nothing
  // The right button is counted apart; a press "here" uses the pointer.
  r.on_input_event(mouse(T::MouseMove, 200, 300));
  r.on_input_event(mouse(T::MouseDown, -1, -1, platform::MouseButton::Right));
  EXPECT_EQ(r.MOUSE(0, 2, 1), -1);
  EXPECT_EQ(r.MOUSE(0, 2, 0), 0);
  EXPECT_EQ(r.MOUSE(0, 4, 1), 200);
  EXPECT_EQ(r.MOUSE(0, 5, 1), 300);
  EXPECT_EQ(r.MOUSE(0, 3, 0), 0);
}

// ---- clock ----

platform::HostOptions at(int y, int mo, int d, int h, int mi, int s) {
  platform::HostOptions o;
  o.start_time = platform::LocalTime{y, mo, d, h, mi, s};
  return o;
}

TEST(Clock, TimeAndDate) {
  Program p(at(2017, 3, 5, 9, 7, 58));
  p.start();
  EXPECT_EQ(p.rt().DATE(""), "17/03/05");
  EXPECT_EQ(p.rt().TIME(), "09:07:58");
  p.host().advance(2500);
  EXPECT_EQ(p.rt().TIME(), "09:08:00");
}

TEST(Clock, DateFormatsSubstituteAndKeepDoubleByteCharacters) {
  Program p(at(2017, 3, 5, 0, 0, 0));
  p.start();
  EXPECT_EQ(p.rt().DATE("YYYY-MM-DD"), "2017-03-05");
  EXPECT_EQ(p.rt().DATE("dd.mm.yy"), "05.03.17");
  // "ゥ" is 0x83 0x44: its second byte reads as 'D' but is no part of "DD".
  std::string fmt = platform::utf8_to_sjis("ゥD/MM");
  EXPECT_EQ(p.rt().DATE(fmt), platform::utf8_to_sjis("ゥD/03"));
  std::string kanji = platform::utf8_to_sjis("YYYY年MM月DD日");
  EXPECT_EQ(platform::sjis_to_utf8(p.rt().DATE(kanji)), "2017年03月05日");
}

// ---- random numbers ----

constexpr double k2to23 = 8388608.0;

TEST(Random, SequenceFromTheStartState) {
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
  // Seeding twice with the same number undoes it.
  Program c;
  c.start();
  c.rt().RANDOMIZE(-123456);
  c.rt().RANDOMIZE(-123456);
  EXPECT_EQ(c.rt().random_state(), 204u);
}

TEST(Random, NegativeArgumentReseedsFromItsBits) {
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
}

TEST(Random, ZeroIsNeverReturned) {
  Program p;
  p.start();
  rt::Runtime& r = p.rt();
  // State 0 would give 0: RND(0) moves on instead.
  r.RANDOMIZE(204);
  ASSERT_EQ(r.random_state(), 0u);
  EXPECT_EQ(static_cast<double>(r.RND(0)), 2493653 / k2to23);
  // A step that lands on 0 takes one more step.
  r.RANDOMIZE(static_cast<std::int32_t>(r.random_state() ^ 791373737u));
  EXPECT_EQ(static_cast<double>(r.RND(1)), 2493653 / k2to23);
}

}  // namespace

// Keys, INKEY$, INPUT, the mouse, the clock, RND and library calls by name.
#include "runtime/input.h"

#include <bit>
#include <cfloat>

#include "tests/runtime/harness.h"

namespace {

using namespace rt_test;
using platform::Event;
using K = platform::Key;
using rt::Single;
using T = platform::Event::Type;

Event key(K k, bool down = true, bool shift = false, bool ctrl = false, char32_t ch = 0) {
  Event e;
  e.type = down ? T::KeyDown : T::KeyUp, e.key = k, e.shift = shift, e.ctrl = ctrl, e.ch = ch;
  return e;
}
Event ctrl(char32_t c) {
  return key(K::Char, true, false, true, c);
}
Event typed(const std::string& utf8) {
  Event e;
  e.type = T::Text, e.text = utf8;
  return e;
}
Event mouse(T t, int x, int y, platform::MouseButton b = platform::MouseButton::Left) {
  Event e;
  e.type = t, e.x = x, e.y = y, e.button = b;
  return e;
}

class Input : public Started {
 protected:
  // Every byte INKEY$ gives until the buffer is empty.
  std::vector<int> drain() {
    std::vector<int> out;
    for (std::string k = r().INKEY(0); !k.empty(); k = r().INKEY(0))
      out.push_back(std::uint8_t(k[0]));
    return out;
  }
};

TEST_F(Input, EachKeyPutsItsCodeInTheBuffer) {
  // clang-format off
  const std::pair<std::vector<Event>, std::vector<int>> cases[] = {
      {{key(K::Right), key(K::Left), key(K::Up), key(K::Down), key(K::Home), key(K::Clear),
        key(K::PageUp), key(K::PageDown), key(K::End), key(K::Insert), key(K::Delete)},
       {28, 29, 30, 31, 11, 12, 19, 20, 21, 18, 127}},
      {{key(K::Execute), key(K::Enter), key(K::Backspace), key(K::Tab), key(K::Escape)},
       {13, 13, 8, 9, 27}},
      {{typed("a"), typed(" "), key(K::Space), key(K::Char, 1, 0, 0, U'a'), key(K::Up, false)},
       {'a', ' '}},  // characters come as text; key releases give nothing
      {{typed("Aア÷")}, {'A', 0x83, 0x41, 0x81, 0x80}},
      {{key(K::F1), key(K::F12), key(K::Shift), key(K::Ctrl), key(K::Alt), key(K::Other),
        key(K::Shift, false), key(K::Ctrl, false)}, {}},
      {{ctrl(U'a'), ctrl(U'Z'), ctrl(U'['), ctrl(U']'), ctrl(U'1')}, {1, 26, 27, 29}},
      {{key(K::Ctrl), key(K::Char, 1, 0, 0, U'z'), key(K::Ctrl, false), key(K::Char, 1, 0, 0, 'z')},
       {26}},  // Ctrl held, then let go
      {{key(K::Enter, true, false, true), key(K::Backspace, true, false, true)}, {10, 127}}};
  // clang-format on
  for (const auto& [events, codes] : cases) {
    for (const Event& e : events) r().on_input_event(e);
    EXPECT_EQ(drain(), codes);
  }
}

TEST_F(Input, AFullBufferKeepsTheFirst255AndBeepsForTheRest) {
  std::vector<int> want;
  for (int i = 0; i < 300; ++i) r().on_input_event(typed(std::string(1, char('a' + i % 26))));
  for (int i = 0; i < 255; ++i) want.push_back('a' + i % 26);
  EXPECT_EQ(std::pair(p.host().beeps(), r().keys_waiting()), std::pair(45, std::size_t{255}));
  EXPECT_EQ(drain(), want);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(r().INKEY(0), "") << "never waits";
  EXPECT_EQ(std::pair(r().ASC("\x82\xA0"), r().ASC("\x7F")), std::pair(0x82, 127));
  EXPECT_EQ(std::pair(error_of([&] { r().ASC(""); }), error_of([&] { r().INKEY(1); })),
            std::pair(5, 1000));
}

TEST(InputLine, GoesIntoAStringOrAFixedLengthName) {
  // clang-format off
  const std::tuple<std::string, std::string, std::string> cases[] = {  // typed, string, name
      {"type AあいうえおかB\n", sjis("AあいうえおかB"), sjis("Aあいうえ") + " "},
      {"type ム÷\n", "\x83\x80\x81\x80", "\x83\x80\x81\x80      "},  // second bytes 0x80
      {"type  Tom, Jr.\n", "Tom, Jr.", "Tom, Jr.  "},  // one string takes the whole line
      {"type ABあ\nkey Backspace\nkey Backspace\ntype C\n", "AC", "AC        "},
      {"type A\nkey Up\nkey Tab\nkey Esc\nkey Delete\nkey Home\nkey Backspace\nkey Backspace\n"
       "type B\n", "B", "B         "}, {"", "", "          "}};
  // clang-format on
  for (const auto& [script, want_string, want_name] : cases) {
    Program p(scripted(script + "key Enter\n" + script + "key Enter\n"));
    p.start();
    std::string s = "old";
    char name[10];
    p.rt().INPUT(0, 2, " Name", {s});
    p.rt().INPUT(0, 2, " Name", {{name, sizeof name}});
    EXPECT_EQ(std::pair(s, std::string(name, 10)), std::pair(want_string, want_name)) << script;
    EXPECT_EQ(p.rt().cursor_row(), 2) << "Enter ends the line";
  }
}

TEST(InputLine, PromptsEchoAndSeveralVariables) {
  // Backspace takes characters off the screen as well.
  Program p(
      scripted("type TAROX\nkey Backspace\nkey Backspace\ntype O\nkey Enter\n"
               "type 1\nkey Enter\ntype ム\nkey Enter\n"
               "type 3.5, -2E1 ,  \"a, b\"  , plain text \nkey Enter\n"
               "type 1.2.3,4\nkey Enter\ntype 8, 9D1\nkey Enter\n"));
  p.start();
  std::string s, t;
  p.rt().LOCATE(0, 4, 3);
  for (int mode : {2, 1, 0}) p.rt().INPUT(0, mode, mode == 2 ? " Name" : "Who", {s});
  EXPECT_EQ(shown(p.rt(), 3) + "|" + shown(p.rt(), 4) + "|" + shown(p.rt(), 5),
            "     NameTARO|Who? 1|? ム");
  Single x, y = 9;
  p.rt().INPUT(0, 0, "", {x, y, s, t});
  EXPECT_EQ(std::tuple(double(x), double(y), s, t), std::tuple(3.5, -20.0, "a, b", "plain text"));
  p.rt().INPUT(0, 0, "", {x, y});  // a bad line is asked for again
  EXPECT_EQ(std::tuple(double(x), double(y), shown(p.rt(), 8)),
            std::tuple(8.0, 90.0, "もう一度入力してください"));

  // From column 70 of the last row "j" wraps and scrolls the grid; Backspace follows it back.
  std::string back;
  for (int i = 0; i < 12; ++i) back += "key Backspace\n";
  Program q(scripted("type abcdefghijklmnopqrst\n" + back + "type Z\nkey Enter\n"));
  q.start();
  q.rt().LOCATE(0, 70, 27);
  q.rt().INPUT(0, 2, "X", {s});
  EXPECT_EQ(std::tuple(s, q.rt().text_row(26), q.rt().text_row(27), q.rt().cursor_row()),
            std::tuple("abcdefghZ", std::string(70, ' ') + "XabcdefghZ", std::string(80, ' '), 27));
  const rt::InputKind two[] = {rt::InputKind::Number, rt::InputKind::Number};
  for (const char* bad : {"1", "1,2,3", "12x,1", "1e,1", "+,1", "\"7\"x,1", "-3.41D38,1"})
    EXPECT_FALSE(rt::convert_input_line(bad, two)) << bad;
  auto top = rt::convert_input_line("3.4028234E38, .5", two);
  EXPECT_EQ(top ? float((*top)[0].number) : 0.0f, FLT_MAX) << "the largest SINGLE";
  const rt::InputKind mixed[] = {rt::InputKind::Number, rt::InputKind::Text};
  auto quoted = rt::convert_input_line("7, \"a, b\"", mixed);  // a quoted last field
  EXPECT_EQ(quoted ? (*quoted)[1].text : "?", "a, b");
}

TEST(InputLine, StopsAt255BytesAndTheWindowOrABreakCanEndItsWait) {
  std::string script;
  for (char c : {'a', 'b', 'c'}) script += "type " + std::string(100, c) + "\n";
  Program p(scripted(script + "key Enter\n"));
  p.start();
  std::string s;
  p.rt().INPUT(0, 2, "", {s});
  EXPECT_EQ(s, std::string(100, 'a') + std::string(100, 'b') + std::string(55, 'c'));
  EXPECT_EQ(p.host().beeps(), 45);
  EXPECT_EQ(error_of([&] { p.rt().INPUT(1, 2, "", {s}); }), 1000);
  EXPECT_EQ(error_of([&] { p.rt().INPUT(0, 3, "", {s}); }), 5);
  // The program ends inside INPUT; Ctrl+C is the user break, reported with the module and line.
  for (const char* end : {"close\n", "key Ctrl+C\nkey Enter\n"}) {
    Program q(scripted(std::string("type AB\n") + end));
    bool returned = false;
    int code = q.run([&](rt::Runtime& r) {
      r.SET_MODULE("zideD.bas"), r.SET_LINE(42), r.INPUT(0, 2, " Name", {s}), returned = true;
    });
    EXPECT_EQ(std::pair(code, returned), std::pair(0, false)) << end;
    EXPECT_EQ(shown(q.rt(), 1) + "|" + shown(q.rt(), 2),
              end[0] == 'k' ? "中断しました zideD.bas[42行]|任意のキーを押してください" : "|");
  }
}

TEST_F(Input, MousePositionMovementAndButtons) {
  r().on_input_event(mouse(T::MouseMove, 100, 40));
  r().on_input_event(mouse(T::MouseMove, 90, 70));
  EXPECT_EQ((std::array{r().MOUSE(0, 9), r().MOUSE(0, 9), r().MOUSE(0, 10),
                        error_of([&] { r().MOUSE(0, 2); }), error_of([&] { r().MOUSE(0, 10, 0); }),
                        error_of([&] { r().MOUSE(0, 2, 2); }), error_of([&] { r().MOUSE(1, 0); })}),
            (std::array{90, 0, 70, 5, 5, 5, 1000}));
  for (const Event& e :
       {mouse(T::MouseDown, 10, 20), mouse(T::MouseUp, 30, 40), mouse(T::MouseDown, 31, 41),
        mouse(T::MouseDoubleClick, 33, 43), mouse(T::MouseUp, 32, 42),
        mouse(T::MouseDown, -1, -1, platform::MouseButton::Right)})  // the right one at the pointer
    r().on_input_event(e);
  // n: presses (read twice), press x y, releases, release x y, double clicks, their x y.
  // clang-format off
  for (auto [n, button, want] : {std::tuple(3, 0, 2), {3, 0, 0}, {5, 0, 41}, {6, 0, 2},
       {7, 0, 32}, {11, 0, 1}, {11, 0, 0}, {13, 0, 43}, {4, 1, 32}})
    // clang-format on
    EXPECT_EQ(r().MOUSE(0, n, button), want) << n << " " << button;
}

// RND step by step as the rules give it, to check the runtime against.
struct RandomModel {
  std::uint32_t state = 204;
  void step() { state = state * 2058568021u + 1276750819u; }
  double next(float x) {
    if (x < 0) state = std::rotl(std::bit_cast<std::uint32_t>(x), 16);
    if (x != 0) step();
    while (((state >> 9) & 0x7FFFFF) == 0) step();
    return ((state >> 9) & 0x7FFFFF) / 8388608.0;
  }
};

TEST_F(Input, RandomNumbersFollowTheirRulesFromState204) {
  double first = r().RND(1);
  EXPECT_EQ(std::pair(first, r().random_state()), std::pair(620765 / 8388608.0, 0x12F1BB9Fu));
  RandomModel m;
  m.next(1);
  for (float x : {1.0f, 0.0f, -1.0f, 1.0f, 0.25f, -0.5f, 0.0f, -1e-3f, 7.0f, -3e38f, 1.0f}) {
    EXPECT_EQ(double(r().RND(x)), m.next(x)) << x;
    EXPECT_EQ(r().random_state(), m.state) << x;
  }
  // 0 is never returned: from state 0 RND(0) moves on.
  r().RANDOMIZE(static_cast<std::int32_t>(r().random_state()));
  EXPECT_EQ(double(r().RND(0)), RandomModel{0}.next(0));
}

TEST(LibraryCall, NamesInCapitalsArgumentsRoundedToLongsAndNotesOut) {
  auto rec = std::make_shared<platform::MidiRecorder>();
  platform::HostOptions o;
  o.midi = rec;
  Program p(o);
  p.start();
  rt::Runtime& r = p.rt();
  // clang-format off
  for (auto [lib, fn] : {std::pair("KERNEL32", "GetTickCount"), {"winmm.drv", "timeGetTime"},
                         {"WINMM", "midiOutFoo"}, {"WINMM", "timegettime"}})
    // clang-format on
    EXPECT_EQ(error_of([&, l = lib, f = fn] { r.LIBCALL(l, f); }), 5) << lib << " " << fn;
  EXPECT_EQ(r.loaded_libraries(), 0u) << "a failed first call adds nothing";
  EXPECT_EQ(r.LIBCALL("WINMM", "midiOutGetNumDevs"), 1);
  EXPECT_EQ(error_of([&] { r.LIBCALL("WINMM", "timeGetTime", 1); }), 5) << "one argument too many";
  std::int32_t h = 0;
  EXPECT_EQ(r.LIBCALL("winmm.dll", "midiOutOpen", &h, 0xFFFFFFFFu, 0, 0, 0), 0);
  EXPECT_EQ(r.loaded_libraries(), 2u) << "WINMM and WINMM.DLL are two entries";
  for (rt::LibArg a :
       {rt::LibArg(0x7F3C90 + 256 * 12), rt::LibArg(8337040.5), rt::LibArg(Single(144)),
        rt::LibArg(-1)})  // 0x7F3690.8 rounds up; only three bytes go out
    r.LIBCALL("WinMM.Dll", "midiOutShortMsg", h, a);
  EXPECT_EQ(rec->messages(), (std::vector<std::uint32_t>{0x7F4890, 0x7F3691, 0x90, 0xFFFFFF}));
  EXPECT_EQ(error_of([&] { r.LIBCALL("winmm.dll", "midiOutShortMsg", h, 3e9); }), 6);
  EXPECT_EQ(r.LIBCALL("winmm.dll", "midiOutClose", h), 0);
  EXPECT_EQ(std::pair(rec->resets(), r.loaded_libraries()), std::pair(1, std::size_t{2}));
}

}  // namespace

// Keys, INKEY$, INPUT, the mouse, the clock, RND and library calls by name.
#include "runtime/input.h"

#include <array>
#include <bit>
#include <cfloat>

#include "tests/runtime/harness.h"

namespace {

using namespace rt_test;
using platform::Event;
using platform::Key;
using rt::Single;
using T = platform::Event::Type;

// Every byte INKEY$ gives until the buffer is empty.
std::vector<int> drain(rt::Runtime& r) {
  std::vector<int> out;
  for (std::string k = r.INKEY(0); !k.empty(); k = r.INKEY(0)) out.push_back(static_cast<unsigned char>(k[0]));
  return out;
}

std::vector<int> codes_of(const std::vector<Event>& events) {
  Program p;
  p.start();
  for (const Event& e : events) p.rt().on_input_event(e);
  return drain(p.rt());
}

TEST(Keys, EachKeyPutsItsCodeInTheBuffer) {
  const std::pair<Key, int> keys[] = {
      {Key::Right, 28}, {Key::Left, 29},   {Key::Up, 30},        {Key::Down, 31},  {Key::Home, 11},
      {Key::Clear, 12}, {Key::PageUp, 19}, {Key::PageDown, 20},  {Key::End, 21},   {Key::Insert, 18},
      {Key::Delete, 127}, {Key::Execute, 13}, {Key::Enter, 13},  {Key::Backspace, 8}, {Key::Tab, 9},
      {Key::Escape, 27}};
  for (auto [k, code] : keys) EXPECT_EQ(codes_of({key(k), key(k, false)}), std::vector<int>{code}) << platform::key_name(k);
  const struct {
    const char* what;
    std::vector<Event> events;
    std::vector<int> codes;
  } cases[] = {
      {"Shift+Home", {key(Key::Home, true, true)}, {12}},
      {"Shift held, then let go", {key(Key::Shift), key(Key::Home), key(Key::Shift, false), key(Key::Home)}, {12, 11}},
      {"characters come as text", {typed("a"), typed(" "), key(Key::Space), key(Key::Char)}, {'a', ' '}},
      {"a double-byte character is two bytes", {typed("Aア÷")}, {'A', 0x83, 0x41, 0x81, 0x80}},
      {"function and modifier keys give nothing",
       {key(Key::F1), key(Key::F12), key(Key::Shift), key(Key::Ctrl), key(Key::Alt), key(Key::Other)}, {}},
      {"Ctrl+letters and brackets", {ctrl_char(U'a'), ctrl_char(U'Z'), ctrl_char(U'['), ctrl_char(U']')}, {1, 26, 27, 29}},
      {"Ctrl held, then let go", {key(Key::Ctrl), ctrl_char(U'z'), key(Key::Ctrl, false), key(Key::Char)}, {26}},
      {"Ctrl+digit", {ctrl_char(U'1')}, {}},
      {"Ctrl+Enter and Ctrl+Backspace", {[] { auto e = key(Key::Enter); e.ctrl = true; return e; }(),
                                         [] { auto e = key(Key::Backspace); e.ctrl = true; return e; }()}, {10, 127}},
  };
  for (const auto& c : cases) EXPECT_EQ(codes_of(c.events), c.codes) << c.what;
}

TEST(Keys, AFullBufferKeepsTheFirst255AndBeepsForTheRest) {
  Program p;
  p.start();
  for (int i = 0; i < 300; ++i) p.rt().on_input_event(typed(std::string(1, char('a' + i % 26))));
  EXPECT_EQ(p.host().beeps(), 45);
  EXPECT_EQ(p.rt().keys_waiting(), 255u);
  std::vector<int> got = drain(p.rt());
  ASSERT_EQ(got.size(), 255u);
  for (int i = 0; i < 255; ++i) ASSERT_EQ(got[static_cast<std::size_t>(i)], 'a' + i % 26) << i;
  p.rt().on_input_event(typed("z"));
  EXPECT_EQ(drain(p.rt()), std::vector<int>{'z'}) << "room again after reading";
}

TEST(Keys, InkeyNeverWaitsAndAscNeedsAByte) {
  Program p;
  p.start();
  rt::Runtime& r = p.rt();
  for (int i = 0; i < 10; ++i) EXPECT_EQ(r.INKEY(0), "");
  EXPECT_GE(p.host().idles(), 9) << "repeated empty polls tell the host the program waits";
  EXPECT_EQ(error_of([&] { r.ASC(""); }), 5);
  EXPECT_EQ(r.ASC("\x82\xA0"), 0x82);
  EXPECT_EQ(r.ASC("\x7F"), 127);
  EXPECT_EQ(error_of([&] { r.INKEY(1); }), 1000);
}

TEST(Keys, CtrlCReadByInkeyIsTheUserBreak) {
  Program p;
  for (const Event& e : {key(Key::Ctrl), ctrl_char(U'c'), key(Key::Ctrl, false), key(Key::Enter)}) p.host().push_event(e);
  bool went_on = false;
  int code = p.run([&](rt::Runtime& r) {
    r.SET_MODULE("zideD.bas");
    for (int i = 0; i < 100; ++i) r.STMT_YIELD(), r.SET_LINE(42), r.INKEY(0);
    went_on = true;
  });
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(went_on);
  EXPECT_EQ(shown(p.rt(), 1), "中断しました zideD.bas[42行]");
  EXPECT_EQ(shown(p.rt(), 2), "任意のキーを押してください");
}

// ---- INPUT ----

TEST(Input, TheLineGoesIntoAStringOrAFixedLengthName) {
  const struct {
    const char* script;
    std::string want_string, want_name;  // into a string, into a 10-byte name
  } cases[] = {
      {"type TARO\n", "TARO", "TARO      "},
      {"type ABCDEFGHIJKLMN\n", "ABCDEFGHIJKLMN", "ABCDEFGHIJ"},
      {"type AあいうえおかB\n", sjis("AあいうえおかB"), sjis("Aあいうえ") + " "},
      {"type ム÷\n", "\x83\x80\x81\x80", "\x83\x80\x81\x80      "},  // second bytes 0x80
      {"type  Tom, Jr.\n", "Tom, Jr.", "Tom, Jr.  "},        // one string takes the whole line
      {"type ABあ\nkey Backspace\nkey Backspace\ntype C\n", "AC", "AC        "},
      {"type A\nkey Up\nkey Tab\nkey Esc\nkey Delete\nkey Home\nkey Backspace\nkey Backspace\ntype B\n", "B",
       "B         "},
      {"", "", "          "},
  };
  for (const auto& c : cases) {
    Program p(scripted(std::string(c.script) + "key Enter\n" + c.script + "key Enter\n"));
    p.start();
    std::string s = "old";
    char name[10];
    p.rt().INPUT(0, 2, " Name", {s});
    p.rt().INPUT(0, 2, " Name", {{name, sizeof name}});
    EXPECT_EQ(s, c.want_string) << c.script;
    EXPECT_EQ(std::string(name, sizeof name), c.want_name) << c.script;
    EXPECT_EQ(std::pair(p.rt().cursor_column(), p.rt().cursor_row()), std::pair(0, 2)) << "Enter ends the line";
  }
}

TEST(Input, PromptsAndTheEchoStandWhereTheCursorWas) {
  Program p(scripted("type TARO\nkey Enter\ntype 1\nkey Enter\ntype ム\nkey Enter\n"));
  p.start();
  std::string s;
  p.rt().LOCATE(0, 4, 3);
  p.rt().INPUT(0, 2, " Name", {s});
  p.rt().INPUT(0, 1, "Who", {s});
  p.rt().INPUT(0, 0, "", {s});
  EXPECT_EQ(shown(p.rt(), 3), "     NameTARO");
  EXPECT_EQ(shown(p.rt(), 4), "Who? 1");
  EXPECT_EQ(shown(p.rt(), 5), "? ム");
}

TEST(Input, SeveralVariablesSplitAtCommasAndABadLineIsAskedAgain) {
  Program p(scripted("type 3.5, -2E1 ,  \"a, b\"  , plain text \nkey Enter\nkey Enter\n"));
  p.start();
  Single x, y = 9;
  std::string s, t;
  p.rt().INPUT(0, 0, "", {x, y, s, t});
  EXPECT_EQ(std::tuple(double(x), double(y), s, t), std::tuple(3.5, -20.0, "a, b", "plain text"));
  p.rt().INPUT(0, 0, "", {y});
  EXPECT_EQ(double(y), 0.0) << "an empty line gives zero";

  for (const char* bad : {"1", "1,2,3", "abc,1", "1.2.3,1", "12x,1", "1e,1", "--1,1", "+,1", "1e99,1",
                          "1E+,1", "\"7\"x,1", "3.41E38,1"}) {
    Program q(scripted(std::string("type ") + bad + "\nkey Enter\ntype 8, 9D1\nkey Enter\n"));
    q.start();
    Single a = 5, b = 5;
    q.rt().INPUT(0, 0, "", {a, b});
    EXPECT_EQ(std::pair(double(a), double(b)), std::pair(8.0, 90.0)) << bad;
    EXPECT_EQ(shown(q.rt(), 1), "もう一度入力してください") << bad;
  }
  const rt::InputKind one[] = {rt::InputKind::Number};
  auto top = rt::convert_input_line("3.4028234E38", one);
  ASSERT_TRUE(top);
  EXPECT_EQ(static_cast<float>((*top)[0].number), FLT_MAX) << "the largest SINGLE";
  EXPECT_FALSE(rt::convert_input_line("-3.41D38", one));
}

TEST(Input, ALineStopsAt255BytesWithABeep) {
  std::string script;
  for (int i = 0; i < 3; ++i) script += "type " + std::string(100, char('a' + i)) + "\n";
  Program p(scripted(script + "key Enter\n"));
  p.start();
  std::string s;
  p.rt().INPUT(0, 2, "", {s});
  EXPECT_EQ(s, std::string(100, 'a') + std::string(100, 'b') + std::string(55, 'c'));
  EXPECT_EQ(p.host().beeps(), 45);
}

TEST(Input, ClosingTheWindowOrCtrlCEndsTheProgramFromInsideInput) {
  Program p;
  p.start();
  std::string s;
  EXPECT_EQ(error_of([&] { p.rt().INPUT(1, 2, "", {s}); }), 1000);
  EXPECT_EQ(error_of([&] { p.rt().INPUT(0, 3, "", {s}); }), 5);
  for (const char* end : {"close\n", "key Ctrl+C\nkey Enter\n"}) {
    Program q(scripted(std::string("type AB\n") + end));
    bool returned = false;
    EXPECT_EQ(q.run([&](rt::Runtime& r) { r.INPUT(0, 2, " Name", {s}), returned = true; }), 0) << end;
    EXPECT_FALSE(returned) << end;
  }
}

// ---- mouse, clock, random numbers ----

TEST(Mouse, PositionMovementAndButtons) {
  Program p;
  p.start();
  rt::Runtime& r = p.rt();
  r.on_input_event(mouse(T::MouseMove, 100, 40));
  EXPECT_EQ((std::array{r.MOUSE(0, 0), r.MOUSE(0, 1), r.MOUSE(0, 9), r.MOUSE(0, 10)}), (std::array{100, 40, 100, 40}));
  r.on_input_event(mouse(T::MouseMove, 90, 70));
  EXPECT_EQ((std::array{r.MOUSE(0, 9), r.MOUSE(0, 9), r.MOUSE(0, 10)}), (std::array{-10, 0, 30}));
  for (int n : {-1, 2, 8, 11, 12}) EXPECT_EQ(error_of([&] { r.MOUSE(0, n); }), 5) << n;
  for (auto [n, b] : {std::pair(1, 0), {10, 0}, {14, 0}, {-1, 0}, {2, 2}, {2, -1}})
    EXPECT_EQ(error_of([&, n = n, b = b] { r.MOUSE(0, n, b); }), 5) << n << " " << b;
  EXPECT_EQ(error_of([&] { r.MOUSE(1, 0); }), 1000);
  EXPECT_EQ(error_of([&] { r.MOUSE(1, 2, 0); }), 1000);

  r.on_input_event(mouse(T::MouseDown, 10, 20));
  EXPECT_EQ(std::pair(r.MOUSE(0, 2, 0), r.MOUSE(0, 2, 1)), std::pair(-1, 0)) << "held down";
  for (const Event& e : {mouse(T::MouseMove, 15, 25), mouse(T::MouseUp, 30, 40), mouse(T::MouseDown, 31, 41),
                         mouse(T::MouseDoubleClick, 33, 43), mouse(T::MouseUp, 32, 42)})
    r.on_input_event(e);
  // n: down, presses (read twice), last press x y, releases, last release x y, double clicks, their x y.
  const std::pair<int, int> reads[] = {{2, 0},  {3, 2},  {3, 0},  {4, 31}, {5, 41},  {6, 2},  {6, 0},
                                       {7, 32}, {8, 42}, {11, 1}, {11, 0}, {12, 33}, {13, 43}};
  for (auto [n, want] : reads) EXPECT_EQ(r.MOUSE(0, n, 0), want) << n;
  EXPECT_EQ(r.MOUSE(0, 3, 1), 0) << "the right button saw nothing";
  r.on_input_event(mouse(T::MouseMove, 200, 300));
  r.on_input_event(mouse(T::MouseDown, -1, -1, platform::MouseButton::Right));  // where the pointer is
  EXPECT_EQ((std::array{r.MOUSE(0, 2, 1), r.MOUSE(0, 2, 0), r.MOUSE(0, 4, 1), r.MOUSE(0, 5, 1), r.MOUSE(0, 3, 1)}),
            (std::array{-1, 0, 200, 300, 1}));
}

TEST(Clock, TimeAndDate) {
  platform::HostOptions o;
  o.start_time = platform::LocalTime{2017, 3, 5, 9, 7, 58};
  Program p(o);
  p.start();
  rt::Runtime& r = p.rt();
  EXPECT_EQ(std::pair(r.TIME(), r.DATE("")), std::pair(std::string("09:07:58"), std::string("17/03/05")));
  EXPECT_EQ(rt::RIGHT(r.TIME(), 2), "58") << "the game's seed: the current second";
  p.host().advance(2500);
  EXPECT_EQ(r.TIME(), "09:08:00");
  EXPECT_EQ(r.DATE("YYYY-MM-DD"), "2017-03-05");
  EXPECT_EQ(r.DATE("dd.mm.yy"), "05.03.17");
  // "ゥ" is 0x83 0x44: its second byte reads as 'D' but is no part of "DD".
  EXPECT_EQ(r.DATE(sjis("ゥD/MM年")), sjis("ゥD/03年"));
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

TEST(Random, TheGeneratorFollowsItsRulesFromState204) {
  Program p;
  p.start();
  rt::Runtime& r = p.rt();
  EXPECT_EQ(double(r.RND(1)), 620765 / 8388608.0);
  EXPECT_EQ(r.random_state(), 0x12F1BB9Fu);
  EXPECT_NEAR(double(r.RND(1)), 0.9264730, 1e-7);
  EXPECT_NEAR(double(r.RND(0)), 0.9264730, 1e-7) << "x = 0 repeats";

  RandomModel m;
  m.next(1), m.next(1);
  for (float x : {1.0f, 0.0f, -1.0f, 1.0f, 0.25f, -0.5f, 0.0f, -1e-3f, 7.0f, -3e38f, 1.0f}) {
    EXPECT_EQ(double(r.RND(x)), m.next(x)) << x;
    EXPECT_EQ(r.random_state(), m.state) << x;
  }
  // RANDOMIZE XORs the seed in; 0 changes nothing.
  for (std::int32_t seed : {0, 37, -123456, 58}) {
    r.RANDOMIZE(seed);
    m.state ^= static_cast<std::uint32_t>(seed);
    EXPECT_EQ(double(r.RND(1)), m.next(1)) << seed;
  }
  // 0 is never returned: from state 0 RND(0) moves on, and so does a step that lands on 0.
  ASSERT_EQ(791373737u * 2058568021u + 1276750819u, 0u);
  for (auto [state, x] : {std::pair(0u, 0.0f), {791373737u, 1.0f}}) {
    r.RANDOMIZE(static_cast<std::int32_t>(r.random_state() ^ state));
    m.state = state;
    double got = r.RND(x);
    EXPECT_GT(got, 0.0);
    EXPECT_EQ(got, m.next(x)) << state;
  }
}

// ---- library calls ----

platform::HostOptions with(std::shared_ptr<platform::MidiOut> midi) {
  platform::HostOptions o;
  o.midi = std::move(midi);
  return o;
}

TEST(LibraryCall, TheTableKeepsNamesInCapitalsAndRefusesWhatIsMissing) {
  Program p;
  p.start();
  rt::Runtime& r = p.rt();
  for (auto [library, function] : {std::pair("KERNEL32", "GetTickCount"), {"winmm.drv", "timeGetTime"},
                                   {"WINMM", "midiOutFoo"}, {"WINMM", "timegettime"}})
    EXPECT_EQ(error_of([&, l = library, f = function] { r.LIBCALL(l, f); }), 5) << library << " " << function;
  EXPECT_EQ(r.loaded_libraries(), 0u) << "a failed first call adds nothing";
  r.LIBCALL("winmm.dll", "midiOutGetNumDevs");
  r.LIBCALL("WinMM.Dll", "timeGetTime");
  EXPECT_EQ(r.loaded_libraries(), 1u);
  r.LIBCALL("WINMM", "timeGetTime");  // without the extension: an entry of its own
  r.LIBCALL("winmm", "timeGetTime");
  EXPECT_EQ(r.loaded_libraries(), 2u);
  EXPECT_EQ(error_of([&] { r.LIBCALL("WINMM", "timegettime"); }), 5) << "function names are exact";
  EXPECT_EQ(error_of([&] { r.LIBCALL("WINMM", "timeGetTime", 1); }), 5) << "wrong number of arguments";
  std::int32_t h = 0;
  EXPECT_EQ(error_of([&] { r.LIBCALL("winmm.dll", "midiOutOpen", &h, -1, 0, 0); }), 5);
}

TEST(LibraryCall, NotesGoOutWithArgumentsRoundedToLongs) {
  auto rec = std::make_shared<platform::MidiRecorder>();
  Program p(with(rec));
  p.start();
  rt::Runtime& r = p.rt();
  ASSERT_EQ(r.LIBCALL("WINMM", "midiOutGetNumDevs"), 1);
  std::int32_t h = 0;
  EXPECT_EQ(r.LIBCALL("winmm.dll", "midiOutOpen", &h, 0xFFFFFFFFu, 0, 0, 0), 0);
  EXPECT_NE(h, 0);
  r.LIBCALL("winmm.dll", "midiOutShortMsg", h, 0x7F3C90 + 256 * 12);
  r.LIBCALL("winmm.dll", "midiOutShortMsg", h, 8337040.5);  // 0x7F3690.8 rounds to 0x7F3691
  r.LIBCALL("winmm.dll", "midiOutShortMsg", h, Single(144));
  r.LIBCALL("winmm.dll", "midiOutShortMsg", h, -1);  // only the low three bytes go out
  EXPECT_EQ(rec->messages(), (std::vector<std::uint32_t>{0x7F4890, 0x7F3691, 0x90, 0xFFFFFF}));
  EXPECT_EQ(error_of([&] { r.LIBCALL("winmm.dll", "midiOutShortMsg", h, 3e9); }), 6);
  EXPECT_EQ(error_of([&] { r.LIBCALL("winmm.dll", "midiOutShortMsg", h, 1LL << 33); }), 6);
  EXPECT_EQ(r.LIBCALL("winmm.dll", "midiOutClose", h), 0);
  EXPECT_EQ(rec->resets(), 1);
  EXPECT_NE(r.LIBCALL("winmm.dll", "midiOutShortMsg", h, 0x7F3C90), 0) << "a closed handle is refused";
  EXPECT_EQ(rec->messages().size(), 4u);

  Program q(with(std::make_shared<platform::NoMidi>()));
  q.start();
  EXPECT_EQ(q.rt().LIBCALL("WINMM", "midiOutGetNumDevs"), 0);
  std::int32_t none = 0;
  EXPECT_NE(q.rt().LIBCALL("winmm.dll", "midiOutOpen", &none, -1, 0, 0, 0), 0);
  EXPECT_EQ(none, 0);
}

}  // namespace

// Scripts: the commands and their errors, the input each command hands
// out, and the pace at which a runner hands it to a polling program.
#include "platform/script.h"

#include <gtest/gtest.h>

#include "platform/sjis.h"

namespace platform {
namespace {

using Op = ScriptCommand::Op;

std::vector<ScriptCommand> parse_ok(std::string_view text) {
  std::string error;
  auto r = parse_script(text, &error);
  EXPECT_TRUE(r.has_value()) << error;
  return r.value_or(std::vector<ScriptCommand>{});
}

// Input events in a short form: "down Enter", "text a", "press 5,6 right".
std::string describe(const Event& e) {
  static const char* types[] = {"close", "expose", "down", "up", "text", "move", "press", "release", "double"};
  std::string s = types[static_cast<int>(e.type)];
  if (e.type == Event::Type::KeyDown || e.type == Event::Type::KeyUp)
    s += " " + (e.key == Key::Char ? utf32_to_utf8(std::u32string(1, e.ch)) : e.key == Key::Ctrl ? "Ctrl" : key_name(e.key));
  if (e.type == Event::Type::Text) s += " " + e.text;
  if (e.type >= Event::Type::MouseMove) s += " " + std::to_string(e.x) + "," + std::to_string(e.y);
  if (e.type >= Event::Type::MouseMove && e.button == MouseButton::Right) s += " right";
  return s + (e.ctrl ? "+ctrl" : "");
}

TEST(ScriptParse, CommandsAndTheirArguments) {
  const struct {
    const char* line;
    Op op;
    int a, b, c, d;
    MouseButton button;
    std::string arg;
  } cases[] = {{"wait 100", Op::Wait, 100, 0, 0, 0, {}, ""},
               {" \twait 0 \r", Op::Wait, 0, 0, 0, 0, {}, ""},
               {"idle", Op::Idle, 0, 0, 0, 0, {}, ""},
               {"type 名前 ABC ", Op::Type, 0, 0, 0, 0, {}, "名前 ABC"},
               {"move -5 20", Op::Move, -5, 20, 0, 0, {}, ""},
               {"press right", Op::Press, 0, 0, 0, 0, MouseButton::Right, ""},
               {"release left", Op::Release, 0, 0, 0, 0, MouseButton::Left, ""},
               {"click 5 6", Op::Click, 5, 6, 0, 0, MouseButton::Left, ""},
               {"click 7 8 right", Op::Click, 7, 8, 0, 0, MouseButton::Right, ""},
               {"drag 1 2 3 4", Op::Drag, 1, 2, 3, 4, {}, ""},
               {"shot out/a b.png", Op::Shot, 0, 0, 0, 0, {}, "out/a b.png"},
               {"text grid.txt", Op::Text, 0, 0, 0, 0, {}, "grid.txt"},
               {"layout l.txt", Op::Layout, 0, 0, 0, 0, {}, "l.txt"},
               {"expect 27 79 メ ニ ュ", Op::Expect, 27, 79, 0, 0, {}, "メ ニ ュ"},
               {"expect 0 3  two", Op::Expect, 0, 3, 0, 0, {}, " two"},
               {"close", Op::Close, 0, 0, 0, 0, {}, ""}};
  for (const auto& c : cases) {
    auto cmds = parse_ok(c.line);
    ASSERT_EQ(cmds.size(), 1u) << c.line;
    const ScriptCommand& got = cmds[0];
    EXPECT_EQ(got.op, c.op) << c.line;
    EXPECT_EQ(std::tuple(got.a, got.b, got.c, got.d), std::tuple(c.a, c.b, c.c, c.d)) << c.line;
    EXPECT_EQ(got.button, c.button) << c.line;
    EXPECT_EQ(got.arg, c.arg) << c.line;
  }
  // Comments and blank lines count as lines.
  auto cmds = parse_ok("# start\n\nwait 1\n  # more\nidle\nclose");
  ASSERT_EQ(cmds.size(), 3u);
  EXPECT_EQ(std::tuple(cmds[0].line, cmds[1].line, cmds[2].line), std::tuple(3, 5, 6));
  EXPECT_TRUE(parse_ok("").empty());
}

TEST(ScriptParse, ABadLineIsRefusedWithItsNumberAndWhy) {
  const struct {
    const char* line;
    const char* why;
  } cases[] = {{"jump 3", "unknown command"},        {"wait", "expected: wait MS"},
               {"wait -5", "expected: wait MS"},     {"wait 5 6", "expected: wait MS"},
               {"wait 5x", "expected: wait MS"},     {"wait 99999999999", "expected: wait MS"},
               {"idle now", "expected: idle"},       {"key Hyper", "unknown key"},
               {"key Enter x", "unknown key"},       {"type", "expected: type TEXT"},
               {"type \xff\xfe", "text is not UTF-8"}, {"move 1", "expected: move X Y"},
               {"move 1 2 3", "expected: move X Y"}, {"press middle", "expected: press left|right"},
               {"release", "expected: release left|right"},
               {"click 1 2 middle", "expected: click X Y [left|right]"},
               {"click 1", "expected: click X Y [left|right]"},
               {"click 1 2 left x", "expected: click X Y [left|right]"},
               {"drag 1 2 3", "expected: drag X0 Y0 X1 Y1"}, {"shot", "expected: shot FILE"},
               {"text", "expected: text FILE"},       {"layout", "expected: layout FILE"},
               {"expect 1 2", "expected: expect ROW COL TEXT"},
               {"expect 1 2 \xff", "expected: expect ROW COL TEXT"},
               {"expect 28 0 x", "row or column outside the grid"},
               {"expect 0 80 x", "row or column outside the grid"},
               {"expect -1 0 x", "row or column outside the grid"},
               {"expect 0 -1 x", "row or column outside the grid"}, {"close now", "expected: close"}};
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(parse_script(std::string("idle\n# note\n") + c.line + "\nclose\n", &error)) << c.line;
    EXPECT_EQ(error, std::string("line 3: ") + c.why + ": " + c.line) << c.line;
  }
}

TEST(ScriptParse, KeyNames) {
  const struct {
    const char* name;
    Key key;
  } named[] = {{"Enter", Key::Enter},   {"Up", Key::Up},         {"Down", Key::Down},
               {"Left", Key::Left},     {"Right", Key::Right},   {"Esc", Key::Escape},
               {"Space", Key::Space},   {"Backspace", Key::Backspace}, {"Delete", Key::Delete},
               {"Home", Key::Home},     {"End", Key::End},       {"PageUp", Key::PageUp},
               {"PageDown", Key::PageDown}, {"Insert", Key::Insert}, {"Tab", Key::Tab},
               {"F1", Key::F1}, {"F2", Key::F2}, {"F3", Key::F3}, {"F4", Key::F4}, {"F5", Key::F5},
               {"F6", Key::F6}, {"F7", Key::F7}, {"F8", Key::F8}, {"F9", Key::F9}, {"F10", Key::F10},
               {"F11", Key::F11}, {"F12", Key::F12}};
  for (const auto& c : named) {
    ScriptCommand cmd;
    ASSERT_TRUE(parse_key_name(c.name, &cmd)) << c.name;
    EXPECT_EQ(cmd.key, c.key) << c.name;
    EXPECT_EQ(key_name(c.key), c.name);
  }
  const struct {
    const char* name;
    char32_t ch;
    bool ctrl;
  } chars[] = {{"a", U'a', false}, {"Z", U'Z', false}, {"~", U'~', false}, {"é", U'é', false},
               {"Ctrl+C", U'c', true}, {"Ctrl+a", U'a', true}, {"Ctrl+z", U'z', true}};
  for (const auto& c : chars) {
    ScriptCommand cmd;
    ASSERT_TRUE(parse_key_name(c.name, &cmd)) << c.name;
    EXPECT_EQ(std::tuple(cmd.key, cmd.ch, cmd.ctrl), std::tuple(Key::Char, c.ch, c.ctrl)) << c.name;
  }
  for (const char* bad : {"enter", "F13", "ab", "Ctrl+", "Ctrl+1", "Ctrl+CC", "Ctrl+Enter", "\x7f", "\x01", "\xe6"}) {
    ScriptCommand cmd;
    EXPECT_FALSE(parse_key_name(bad, &cmd)) << bad;
  }
}

TEST(ScriptInput, EachCommandHandsOutItsEventsInGroups) {
  const struct {
    const char* line;
    std::vector<std::vector<std::string>> groups;
  } cases[] = {
      {"key Enter", {{"down Enter", "up Enter"}}},
      {"key a", {{"down a", "text a", "up a"}}},
      {"key Space", {{"down Space", "text  ", "up Space"}}},
      {"key Ctrl+C", {{"down Ctrl+ctrl", "down c+ctrl", "up c+ctrl", "up Ctrl"}}},
      {"type é b", {{"down é", "text é", "up é", "down Space", "text  ", "up Space", "down b", "text b", "up b"}}},
      {"move 10 20", {{"move 10,20"}}},
      {"press right", {{"press -1,-1 right"}}},
      {"release left", {{"release -1,-1"}}},
      {"click 5 6 right", {{"move 5,6 right"}, {"press 5,6 right"}, {"release 5,6 right"}}},
      {"drag 1 2 3 4", {{"move 1,2"}, {"press 1,2"}, {"move 3,4"}, {"release 3,4"}}},
      {"wait 5", {}}};
  for (const auto& c : cases) {
    std::vector<std::vector<std::string>> got;
    for (const auto& g : input_primitives(parse_ok(c.line).at(0))) {
      got.emplace_back();
      for (const Event& e : g) got.back().push_back(describe(e));
    }
    EXPECT_EQ(got, c.groups) << c.line;
  }
}

// Steps a runner and returns what it handed out this time.
struct Driver {
  explicit Driver(std::string_view script) : runner(parse_ok(script)) {}
  std::vector<std::string> step(std::uint32_t now, bool idle_first = true) {
    if (idle_first) runner.note_idle();
    std::vector<Event> out;
    runner.step(now, picture, out);
    std::vector<std::string> got;
    for (const Event& e : out) got.push_back(describe(e));
    return got;
  }
  ScriptRunner runner;
  Surface picture{4, 4};
};

using V = std::vector<std::string>;

// A polling program must see every press and release: one group per idle.
TEST(ScriptRunner, HandsOutOneGroupEachTimeTheProgramHasLookedAndClosesAtTheEnd) {
  Driver d("click 10 20\nkey Enter\n");
  EXPECT_EQ(d.step(0, false), V{}) << "nothing before the program first looks";
  EXPECT_EQ(d.step(1), V{"move 10,20"});
  EXPECT_EQ(d.step(2, false), V{}) << "the press waits until the program has looked";
  EXPECT_EQ(d.step(3), V{"press 10,20"});
  EXPECT_EQ(d.step(4), V{"release 10,20"});
  EXPECT_EQ(d.step(5), (V{"down Enter", "up Enter"}));
  EXPECT_TRUE(d.runner.finished());
  EXPECT_EQ(d.step(6, false), V{}) << "the close waits until the program has seen the key";
  EXPECT_EQ(d.step(7), V{"close"}) << "a script that runs out closes the window";
  EXPECT_EQ(d.step(8), V{}) << "once";
  EXPECT_EQ(Driver("wait 0\n").step(0, false), V{"close"}) << "no input to wait for";
}

TEST(ScriptRunner, WaitCountsFromItsStartAndIdleNeedsAFreshIdle) {
  Driver d("wait 100\nidle\nclose\n");
  EXPECT_EQ(d.step(1000), V{});
  EXPECT_EQ(d.step(1099, false), V{});
  EXPECT_EQ(d.step(1100, false), V{}) << "the wait is over, the idle began after the last one";
  EXPECT_EQ(d.step(1101), V{"close"});
  Driver wrap("wait 10\nclose\n");
  EXPECT_EQ(wrap.step(0xFFFFFFFAu, false), V{});
  EXPECT_EQ(wrap.step(3, false), V{}) << "the clock wrapped";
  EXPECT_EQ(wrap.step(4, false), V{"close"});
}

class FakeHooks : public ScriptHooks {
 public:
  bool save_text(const std::string& path, std::string*) override { return calls.emplace_back("text " + path), true; }
  bool save_layout(const std::string& path, std::string*) override { return calls.emplace_back("layout " + path), true; }
  bool expect_text(int row, int col, const std::string& text, std::string* error) override {
    calls.push_back("expect " + std::to_string(row) + " " + std::to_string(col) + " " + text);
    *error = "not there";
    return text == "yes";
  }
  std::vector<std::string> calls;
};

TEST(ScriptRunner, AFailedExpectOrFileStopsWithCodeOneBeforeTheRest) {
  FakeHooks hooks;
  Driver d("text a.txt\nlayout b.txt\nexpect 2 5 yes\nexpect 1 1 no\nclose\n");
  d.runner.set_hooks(&hooks);
  EXPECT_EQ(d.step(0), V{});
  EXPECT_EQ(hooks.calls, (V{"text a.txt", "layout b.txt", "expect 2 5 yes", "expect 1 1 no"}));
  EXPECT_EQ(d.runner.failure_code(), 1);
  Driver no_hooks("text a.txt\n");
  no_hooks.step(0);
  EXPECT_EQ(no_hooks.runner.failure_code(), 1) << "nothing to look into";
  Driver shot("shot /nonexistent-dir/x.png\n");
  shot.step(0);
  EXPECT_EQ(shot.runner.failure_code(), 1);
  Driver fine("idle\n");
  fine.step(0);
  EXPECT_EQ(fine.runner.failure_code(), std::nullopt);
}

}  // namespace
}  // namespace platform

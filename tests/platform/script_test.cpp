// Scripts: the commands, their errors, and the pace of input and snapshots.
#include "platform/script.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// A command or an event in a short form: "click 7 8 0 0 right", "down Enter".
std::string describe(const ScriptCommand& c) {
  static const char* ops[] = {"wait",  "idle", "key",  "type", "move",   "press",  "release",
                              "click", "drag", "shot", "text", "layout", "expect", "close"};
  return ops[static_cast<int>(c.op)] + (" " + std::to_string(c.a)) + " " + std::to_string(c.b) +
         " " + std::to_string(c.c) + " " + std::to_string(c.d) +
         (c.button == MouseButton::Right ? " right" : "") +
         (c.arg.empty() ? "" : " [" + c.arg + "]");
}
std::string describe(const Event& e) {
  static const char* types[] = {"close", "expose", "down",    "up",    "text",
                                "move",  "press",  "release", "double"};
  std::string s = types[static_cast<int>(e.type)];
  if (e.type == Event::Type::KeyDown || e.type == Event::Type::KeyUp) s += " " + key_name(e.key);
  if (e.type >= Event::Type::MouseMove) s += " " + std::to_string(e.x) + "," + std::to_string(e.y);
  return s;
}

std::vector<ScriptCommand> parse(std::string_view text) {
  std::string error;
  auto r = parse_script(text, &error);
  EXPECT_TRUE(r) << error;
  return r.value_or(std::vector<ScriptCommand>{});
}

TEST(ScriptParse, CommandsArgumentsLinesKeyNamesAndBadLines) {
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {
      {" \twait 100 \r", "wait 100 0 0 0"},       {"type 名前 ABC ", "type 0 0 0 0 [名前 ABC]"},
      {"move -5 20", "move -5 20 0 0"},           {"press right", "press 0 0 0 0 right"},
      {"click 7 8 right", "click 7 8 0 0 right"}, {"shot a b.png", "shot 0 0 0 0 [a b.png]"},
      {"expect 27 79 メ ニ", "expect 27 79 0 0 [メ ニ]"}, {"expect 0 0 x", "expect 0 0 0 0 [x]"}};
  // clang-format on
  for (auto [line, want] : cases) EXPECT_EQ(describe(parse(line).at(0)), want) << line;
  // A bad line is refused with its number and why.
  const std::pair<std::string, std::vector<const char*>> bad[] = {
      {"unknown command", {"jump 3", "Wait 1"}},
      {"expected: wait MS", {"wait", "wait -5", "wait 5 6", "wait 99999999999"}},
      {"unknown key", {"key Hyper", "key Enter x", "key F13", "key Ctrl+1", "key Ctrl+CC"}},
      {"text is not UTF-8", {"type \xff"}},
      {"expected: move X Y", {"move 1", "move 1 2 3"}},
      {"expected: press left|right", {"press middle"}},
      {"expected: click X Y [left|right]", {"click 1 2 middle", "click 1", "click 1 2 left x"}},
      {"expected: expect ROW COL TEXT", {"expect 1 2", "expect 1 2 \xff"}},
      {"row or column outside the grid", {"expect 28 0 x", "expect 0 80 x", "expect -1 0 x"}},
      {"row or column outside the grid", {"expect 0 -1 x"}},
      {"expected: close", {"close now"}}};
  for (const auto& [why, lines] : bad) {
    for (const char* line : lines) {
      std::string error;
      EXPECT_FALSE(parse_script(std::string("idle\n# note\n") + line + "\nclose\n", &error));
      EXPECT_EQ(error, "line 3: " + why + ": " + line);
    }
  }
  // Named keys, one character, Ctrl with a letter; nothing else.
  const std::tuple<const char*, Key, char32_t, bool> keys[] = {
      {"Esc", Key::Escape, 0, false}, {"F12", Key::F12, 0, false},
      {"!", Key::Char, U'!', false},  {"~", Key::Char, U'~', false},
      {"é", Key::Char, U'é', false},  {"Ctrl+C", Key::Char, U'c', true}};
  for (auto [name, key, ch, ctrl] : keys) {
    ScriptCommand cmd;
    EXPECT_TRUE(parse_key_name(name, &cmd)) << name;
    EXPECT_EQ(std::tuple(cmd.key, cmd.ch, cmd.ctrl), std::tuple(key, ch, ctrl)) << name;
    EXPECT_TRUE(key == Key::Char || key_name(key) == name) << name;
  }
  for (const char* name : {"enter", "Ctrl+", "Ctrl+Enter", "Ctrl+@", "Ctrl+[", "\x7f", "\x01"}) {
    ScriptCommand cmd;
    EXPECT_FALSE(parse_key_name(name, &cmd)) << name;
  }
}

struct CountingHooks : ScriptHooks {
  bool save_text(const std::string&, std::string*) override { return ++calls; }
  bool save_layout(const std::string&, std::string*) override { return ++calls; }
  bool expect_text(int, int, const std::string&, std::string*) override { return ++calls; }
  int calls = 0;
};

// Runs `script` step by step: each step is the time, whether the program
// looked for input since the last step, and what it must be handed.
struct Step {
  std::uint32_t now;
  bool idle;
  std::vector<std::string> events;
};
ScriptRunner run(const char* script, const std::vector<Step>& steps) {
  ScriptRunner runner(parse(script));
  Surface picture(4, 4);
  for (const Step& s : steps) {
    if (s.idle) runner.note_idle();
    std::vector<Event> out;
    runner.step(s.now, picture, out);
    std::vector<std::string> got;
    for (const Event& e : out) got.push_back(describe(e));
    EXPECT_EQ(got, s.events) << script << " at " << s.now;
  }
  return runner;
}

// A program that polls must see every press and release: one group each
// time it has looked. A script that runs out closes the window once the
// program has seen the last input.
TEST(ScriptRunner, HandsOutInputWhenTheProgramHasLookedAndSnapshotsWaitForIt) {
  // clang-format off
  run("click 10 20\nkey Enter\n",
      {{0, false, {}}, {1, true, {"move 10,20"}}, {2, false, {}}, {3, true, {"press 10,20"}},
       {4, true, {"release 10,20"}}, {5, true, {"down Enter", "up Enter"}}, {6, false, {}},
       {7, true, {"close"}}, {8, true, {}}});
  // Each typed character is a key, its text and the key's release; a space is the Space key.
  run("type a b\n", {{0, true, {"down key", "text", "up key", "down Space", "text", "up Space",
                                 "down key", "text", "up key"}}});
  // clang-format on
  run("wait 100\nidle\nclose\n",
      {{1000, true, {}}, {1099, false, {}}, {1100, false, {}}, {1101, true, {"close"}}});
  run("wait 10\n", {{0xFFFFFFFAu, false, {}}, {3, false, {}}, {4, false, {"close"}}});  // wraps
  // A command that cannot be done stops the program with code 1.
  EXPECT_EQ(run("shot /nonexistent-dir/x.png\nidle\n", {{0, true, {}}}).failure_code(), 1);
  // Snapshots never run ahead of the program: after input they wait until it has taken it and
  // looked for more, or until a wait has let it run. Moves: 'i' the program looks, 's' a step 5 ms
  // on; after each step, the snapshots so far.
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"key Enter\nlayout l.txt\n", "issis", "001"},
      {"type AB\nwait 5\ntext t.txt\n", "iss", "01"},
      {"type AB\nwait 0\ntext t.txt\n", "issis", "001"},  // a wait that let nothing run
      {"text t.txt\ntype AB\n", "sis", "11"}};            // no input yet: at once
  for (auto [script, moves, want] : cases) {
    ScriptRunner runner(parse(script));
    CountingHooks hooks;
    runner.set_hooks(&hooks);
    Surface picture(4, 4);
    std::vector<Event> out;
    std::uint32_t now = 0;
    std::string runs;
    for (const char* m = moves; *m; ++m) {
      if (*m == 'i') {
        runner.note_idle();
      } else {
        runner.step(now += 5, picture, out);
        runs += std::to_string(hooks.calls);
      }
    }
    EXPECT_EQ(runs, want) << script;
    EXPECT_TRUE(!out.empty() && !runner.failure_code()) << script;
  }
}

}  // namespace
}  // namespace platform

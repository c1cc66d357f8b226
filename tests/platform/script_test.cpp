#include "platform/script.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

std::vector<ScriptCommand> parse_ok(std::string_view text) {
  std::string error;
  auto r = parse_script(text, &error);
  EXPECT_TRUE(r.has_value()) << error;
  return r ? *r : std::vector<ScriptCommand>{};
}

std::string parse_error(std::string_view text) {
  std::string error;
  EXPECT_FALSE(parse_script(text, &error).has_value()) << "accepted: " << text;
  return error;
}

TEST(ScriptParse, ReadsEveryCommandWithItsArguments) {
  auto cmds = parse_ok(
      "# a comment\nwait 100\nidle\n\nkey Enter\nkey Ctrl+C\nkey a\ntype 名前 ABC\nmove 10 20\n"
      "press right\nrelease left\nclick 5 6\nclick 7 8 right\ndrag 1 2 3 4\nshot out.png\n"
      "text grid.txt\nlayout layout.txt\nexpect 5 33 メ ニ ュ\nclose\n");
  ASSERT_EQ(cmds.size(), 17u);
  using Op = ScriptCommand::Op;
  EXPECT_EQ(cmds[0].op, Op::Wait);
  EXPECT_EQ(cmds[0].a, 100);
  EXPECT_EQ(cmds[0].line, 2);
  EXPECT_EQ(cmds[2].key, Key::Enter);
  EXPECT_TRUE(cmds[3].ctrl);
  EXPECT_EQ(cmds[3].ch, U'c');
  EXPECT_EQ(cmds[4].key, Key::Char);
  EXPECT_EQ(cmds[4].ch, U'a');
  EXPECT_EQ(cmds[5].arg, "名前 ABC");
  EXPECT_EQ(cmds[7].button, MouseButton::Right);
  EXPECT_EQ(cmds[9].button, MouseButton::Left);
  EXPECT_EQ(cmds[10].button, MouseButton::Right);
  EXPECT_EQ(cmds[11].d, 4);
  EXPECT_EQ(std::tuple(cmds[15].a, cmds[15].b, cmds[15].arg), std::tuple(5, 33, "メ ニ ュ"));
  EXPECT_EQ(cmds[16].op, Op::Close);
  EXPECT_EQ(cmds[16].line, 19);
}

TEST(ScriptParse, BadLinesNameTheirLine) {
  EXPECT_NE(parse_error("wait 1\nwait soon\n").find("line 2"), std::string::npos);
  for (const char* bad :
       {"jump 3\n", "wait -5\n", "wait 5 6\n", "key Hyper\n", "key Ctrl+1\n", "move 1\n",
        "press middle\n", "click 1 2 middle\n", "drag 1 2 3\n", "shot\n", "expect 1 2\n",
        "expect 40 2 x\n", "type \xff\xfe\n", "close now\n"}) {
    EXPECT_NE(parse_error(bad).find("line 1"), std::string::npos) << bad;
  }
}

// Records what the runner hands out, for the hooks it calls.
class FakeHooks : public ScriptHooks {
 public:
  bool save_text(const std::string& path, std::string*) override {
    saved.push_back(path);
    return true;
  }
  bool save_layout(const std::string& path, std::string*) override {
    saved.push_back(path);
    return true;
  }
  bool expect_text(int, int, const std::string& text, std::string* error) override {
    *error = "not there";
    return text == "yes";
  }
  std::vector<std::string> saved;
};

TEST(ScriptRunner, HandsOutOneInputPrimitivePerIdle) {
  ScriptRunner runner(parse_ok("click 10 20\nkey Enter\n"));
  Surface pic(4, 4);
  std::vector<Event> out;
  runner.step(0, pic, out);
  EXPECT_TRUE(out.empty()) << "nothing before the program first waits";
  runner.note_idle();
  runner.step(1, pic, out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].type, Event::Type::MouseMove);
  EXPECT_EQ(out[0].x, 10);
  runner.step(2, pic, out);
  EXPECT_EQ(out.size(), 1u) << "the press waits for the program to look";
  runner.note_idle();
  runner.step(3, pic, out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[1].type, Event::Type::MouseDown);
  runner.note_idle();
  runner.step(4, pic, out);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[2].type, Event::Type::MouseUp);
  runner.note_idle();
  runner.step(5, pic, out);
  ASSERT_EQ(out.size(), 5u) << "a key is a down and an up together";
  EXPECT_EQ(out[3].key, Key::Enter);
  EXPECT_EQ(out[4].type, Event::Type::KeyUp);
  EXPECT_TRUE(runner.finished());
  runner.step(6, pic, out);
  EXPECT_EQ(out.size(), 5u) << "the close waits until the program has seen the last key";
  runner.note_idle();
  runner.step(7, pic, out);
  ASSERT_EQ(out.size(), 6u);
  EXPECT_EQ(out[5].type, Event::Type::Close) << "a script that runs out closes the window";
  runner.step(8, pic, out);
  EXPECT_EQ(out.size(), 6u) << "closed once";
}

TEST(ScriptRunner, WaitCountsFromWhenItBeginsAndIdleNeedsAFreshIdle) {
  ScriptRunner runner(parse_ok("wait 100\nidle\nclose\n"));
  Surface pic(4, 4);
  std::vector<Event> out;
  runner.step(1000, pic, out);
  runner.note_idle();  // before the idle command began
  runner.step(1099, pic, out);
  runner.step(1100, pic, out);
  EXPECT_TRUE(out.empty());
  runner.note_idle();
  runner.step(1101, pic, out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].type, Event::Type::Close);
}

TEST(ScriptRunner, TypedTextArrivesAsTextAndCtrlKeysSendNone) {
  ScriptRunner runner(parse_ok("type aé\nkey Ctrl+C\n"));
  Surface pic(4, 4);
  std::vector<Event> out;
  runner.note_idle();
  runner.step(0, pic, out);
  std::string text;
  for (const Event& e : out) text += e.text;
  EXPECT_EQ(text, "aé");
  const std::size_t n = out.size();
  runner.note_idle();
  runner.step(1, pic, out);
  ASSERT_GE(out.size(), n + 3);
  EXPECT_EQ(out[n].key, Key::Ctrl);
  EXPECT_EQ(out[n + 1].ch, U'c');
  EXPECT_TRUE(out[n + 1].ctrl);
  for (std::size_t i = n; i < out.size(); ++i) EXPECT_NE(out[i].type, Event::Type::Text);
}

TEST(ScriptRunner, FailedExpectOrFileStopsWithCodeOne) {
  FakeHooks hooks;
  ScriptRunner runner(parse_ok("text a.txt\nexpect 1 1 yes\nexpect 1 1 no\nclose\n"));
  runner.set_hooks(&hooks);
  Surface pic(4, 4);
  std::vector<Event> out;
  runner.step(0, pic, out);
  EXPECT_EQ(hooks.saved, std::vector<std::string>{"a.txt"});
  ASSERT_TRUE(runner.failure_code().has_value());
  EXPECT_EQ(*runner.failure_code(), 1);
  EXPECT_TRUE(out.empty()) << "stops before the close";

  ScriptRunner shot(parse_ok("shot /nonexistent-dir/x.png\n"));
  shot.step(0, pic, out);
  EXPECT_EQ(shot.failure_code().value_or(0), 1);
}

}  // namespace
}  // namespace platform

// INPUT: a typed line into variables, driven by scripts as a player types.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>

#include "platform/script.h"
#include "platform/sjis.h"
#include "tests/support/program.h"

namespace {

using rt::Single;
using testing_support::error_of;
using testing_support::Program;

// The script's last "idle" keeps the window open until the line is read.
platform::HostOptions typing(const std::string& script) {
  std::string why;
  auto commands = platform::parse_script(script + "idle\n", &why);
  EXPECT_TRUE(commands) << why;
  platform::HostOptions o;
  o.script = commands ? *commands : std::vector<platform::ScriptCommand>{};
  return o;
}

std::string fixed(const char* buf, std::size_t n) {
  return std::string(buf, n);
}

TEST(InputLine, FixedLengthTargetIsPaddedWithSpaces) {
  Program p(typing("type TARO\nkey Enter\n"));
  p.start();
  char name[10];
  std::memset(name, 'x', sizeof name);
  p.rt().INPUT(0, 2, " Name", {{name, sizeof name}});
  EXPECT_EQ(fixed(name, 10), "TARO      ");
}

TEST(InputLine, FixedLengthTargetIsCut) {
  Program p(typing("type ABCDEFGHIJKLMN\nkey Enter\n"));
  p.start();
  char name[10];
  p.rt().INPUT(0, 2, " Name", {{name, sizeof name}});
  EXPECT_EQ(fixed(name, 10), "ABCDEFGHIJ");
}

TEST(InputLine, CuttingNeverSplitsADoubleByteCharacter) {
  Program p(typing("type AあいうえおかB\nkey Enter\n"));
  p.start();
  char name[10];
  p.rt().INPUT(0, 2, " Name", {{name, sizeof name}});
  // A, then four characters of two bytes; the fifth would not fit whole.
  EXPECT_EQ(fixed(name, 10), platform::utf8_to_sjis("Aあいうえ") + " ");
}

TEST(InputLine, NumbersAndStrings) {
  Program p(typing("type 3.5, -2E1 ,  \"a, b\"  , plain text \nkey Enter\n"));
  p.start();
  Single x, y;
  std::string s, t;
  p.rt().INPUT(0, 0, "", {x, y, s, t});
  EXPECT_EQ(static_cast<double>(x), 3.5);
  EXPECT_EQ(static_cast<double>(y), -20.0);
  EXPECT_EQ(s, "a, b");
  EXPECT_EQ(t, "plain text");
}

TEST(InputLine, OneStringTakesTheWholeLine) {
  Program p(typing("type  Tom, Jr.\nkey Enter\n"));
  p.start();
  std::string s;
  p.rt().INPUT(0, 1, "Who", {s});
  EXPECT_EQ(s, "Tom, Jr.");
}

TEST(InputLine, EmptyLineGivesZeroAndEmpty) {
  Program p(typing("key Enter\nkey Enter\n"));
  p.start();
  Single x = 9;
  std::string s = "old";
  p.rt().INPUT(0, 0, "", {x});
  p.rt().INPUT(0, 0, "", {s});
  EXPECT_EQ(static_cast<double>(x), 0.0);
  EXPECT_EQ(s, "");
}

TEST(InputLine, WrongCountAsksAgainAndAssignsNothing) {
  Program p(typing("type 1,2\nkey Enter\ntype 7\nkey Enter\n"));
  p.start();
  Single x = 5;
  p.rt().INPUT(0, 0, "", {x});
  EXPECT_EQ(static_cast<double>(x), 7.0);
}

TEST(InputLine, BadNumbersAskAgain) {
  for (const char* bad : {"abc", "1.2.3", "12x", "1e", "--1", "1e99", "\"7\"x"}) {
    Program p(typing(std::string("type ") + bad + "\nkey Enter\ntype 8, 9\nkey Enter\n"));
    p.start();
    Single x = 5, y = 5;
    p.rt().INPUT(0, 0, "", {x, y});
    EXPECT_EQ(static_cast<double>(x), 8.0) << bad;
    EXPECT_EQ(static_cast<double>(y), 9.0) << bad;
  }
}

TEST(InputLine, NumbersReachTheLargestSingleAndNoFurther) {
  const rt::InputKind one[] = {rt::InputKind::Number};
  auto top = rt::convert_input_line("3.4028234E38", one);
  ASSERT_TRUE(top);
  EXPECT_EQ(static_cast<float>((*top)[0].number), FLT_MAX);
  EXPECT_FALSE(rt::convert_input_line("3.41E38", one));
  EXPECT_FALSE(rt::convert_input_line("-3.41D38", one));
  auto tiny = rt::convert_input_line("1E-50", one);  // too small for a SINGLE: zero
  ASSERT_TRUE(tiny);
  EXPECT_EQ(static_cast<float>((*tiny)[0].number), 0.0f);
  EXPECT_TRUE(rt::convert_input_line("anything, at all", {})) << "no variables: any line will do";
}

TEST(InputLine, BackspaceRemovesWholeCharacters) {
  Program p(typing("type ABあ\nkey Backspace\nkey Backspace\ntype C\nkey Enter\n"));
  p.start();
  std::string s;
  p.rt().INPUT(0, 2, "", {s});
  EXPECT_EQ(s, "AC");
}

TEST(InputLine, ControlAndCursorKeysAreNotTyped) {
  Program p(
      typing("type A\nkey Up\nkey Tab\nkey Esc\nkey Delete\nkey Backspace\nkey Backspace\n"
             "type B\nkey Enter\n"));
  p.start();
  std::string s;
  p.rt().INPUT(0, 2, "", {s});
  EXPECT_EQ(s, "B");
}

TEST(InputLine, LongLinesStopAtTheLimitWithABeep) {
  std::string script;
  for (int i = 0; i < 3; ++i) script += "type " + std::string(100, char('a' + i)) + "\n";
  Program p(typing(script + "key Enter\n"));
  p.start();
  std::string s;
  p.rt().INPUT(0, 2, "", {s});
  EXPECT_EQ(s, std::string(100, 'a') + std::string(100, 'b') + std::string(55, 'c'));
  EXPECT_EQ(p.host().beeps(), 45);
}

TEST(InputLine, WaitingLetsTheHostIdle) {
  Program p(typing("wait 50\ntype 1\nkey Enter\n"));
  p.start();
  Single x;
  p.rt().INPUT(0, 2, "", {x});
  EXPECT_EQ(static_cast<double>(x), 1.0);
  EXPECT_GT(p.host().idles(), 10);
}

TEST(InputLine, BadArgumentsAreErrors) {
  Program p;
  p.start();
  std::string s;
  EXPECT_EQ(error_of([&] { p.rt().INPUT(1, 2, "", {s}); }), 1000);
  EXPECT_EQ(error_of([&] { p.rt().INPUT(0, 3, "", {s}); }), 5);
}

TEST(InputLine, ClosingTheWindowEndsTheProgram) {
  Program p(typing("type AB\nclose\n"));
  bool returned = false;
  int code = p.run([&](rt::Runtime& r) {
    std::string s;
    r.INPUT(0, 2, " Name", {s});
    returned = true;
  });
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(returned);
}

TEST(InputLine, CtrlCIsTheUserBreak) {
  Program p(typing("type AB\nkey Ctrl+C\nkey Enter\n"));
  bool returned = false;
  int code = p.run([&](rt::Runtime& r) {
    std::string s;
    r.INPUT(0, 2, " Name", {s});
    returned = true;
  });
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(returned);
}

}  // namespace

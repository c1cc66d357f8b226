// INPUT: a typed line into variables, driven by scripts as a player types.
#include <gtest/gtest.h>

#include <cfloat>
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

TEST(InputLine, FixedLengthTargetsArePaddedOrCutNeverSplittingACharacter) {
  const struct {
    const char* typed;
    std::string want;
  } cases[] = {
      {"TARO", "TARO      "},
      {"ABCDEFGHIJKLMN", "ABCDEFGHIJ"},
      // A, then four characters of two bytes; the fifth would not fit whole.
      {"AあいうえおかB", platform::utf8_to_sjis("Aあいうえ") + " "},
  };
  for (const auto& c : cases) {
    Program p(typing(std::string("type ") + c.typed + "\nkey Enter\n"));
    p.start();
    char name[10];
    p.rt().INPUT(0, 2, " Name", {{name, sizeof name}});
    EXPECT_EQ(std::string(name, sizeof name), c.want) << c.typed;
  }
}

TEST(InputLine, OneStringLineWithEditingKeys) {
  const struct {
    const char* script;
    const char* want;
  } cases[] = {
      {"type  Tom, Jr.\n", "Tom, Jr."},  // one string takes the whole line
      {"type ABあ\nkey Backspace\nkey Backspace\ntype C\n", "AC"},  // whole characters
      {"type A\nkey Up\nkey Tab\nkey Esc\nkey Delete\nkey Backspace\nkey Backspace\ntype B\n", "B"},
      {"", ""},
  };
  for (const auto& c : cases) {
    Program p(typing(std::string(c.script) + "key Enter\n"));
    p.start();
    std::string s = "old";
    p.rt().INPUT(0, 1, "Who", {s});
    EXPECT_EQ(s, c.want) << c.script;
  }
}

TEST(InputLine, NumbersAndStringsSplitAtCommas) {
  Program p(typing("type 3.5, -2E1 ,  \"a, b\"  , plain text \nkey Enter\nkey Enter\n"));
  p.start();
  Single x, y = 9;
  std::string s, t;
  p.rt().INPUT(0, 0, "", {x, y, s, t});
  EXPECT_EQ(static_cast<double>(x), 3.5);
  EXPECT_EQ(static_cast<double>(y), -20.0);
  EXPECT_EQ(s, "a, b");
  EXPECT_EQ(t, "plain text");
  p.rt().INPUT(0, 0, "", {y});
  EXPECT_EQ(static_cast<double>(y), 0.0) << "an empty line gives zero";
}

TEST(InputLine, AWrongCountOrABadNumberAsksAgainAndAssignsNothing) {
  for (const char* bad :
       {"1", "1,2,3", "abc,1", "1.2.3,1", "12x,1", "1e,1", "--1,1", "1e99,1", "\"7\"x,1"}) {
    Program p(typing(std::string("type ") + bad + "\nkey Enter\ntype 8, 9\nkey Enter\n"));
    p.start();
    Single x = 5, y = 5;
    p.rt().INPUT(0, 0, "", {x, y});
    EXPECT_EQ(static_cast<double>(x), 8.0) << bad;
    EXPECT_EQ(static_cast<double>(y), 9.0) << bad;
    std::string shown;
    for (int row = 0; row < 4; ++row) shown += platform::sjis_to_utf8(p.rt().text_row(row));
    EXPECT_NE(shown.find("もう一度入力してください"), std::string::npos) << bad << ": " << shown;
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

TEST(InputLine, LongLinesStopAtTheLimitWithABeepAndWaitingIdles) {
  std::string script = "wait 50\n";
  for (int i = 0; i < 3; ++i) script += "type " + std::string(100, char('a' + i)) + "\n";
  Program p(typing(script + "key Enter\n"));
  p.start();
  std::string s;
  p.rt().INPUT(0, 2, "", {s});
  EXPECT_EQ(s, std::string(100, 'a') + std::string(100, 'b') + std::string(55, 'c'));
  EXPECT_EQ(p.host().beeps(), 45);
  EXPECT_GT(p.host().idles(), 10);
}

TEST(InputLine, BadArgumentsCloseAndCtrlC) {
  Program p;
  p.start();
  std::string s;
  EXPECT_EQ(error_of([&] { p.rt().INPUT(1, 2, "", {s}); }), 1000);
  EXPECT_EQ(error_of([&] { p.rt().INPUT(0, 3, "", {s}); }), 5);
  // Closing the window or Ctrl+C ends the program from inside INPUT.
  for (const char* end : {"close\n", "key Ctrl+C\nkey Enter\n"}) {
    Program q(typing(std::string("type AB\n") + end));
    bool returned = false;
    int code = q.run([&](rt::Runtime& r) {
      std::string line;
      r.INPUT(0, 2, " Name", {line});
      returned = true;
    });
    EXPECT_EQ(code, 0) << end;
    EXPECT_FALSE(returned) << end;
  }
}

}  // namespace

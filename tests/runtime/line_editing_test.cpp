// INPUT's line editing on the screen: Backspace blanks the cells of the
// character it takes off the line, also after the line wrapped and the
// grid scrolled.
#include <gtest/gtest.h>

#include <string>

#include "platform/script.h"
#include "tests/support/program.h"

namespace {

TEST(LineEditing, BackspaceFollowsTheTextUpWhenTheGridScrolls) {
  // The prompt "X" at column 70 of the last row leaves 9 cells on it: "a".."i";
  // "j" wraps and scrolls the grid. 12 Backspaces take "t".."i" off again.
  std::string script = "type abcdefghijklmnopqrst\n";
  for (int i = 0; i < 12; ++i) script += "key Backspace\n";
  script += "type Z\nkey Enter\nidle\n";
  std::string why;
  platform::HostOptions options;
  options.script = platform::parse_script(script, &why);
  ASSERT_TRUE(options.script) << why;
  testing_support::Program p(options);
  p.start();
  rt::Runtime& r = p.rt();
  r.LOCATE(0, 70, 27);
  std::string s;
  r.INPUT(0, 2, "X", {s});
  EXPECT_EQ(s, "abcdefghZ");
  // The line moved up a row with the grid; Enter took the cursor down to
  // the emptied last row.
  EXPECT_EQ(r.text_row(26), std::string(70, ' ') + "XabcdefghZ");
  EXPECT_EQ(r.text_row(27), std::string(80, ' '));
  EXPECT_EQ(r.cursor_row(), 27);
}

}  // namespace

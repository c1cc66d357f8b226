// The keyboard menus, the key prompt and the timed pause.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "tests/support/game_program.h"

namespace {

using testing_support::GameProgram;
using testing_support::script_options;

TEST(Fmenu1, CursorWrapsBothWaysAndEnterReturnsTheItem) {
  GameProgram g(script_options("key Up\nidle\nkey Enter\nwait 10\n"));
  game::Single ch = 1;
  g.run([&](game::Zided& z) { z.FMENU1(19, 5, 39, 9, ch); });
  EXPECT_EQ(ch, 9) << "up from the first item goes to the last";

  GameProgram g2(script_options("key Down\nkey Down\nkey Enter\nwait 10\n"));
  game::Single ch2 = 8;
  g2.run([&](game::Zided& z) { z.FMENU1(19, 5, 39, 9, ch2); });
  EXPECT_EQ(ch2, 1) << "down from the last item goes to the first";
}

TEST(Fmenu1, OtherKeysLeaveTheCursorAndEnterAtOnceKeepsIt) {
  GameProgram g(script_options("key Left\nkey x\nkey Esc\nkey Enter\nwait 10\n"));
  game::Single ch = 4;
  g.run([&](game::Zided& z) { z.FMENU1(19, 5, 39, 9, ch); });
  EXPECT_EQ(ch, 4);
}

TEST(Fmenu1, DrawsTheFramedMenuWithItsHeadingAndItems) {
  GameProgram g(script_options("idle\ntext menu.txt\nkey Enter\nwait 10\n"));
  game::Single ch = 3;
  g.run([&](game::Zided& z) { z.FMENU1(19, 5, 39, 9, ch); });
  EXPECT_EQ(g.row(5).substr(33, 11), "メ ニ ュ");
  EXPECT_EQ(g.row(6).substr(18, 23), " A  スタート      :");
  EXPECT_NE(g.row(14).find(" I  終  了        :  End"), std::string::npos);
  // Frame (140,424)-(460,220) in colour COLMAP(2), face (144,420)-(456,224) in COLMAP(3).
  rt::Runtime& r = g.rt();
  auto at = [&](int x, int y) { return r.backing().get(x, 503 - y); };
  EXPECT_EQ(at(140, 424), r.palette_rgb(9));
  EXPECT_EQ(at(460, 220), r.palette_rgb(9));
  EXPECT_EQ(at(143, 300), r.palette_rgb(9));
  EXPECT_EQ(at(144, 300), r.palette_rgb(11));
  EXPECT_EQ(at(456, 224), r.palette_rgb(11));
  EXPECT_EQ(at(461, 300), r.palette_rgb(0)) << "nothing beyond the frame";
  // The highlighted item is drawn in colour 15, the others in 0.
  EXPECT_EQ(r.text_colour(19, 8), r.palette_rgb(15));
  EXPECT_EQ(r.text_colour(19, 7), r.palette_rgb(0));
  EXPECT_EQ(r.foreground(), 7) << "leaves the foreground at 7";
}

TEST(Hmenu, StartsOnCurMovesWithLeftRightAndReturnsSel) {
  GameProgram g(script_options("key Left\nkey Left\nkey Enter\nwait 10\n"));
  game::Single sel = 0;
  double cur = 2;
  g.run([&](game::Zided& z) {
    z.OPT_ITEM(1) = "  1  ";
    z.OPT_ITEM(2) = "  2  ";
    z.OPT_ITEM(3) = "  3  ";
    z.HMENU(29, 18, 6, 3, cur, sel);
  });
  EXPECT_EQ(sel, 3) << "2 -> 1 -> wraps to 3";
  EXPECT_EQ(g.row(18).substr(29, 17), "  1     2     3  ");

  GameProgram g2(script_options("key Right\nkey Right\nkey Enter\nwait 10\n"));
  game::Single sel2 = 0;
  g2.run([&](game::Zided& z) {
    z.OPT_ITEM(1) = "   50  ";
    z.OPT_ITEM(2) = "  100  ";
    z.HMENU(31, 18, 7, 2, 1, sel2);
  });
  EXPECT_EQ(sel2, 1) << "1 -> 2 -> wraps to 1";
}

TEST(Anykey, IgnoresAKeyTypedBeforeItsPrompt) {
  GameProgram g(script_options("wait 300\nkey b\nwait 10\n"));
  std::uint32_t before = 0, after = 0;
  g.run([&](game::Zided& z) {
    platform::Event e;
    e.type = platform::Event::Type::Text;
    e.text = "a";
    g.host().push_event(e);
    g.rt().pump_messages();
    ASSERT_EQ(g.rt().keys_waiting(), 1u);
    before = g.host().now();
    z.ANYKEY();
    after = g.host().now();
  });
  EXPECT_GE(after - before, 300u) << "waited for the key typed after the prompt";
  EXPECT_EQ(g.rt().keys_waiting(), 0u);
  EXPECT_EQ(g.row(26).substr(29, 16), std::string(16, ' ')) << "the prompt is erased";
}

TEST(Anykey, ShowsItsPromptWhileWaiting) {
  GameProgram g(script_options("idle\nexpect 26 29 * Push any key *\nkey Space\nwait 10\n"));
  int code = g.run([&](game::Zided& z) { z.ANYKEY(); });
  EXPECT_EQ(code, 0) << "the prompt was on the grid while it waited";
}

TEST(Wait1, ReturnsJustAfterItsTimeOnTheClock) {
  GameProgram g;
  std::uint32_t start = 0, end = 0;
  g.run([&](game::Zided& z) {
    start = g.host().millis();
    z.WAIT1(1000);
    end = g.host().millis();
  });
  EXPECT_GT(end - start, 1000u);
  EXPECT_LT(end - start, 1010u);
}

TEST(Wait1, SurvivesTheClockWrapping) {
  GameProgram g;
  std::uint32_t start = 0, end = 0;
  g.run([&](game::Zided& z) {
    g.host().advance(0xFFFFFFFFu - 20 - g.host().now());  // 20 ms before the wrap
    start = g.host().millis();
    z.WAIT1(50);
    end = g.host().millis();
  });
  EXPECT_GT(static_cast<std::uint32_t>(end - start), 50u);
  EXPECT_LT(static_cast<std::uint32_t>(end - start), 60u);
}

TEST(Locate1, RowFromZeroColumnFromOneRounded) {
  GameProgram g;
  g.run([&](game::Zided& z) {
    z.LOCATE1(17, 6);
    EXPECT_EQ(g.rt().cursor_row(), 17);
    EXPECT_EQ(g.rt().cursor_column(), 5);
    z.LOCATE1(2.5, 1.5);  // half away from zero
    EXPECT_EQ(g.rt().cursor_row(), 3);
    EXPECT_EQ(g.rt().cursor_column(), 1);
  });
}

}  // namespace

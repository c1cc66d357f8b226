// The keyboard menus, the key prompt and the timed pause.
#include <gtest/gtest.h>

#include "tests/support/game_program.h"

namespace {

using testing_support::GameProgram;
using testing_support::script_options;

TEST(Fmenu1, CursorWrapsBothWaysOtherKeysLeaveIt) {
  const struct {
    const char* keys;
    double from, to;
  } cases[] = {{"key Up\nidle\n", 1, 9},
               {"key Down\nkey Down\n", 8, 1},
               {"key Left\nkey x\nkey Esc\n", 4, 4}};
  for (const auto& c : cases) {
    GameProgram g(script_options(std::string(c.keys) + "key Enter\nwait 10\n"));
    game::Single ch = c.from;
    g.run([&](game::Zided& z) { z.FMENU1(19, 5, 39, 9, ch); });
    EXPECT_EQ(ch, c.to) << c.keys;
  }
}

TEST(Fmenu1, DrawsTheFramedMenuWithItsHeadingAndItems) {
  GameProgram g(script_options("idle\nkey Enter\nwait 10\n"));
  game::Single ch = 3;
  g.run([&](game::Zided& z) { z.FMENU1(19, 5, 39, 9, ch); });
  EXPECT_EQ(g.row(5).substr(33, 11), "メ ニ ュ");
  EXPECT_EQ(g.row(6).substr(18, 23), " A  スタート      :");
  EXPECT_NE(g.row(14).find(" I  終  了        :  End"), std::string::npos);
  // Frame (140,424)-(460,220) in colour COLMAP(2), face (144,420)-(456,224) in COLMAP(3).
  rt::Runtime& r = g.rt();
  EXPECT_EQ(g.at(140, 424), r.palette_rgb(9));
  EXPECT_EQ(g.at(460, 220), r.palette_rgb(9));
  EXPECT_EQ(g.at(143, 300), r.palette_rgb(9));
  EXPECT_EQ(g.at(144, 300), r.palette_rgb(11));
  EXPECT_EQ(g.at(456, 224), r.palette_rgb(11));
  EXPECT_EQ(g.at(461, 300), r.palette_rgb(0)) << "nothing beyond the frame";
  // The highlighted item is drawn in colour 15, the others in 0.
  EXPECT_EQ(r.text_colour(19, 8), r.palette_rgb(15));
  EXPECT_EQ(r.text_colour(19, 7), r.palette_rgb(0));
  EXPECT_EQ(r.foreground(), 7) << "leaves the foreground at 7";
}

TEST(Hmenu, StartsOnCurMovesWithLeftRightWrapsAndReturnsSel) {
  const struct {
    const char* keys;
    int items;
    double cur, sel;
  } cases[] = {{"key Left\nkey Left\n", 3, 2, 3}, {"key Right\nkey Right\n", 2, 1, 1}};
  for (const auto& c : cases) {
    GameProgram g(script_options(std::string(c.keys) + "key Enter\nwait 10\n"));
    game::Single sel = 0;
    g.run([&](game::Zided& z) {
      for (int k = 1; k <= 3; ++k) z.OPT_ITEM(k) = "  " + std::to_string(k) + "  ";
      z.HMENU(29, 18, 6, c.items, c.cur, sel);
    });
    EXPECT_EQ(sel, c.sel) << c.keys;
    EXPECT_EQ(g.row(18).substr(29, 6 * c.items - 1),
              c.items == 3 ? "  1     2     3  " : "  1     2  ");
  }
}

TEST(Anykey, ShowsItsPromptAndIgnoresAKeyTypedBeforeIt) {
  GameProgram g(script_options("idle\nexpect 26 29 * Push any key *\nwait 300\nkey b\nwait 10\n"));
  std::uint32_t before = 0, after = 0;
  int code = g.run([&](game::Zided& z) {
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
  EXPECT_EQ(code, 0) << "the prompt was on the grid while it waited";
  EXPECT_GE(after - before, 300u) << "waited for the key typed after the prompt";
  EXPECT_EQ(g.rt().keys_waiting(), 0u);
  EXPECT_EQ(g.row(26).substr(29, 16), std::string(16, ' ')) << "the prompt is erased";
}

// The clock may wrap during a wait, past 2^32 or past 2^31; a wait that
// never ends is cut short when the script ends and closes the window.
TEST(Wait1, ReturnsJustAfterItsTimeEvenAcrossTheClockWrap) {
  for (auto [ms, from] : {std::pair{1000u, 0u}, {50u, 0xFFFFFFFFu - 20}, {50u, 0x7FFFFFFFu - 20}}) {
    GameProgram g(script_options("wait 5000\n"));
    g.host().advance(from);
    std::uint32_t start = 0, end = 0;
    g.run([&, ms = ms](game::Zided& z) {
      start = g.host().millis();
      z.WAIT1(ms);
      end = g.host().millis();
    });
    EXPECT_LT(start - from, 20u) << "the wait begins before the wrap";
    EXPECT_GT(end - start, ms) << from;
    EXPECT_LT(end - start, ms + 10) << from;
  }
}

}  // namespace

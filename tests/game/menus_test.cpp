// The keyboard menus, the key prompt and the timed pause (the texts of the
// main menu and the option screens are checked through the main program).
#include <gtest/gtest.h>

#include "tests/support/game_program.h"

namespace {

using testing_support::GameProgram;
using testing_support::script_options;

// Cursor keys move the highlight and wrap; other keys leave it.
TEST(Menus, CursorKeysMoveAndWrapOtherKeysDoNothing) {
  const struct {
    const char* keys;
    bool main;  // FMENU1 of nine items, else HMENU of `items`
    int items;
    double from, to;
  } cases[] = {{"key Down\nkey Down\n", true, 9, 8, 1},
               {"key Left\nkey x\nkey Esc\nkey Right\n", true, 9, 4, 4},
               {"key Up\n", true, 9, 2, 1},
               {"key Left\nkey Left\n", false, 3, 2, 3},
               {"key Right\nkey Right\n", false, 2, 1, 1},
               {"key Up\nkey Down\nkey Right\n", false, 3, 2, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    GameProgram g(script_options(std::string(c.keys) + "key Enter\nwait 10\n"));
    game::Single ch = c.from;
    g.run([&](game::Zided& z) {
      for (int k = 1; k <= 3; ++k) z.OPT_ITEM(k) = "  " + std::to_string(k) + "  ";
      if (c.main) {
        z.FMENU1(19, 5, 39, 9, ch);
      } else {
        z.HMENU(29, 18, 6, c.items, c.from, ch);
      }
    });
    EXPECT_EQ(ch, c.to);
    EXPECT_EQ(g.rt().foreground(), 7);
  }
}

TEST(Fmenu1, DrawsItsFrameAndFaceAndHighlightsTheItemGiven) {
  GameProgram g(script_options("idle\nkey Enter\nwait 10\n"));
  game::Single ch = 3;
  g.run([&](game::Zided& z) { z.FMENU1(19, 5, 39, 9, ch); });
  // Frame (140,424)-(460,220) in colour COLMAP(2), face (144,420)-(456,224) in COLMAP(3).
  rt::Runtime& r = g.rt();
  const struct {
    int x, y, entry;
  } at[] = {{140, 424, 9}, {460, 220, 9}, {143, 300, 9}, {144, 300, 11},
            {456, 224, 11}, {461, 300, 0}, {300, 425, 0}, {300, 219, 0}};
  for (const auto& p : at) EXPECT_EQ(g.at(p.x, p.y), r.palette_rgb(p.entry)) << p.x << "," << p.y;
  EXPECT_EQ(r.text_colour(33, 5), r.palette_rgb(1)) << "the heading";
  EXPECT_EQ(r.text_colour(19, 8), r.palette_rgb(15));
  EXPECT_EQ(r.text_colour(19, 7), r.palette_rgb(0));
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
    before = g.host().now();
    z.ANYKEY();
    after = g.host().now();
  });
  EXPECT_EQ(code, 0) << "the prompt was on the grid while it waited";
  EXPECT_GE(after - before, 300u) << "waited for the key typed after the prompt";
  EXPECT_EQ(g.rt().keys_waiting(), 0u);
  EXPECT_EQ(g.row(26).substr(29, 16), std::string(16, ' ')) << "the prompt is erased";
}

// The clock may wrap during a wait, past 2^32 or past 2^31.
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
    EXPECT_GT(end - start, ms) << from;
    EXPECT_LT(end - start, ms + 10) << from;
  }
}

}  // namespace

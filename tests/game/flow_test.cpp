// The start-up and title, the main menu and its option screens, the menu and
// prompt procedures, and the MIDI output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/midi.h"
#include "tests/support/game_program.h"

namespace {

using testing_support::GameProgram;
using testing_support::OnText;
using testing_support::script_options;
using S = game::State;
using V = std::vector<double>;

// The start values, which the start-up sets whatever the state held.
const std::pair<rt::Single S::*, double> kSingles[] = {
    {&S::LEVEL, 2},        {&S::TIME_SEL, 2},     {&S::TIME_LIMIT, 100}, {&S::ANIM_SEL, 2},
    {&S::DT, 0.06},        {&S::TRIES, 10},       {&S::PLAY_COUNT, 0},   {&S::NWALK, 1},
    {&S::NOBJ_SET, 100},   {&S::WALK_RADIUS, 10}, {&S::WALL_PAD, 10},    {&S::LAYOUT_COUNT, 1},
    {&S::TITLE_COLOR, 15}, {&S::MENU_CHOICE, 1}};
const std::pair<game::Long S::*, int> kLongs[] = {
    {&S::ANIM_DELAY, 5}, {&S::TITLE_DELAY, 15}, {&S::DEMO_DELAY, 5}};

// The start-up shows the title, then the layout's message, then the menu.
TEST(MainProgram, StartsUpThroughTheTitleIntoTheMenu) {
  GameProgram g(script_options("wait 1900\ntext title\nwait 1100\ntext layout\nidle\ntext menu\n"));
  game::Zided& z = g.game();
  for (auto [m, v] : kSingles) z.*m = -7;
  for (auto [m, v] : kLongs) z.*m = -7;
  z.BEST_TIME(1) = z.BEST_TIME(20) = z.OCOEF(1) = z.OCOEF(100) = z.WCOEF(1) = z.WCOLOR(1) = 3;
  z.PLAYER_NAME = "Someone";
  std::vector<std::string> seen;
  OnText hooks(g, [&](const std::string& name) {
    seen.push_back(name);
    if (name == "title") {
      EXPECT_EQ(g.row(14).substr(36, 8), "Peakwend");
      EXPECT_EQ(g.row(17).substr(32, 11), "Version 4.1");
      EXPECT_TRUE(g.shows(25, 25, "Rebuilt for Linux by Peakwend"));
    } else if (name == "layout") {
      EXPECT_EQ(g.row(20).substr(28, 19), " Lay out Mountains ");
      EXPECT_EQ(g.row(14) + g.row(17), std::string(160, ' ')) << "the title is gone";
    } else {
      EXPECT_TRUE(g.shows(5, 33, "メ ニ ュ"));
      EXPECT_TRUE(g.shows(6, 18, " A  スタート      :  Start 1-Game      "));
      EXPECT_TRUE(g.shows(10, 18, " E  スコア記録\u3000  :  Best 20           "));
      EXPECT_TRUE(g.shows(14, 18, " I  終  了        :  End               "));
      EXPECT_EQ(g.row(20), std::string(80, ' ')) << "cleared before the menu";
      EXPECT_EQ(g.rt().text_colour(19, 6), g.rt().palette_rgb(15)) << "the cursor on item 1";
    }
  });
  EXPECT_EQ(g.run_main(), 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"title", "layout", "menu"}));
  for (auto [m, v] : kSingles) EXPECT_EQ(z.*m, static_cast<float>(v)) << "wanted " << v;
  for (auto [m, v] : kLongs) EXPECT_EQ(z.*m, v);
  for (int j : {1, 20}) EXPECT_EQ(z.BEST_TIME(j), 10000) << j;
  EXPECT_EQ((V{z.OCOEF(1), z.OCOEF(100), z.WCOEF(1), z.WCOLOR(1)}), (V{1, 1, 1, 15}));
  EXPECT_EQ(z.PLAYER_NAME.view(), std::string(10, ' '));
  EXPECT_EQ((V{z.MIDI_OK, z.NOBJ}), (V{1, 100}));
  for (int k = 1; k <= 4; ++k) EXPECT_EQ((V{z.WALL_E(k), z.WALL_ATTR(k)}), (V{1, 2})) << k;
}

// Every item of the menu once, the cursor carried from one to the next.
TEST(MainProgram, MenuItemsChangeTheirOptionsAndComeBack) {
  const std::string script =
      "idle\nkey Down\nkey Enter\n"                                                   // 2: level
      "idle\ntext level\nkey Right\nidle\ntext right\nkey Enter\n"                    // level 3
      "idle\ntext back\nkey Down\nkey Enter\nidle\ntext time\nkey Left\nkey Enter\n"  // 3: 50
      "idle\nkey Down\nkey Down\nkey Down\nkey Down\nkey Down\nkey Enter\n"           // 8: speed
      "idle\ntext speed\nkey Left\nkey Enter\n"                                       // fast
      "idle\nkey Up\nkey Up\nkey Enter\nidle\ntype Abcdefghijklm\ntext name\nkey Enter\n"  // 6
      "idle\ntext poke\nkey Up\nkey Up\nkey Enter\n"                                   // 4: layout
      "idle\nkey Down\nkey Enter\nidle\ntext best\nkey Space\n"                        // 5: best 20
      "idle\nkey Down\nkey Down\nkey Enter\nidle\ntext deleted\n"                      // 7: delete
      "key Up\nkey Up\nkey Up\nkey Up\nkey Up\nkey Up\nkey Enter\n"                    // 1: start
      "idle\ntext game\nclick 300 300 right\n"                                         // abandoned
      "idle\nkey Down\nkey Down\nkey Enter\nidle\ntext time2\nkey Right\nkey Enter\n"  // 100
      "idle\nkey Up\nkey Up\nkey Up\nkey Enter\nwait 100000\n";                        // 9: end
  GameProgram g(script_options(script));
  game::Zided& z = g.game();
  const rt::Runtime& r = g.rt();
  auto lit = [&](int col, int row) { return r.text_colour(col, row) == r.palette_rgb(15); };
  double layout = 0;
  std::vector<std::string> seen;
  OnText hooks(g, [&](const std::string& name) {
    seen.push_back(name);
    if (name == "right") {
      EXPECT_TRUE(lit(43, 18) && !lit(37, 18)) << "the highlight moved right";
    } else if (name == "level") {
      EXPECT_EQ(g.row(17).substr(26, 22), "( High --------- Low )");
      EXPECT_EQ(g.row(18).substr(29, 17), "  1     2     3  ");
      EXPECT_TRUE(lit(37, 18) && !lit(31, 18) && !lit(43, 18)) << "on the current level";
    } else if (name == "back") {
      EXPECT_EQ((V{z.LEVEL, z.ZONE_A(1), z.ZONE_A(2), z.SAVED_OR(1, 1)}), (V{3, 270, 270, 270}));
      EXPECT_TRUE(lit(19, 7) && !lit(19, 6)) << "the cursor stays on the item chosen";
    } else if (name == "time") {
      EXPECT_EQ(g.row(18).substr(31, 14), "   50    100  ");
    } else if (name == "speed") {
      EXPECT_EQ(g.row(18).substr(27, 21), "( Fast <-----> Slow )");
      EXPECT_EQ(g.row(19).substr(32, 11), " 1   2   3 ");
    } else if (name == "name") {
      EXPECT_TRUE(g.shows(18, 29, " Name") && lit(30, 18)) << g.row(18);
    } else if (name == "poke") {  // a won game's place, and the layout so far
      z.PLAY_COUNT = 1, z.BEST_TIME(1) = 57, layout = z.SAVED_OX(3, 1);
    } else if (name == "best") {
      EXPECT_NE(z.SAVED_OX(3, 1), layout) << "a new layout";
      EXPECT_TRUE(g.shows(2, 0, "-- Name --"));
      EXPECT_EQ(g.row(26).substr(29, 16), "* Push any key *") << "waits for a key";
    } else if (name == "deleted") {
      EXPECT_EQ((V{z.PLAY_COUNT, z.BEST_TIME(1)}), (V{0, 10000}));
      EXPECT_TRUE(lit(19, 12)) << "back in the menu at once";
    } else if (name == "time2") {
      EXPECT_EQ((V{z.TIME_SEL, z.TIME_LIMIT}), (V{1, 50}));
    } else if (name == "game") {
      EXPECT_EQ(z.PLAY_COUNT, 1) << "counted as the game starts";
    }
  });
  EXPECT_EQ(g.run_main(), 0);
  EXPECT_EQ(seen.size(), 11u) << "every stop reached: " << ::testing::PrintToString(seen);
  EXPECT_LT(g.host().now(), 100000u) << "End stops at once";
  EXPECT_EQ((V{z.TIME_SEL, z.TIME_LIMIT, z.ANIM_SEL, z.PLAY_COUNT, z.MENU_CHOICE}),
            (V{2, 100, 1, 0, 9}));
  EXPECT_EQ(z.ANIM_DELAY, 2);
  EXPECT_EQ(z.PLAYER_NAME.view(), "Abcdefghij");
}

// Cursor keys move the highlight and wrap; other keys leave it. The main
// menu's frame (140,424)-(460,220) is in COLMAP(2), its face inside in COLMAP(3).
TEST(Menus, CursorKeysMoveAndWrapOtherKeysDoNothing) {
  const struct {
    const char* keys;
    bool main;  // FMENU1 of nine items, else HMENU of `items`
    int items;
    double from, to;
  } cases[] = {{"key Down\nkey Down\n", true, 9, 8, 1},
               {"key Left\nkey x\nkey Esc\nkey Right\n", true, 9, 4, 4},
               {"key Left\nkey Left\n", false, 3, 2, 3},
               {"key Right\nkey Right\n", false, 2, 1, 1},
               {"key Up\nkey Down\nkey Right\n", false, 3, 2, 3}};
  const int frame[][3] = {{140, 424, 9},  {460, 220, 9}, {143, 300, 9}, {144, 300, 11},
                          {456, 224, 11}, {461, 300, 0}, {300, 425, 0}, {300, 219, 0}};
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
    const rt::Runtime& r = g.rt();
    EXPECT_EQ(ch, c.to);
    EXPECT_EQ(r.foreground(), 7);
    if (!c.main) continue;
    for (const auto& p : frame) EXPECT_EQ(g.at(p[0], p[1]), r.palette_rgb(p[2])) << p[0] << p[1];
    EXPECT_EQ(r.text_colour(33, 5), r.palette_rgb(1)) << "the heading";
    EXPECT_EQ(r.text_colour(19, 5 + int(c.to)), r.palette_rgb(15));
    EXPECT_EQ(r.text_colour(19, 6 + int(c.to)), r.palette_rgb(0));
  }
}

TEST(Anykey, ShowsItsPromptAndIgnoresAKeyTypedBeforeIt) {
  GameProgram g(script_options("idle\nexpect 26 29 * Push any key *\nwait 300\nkey b\nwait 10\n"));
  std::uint32_t took = 0;
  int code = g.run([&](game::Zided& z) {
    platform::Event e;
    e.type = platform::Event::Type::Text;
    e.text = "a";
    g.host().push_event(e);
    g.rt().pump_messages();
    took = g.host().now();
    z.ANYKEY();
    took = g.host().now() - took;
  });
  EXPECT_EQ(code, 0) << "the prompt was on the grid while it waited";
  EXPECT_GE(took, 300u) << "waited for the key typed after the prompt";
  EXPECT_EQ(g.rt().keys_waiting(), 0u);
  EXPECT_EQ(g.row(26).substr(29, 16), std::string(16, ' ')) << "the prompt is erased";
}

TEST(Mopen, WithoutADeviceSaysSoAndTheGameStaysSilent) {
  platform::HostOptions o;
  o.midi = std::make_shared<platform::NoMidi>();
  GameProgram g(o);
  g.run([&](game::Zided& z) { z.MOPEN(); });
  EXPECT_EQ((V{g.game().MIDI_OK, double(g.game().MIDI_HANDLE)}), (V{-1, 0}));
  EXPECT_EQ(g.row(0).substr(0, 10), "midi---no ");
}

}  // namespace

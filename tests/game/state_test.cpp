// The game's global state and the tables the start-up fills.
#include "game/flow/state.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "data/data_files.h"
#include "game/zided.h"
#include "platform/sjis.h"
#include "tests/support/game_program.h"

namespace {

using testing_support::error_of;
using testing_support::Program;

// Every table the start-up reads, against the lists.
void expect_tables(game::Zided& z) {
  const double colmap[16] = {0, 3, 9, 11, 5, 7, 13, 15, 1, 2, 8, 10, 4, 6, 12, 14};
  const double palord[8] = {0, 1, 4, 5, 2, 3, 6, 7};
  const double scale[8] = {0, 2, 4, 5, 7, 9, 11, 12};
  const double zone_a[40] = {300, 300, 50, 40, 40, 40, 30, 30, 30, 25, 25, 25, 22, 22,
                             22,  22,  16, 16, 16, 16, 16, 14, 14, 14, 14, 14, 10, 10,
                             10,  10,  14, 14, 14, 14, 14, 14, 14, 14, 14, 14};
  const double zone_b[40] = {1,  1, 14, 14, 14, 13, 14, 13, 13, 11, 12, 4, 5,  6,
                             7,  8, 9,  10, 11, 12, 4,  5,  6,  7,  8,  9, 10, 11,
                             12, 4, 5,  6,  7,  8,  9,  10, 11, 12, 4,  5};
  const double sky[10][3] = {{150, 50, 50},   {255, 100, 100}, {255, 200, 200}, {220, 155, 255},
                             {80, 80, 255},   {125, 125, 255}, {150, 150, 210}, {255, 255, 200},
                             {255, 255, 100}, {120, 120, 50}};  // bands 1..10
  for (int l = 0; l <= 15; ++l) EXPECT_EQ(z.COLMAP(l), colmap[l]) << "COLMAP " << l;
  for (int l = 0; l <= 7; ++l) EXPECT_EQ(z.PALORD(l), palord[l]) << "PALORD " << l;
  EXPECT_EQ(z.NOTE.count(), 101u);
  for (int j = 1; j <= 100; ++j) EXPECT_EQ(z.NOTE(j), scale[(j - 1) % 8]) << "NOTE " << j;
  for (int k = 1; k <= 40; ++k) {
    EXPECT_EQ(z.ZONE_A(k), zone_a[k - 1]) << "ZONE_A " << k;
    EXPECT_EQ(z.ZONE_B(k), zone_b[k - 1]) << "ZONE_B " << k;
  }
  for (int b = 1; b <= 10; ++b) {
    EXPECT_EQ((std::vector<double>{z.SKY_R(b), z.SKY_G(b), z.SKY_B(b)}),
              std::vector<double>(sky[b - 1], sky[b - 1] + 3))
        << "band " << b;
  }
  for (int k = 1; k <= 60; ++k) {
    EXPECT_EQ(z.SNOW_TAB(k), k <= 20 ? 14.0 : 10.0) << "SNOW_TAB " << k;
    EXPECT_EQ(z.TREE_TAB(k), 4.0 + (k - 1) % 9) << "TREE_TAB " << k;
  }
  EXPECT_EQ((std::vector<double>{z.ZONE_PX(1), z.ZONE_PY(1), z.ZONE_PX(2), z.ZONE_PY(2)}),
            (std::vector<double>{-50, 600, 670, 600}));
  EXPECT_EQ(z.TITLE_COLOR, 15.0);
  EXPECT_EQ(z.WCOLOR(1), 15.0);
  EXPECT_EQ(z.MENU_ITEM(1), platform::utf8_to_sjis(" A  スタート      :  Start 1-Game      "));
  EXPECT_EQ(z.MENU_ITEM(9), platform::utf8_to_sjis(" I  終  了        :  End               "));
  for (int k = 1; k <= 9; ++k) EXPECT_EQ(z.MENU_ITEM(k).size(), 39u) << "MENU_ITEM " << k;
  EXPECT_EQ(z.MENU_ITEM(10), "");
}

TEST(State, InitialValuesAndBounds) {
  game::State s;
  EXPECT_EQ(s.BEST_NAME(20).view(), std::string(12, ' '));
  EXPECT_EQ(s.BEST_TIME(0), 0.0);
  EXPECT_EQ(s.OCOEF(0), 0.0);
  // The last element of each shape is there; one past it is error 9.
  s.WX(101) = s.WVX(20) = s.OX(100) = s.SAVED_OX(100, 4) = s.COLMAP(15) = 1;
  const std::vector<std::function<void()>> past = {
      [&] { s.WY(102); },          [&] { s.WACTIVE(21); },      [&] { s.OR(101); },
      [&] { s.SAVED_OT(100, 5); }, [&] { s.SAVED_OY(101, 1); }, [&] { s.COLMAP(16); },
      [&] { s.MENU_ITEM(11); },    [&] { s.BEST_NAME(21); }};
  for (std::size_t i = 0; i < past.size(); ++i) EXPECT_EQ(error_of(past[i]), 9) << "case " << i;
  // A 40x20 block of 32-bit pixels and its header fit the icon arrays.
  EXPECT_GE(s.ICON_TRY.bytes().size(), 40u * 20u * 4u + 40u);
  EXPECT_GE(s.ICON_BLANK.bytes().size(), 3300u);
}

// The main program's own start-up steps, in its order, on an open window.
struct StartUp {
  StartUp() { p.start(); }

  void run_steps(std::string_view constants = data::constants_text()) {
    p.rt().DATA_START(constants);
    z.init_arrays();
    z.init_colours_and_notes();
    z.init_menu_items();
    z.init_speeds();
    z.init_options();
    z.init_scenery_tables();
    z.init_best20();
  }

  // The statement the frame last recorded: its st() line and the next.
  std::string current_statement() {
    const rt::UnitContext& ctx = p.rt().context();
    std::ifstream in(ctx.cpp_file ? ctx.cpp_file : "");
    std::string text, statement;
    for (unsigned n = 1; std::getline(in, text); ++n) {
      if (n == ctx.line || n == ctx.line + 1u) statement += text;
    }
    return statement;
  }

  Program p;
  game::Zided z{p.rt()};
};

TEST(StartUp, TablesEqualTheListsAndNothingIsLeftOver) {
  StartUp s;
  s.run_steps();
  expect_tables(s.z);
  EXPECT_NE(s.z.MENU_ITEM(5).find("\x81\x40"), std::string::npos) << "a full-width space";
  EXPECT_EQ(platform::sjis_to_utf8(s.z.MENU_ITEM(6)), " F  プレーヤー名  :  Player's Name     ");
  rt::Single extra;
  EXPECT_EQ(error_of([&] { s.p.rt().READ(extra); }), 4);
}

TEST(StartUp, StepsResetTheOptionsAndLists) {
  using S = game::State;
  const std::pair<rt::Single S::*, double> singles[] = {
      {&S::LEVEL, 2},     {&S::TIME_SEL, 2},   {&S::TIME_LIMIT, 100}, {&S::ANIM_SEL, 2},
      {&S::DT, 0.06},     {&S::NOBJ_SET, 100}, {&S::NWALK, 1},        {&S::WALK_RADIUS, 10},
      {&S::WALL_PAD, 10}, {&S::PLAY_COUNT, 0}, {&S::MENU_CHOICE, 1},  {&S::TITLE_COLOR, 15}};
  const std::pair<game::Long S::*, int> longs[] = {
      {&S::ANIM_DELAY, 5}, {&S::TITLE_DELAY, 15}, {&S::DEMO_DELAY, 5}};
  StartUp s;
  game::Zided& z = s.z;
  for (auto [m, v] : singles) z.*m = -7;
  for (auto [m, v] : longs) z.*m = -7;
  z.PLAYER_NAME = "Someone";
  z.WCOEF(1) = z.OCOEF(50) = 0;
  z.BEST_TIME(3) = 42;
  s.run_steps();
  for (auto [m, v] : singles) EXPECT_EQ(z.*m, static_cast<float>(v)) << "expected " << v;
  for (auto [m, v] : longs) EXPECT_EQ(z.*m, v);
  EXPECT_EQ(z.PLAYER_NAME.view(), std::string(10, ' '));
  EXPECT_EQ((std::vector<double>{z.WCOEF(1), z.OCOEF(50), z.BEST_TIME(3)}),
            (std::vector<double>{1, 1, 10000}));
}

// A damaged constants file stops at the READ that meets the damage, with
// the items before it read.
TEST(StartUp, ADamagedConstantsFileStopsAtItsRead) {
  struct Case {
    std::string from, to;
    int error;
    const char* statement;
    std::function<void(game::Zided&)> check;
  };
  const Case cases[] = {
      {"83 DATA 0,3,9,11,5,", "83 DATA 0,3,9,11,five,", 13, "READ(COLMAP(",
       [](game::Zided& z) { EXPECT_EQ(z.COLMAP(3), 11.0); }},
      {",8,9\n", ",8\n", 4, "READ(TREE_TAB(",
       [](game::Zided& z) {
         EXPECT_EQ((std::vector<double>{z.TREE_TAB(59), z.TREE_TAB(60)}),
                   (std::vector<double>{8, 0}));
       }},
      {"84 DATA", "84 DTA", 2, nullptr, [](game::Zided&) {}},  // found before any READ
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    std::string text(data::constants_text());
    ASSERT_NE(text.rfind(c.from), std::string::npos);
    text.replace(text.rfind(c.from), c.from.size(), c.to);
    StartUp s;
    EXPECT_EQ(error_of([&] { s.run_steps(text); }), c.error);
    if (c.statement) {
      EXPECT_NE(s.current_statement().find(c.statement), std::string::npos)
          << s.current_statement();
    }
    c.check(s.z);
  }
}

TEST(MainProgram, StartUpFillsTheTablesAndWaitsForTheWindow) {
  testing_support::GameProgram g(testing_support::script_options("idle\nclose\n"));
  g.game().LEVEL = 3;
  EXPECT_EQ(g.run_main(), 0);
  EXPECT_EQ(g.rt().last_error().number, 0);
  expect_tables(g.game());
  EXPECT_EQ(g.game().LEVEL, 2.0);
}

}  // namespace

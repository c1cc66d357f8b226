// The game's global state and the tables the start-up fills.
#include "game/flow/state.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <string>
#include <vector>

#include "data/data_files.h"
#include "game/zided.h"
#include "platform/sjis.h"
#include "tests/support/program.h"

namespace {

using testing_support::error_of;
using testing_support::Program;

// The constant lists as the game must see them.
const std::vector<double> kColmap = {0, 3, 9, 11, 5, 7, 13, 15, 1, 2, 8, 10, 4, 6, 12, 14};
const std::vector<double> kPalord = {0, 1, 4, 5, 2, 3, 6, 7};
const std::vector<double> kZoneA = {300, 300, 50, 40, 40, 40, 30, 30, 30, 25, 25, 25, 22, 22,
                                    22,  22,  16, 16, 16, 16, 16, 14, 14, 14, 14, 14, 10, 10,
                                    10,  10,  14, 14, 14, 14, 14, 14, 14, 14, 14, 14};
const std::vector<double> kZoneB = {1,  1, 14, 14, 14, 13, 14, 13, 13, 11, 12, 4, 5,  6,
                                    7,  8, 9,  10, 11, 12, 4,  5,  6,  7,  8,  9, 10, 11,
                                    12, 4, 5,  6,  7,  8,  9,  10, 11, 12, 4,  5};
// Sky bands 1..10 as (r, g, b).
const std::array<std::array<double, 3>, 10> kSky = {{{150, 50, 50},
                                                     {255, 100, 100},
                                                     {255, 200, 200},
                                                     {220, 155, 255},
                                                     {80, 80, 255},
                                                     {125, 125, 255},
                                                     {150, 150, 210},
                                                     {255, 255, 200},
                                                     {255, 255, 100},
                                                     {120, 120, 50}}};

// The initial values that are more than a plain default.
TEST(State, InitialValues) {
  game::State s;
  EXPECT_EQ(s.DT.bits(), 0.06f);
  EXPECT_EQ(s.PLAYER_NAME.view(), std::string(10, ' '));
  EXPECT_EQ(s.BEST_TIME(0), 0.0);
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(s.BEST_TIME(i), 10000.0) << i;
  EXPECT_EQ(s.BEST_NAME(20).view(), std::string(12, ' '));
  EXPECT_EQ(s.WCOEF(2), 0.0);
  EXPECT_EQ(s.OCOEF(0), 0.0);
  for (int j = 1; j <= 100; ++j) EXPECT_EQ(s.OCOEF(j), 1.0) << j;
  // Arrays the start-up dimensions itself.
  EXPECT_FALSE(s.NOTE.dimensioned());
  EXPECT_FALSE(s.HITW.dimensioned());
  EXPECT_FALSE(s.HITO.dimensioned());
}

TEST(State, IndexRanges) {
  game::State s;
  // Walker positions up to 101, velocities and flags up to 20.
  s.WX(101) = 1;
  EXPECT_EQ(error_of([&] { s.WY(102); }), 9);
  s.WVX(20) = 1;
  EXPECT_EQ(error_of([&] { s.WACTIVE(21); }), 9);
  // Obstacles up to 100, layouts up to 4.
  s.OX(100) = 1;
  EXPECT_EQ(error_of([&] { s.OR(101); }), 9);
  s.SAVED_OX(100, 4) = 1;
  EXPECT_EQ(error_of([&] { s.SAVED_OT(100, 5); }), 9);
  EXPECT_EQ(error_of([&] { s.SAVED_OY(101, 1); }), 9);
  EXPECT_EQ(error_of([&] { s.COLMAP(16); }), 9);
  EXPECT_EQ(error_of([&] { s.MENU_ITEM(11); }), 9);
  EXPECT_EQ(error_of([&] { s.BEST_NAME(21); }), 9);
  // A 40x20 block of 32-bit pixels and its header fit the icon arrays.
  EXPECT_GE(s.ICON_TRY.bytes().size(), 40u * 20u * 4u + 40u);
  EXPECT_GE(s.ICON_BLANK.bytes().size(), 3300u);
}

class StartUp : public ::testing::Test {
 protected:
  void SetUp() override { p.start(); }

  // The main program's own start-up steps, in its order.
  void run_steps(std::string_view constants) {
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
    if (!ctx.cpp_file) return {};
    std::ifstream in(ctx.cpp_file);
    std::string text;
    std::string statement;
    for (unsigned n = 1; std::getline(in, text); ++n) {
      if (n == ctx.line || n == ctx.line + 1u) statement += text;
    }
    return statement;
  }

  Program p;
  game::Zided z{p.rt()};
};

// Checks every table that start-up fills against the lists.
void expect_tables(game::Zided& z) {
  for (int l = 0; l <= 15; ++l) EXPECT_EQ(z.COLMAP(l), kColmap[l]) << "COLMAP " << l;
  for (int l = 0; l <= 7; ++l) EXPECT_EQ(z.PALORD(l), kPalord[l]) << "PALORD " << l;
  const double scale[8] = {0, 2, 4, 5, 7, 9, 11, 12};
  EXPECT_EQ(z.NOTE.count(), 101u);
  for (int j = 1; j <= 100; ++j) EXPECT_EQ(z.NOTE(j), scale[(j - 1) % 8]) << "NOTE " << j;
  EXPECT_EQ(z.NOTE(97), 0.0);
  EXPECT_EQ(z.NOTE(98), 2.0);
  EXPECT_EQ(z.NOTE(99), 4.0);
  EXPECT_EQ(z.NOTE(100), 5.0);
  for (int k = 1; k <= 40; ++k) {
    EXPECT_EQ(z.ZONE_A(k), kZoneA[k - 1]) << "ZONE_A " << k;
    EXPECT_EQ(z.ZONE_B(k), kZoneB[k - 1]) << "ZONE_B " << k;
  }
  EXPECT_EQ(z.ZONE_PX(1), -50.0);
  EXPECT_EQ(z.ZONE_PY(1), 600.0);
  EXPECT_EQ(z.ZONE_PX(2), 670.0);
  EXPECT_EQ(z.ZONE_PY(2), 600.0);
  for (int b = 1; b <= 10; ++b) {
    EXPECT_EQ(z.SKY_R(b), kSky[b - 1][0]) << "band " << b;
    EXPECT_EQ(z.SKY_G(b), kSky[b - 1][1]) << "band " << b;
    EXPECT_EQ(z.SKY_B(b), kSky[b - 1][2]) << "band " << b;
  }
  for (int k = 1; k <= 60; ++k) {
    EXPECT_EQ(z.SNOW_TAB(k), k <= 20 ? 14.0 : 10.0) << "SNOW_TAB " << k;
    EXPECT_EQ(z.TREE_TAB(k), 4.0 + (k - 1) % 9) << "TREE_TAB " << k;
  }
  EXPECT_EQ(z.TREE_TAB(60), 9.0);
  EXPECT_EQ(z.TITLE_COLOR, 15.0);
  EXPECT_EQ(z.WCOLOR(1), 15.0);
  EXPECT_EQ(z.MENU_ITEM(1), platform::utf8_to_sjis(" A  スタート      :  Start 1-Game      "));
  EXPECT_EQ(z.MENU_ITEM(9), platform::utf8_to_sjis(" I  終  了        :  End               "));
  for (int k = 1; k <= 9; ++k) EXPECT_EQ(z.MENU_ITEM(k).size(), 39u) << "MENU_ITEM " << k;
  EXPECT_EQ(z.MENU_ITEM(10), "");
}

TEST_F(StartUp, TablesEqualTheLists) {
  run_steps(data::constants_text());
  expect_tables(z);
  // Item 5 holds one full-width space, and every item reads back as typed.
  EXPECT_NE(z.MENU_ITEM(5).find("\x81\x40"), std::string::npos);
  EXPECT_EQ(platform::sjis_to_utf8(z.MENU_ITEM(6)), " F  プレーヤー名  :  Player's Name     ");
  // The lists hold exactly the values the start-up reads.
  rt::Single extra;
  EXPECT_EQ(error_of([&] { p.rt().READ(extra); }), 4);
}

TEST_F(StartUp, StepsResetTheOptionsAndLists) {
  z.LEVEL = 3;
  z.TIME_SEL = 1;
  z.TIME_LIMIT = 50;
  z.ANIM_SEL = 3;
  z.ANIM_DELAY = 8;
  z.DT = 1;
  z.TITLE_DELAY = 0;
  z.DEMO_DELAY = 0;
  z.PLAYER_NAME = "Someone";
  z.NOBJ_SET = 7;
  z.NWALK = 0;
  z.WALK_RADIUS = 3;
  z.WCOEF(1) = 0;
  z.WALL_PAD = 0;
  z.OCOEF(50) = 0;
  z.BEST_TIME(3) = 42;
  z.PLAY_COUNT = 4;
  z.MENU_CHOICE = 6;
  run_steps(data::constants_text());
  EXPECT_EQ(z.LEVEL, 2.0);
  EXPECT_EQ(z.TIME_SEL, 2.0);
  EXPECT_EQ(z.TIME_LIMIT, 100.0);
  EXPECT_EQ(z.ANIM_SEL, 2.0);
  EXPECT_EQ(z.ANIM_DELAY, 5);
  EXPECT_EQ(z.DT.bits(), 0.06f);
  EXPECT_EQ(z.TITLE_DELAY, 15);
  EXPECT_EQ(z.DEMO_DELAY, 5);
  EXPECT_EQ(z.PLAYER_NAME.view(), std::string(10, ' '));
  EXPECT_EQ(z.NOBJ_SET, 100.0);
  EXPECT_EQ(z.NWALK, 1.0);
  EXPECT_EQ(z.WALK_RADIUS, 10.0);
  EXPECT_EQ(z.WCOEF(1), 1.0);
  EXPECT_EQ(z.WALL_PAD, 10.0);
  EXPECT_EQ(z.OCOEF(50), 1.0);
  EXPECT_EQ(z.BEST_TIME(3), 10000.0);
  EXPECT_EQ(z.PLAY_COUNT, 0.0);
  EXPECT_EQ(z.MENU_CHOICE, 1.0);
}

TEST_F(StartUp, ContactArraysHaveOneWalkerAndAreDimensionedOnce) {
  run_steps(data::constants_text());
  EXPECT_EQ(z.HITW.count(0), 2u);
  EXPECT_EQ(z.HITW.count(1), 5u);
  EXPECT_EQ(z.WDIST.count(1), 5u);
  EXPECT_EQ(z.HITO.count(0), 2u);
  EXPECT_EQ(z.HITO.count(1), 101u);
  EXPECT_EQ(z.ODIST.count(1), 101u);
  EXPECT_EQ(error_of([&] { z.HITO(2, 1); }), 9);
  EXPECT_EQ(error_of([&] { z.init_arrays(); }), 10);
}

TEST_F(StartUp, AWrongItemStopsAtItsRead) {
  std::string text(data::constants_text());
  const std::string first = "83 DATA 0,3,9,11,5,";
  ASSERT_EQ(text.find(first), text.find("83 DATA"));
  text.replace(text.find(first), first.size(), "83 DATA 0,3,9,11,five,");
  EXPECT_EQ(error_of([&] { run_steps(text); }), 13);
  EXPECT_NE(current_statement().find("READ(COLMAP("), std::string::npos) << current_statement();
  EXPECT_EQ(z.COLMAP(3), 11.0);  // the items before it were read
}

TEST_F(StartUp, AMissingValueRunsOutOfData) {
  std::string text(data::constants_text());
  const std::string tail = ",8,9\n";
  ASSERT_EQ(text.rfind(tail), text.size() - tail.size());
  text.replace(text.size() - tail.size(), tail.size(), ",8\n");
  EXPECT_EQ(error_of([&] { run_steps(text); }), 4);
  EXPECT_NE(current_statement().find("READ(TREE_TAB("), std::string::npos) << current_statement();
  EXPECT_EQ(z.TREE_TAB(59), 8.0);
  EXPECT_EQ(z.TREE_TAB(60), 0.0);
}

TEST_F(StartUp, AMalformedRecordLineIsError2) {
  std::string text(data::constants_text());
  text.replace(text.find("84 DATA"), 7, "84 DTA");
  EXPECT_EQ(error_of([&] { run_steps(text); }), 2);
}

TEST(ConstantsText, RecordsInReadingOrder) {
  auto recs = rt::parse_data_records(data::constants_text());
  ASSERT_EQ(recs.size(), 8u);
  EXPECT_EQ(recs[0].line, 83);
  EXPECT_EQ(recs[0].text, " 0,3,9,11,5,7,13,15,1,2,8,10,4,6,12,14");
  const std::size_t counts[8] = {16, 8, 100, 40, 40, 30, 60, 60};
  for (std::size_t k = 0; k < recs.size(); ++k) {
    std::size_t items = 1;
    for (char c : recs[k].text) items += c == ',' ? 1 : 0;
    EXPECT_EQ(items, counts[k]) << "record " << recs[k].line;
    if (k > 0) {
      EXPECT_GT(recs[k].line, recs[k - 1].line);
    }
  }
}

TEST(MainProgram, StartUpFillsTheTablesAndWaitsForTheWindow) {
  platform::HostOptions options;
  std::string why;
  options.script = platform::parse_script("idle\nclose\n", &why);
  ASSERT_TRUE(options.script) << why;
  Program p(std::move(options));
  game::Zided z(p.rt());
  z.LEVEL = 3;
  int code = p.run([&](rt::Runtime&) { z.main_program(); });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(p.rt().last_error().number, 0);
  expect_tables(z);
  EXPECT_EQ(z.LEVEL, 2.0);
  EXPECT_EQ(z.MENU_CHOICE, 1.0);
  EXPECT_EQ(z.PLAY_COUNT, 0.0);
}

}  // namespace

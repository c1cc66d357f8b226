// The walker marker, the try figure and the column of try icons.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/game_program.h"
#include "tests/support/pixels.h"

namespace {

using platform::Rgb;
using testing_support::GameProgram;

TEST(Kao, DrawsRadiusNineWhateverWrHeldAndDkaoErasesIt) {
  for (double before : {3.0, 25.0}) {
    GameProgram g;
    g.run([&](game::Zided& z) {
      z.WX(1) = 200, z.WY(1) = 150, z.WR(1) = before, z.WCOLOR(1) = 13;
      z.KAO();
      EXPECT_EQ(z.WR(1), 10) << "WALK_RADIUS copied into WR(1)";
      const Rgb ring = g.rt().palette_rgb(13);
      for (int d = 0; d <= 12; ++d) {  // the ring's left and top edges lie 9 from its centre
        EXPECT_EQ(g.at(200 - d, 150) == ring, d == 9) << d;
        EXPECT_EQ(g.at(200, 150 + d) == ring, d == 9) << d;
      }
      z.DKAO();
      EXPECT_EQ(testing_support::count(g.rt().backing(), ring), 0) << "DKAO leaves no ring";
    });
  }
}

// The three styles at size 40: body 80 x 40, spots at (x - 24, y -/+ 7.27)
// of radius 10 (9 when filled black).
TEST(TryFigure, StylesFillBodyAndSpotsAsDescribed) {
  using Draw = void (game::Zided::*)(double, double, double, double);
  const struct {
    Draw draw;
    bool body_filled, spots_coloured;
  } cases[] = {{&game::Zided::MOSX, true, false},
               {&game::Zided::MOSX1, false, false},
               {&game::Zided::MOSX2, false, true}};
  for (const auto& c : cases) {
    GameProgram g;
    g.run([&](game::Zided& z) { (z.*c.draw)(5, 300, 200, 40); });
    rt::Runtime& r = g.rt();
    const Rgb col = r.palette_rgb(5), black = r.palette_rgb(0);
    const Rgb body = c.body_filled ? col : black, spot = c.spots_coloured ? col : black;
    auto e = testing_support::extent(r.backing(), col);
    EXPECT_EQ((std::vector<int>{e.left, e.width(), e.height()}), (std::vector<int>{260, 80, 40}));
    EXPECT_EQ(g.at(300, 200), body);
    EXPECT_EQ(g.at(276, 207), spot) << "upper spot";
    EXPECT_EQ(g.at(276, 193), spot) << "lower spot";
    EXPECT_EQ(g.at(276, 200), body) << "between the spots";
    if (!c.body_filled) {  // the spots' rings
      EXPECT_GT(testing_support::count_in(r.backing(), col, 272, 291, 284, 300), 10);
    }
  }
}

// The column as the game builds it: slot k (from 1) is the 40 x 20 block at
// world (600, 19 (k - 1)); a slot beside a blank loses an edge row to it.
TEST(IconColumn, ShowsTriesLeftAsIconsAndSpentTriesAsBlanks) {
  enum Slot { Icon, Blank, Mixed };
  const platform::Surface icon =
      testing_support::reference_picture([](game::Zided& z) { z.MOSX(15, 20, 10, 16); });
  const struct {
    int tries, left;
    bool launched;  // 10 icons shown, then MSADD spends one
    double log2, log3;
    std::vector<Slot> slots;
  } cases[] = {
      {10, 10, false, 0, 0, {Icon, Icon, Icon, Icon, Icon, Icon, Icon, Icon, Icon, Icon}},
      {10, 9, true, 0, 0, {Icon, Icon, Icon, Icon, Icon, Icon, Icon, Icon, Icon, Blank}},
      {10, 0, false, 0, 0, {Blank, Blank, Mixed}},
      {1, 0, false, 0, 0, {Blank, Mixed}},  // a single try: no spent icon to wipe
      {10, 4, false, -1, 7, {Icon, Blank, Mixed, Icon, Blank, Mixed}},  // other records stay
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.tries << " tries, " << c.left << " left");
    GameProgram g;
    std::vector<Slot> slots;
    g.run([&](game::Zided& z) {
      rt::Runtime& r = z.runtime();
      z.MSPIC();
      r.LINE(0, rt::Coord{600, 0}, rt::Coord{639, 300}, 4, rt::Box::BF);  // so blanks show
      z.TRIES = c.tries;
      if (c.launched) {
        z.TRIES_LEFT = 10;
        z.MSDISP();
        z.MSADD(-1, 0);
      }
      z.TRY_LOG(2) = c.log2, z.TRY_LOG(3) = c.log3, z.TRIES_LEFT = c.left;
      z.MSDISP();
      for (int k = 1; k <= static_cast<int>(c.slots.size()); ++k) {
        bool is_icon = true, blank = true;
        for (int dy = 0; dy < 20; ++dy) {
          for (int dx = 0; dx < 40; ++dx) {
            Rgb p = g.at(600 + dx, (k - 1) * 19 + dy);
            is_icon = is_icon && p == icon.get(dx, 503 - dy);
            blank = blank && p == r.palette_rgb(0);
          }
        }
        slots.push_back(is_icon ? Icon : blank ? Blank : Mixed);
      }
      EXPECT_EQ(g.at(620, 191), r.palette_rgb(4)) << "the column ends at y = 190";
    });
    EXPECT_EQ(slots, c.slots);
  }
}

TEST(Msadd, ShiftsTheRecordsBelowTheLastTryAndSpendsIt) {
  GameProgram g;
  g.run([&](game::Zided& z) {
    for (int k = 1; k <= 7; ++k) z.TRY_LOG(k) = k;
    z.TRIES_LEFT = 5;
    z.MSADD(-1, 0);
    std::vector<double> log;
    for (int k = 1; k <= 7; ++k) log.push_back(z.TRY_LOG(k));
    EXPECT_EQ(log, (std::vector<double>{2, 3, 4, 5, -1, 6, 7}));
  });
}

}  // namespace

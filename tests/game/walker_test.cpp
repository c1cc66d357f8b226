// The walker marker, the try figure and the column of try icons; start point and aim with the
// mouse (scripts use client pixels: world y = 503 - pixel y); the title animations.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "tests/support/game_program.h"
#include "tests/support/pixels.h"

namespace {

using platform::Rgb;
using testing_support::GameProgram;
using testing_support::script_options;

TEST(Kao, DrawsRadiusNineWhateverWrHeld) {
  GameProgram g;
  g.run([&](game::Zided& z) {
    z.WX(1) = 200, z.WY(1) = 150, z.WR(1) = 25, z.WCOLOR(1) = 13;
    z.KAO();
    EXPECT_EQ(z.WR(1), 10) << "WALK_RADIUS copied into WR(1)";
    const Rgb ring = g.rt().palette_rgb(13);
    for (int d = 0; d <= 12; ++d) {  // the ring's left and top edges lie 9 from its centre
      EXPECT_EQ(g.at(200 - d, 150) == ring, d == 9) << d;
      EXPECT_EQ(g.at(200, 150 + d) == ring, d == 9) << d;
    }
  });
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
    const std::vector<int> box = {e.left, e.right, e.bottom - e.top};
    EXPECT_EQ(box, (std::vector<int>{260, 339, 39})) << "body 80 x 40";
    // Inside the body, both spots, the spots' whole rounds; the upper spot's
    // left end at 300 - 0.6 * 40 - 10 = 266.
    const std::tuple<int, int, Rgb> at[] = {
        {300, 200, body}, {276, 207, spot}, {276, 193, spot}, {276, 200, body}, {320, 205, body},
        {282, 209, spot}, {282, 194, spot}, {265, 207, body}, {266, 207, col},  {267, 207, spot}};
    for (auto [x, y, want] : at) EXPECT_EQ(g.at(x, y), want) << x << "," << y;
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

// Both buttons go down together at pixel (200, 300), before the program looks.
void both_buttons_down(GameProgram& g) {
  for (auto b : {platform::MouseButton::Left, platform::MouseButton::Right}) {
    platform::Event e;
    e.type = platform::Event::Type::MouseDown;
    e.button = b, e.x = 200, e.y = 300;
    g.host().push_event(e);
  }
  g.rt().pump_messages();
}

// FMVEL1 picks the start point (x, y) on the edge, clear of walls and of obstacles near it: the
// start circle (x, 10) overlaps a removed one (1) for 193 <= x <= 207, overlaps 2 at 450 and
// touches 3 at x = 400. FMVEL2 aims (vx, vy) along a drag of a pixel or more, with length 200.
// Flag -1: the right button.
TEST(Mouse, PicksAStartPointClearOfWallsAndObstaclesAndAimsAlongTheDrag) {
  const struct {
    const char* script;
    bool aim;
    int nobj;
    bool both_down;
    double flag, a, b;
    int beeps;
  } cases[] = {
      {"click 90 300\n", false, 0, false, 0, 90, 10, 0},
      {"click 530 300\n", false, 0, false, 0, 530, 10, 0},
      {"click 89 300\nclick 531 300\nclick 300 300\n", false, 0, false, 0, 300, 10, 2},
      {"move 100 200\npress left\nmove 250 450\nrelease left\n", false, 0, false, 0, 250, 10, 0},
      {"click 207 300\nclick 193 300\nclick 450 300\nclick 400 300\n", false, 3, false, 0, 400, 10,
       3},
      {"click 208 300\n", false, 3, false, 0, 208, 10, 0},
      {"click 450 300\n", false, 1, false, 0, 450, 10, 0},  // past NOBJ
      {"click 300 300 right\n", false, 0, false, -1, -1, -1, 0},
      {"move 320 300\nrelease left\nrelease right\n", false, 0, true, 0, 320, 10, 0},
      {"drag 100 403 103 399\n", true, 0, false, 0, 120, 160, 0},  // world (100, 100) to (103, 104)
      {"click 200 300\ndrag 200 300 201 300\n", true, 0, false, 0, 200, 0, 0},  // click: no aim
      {"move 250 250\nclick 200 300 right\n", true, 0, false, -1, 7, 8, 0},     // vector kept
      {"wait 50\nmove 200 310\nrelease left\nrelease right\n", true, 0, true, 0, 0, -200, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    GameProgram g(script_options(c.script));
    game::Single flag = 99, a = 7, b = 8;
    g.run([&](game::Zided& z) {
      z.DFWALL();
      z.OX(1) = 200, z.OY(1) = 39, z.OR(1) = 20, z.OGONE(1) = -1;
      z.OX(2) = 450, z.OY(2) = 10, z.OR(2) = 5;
      z.OX(3) = 400, z.OY(3) = 40, z.OR(3) = 20;
      z.NOBJ = c.nobj, z.WX(1) = z.WY(1) = -1;
      if (c.both_down) both_buttons_down(g);
      if (c.aim) {
        z.FMVEL2(a, b, flag);
      } else {
        z.FMVEL1(flag);
        a = z.WX(1), b = z.WY(1);
      }
    });
    EXPECT_EQ(flag, c.flag);
    EXPECT_NEAR(a, c.a, 1e-4);
    EXPECT_NEAR(b, c.b, 1e-4);
    EXPECT_EQ(g.host().beeps(), c.beeps);
  }
}

TEST(Fzmms, LeavesOnlyTheLargestFigure) {
  GameProgram g;
  std::uint32_t took = 0;
  g.run([&](game::Zided& z) {
    took = g.host().now();
    z.FZMMS(z.TITLE_COLOR, "Peakwend");
    took = g.host().now() - took;
  });
  platform::Surface last =
      testing_support::reference_picture([](game::Zided& z) { z.MOSX2(15, 300, 240, 70); });
  EXPECT_EQ(testing_support::differing(g.rt().backing(), last), 0)
      << "the seven smaller figures are gone, the 140 x 70 one stays";
  // Eight waits of TITLE_DELAY (15 ms) and the closing half second, each
  // ending at the first reading beyond its time (a reading takes 1 ms).
  EXPECT_EQ(took, 8u * (15 + 2) + (500 + 2));
}

// Colours of the ring are read against the palette of the last pass, which
// the second rotation set; afterwards the basic palette is back.
TEST(Demos, FiguresRunThroughColourNumbersOneToSevenAndThePaletteIsRestored) {
  GameProgram g, fresh;
  fresh.run([](game::Zided&) {});
  std::vector<Rgb> colour(8);  // of colour numbers 1..7
  std::uint32_t took = 0;
  g.run([&](game::Zided& z) {
    took = g.host().now();
    z.DEMOS();
    took = g.host().now() - took;
    for (int e = 0; e < 16; ++e) EXPECT_EQ(g.rt().palette_rgb(e), fresh.rt().palette_rgb(e)) << e;
    z.PALET1(2);
    for (int n = 1; n <= 7; ++n) colour[n] = g.rt().palette_rgb(rt::CINT(z.COLMAP(n)));
  });
  // k = 0 at the right of the ring, k = 22 at -176 degrees below the middle,
  // k = 44 (the last) just above k = 0; the middle stays empty. Figure 11 is
  // centred at about (303.8, 130.1): its body ends near x = 324, figure 10
  // (colour 4) shows beyond it.
  const int at[][3] = {{410, 240, 1}, {190, 232, 2}, {409, 255, 3},
                       {300, 240, 0}, {321, 130, 5}, {327, 131, 4}};
  for (const auto& p : at) {
    const auto n = std::find(colour.begin() + 1, colour.end(), g.at(p[0], p[1])) - colour.begin();
    EXPECT_EQ(n % 8, p[2]) << p[0] << "," << p[1];
  }
  EXPECT_EQ(took, 3u * 45 * (5 + 2)) << "three passes of 45 figures, DEMO_DELAY each";
}

}  // namespace

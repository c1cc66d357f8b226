// Start point and aim with the mouse, and the contact point on a large
// obstacle (the rebound is checked through the game loop's steps). Scripts
// use client pixels; world y = 503 - pixel y.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "game/walker/aim.h"
#include "tests/support/game_program.h"

namespace {

using testing_support::GameProgram;
using testing_support::script_options;

// Both buttons go down together at pixel (200, 300), before the program looks.
void both_buttons_down(GameProgram& g) {
  for (auto b : {platform::MouseButton::Left, platform::MouseButton::Right}) {
    platform::Event e;
    e.type = platform::Event::Type::MouseDown;
    e.button = b;
    e.x = 200;
    e.y = 300;
    g.host().push_event(e);
  }
  g.rt().pump_messages();
}

// Obstacles near the start edge: the start circle (x, 10) overlaps a removed
// one for 193 <= x <= 207, touches one at x = 400, and overlaps one at 450.
void obstacles(game::Zided& z, int nobj) {
  const double o[3][3] = {{200, 39, 20}, {400, 40, 20}, {450, 10, 5}};
  for (int k = 1; k <= 3; ++k) z.OX(k) = o[k - 1][0], z.OY(k) = o[k - 1][1], z.OR(k) = o[k - 1][2];
  z.OGONE(1) = -1;
  z.NOBJ = nobj;
}

TEST(Fmvel1, PicksAStartPointOnTheEdgeClearOfWallsAndObstacles) {
  const struct {
    const char* script;
    int nobj;
    bool both_down;
    double flag, x;
    int beeps;
  } cases[] = {
      {"click 90 300\n", 0, false, 0, 90, 0},
      {"click 530 300\n", 0, false, 0, 530, 0},
      {"click 89 300\nclick 531 300\nclick 300 300\n", 0, false, 0, 300, 2},
      {"move 100 200\npress left\nmove 250 450\nrelease left\n", 0, false, 0, 250, 0},
      {"click 207 300\nclick 193 300\nclick 450 300\nclick 400 300\n", 3, false, 0, 400, 3},
      {"click 208 300\n", 3, false, 0, 208, 0},
      {"click 450 300\n", 2, false, 0, 450, 0},  // past NOBJ
      {"click 300 300 right\n", 0, false, -1, -1, 0},
      {"move 320 300\nrelease left\nrelease right\n", 0, true, 0, 320, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    GameProgram g(script_options(c.script));
    double flag = 99, x = 0, y = 0;
    g.run([&](game::Zided& z) {
      z.DFWALL();
      obstacles(z, c.nobj);
      z.WX(1) = z.WY(1) = -1;
      if (c.both_down) both_buttons_down(g);
      game::Single f = 99;
      z.FMVEL1(f);
      flag = f;
      x = z.WX(1);
      y = z.WY(1);
    });
    EXPECT_EQ(flag, c.flag);
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.flag == 0 ? 10 : -1) << "ten units up the edge, whatever the pointer's height";
    EXPECT_EQ(g.host().beeps(), c.beeps);
  }
}

TEST(Fmvel2, AimsAlongTheDragWithLength200) {
  const struct {
    const char* script;
    bool both_down;
    double flag, vx, vy;
  } cases[] = {
      {"drag 100 403 103 399\n", false, 0, 120, 160},  // world (100, 100) to (103, 104)
      {"drag 400 100 100 500\n", false, 0, -120, -160},
      {"click 200 300\ndrag 200 300 190 300\n", false, 0, -200, 0},  // the click launched nothing
      {"move 250 250\nclick 200 300 right\n", false, -1, 7, 8},      // abandoned, vector kept
      {"wait 50\nmove 200 310\nrelease left\nrelease right\n", true, 0, 0, -200},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    GameProgram g(script_options(c.script));
    double flag = 99, vx = 0, vy = 0;
    g.run([&](game::Zided& z) {
      if (c.both_down) both_buttons_down(g);
      game::Single svx = 7, svy = 8, f = 99;
      z.FMVEL2(svx, svy, f);
      flag = f, vx = svx, vy = svy;
    });
    EXPECT_EQ(flag, c.flag);
    EXPECT_FLOAT_EQ(vx, c.vx);
    EXPECT_FLOAT_EQ(vy, c.vy);
  }
}

TEST(LaunchVector, HalfAUnitIsTheShortestAim) {
  const double cases[][5] = {// dx, dy, launched, vx, vy
                             {0.5, 0, 1, 200, 0},
                             {0, -0.5, 1, 0, -200},
                             {0.49, 0, 0, 7, 8},
                             {-0.3, 0.39, 0, 7, 8},  // length 0.492
                             {0, 0, 0, 7, 8}};
  for (const auto& c : cases) {
    game::Single vx = 7, vy = 8;
    EXPECT_EQ(game::launch_vector(c[0], c[1], vx, vy), c[2] == 1) << c[0] << "," << c[1];
    EXPECT_EQ((std::vector<double>{vx, vy}), (std::vector<double>{c[3], c[4]}));
  }
}

TEST(Kasoc, PointOnTheRayTowardsTheWalkerAtTheRadiusDifference) {
  GameProgram g;
  g.run([&](game::Zided& z) {
    z.OX(7) = 100, z.OY(7) = 100, z.OR(7) = 35;
    z.WX(1) = 130, z.WY(1) = 140;
    // The walker's own radius counts, not WALK_RADIUS: 100 + (0.6, 0.8) * (35 - r).
    for (auto [r, x, y] : {std::tuple{10.0, 115.0, 120.0}, {5.0, 118.0, 124.0}}) {
      z.WR(1) = r;
      game::Single cx, cy;
      z.KASOC(1, 7, cx, cy);
      EXPECT_FLOAT_EQ(cx, x) << r;
      EXPECT_FLOAT_EQ(cy, y) << r;
    }
  });
}

}  // namespace

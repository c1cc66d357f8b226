// Start point and aim with the mouse, the contact point and the rebound.
// Scripts use client pixels; world y = 503 - pixel y.
#include <gtest/gtest.h>

#include <cmath>

#include "game/walker/aim.h"
#include "tests/support/game_program.h"

namespace {

using testing_support::GameProgram;
using testing_support::script_options;

// The walls of the field as the game sets them.
void standard_walls(game::Zided& z) {
  const double x1[] = {0, 80, 540, 80, 80}, y1[] = {0, 0, 0, 0, 464};
  const double x2[] = {0, 80, 540, 540, 540}, y2[] = {0, 464, 464, 0, 464};
  const double n[] = {0, -1, 1, -1, 1};
  for (int k = 1; k <= 4; ++k) {
    z.WALL_X1(k) = x1[k];
    z.WALL_Y1(k) = y1[k];
    z.WALL_X2(k) = x2[k];
    z.WALL_Y2(k) = y2[k];
    z.WALL_N(k) = n[k];
  }
  z.NWALL = 4;
  z.NOBJ = 0;
}

// Both buttons go down together, at pixel (x, y), before the program looks.
void both_buttons_down(GameProgram& g, int x, int y) {
  for (auto b : {platform::MouseButton::Left, platform::MouseButton::Right}) {
    platform::Event e;
    e.type = platform::Event::Type::MouseDown;
    e.button = b;
    e.x = x;
    e.y = y;
    g.host().push_event(e);
  }
  g.rt().pump_messages();
}

struct Start {
  double flag = 99, x = -1, y = -1;
  int beeps = 0;
  bool returned = false;
};

// FMVEL1 on the standard walls; `setup` may place obstacles first.
Start choose_start(const std::string& script,
                   const std::function<void(game::Zided&)>& setup = nullptr) {
  GameProgram g(script_options(script));
  Start s;
  g.run([&](game::Zided& z) {
    standard_walls(z);
    z.WX(1) = -1;
    z.WY(1) = -1;
    if (setup) setup(z);
    game::Single flag = 99;
    z.FMVEL1(flag);
    s.returned = true;
    s.flag = flag;
    s.x = z.WX(1);
    s.y = z.WY(1);
  });
  s.beeps = g.host().beeps();
  return s;
}

TEST(Fmvel1, AcceptsBothEndsOfTheStartRangeTenUnitsUpTheEdge) {
  for (int x : {90, 530}) {
    Start s = choose_start("click " + std::to_string(x) + " 300\n");
    EXPECT_EQ(s.flag, 0);
    EXPECT_EQ(s.x, x);
    EXPECT_EQ(s.y, 10) << "the pointer's height does not count";
    EXPECT_EQ(s.beeps, 0);
  }
}

TEST(Fmvel1, BeepsOncePerClickTooNearASideWallAndWaitsForTheNext) {
  Start s = choose_start("click 89 300\nclick 531 300\nclick 300 300\n");
  EXPECT_EQ(s.beeps, 2);
  EXPECT_EQ(s.x, 300);
  EXPECT_EQ(s.flag, 0);
}

TEST(Fmvel1, TakesThePointerWhereTheButtonComesUp) {
  Start s = choose_start("move 100 200\npress left\nmove 250 450\nrelease left\n");
  EXPECT_EQ(s.x, 250);
  EXPECT_EQ(s.y, 10);
}

TEST(Fmvel1, KeepsClearOfObstaclesGoneOrNotAndAcceptsTouching) {
  auto obstacles = [](game::Zided& z) {
    z.NOBJ = 3;
    // Start circle (x, 10) overlaps this one for 193 <= x <= 207.
    z.OX(1) = 200, z.OY(1) = 39, z.OR(1) = 20, z.OGONE(1) = -1;
    // ... and only touches this one at x = 400.
    z.OX(2) = 400, z.OY(2) = 40, z.OR(2) = 20;
    z.OX(3) = 450, z.OY(3) = 10, z.OR(3) = 5;
  };
  Start s = choose_start("click 207 300\nclick 193 300\nclick 450 300\nclick 400 300\n", obstacles);
  EXPECT_EQ(s.beeps, 3);
  EXPECT_EQ(s.x, 400);

  Start edge = choose_start("click 208 300\n", obstacles);
  EXPECT_EQ(edge.beeps, 0);
  EXPECT_EQ(edge.x, 208);

  // Obstacles past NOBJ are not looked at.
  Start past = choose_start("click 450 300\n", [&](game::Zided& z) {
    obstacles(z);
    z.NOBJ = 2;
  });
  EXPECT_EQ(past.beeps, 0);
  EXPECT_EQ(past.x, 450);
}

TEST(Fmvel1, RightButtonAbandonsAndBothButtonsCountAsLeft) {
  Start s = choose_start("click 300 300 right\n");
  EXPECT_TRUE(s.returned);
  EXPECT_EQ(s.flag, -1);
  EXPECT_EQ(s.x, -1) << "no start point set";

  GameProgram g(script_options("move 320 300\nrelease left\nrelease right\n"));
  double flag = 99, x = 0;
  g.run([&](game::Zided& z) {
    standard_walls(z);
    both_buttons_down(g, 200, 300);
    game::Single f = 99;
    z.FMVEL1(f);
    flag = f;
    x = z.WX(1);
  });
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(x, 320);
}

struct Aim {
  double flag = 99, vx = 7, vy = 8;
  bool returned = false;
  int exit_code = -1;
};

Aim aim(GameProgram& g, bool both_down = false) {
  Aim a;
  a.exit_code = g.run([&](game::Zided& z) {
    if (both_down) both_buttons_down(g, 200, 300);
    game::Single vx = 7, vy = 8, flag = 99;
    z.FMVEL2(vx, vy, flag);
    a.returned = true;
    a.flag = flag;
    a.vx = vx;
    a.vy = vy;
  });
  return a;
}

TEST(Fmvel2, LaunchesAlongTheDragWithLength200) {
  // World (100, 100) to (103, 104).
  GameProgram g(script_options("drag 100 403 103 399\n"));
  Aim a = aim(g);
  EXPECT_EQ(a.flag, 0);
  EXPECT_FLOAT_EQ(a.vx, 120);
  EXPECT_FLOAT_EQ(a.vy, 160);

  // Only the direction counts: a long drag down and left.
  GameProgram g2(script_options("drag 400 100 100 500\n"));
  Aim b = aim(g2);
  EXPECT_FLOAT_EQ(b.vx, -120);
  EXPECT_FLOAT_EQ(b.vy, -160);
}

TEST(Fmvel2, AClickWithoutMovementLaunchesNothing) {
  GameProgram g(script_options("click 200 300\ndrag 200 300 190 300\n"));
  Aim a = aim(g);
  EXPECT_EQ(a.flag, 0);
  EXPECT_FLOAT_EQ(a.vx, -200) << "the launch came from the drag after the click";
  EXPECT_FLOAT_EQ(a.vy, 0);

  // Moving afterwards without a button does not launch either: the program
  // is still waiting when the script ends and the window closes.
  GameProgram g2(script_options("click 200 300\nmove 250 250\nidle\n"));
  Aim b = aim(g2);
  EXPECT_FALSE(b.returned);
  EXPECT_EQ(b.exit_code, 0);
}

TEST(Fmvel2, RightButtonAbandonsAndLeavesTheVectorAlone) {
  GameProgram g(script_options("move 250 250\nclick 200 300 right\n"));
  Aim a = aim(g);
  EXPECT_TRUE(a.returned);
  EXPECT_EQ(a.flag, -1);
  EXPECT_EQ(a.vx, 7);
  EXPECT_EQ(a.vy, 8);
}

TEST(Fmvel2, BothButtonsCountAsTheLeft) {
  // The pointer moves once the program has read where the drag starts.
  GameProgram g(script_options("wait 50\nmove 200 310\nrelease left\nrelease right\n"));
  Aim a = aim(g, true);
  EXPECT_EQ(a.flag, 0);
  EXPECT_FLOAT_EQ(a.vx, 0);
  EXPECT_FLOAT_EQ(a.vy, -200) << "dragged 10 pixels down the screen";
}

TEST(LaunchVector, HalfAUnitIsTheShortestAim) {
  game::Single vx = 7, vy = 8;
  EXPECT_TRUE(game::launch_vector(0.5, 0, vx, vy));
  EXPECT_FLOAT_EQ(vx, 200);
  EXPECT_FLOAT_EQ(vy, 0);
  EXPECT_TRUE(game::launch_vector(0, -0.5, vx, vy));
  EXPECT_FLOAT_EQ(vx, 0);
  EXPECT_FLOAT_EQ(vy, -200);

  vx = 7, vy = 8;
  EXPECT_FALSE(game::launch_vector(0.49, 0, vx, vy));
  EXPECT_FALSE(game::launch_vector(-0.3, 0.39, vx, vy));  // length 0.492
  EXPECT_FALSE(game::launch_vector(0, 0, vx, vy));
  EXPECT_EQ(vx, 7);
  EXPECT_EQ(vy, 8);
}

TEST(Kasoc, PointOnTheRayTowardsTheWalkerAtTheRadiusDifference) {
  GameProgram g;
  double cx = 0, cy = 0, cx5 = 0, cy5 = 0;
  g.run([&](game::Zided& z) {
    z.OX(7) = 100, z.OY(7) = 100, z.OR(7) = 35;
    z.WX(1) = 130, z.WY(1) = 140, z.WR(1) = 10;
    game::Single x, y;
    z.KASOC(1, 7, x, y);
    cx = x, cy = y;
    z.WR(1) = 5;  // the walker's own radius, not WALK_RADIUS
    z.KASOC(1, 7, x, y);
    cx5 = x, cy5 = y;
  });
  EXPECT_FLOAT_EQ(cx, 115);  // 100 + 0.6 * 25
  EXPECT_FLOAT_EQ(cy, 120);  // 100 + 0.8 * 25
  EXPECT_FLOAT_EQ(cx5, 118);
  EXPECT_FLOAT_EQ(cy5, 124);
}

struct Velocity {
  double vx, vy;
};

// Walker 1 with velocity v hits obstacle 3 along (dx, dy).
Velocity rebound(Velocity v, double dx, double dy, double ocoef = 1) {
  GameProgram g;
  Velocity out{};
  g.run([&](game::Zided& z) {
    z.WVX(1) = v.vx;
    z.WVY(1) = v.vy;
    z.OCOEF(3) = ocoef;
    z.NBPCNV(1, 3, dx, dy, std::sqrt(dx * dx + dy * dy));
    out = {z.WVX(1), z.WVY(1)};
  });
  return out;
}

TEST(Nbpcnv, HeadOnReversesTheWalker) {
  Velocity a = rebound({20, 0}, 5, 0);
  EXPECT_FLOAT_EQ(a.vx, -20);
  EXPECT_NEAR(a.vy, 0, 1e-6);
  Velocity b = rebound({12, 16}, 3, 4);
  EXPECT_FLOAT_EQ(b.vx, -12);
  EXPECT_FLOAT_EQ(b.vy, -16);
}

TEST(Nbpcnv, ObliqueReboundKeepsSpeedAndTangentialPart) {
  // Normal (0.6, 0.8): normal speed 12 becomes -12, tangent (12.8, -9.6) stays.
  Velocity a = rebound({20, 0}, 3, 4);
  EXPECT_FLOAT_EQ(a.vx, 5.6);
  EXPECT_FLOAT_EQ(a.vy, -19.2);
  EXPECT_NEAR(std::hypot(a.vx, a.vy), 20, 1e-4);

  // Restitution is the mean of both factors: (1 + 0.5) / 2 scales the normal part.
  Velocity b = rebound({20, 0}, 3, 4, 0.5);
  EXPECT_FLOAT_EQ(b.vx, 7.4);
  EXPECT_FLOAT_EQ(b.vy, -16.8);
}

}  // namespace

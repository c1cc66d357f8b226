// The field, its walls and the random landscape layout.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "tests/support/game_program.h"

namespace {

using testing_support::GameProgram;

// The runtime's generator, from its definition: a 32-bit linear congruence
// whose bits 9..31 are the fraction; 0 is skipped.
struct Generator {
  std::uint32_t state;
  double next() {
    for (;;) {
      state = state * 2058568021u + 1276750819u;
      std::uint32_t f = (state >> 9) & 0x7FFFFFu;
      if (f != 0) return f / 8388608.0;
    }
  }
};

// Makes the runtime's generator state `target`.
void set_generator(rt::Runtime& r, std::uint32_t target) {
  r.RANDOMIZE(static_cast<std::int32_t>(r.random_state() ^ target));
}

platform::HostOptions at_second(int second) {
  platform::HostOptions o;
  o.start_time = platform::LocalTime{2024, 3, 9, 14, 27, second};
  return o;
}

// The level's corner-mountain radius, as the level menu sets it.
void choose_level(game::Zided& z, int level) {
  z.LEVEL = level;
  z.ZONE_A(1) = 270 + 30 * (3 - level);
  z.ZONE_A(2) = z.ZONE_A(1);
}

struct Obstacle {
  double x, y, r, t;
  bool operator==(const Obstacle&) const = default;
};

struct Built {
  double n = 0;
  std::vector<Obstacle> layout;        // index 0 is obstacle 1
  std::vector<double> zone_x, zone_y;  // index 0 is zone 1
};

std::vector<Obstacle> stored_layout(game::Zided& z, int v) {
  std::vector<Obstacle> out;
  for (int j = 1; j <= 100; ++j) {
    out.push_back({z.SAVED_OX(j, v), z.SAVED_OY(j, v), z.SAVED_OR(j, v), z.SAVED_OT(j, v)});
  }
  return out;
}

// Builds layout 1 at `level`, the clock starting at `second`, the generator
// at `state` (its start-up state when not given).
Built build(int level, int second, std::optional<std::uint32_t> state = {}) {
  GameProgram g(at_second(second));
  Built b;
  game::Single n = 0;
  g.run([&](game::Zided& z) {
    choose_level(z, level);
    z.DFWALL();
    if (state) set_generator(z.runtime(), *state);
    z.SETFD(1, n);
  });
  game::Zided& z = g.game();
  b.n = n;
  b.layout = stored_layout(z, 1);
  for (int k = 1; k <= 30; ++k) {
    b.zone_x.push_back(z.ZONE_PX(k));
    b.zone_y.push_back(z.ZONE_PY(k));
  }
  return b;
}

double dist2(double x1, double y1, double x2, double y2) {
  return (x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2);
}

// Zone radii and the obstacles they become: zones 3..9 are clusters.
const double kZoneA[31] = {0,  300, 300, 50, 40, 40, 40, 30, 30, 30, 25, 25, 25, 22, 22, 22,
                           22, 16,  16,  16, 16, 16, 14, 14, 14, 14, 14, 10, 10, 10, 10};
// Obstacle j (3..43): its zone, radius and kind, from the zone table.
struct Expected {
  int zone;
  double r, t;
};
std::vector<Expected> expected_zone_circles() {
  const int counts[10] = {0, 0, 0, 5, 3, 3, 3, 2, 2, 2};  // clusters, zones 3..9
  const double kinds[31] = {0, 1, 1,  14, 14, 14, 13, 14, 13, 13, 11, 12, 4,  5,  6, 7,
                            8, 9, 10, 11, 12, 4,  5,  6,  7,  8,  9,  10, 11, 12, 4};
  std::vector<Expected> e;
  for (int z = 3; z <= 30; ++z) {
    if (z <= 9) {
      for (int i = 0; i < counts[z]; ++i) e.push_back({z, kZoneA[z] == 30 ? 14.0 : 16.0, kinds[z]});
    } else {
      e.push_back({z, kZoneA[z], kinds[z]});
    }
  }
  return e;
}

const int kLevels[] = {1, 2, 3};
const int kSeconds[] = {0, 17, 58};

TEST(Dfwall, SetsTheFieldAndTheFourWalls) {
  GameProgram g;
  g.run([](game::Zided& z) { z.DFWALL(); });
  game::Zided& z = g.game();
  EXPECT_EQ((std::vector<double>{z.FIELD_X, z.FIELD_Y, z.FIELD_W, z.FIELD_H, z.NWALL}),
            (std::vector<double>{80, 16, 460, 432, 4}));
  const double walls[4][5] = {
      {80, 0, 80, 464, -1}, {540, 0, 540, 464, 1}, {80, 0, 540, 0, -1}, {80, 464, 540, 464, 1}};
  for (int k = 1; k <= 4; ++k) {
    const double* w = walls[k - 1];
    EXPECT_EQ(
        (std::vector<double>{z.WALL_X1(k), z.WALL_Y1(k), z.WALL_X2(k), z.WALL_Y2(k), z.WALL_N(k)}),
        std::vector<double>(w, w + 5))
        << "wall " << k;
  }
}

TEST(Setfd, ShowsItsMessageWaitsASecondAndLeavesTheForegroundAt7) {
  GameProgram g(at_second(5));
  game::Single n;
  std::uint32_t before = 0, after = 0;
  g.run([&](game::Zided& z) {
    z.DFWALL();
    before = g.host().millis();
    z.SETFD(1, n);
    after = g.host().millis();
  });
  EXPECT_EQ(g.row(20), std::string(28, ' ') + " Lay out Mountains " + std::string(33, ' '));
  EXPECT_EQ(g.rt().text_colour(29, 20), g.rt().palette_rgb(15));
  EXPECT_EQ(g.rt().foreground(), 7);
  EXPECT_EQ(g.rt().cursor_row(), 21) << "the message ends its line";
  EXPECT_GE(after - before, 1000u);
  EXPECT_EQ(n, 100.0);
}

// Every level and several seconds: numbering, radii and kinds; the zone
// gaps; clusters inside their zones; snow patches in the snow area,
// overlapping nothing placed before them.
TEST(Setfd, LayoutsKeepTheirNumberingGapsAndAreasAtEveryLevel) {
  auto circles = expected_zone_circles();
  ASSERT_EQ(circles.size(), 41u);
  for (int level : kLevels) {
    for (int second : kSeconds) {
      SCOPED_TRACE(testing::Message() << "level " << level << " second " << second);
      Built b = build(level, second);
      auto at = [&](int j) { return b.layout[static_cast<std::size_t>(j - 1)]; };
      auto zx = [&](int z) { return b.zone_x[static_cast<std::size_t>(z - 1)]; };
      auto zy = [&](int z) { return b.zone_y[static_cast<std::size_t>(z - 1)]; };
      double mountain = 270 + 30 * (3 - level);
      auto radius = [&](int z) { return z <= 2 ? mountain : kZoneA[z]; };
      EXPECT_EQ(b.n, 100.0);
      EXPECT_EQ(at(1), (Obstacle{-50, 600, mountain, 1}));
      EXPECT_EQ(at(2), (Obstacle{670, 600, mountain, 1}));

      for (int z = 3; z <= 30; ++z) {
        for (int j = 1; j <= 30; ++j) {
          double gap = radius(z) + radius(j) + 20;
          if (j != z) {
            EXPECT_GE(dist2(zx(z), zy(z), zx(j), zy(j)), gap * gap) << z << ", " << j;
          }
        }
      }
      for (int j = 3; j <= 43; ++j) {
        const Expected& e = circles[static_cast<std::size_t>(j - 3)];
        Obstacle o = at(j);
        EXPECT_EQ(o.r, e.r) << "obstacle " << j;
        EXPECT_EQ(o.t, e.t) << "obstacle " << j;
        double reach = kZoneA[e.zone] - o.r + 1e-3;
        EXPECT_LE(dist2(o.x, o.y, zx(e.zone), zy(e.zone)), reach * reach) << "obstacle " << j;
        if (e.zone >= 10) {
          EXPECT_EQ(dist2(o.x, o.y, zx(e.zone), zy(e.zone)), 0) << "obstacle " << j;
        }
        EXPECT_TRUE(o.x - o.r > 81 - 1e-3 && o.x + o.r < 539 + 1e-3) << "obstacle " << j;
        EXPECT_TRUE(o.y - o.r > 17 - 1e-3 && o.y + o.r < 447 + 1e-3) << "obstacle " << j;
        // Circles of one cluster keep their centres at least a radius apart.
        for (int i = 3; i < j; ++i) {
          Obstacle p = at(i);
          if (circles[static_cast<std::size_t>(i - 3)].zone == e.zone) {
            EXPECT_GE(dist2(p.x, p.y, o.x, o.y), o.r * o.r) << i << ", " << j;
          }
        }
      }
      for (int k = 44; k <= 100; ++k) {
        Obstacle p = at(k);
        EXPECT_EQ(p.r, k <= 63 ? 14.0 : 10.0) << "patch " << k;
        EXPECT_EQ(p.t, 15.0) << "patch " << k;
        EXPECT_TRUE(p.x >= 81 + p.r && p.x <= 539 - p.r) << "patch " << k;
        EXPECT_TRUE(p.y >= 33 + p.r && p.y <= 463 - p.r) << "patch " << k;
        for (int j = 1; j < k; ++j) {
          Obstacle o = at(j);
          EXPECT_GE(dist2(p.x, p.y, o.x, o.y), (p.r + o.r) * (p.r + o.r)) << k << " on " << j;
        }
      }
    }
  }
}

TEST(Setfd, SameStateAndSecondGiveTheSameLayoutAndEitherChangesIt) {
  Built a = build(2, 12, 0x2468ACE1u);
  EXPECT_EQ(a.layout, build(2, 12, 0x2468ACE1u).layout);
  EXPECT_NE(a.layout, build(2, 13, 0x2468ACE1u).layout);
  EXPECT_NE(a.layout, build(2, 12, 0x2468ACE0u).layout);
}

TEST(Setfd, TwoBuildsInTheSameSecondDiffer) {
  // A run's second build (started at :40, it reads :42) against another
  // run's first build that reads :42: the generator goes on, not afresh.
  GameProgram g(at_second(40)), g2(at_second(41));
  game::Single n;
  std::string second_time, fresh_time;
  g.run([&](game::Zided& z) {
    z.DFWALL();
    z.SETFD(1, n);
    z.SETFD(1, n);
    second_time = g.rt().TIME();
  });
  g2.run([&](game::Zided& z) {
    z.DFWALL();
    z.SETFD(1, n);
    fresh_time = g2.rt().TIME();
  });
  ASSERT_EQ(second_time, fresh_time) << "both builds must end in the same second";
  EXPECT_NE(stored_layout(g.game(), 1), stored_layout(g2.game(), 1));
}

TEST(Setfd, FirstZoneCentreFollowsTheGeneratorSeededWithTheSecondAfterTheWait) {
  for (int level : kLevels) {
    for (std::uint32_t state : {204u, 0x9E3779B9u}) {
      SCOPED_TRACE(testing::Message() << "level " << level << " state " << state);
      Built b = build(level, 33, state);
      Generator gen{state ^ 34u};  // the second is read after the wait
      double gap = 50 + 270 + 30 * (3 - level) + 20;
      float x = 0, y = 0;
      do {
        x = static_cast<float>(131 + 358 * gen.next());
        y = static_cast<float>(67 + 330 * gen.next());
      } while (gap * gap > dist2(-50, 600, x, y) || gap * gap > dist2(670, 600, x, y));
      EXPECT_EQ(b.zone_x[2], x);
      EXPECT_EQ(b.zone_y[2], y);
    }
  }
}

TEST(Dzone, AcceptsAZoneExactlyTheWalkerGapAwayAndRedrawsOneCloser) {
  // Zone 3 (radius 50) and its first candidate; zone 1 (radius 10) put
  // 80 = 50 + 10 + 20 or 79 to the right of it, zone 2 far away.
  for (float offset : {80.0f, 79.0f}) {
    SCOPED_TRACE(offset);
    Generator gen{0x0BADF00Du};
    auto x = static_cast<float>(131 + 358 * gen.next());
    auto y = static_cast<float>(67 + 330 * gen.next());
    GameProgram g;
    g.run([&](game::Zided& z) {
      z.DFWALL();
      set_generator(z.runtime(), 0x0BADF00Du);
      z.ZONE_A(1) = 10;
      z.ZONE_PX(1) = x + offset;
      z.ZONE_PY(1) = y;
      z.ZONE_PX(2) = -5000;
      z.DZONE(3);
    });
    game::Zided& z = g.game();
    EXPECT_EQ(z.ZONE_PX(3) == x && z.ZONE_PY(3) == y, offset == 80.0f);
    EXPECT_GE(dist2(z.ZONE_PX(3), z.ZONE_PY(3), x + offset, y), 80.0 * 80.0);
  }
}

TEST(Snow, AcceptsAPatchTouchingAnEarlierCircleAndRedrawsAnOverlappingOne) {
  // Patch 2 (radius 14) and its first candidate; entry 1 24 to the right.
  for (double earlier_r : {10.0, 10.25}) {
    SCOPED_TRACE(earlier_r);
    Generator gen{0x13579BDFu};
    auto x = static_cast<float>(95 + 430 * gen.next());
    auto y = static_cast<float>(47 + 402 * gen.next());
    GameProgram g;
    g.run([&](game::Zided& z) {
      z.DFWALL();
      set_generator(z.runtime(), 0x13579BDFu);
      z.WX(1) = x + 24.0f;
      z.WY(1) = y;
      z.WR(1) = earlier_r;
      z.SNOW(1, 1);
    });
    game::Zided& z = g.game();
    EXPECT_EQ(z.WR(2), 14.0);
    EXPECT_EQ(z.WT(2), 15.0);
    EXPECT_EQ(z.WX(2) == x && z.WY(2) == y, earlier_r == 10.0);
    EXPECT_GE(dist2(z.WX(2), z.WY(2), x + 24.0, y), (14 + earlier_r) * (14 + earlier_r));
  }
}

TEST(Pzone, CirclesComeFromADistanceThenAnAngle) {
  // Mode 0 never redraws: circle j is draws 2j - 1 and 2j.
  GameProgram g;
  g.run([](game::Zided& z) {
    z.DFWALL();
    set_generator(z.runtime(), 0xC0FFEE11u);
    z.ZONE_PX(3) = 300;
    z.ZONE_PY(3) = 200;
    z.PZONE(0, 3, 16, 5);
  });
  Generator gen{0xC0FFEE11u};
  for (int j = 1; j <= 5; ++j) {
    auto d = static_cast<float>((50 - 16) * gen.next());
    auto a = static_cast<double>(static_cast<float>(2 * 3.14159 * gen.next()));
    EXPECT_EQ(g.game().PZX(j), static_cast<float>(300 + d * std::cos(a))) << "circle " << j;
    EXPECT_EQ(g.game().PZY(j), static_cast<float>(200 + d * std::sin(a))) << "circle " << j;
  }
}

TEST(Setfd, BuildsEveryLayoutAskedForAndLeavesTheLastInTheWorkList) {
  GameProgram g(at_second(20));
  game::Single n;
  g.run([&](game::Zided& z) {
    z.DFWALL();
    z.SETFD(2, n);
  });
  game::Zided& z = g.game();
  auto one = stored_layout(z, 1), two = stored_layout(z, 2);
  EXPECT_NE(one, two);
  for (int j = 1; j <= 100; ++j) {
    auto i = static_cast<std::size_t>(j - 1);
    EXPECT_EQ(two[i], (Obstacle{z.WX(j), z.WY(j), z.WR(j), z.WT(j)})) << "entry " << j;
    EXPECT_EQ(one[i].t, two[i].t);
  }
  EXPECT_EQ(z.SAVED_OR(1, 3), 0.0) << "layout 3 untouched";
}

}  // namespace

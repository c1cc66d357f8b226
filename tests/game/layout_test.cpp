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
  // A point drawn x first: x0 + w * RND, then y0 + h * RND, stored as SINGLE.
  std::pair<float, float> point(double x0, double w, double y0, double h) {
    auto x = static_cast<float>(x0 + w * next());
    return {x, static_cast<float>(y0 + h * next())};
  }
};

// Makes the runtime's generator state `target`.
void set_generator(rt::Runtime& r, std::uint32_t target) {
  r.RANDOMIZE(static_cast<std::int32_t>(r.random_state() ^ target));
}

platform::HostOptions at_second(int second) {
  return testing_support::at_time({2024, 3, 9, 14, 27, second});
}

struct Obstacle {
  double x, y, r, t;
  bool operator==(const Obstacle&) const = default;
};

std::vector<Obstacle> stored_layout(game::Zided& z, int v) {
  std::vector<Obstacle> out;
  for (int j = 1; j <= 100; ++j) {
    out.push_back({z.SAVED_OX(j, v), z.SAVED_OY(j, v), z.SAVED_OR(j, v), z.SAVED_OT(j, v)});
  }
  return out;
}

// Layout 1 and the zones (radius, kind, centre) it was built from; index 0 unused.
struct Built {
  double n = 0;
  std::vector<Obstacle> layout, zones;
  const Obstacle& operator()(int j) const { return layout[static_cast<std::size_t>(j - 1)]; }
  const Obstacle& zone(int k) const { return zones[static_cast<std::size_t>(k)]; }
};

// Builds layout 1 at `level` (its corner-mountain radius set as the level
// menu sets it), the clock at `second`, the generator at `state` if given.
Built build(int level, int second, std::optional<std::uint32_t> state = {}) {
  GameProgram g(at_second(second));
  Built b;
  game::Single n = 0;
  g.run([&](game::Zided& z) {
    z.LEVEL = level;
    z.ZONE_A(1) = z.ZONE_A(2) = 270 + 30 * (3 - level);
    z.DFWALL();
    if (state) set_generator(z.runtime(), *state);
    z.SETFD(1, n);
  });
  game::Zided& z = g.game();
  b.n = n;
  b.layout = stored_layout(z, 1);
  b.zones.push_back({});
  for (int k = 1; k <= 30; ++k)
    b.zones.push_back({z.ZONE_PX(k), z.ZONE_PY(k), z.ZONE_A(k), z.ZONE_B(k)});
  return b;
}

double dist2(double x1, double y1, double x2, double y2) {
  return (x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2);
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
  // DFWALL's field and four walls: (x1, y1, x2, y2, sign of the outward normal).
  game::Zided& z = g.game();
  EXPECT_EQ((std::vector<double>{z.FIELD_X, z.FIELD_Y, z.FIELD_W, z.FIELD_H, z.NWALL}),
            (std::vector<double>{80, 16, 460, 432, 4}));
  const double walls[4][5] = {
      {80, 0, 80, 464, -1}, {540, 0, 540, 464, 1}, {80, 0, 540, 0, -1}, {80, 464, 540, 464, 1}};
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(
        (std::vector<double>{z.WALL_X1(k), z.WALL_Y1(k), z.WALL_X2(k), z.WALL_Y2(k), z.WALL_N(k)}),
        std::vector<double>(walls[k - 1], walls[k - 1] + 5))
        << "wall " << k;
  }
}

// Every level and several seconds: numbering, radii and kinds; the zone
// gaps; circles inside their zones and the field; snow patches in the snow
// area, overlapping nothing placed before them.
TEST(Setfd, LayoutsKeepTheirNumberingGapsAndAreasAtEveryLevel) {
  for (int level : {1, 2, 3}) {
    for (int second : {0, 17, 58}) {
      SCOPED_TRACE(testing::Message() << "level " << level << " second " << second);
      Built b = build(level, second);
      double mountain = 270 + 30 * (3 - level);
      EXPECT_EQ(b.n, 100.0);
      EXPECT_EQ(b(1), (Obstacle{-50, 600, mountain, 1}));
      EXPECT_EQ(b(2), (Obstacle{670, 600, mountain, 1}));
      for (int k = 3; k <= 30; ++k) {
        for (int i = 1; i <= 30; ++i) {
          const Obstacle &p = b.zone(k), &q = b.zone(i);
          double gap = p.r + q.r + 20;
          EXPECT_TRUE(i == k || dist2(p.x, p.y, q.x, q.y) >= gap * gap) << k << ", " << i;
        }
      }
      // Zones 3..9 (radius 50, 40, 30) become clusters of 5 x 16, 3 x 16 and
      // 2 x 14; zones 10..30 one circle each; all numbered 3..43 in zone order.
      int j = 3;
      for (int k = 3; k <= 30; ++k) {
        const Obstacle& zone = b.zone(k);
        bool cluster = k <= 9;
        int count = !cluster ? 1 : zone.r == 50 ? 5 : zone.r == 40 ? 3 : 2;
        double r = !cluster ? zone.r : zone.r == 30 ? 14 : 16;
        for (int first = j; j < first + count; ++j) {
          const Obstacle& o = b(j);
          EXPECT_EQ(o.r, r) << "obstacle " << j;
          EXPECT_EQ(o.t, zone.t) << "obstacle " << j;
          double reach = zone.r - r + 1e-3;
          EXPECT_LE(dist2(o.x, o.y, zone.x, zone.y), cluster ? reach * reach : 0) << j;
          EXPECT_TRUE(o.x - o.r > 81 - 1e-3 && o.x + o.r < 539 + 1e-3) << "obstacle " << j;
          EXPECT_TRUE(o.y - o.r > 17 - 1e-3 && o.y + o.r < 447 + 1e-3) << "obstacle " << j;
          for (int i = first; i < j; ++i) {
            EXPECT_GE(dist2(b(i).x, b(i).y, o.x, o.y), o.r * o.r) << i << ", " << j;
          }
        }
      }
      EXPECT_EQ(j, 44);
      for (int k = 44; k <= 100; ++k) {
        const Obstacle& p = b(k);
        EXPECT_EQ(p.r, k <= 63 ? 14.0 : 10.0) << "patch " << k;
        EXPECT_EQ(p.t, 15.0) << "patch " << k;
        EXPECT_TRUE(p.x >= 81 + p.r && p.x <= 539 - p.r) << "patch " << k;
        EXPECT_TRUE(p.y >= 33 + p.r && p.y <= 463 - p.r) << "patch " << k;
        for (int i = 1; i < k; ++i) {
          EXPECT_GE(dist2(p.x, p.y, b(i).x, b(i).y), (p.r + b(i).r) * (p.r + b(i).r))
              << k << " on " << i;
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
  for (int level : {1, 2, 3}) {
    for (std::uint32_t state : {204u, 0x9E3779B9u}) {
      SCOPED_TRACE(testing::Message() << "level " << level << " state " << state);
      Built b = build(level, 33, state);
      Generator gen{state ^ 34u};  // the second is read after the wait
      double gap = 50 + 270 + 30 * (3 - level) + 20;
      std::pair<float, float> p;
      do {
        p = gen.point(131, 358, 67, 330);
      } while (gap * gap > dist2(-50, 600, p.first, p.second) ||
               gap * gap > dist2(670, 600, p.first, p.second));
      EXPECT_EQ(b.zone(3).x, p.first);
      EXPECT_EQ(b.zone(3).y, p.second);
    }
  }
}

// Touching is accepted, overlapping by the least amount is redrawn: a zone
// against the walker gap, a snow patch against an earlier circle.
TEST(Setfd, TouchingIsAcceptedAndOverlappingRedrawn) {
  for (bool touching : {true, false}) {
    SCOPED_TRACE(touching);
    // Zone 3 (radius 50) and its first candidate; zone 1 (radius 10)
    // 80 = 50 + 10 + 20, or 79, to the right of it; zone 2 far away.
    auto [x, y] = Generator{0x0BADF00Du}.point(131, 358, 67, 330);
    float offset = touching ? 80.0f : 79.0f;
    GameProgram g;
    g.run([&, x = x, y = y](game::Zided& z) {
      z.DFWALL();
      set_generator(z.runtime(), 0x0BADF00Du);
      z.ZONE_A(1) = 10;
      z.ZONE_PX(1) = x + offset;
      z.ZONE_PY(1) = y;
      z.ZONE_PX(2) = -5000;
      z.DZONE(3);
    });
    game::Zided& z = g.game();
    EXPECT_EQ(z.ZONE_PX(3) == x && z.ZONE_PY(3) == y, touching);
    EXPECT_GE(dist2(z.ZONE_PX(3), z.ZONE_PY(3), x + offset, y), 80.0 * 80.0);

    // Patch 2 (radius 14) and its first candidate; entry 1 24 to the right
    // with radius 10 (touching) or 10.25.
    auto [sx, sy] = Generator{0x13579BDFu}.point(95, 430, 47, 402);
    double earlier_r = touching ? 10.0 : 10.25;
    GameProgram s;
    s.run([&, sx = sx, sy = sy](game::Zided& w) {
      w.DFWALL();
      set_generator(w.runtime(), 0x13579BDFu);
      w.WX(1) = sx + 24.0f;
      w.WY(1) = sy;
      w.WR(1) = earlier_r;
      w.SNOW(1, 1);
    });
    game::Zided& w = s.game();
    EXPECT_EQ((std::vector<double>{w.WR(2), w.WT(2)}), (std::vector<double>{14, 15}));
    EXPECT_EQ(w.WX(2) == sx && w.WY(2) == sy, touching);
    EXPECT_GE(dist2(w.WX(2), w.WY(2), sx + 24.0, sy), (14 + earlier_r) * (14 + earlier_r));
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

}  // namespace

// The field, its walls and the random landscape layout.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <tuple>
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
      if (std::uint32_t f = (state >> 9) & 0x7FFFFFu) return f / 8388608.0;
    }
  }
};

// Makes the runtime's generator state `target`.
void set_generator(rt::Runtime& r, std::uint32_t target) {
  r.RANDOMIZE(static_cast<std::int32_t>(r.random_state() ^ target));
}

double sq(double v) { return v * v; }

using Circles = std::vector<std::array<float, 4>>;  // x, y, radius, kind

Circles stored(game::Zided& z) {
  Circles out;
  for (int j = 1; j <= 100; ++j)
    out.push_back({static_cast<float>(z.SAVED_OX(j, 1)), static_cast<float>(z.SAVED_OY(j, 1)),
                   static_cast<float>(z.SAVED_OR(j, 1)), static_cast<float>(z.SAVED_OT(j, 1))});
  return out;
}

// A layout by the building rules, drawing from `gen`, with the zone tables
// of `z` (zones 1 and 2 the corner mountains).
Circles by_the_rules(Generator& gen, game::Zided& z) {
  // A centre for radius r: x in 81 + r .. 539 - r, then y in y0 + r .. y0 + 430 - r.
  auto centre = [&](double r, double y0) {
    auto x = static_cast<float>(81 + r + (458 - 2 * r) * gen.next());
    return std::pair{x, static_cast<float>(y0 + r + (430 - 2 * r) * gen.next())};
  };
  std::vector<float> px(31), py(31);
  px[1] = -50, py[1] = 600, px[2] = 670, py[2] = 600;
  for (int k = 3; k <= 30; ++k) {  // zones keep a walker's width (20) apart
    for (bool fits = false; !fits;) {
      std::tie(px[k], py[k]) = centre(z.ZONE_A(k), 17);
      fits = true;
      for (int j = 1; j < k; ++j) {
        double gap = z.ZONE_A(k) + z.ZONE_A(j) + 20;
        fits = fits && !(gap * gap > sq(double(px[j]) - px[k]) + sq(double(py[j]) - py[k]));
      }
    }
  }
  Circles out;
  for (int k = 1; k <= 30; ++k) {
    double a = z.ZONE_A(k);
    const auto kind = static_cast<float>(z.ZONE_B(k));
    if (a != 50 && a != 40 && a != 30) {
      out.push_back({px[k], py[k], static_cast<float>(a), kind});
      continue;
    }
    // A cluster: 5 x 16, 3 x 16 or 2 x 14, centres at least r apart.
    const double r = a == 30 ? 14 : 16;
    const std::size_t first = out.size(), m = a == 50 ? 5 : a == 40 ? 3 : 2;
    while (out.size() < first + m) {
      auto d = static_cast<float>((a - r) * gen.next());
      auto angle = static_cast<float>(2 * 3.14159 * gen.next());
      auto x = static_cast<float>(px[k] + d * std::cos(double(angle)));
      auto y = static_cast<float>(py[k] + d * std::sin(double(angle)));
      bool fits = true;
      for (std::size_t i = first; i < out.size(); ++i)
        fits = fits && !(r * r > sq(double(out[i][0]) - x) + sq(double(out[i][1]) - y));
      if (fits) out.push_back({x, y, static_cast<float>(r), kind});
    }
  }
  for (int k = 1; k <= 57; ++k) {  // snow patches overlap nothing placed before
    const double r = k <= 20 ? 14 : 10;
    for (bool fits = false; !fits;) {
      auto [x, y] = centre(r, 33);
      fits = true;
      for (const auto& c : out)
        fits = fits && !(sq(r + c[2]) > sq(double(c[0]) - x) + sq(double(c[1]) - y));
      if (fits) out.push_back({x, y, static_cast<float>(r), 15});
    }
  }
  return out;
}

// Two layouts built one after the other at each level: the second of the
// clock after the wait is XORed into the generator, which goes on.
TEST(Setfd, BuildsLayoutsByTheRulesFromTheGeneratorAndTheSecond) {
  for (int level : {1, 2, 3}) {
    SCOPED_TRACE(level);
    GameProgram g(testing_support::at_time({2024, 3, 9, 14, 27, 33}));
    const std::uint32_t state = 0x9E3779B9u * static_cast<std::uint32_t>(level);
    std::vector<Circles> built;
    g.run([&](game::Zided& z) {
      z.ZONE_A(1) = z.ZONE_A(2) = 270 + 30 * (3 - level);
      z.DFWALL();
      set_generator(z.runtime(), state);
      for (int b = 0; b < 2; ++b) {
        game::Single n = 0;
        z.SETFD(1, n);
        EXPECT_EQ(n, 100);
        built.push_back(stored(z));
      }
    });
    Generator gen{state ^ 34u};
    EXPECT_EQ(built[0], by_the_rules(gen, g.game()));
    gen.state ^= 35u;
    EXPECT_EQ(built[1], by_the_rules(gen, g.game()));
  }
}

TEST(Setfd, ShowsItsMessageForASecondOnTheWalledField) {
  GameProgram g;
  std::uint32_t before = 0, after = 0;
  g.run([&](game::Zided& z) {
    z.DFWALL();
    before = g.host().now();
    z.SETFD(1, z.NOBJ);
    after = g.host().now();
  });
  EXPECT_TRUE(g.shows(20, 28, " Lay out Mountains "));
  EXPECT_EQ(g.rt().text_colour(29, 20), g.rt().palette_rgb(15));
  EXPECT_EQ(g.rt().foreground(), 7);
  EXPECT_EQ(g.rt().cursor_row(), 21) << "the message ends its line";
  EXPECT_GT(after - before, 1000u);
  EXPECT_LT(after - before, 1010u);
  game::Zided& z = g.game();
  EXPECT_EQ((std::vector<double>{z.FIELD_X, z.FIELD_Y, z.FIELD_W, z.FIELD_H, z.NWALL}),
            (std::vector<double>{80, 16, 460, 432, 4}));
  const double walls[4][5] = {  // x1, y1, x2, y2, sign of the outward normal
      {80, 0, 80, 464, -1}, {540, 0, 540, 464, 1}, {80, 0, 540, 0, -1}, {80, 464, 540, 464, 1}};
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(
        (std::vector<double>{z.WALL_X1(k), z.WALL_Y1(k), z.WALL_X2(k), z.WALL_Y2(k), z.WALL_N(k)}),
        std::vector<double>(walls[k - 1], walls[k - 1] + 5))
        << "wall " << k;
  }
}

// A candidate exactly touching is kept, one overlapping drawn again: zone 3
// against zone 1 with the walker's gap, a snow patch against a circle.
TEST(Layout, TouchingIsAcceptedAndOverlappingRedrawn) {
  for (bool touching : {true, false}) {
    SCOPED_TRACE(touching);
    Generator zone{0x0BADF00Du}, snow{0x13579BDFu};
    const auto x = static_cast<float>(131 + 358 * zone.next()), y = static_cast<float>(67 + 330 * zone.next());
    const auto sx = static_cast<float>(95 + 430 * snow.next()), sy = static_cast<float>(47 + 402 * snow.next());
    GameProgram g;
    g.run([&](game::Zided& z) {
      z.DFWALL();
      z.ZONE_A(1) = 10;  // 50 + 10 + 20 = 80 from zone 3's first candidate, or 79
      z.ZONE_PX(1) = x + (touching ? 80.0f : 79.0f), z.ZONE_PY(1) = y, z.ZONE_PX(2) = -5000;
      set_generator(z.runtime(), 0x0BADF00Du);
      z.DZONE(3);
      z.WX(1) = sx + 24.0f, z.WY(1) = sy, z.WR(1) = touching ? 10 : 10.25;  // 14 + 10 = 24
      set_generator(z.runtime(), 0x13579BDFu);
      z.SNOW(1, 1);
    });
    game::Zided& z = g.game();
    EXPECT_EQ(z.ZONE_PX(3) == x && z.ZONE_PY(3) == y, touching);
    EXPECT_EQ(z.WX(2) == sx && z.WY(2) == sy, touching);
    EXPECT_EQ((std::vector<double>{z.WR(2), z.WT(2)}), (std::vector<double>{14, 15}));
  }
}

}  // namespace

// Numeric literals of the module are SINGLE constants: 3.14159 in a cluster
// circle's angle is the float nearest it, and the angle is reckoned in
// double and stored as a SINGLE.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>

#include "tests/support/game_program.h"

namespace {

// PZONE's centre for draws u1 (distance) and u2 (angle) in the zone at
// (300.5, 200.25) of radius 50, for circles of radius 16.
std::pair<float, float> centre(double pi, double u1, double u2) {
  double d = static_cast<float>((50 - 16) * u1);
  double a = static_cast<float>(2 * pi * u2);
  return {static_cast<float>(300.5 + d * std::cos(a)),
          static_cast<float>(200.25 + d * std::sin(a))};
}

TEST(Literals, ClusterCirclesTurnByTheSinglePi) {
  const double single_pi = static_cast<float>(3.14159);
  testing_support::GameProgram g;
  int told_apart = 0;  // draws where the double 3.14159 moves the centre
  g.run([&](game::Zided& z) {
    rt::Runtime& r = z.runtime();
    z.ZONE_PX(3) = 300.5;
    z.ZONE_PY(3) = 200.25;
    z.ZONE_A(3) = 50;
    for (int n = 0; n < 64; ++n) {
      std::uint32_t state = r.random_state();
      double u1 = r.RND(1), u2 = r.RND(1);
      r.RANDOMIZE(static_cast<std::int32_t>(r.random_state() ^ state));  // the same draws again
      z.PZONE(1, 3, 16, 1);
      auto [x, y] = centre(single_pi, u1, u2);
      EXPECT_EQ(z.PZX(1), x) << "draw " << n;
      EXPECT_EQ(z.PZY(1), y) << "draw " << n;
      told_apart += centre(3.14159, u1, u2) != std::pair{x, y};
    }
  });
  EXPECT_GT(told_apart, 0) << "the draws tell the two constants apart";
}

}  // namespace

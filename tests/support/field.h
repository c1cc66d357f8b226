// A playing field of the test's making: the standard walls and the
// obstacles a test places.
#pragma once

#include <map>

#include "tests/support/game_program.h"

namespace testing_support {

struct Circle {
  double x, y, r, kind = 15;
  double coef = 1;  // OCOEF
  double gone = 0;  // OGONE
};

// The walls as the start-up sets them (restitution 1).
inline void standard_walls(game::Zided& z) {
  z.DFWALL();
  for (int k = 1; k <= 4; ++k) z.WALL_E(k) = 1, z.WALL_ATTR(k) = 2;
}

// The obstacles given (numbered as given), every other one removed.
inline void place(game::Zided& z, const std::map<int, Circle>& obstacles) {
  z.NOBJ = 100;
  for (int j = 1; j <= 100; ++j) z.OGONE(j) = -1;
  for (const auto& [j, c] : obstacles) {
    z.OX(j) = c.x, z.OY(j) = c.y, z.OR(j) = c.r, z.OT(j) = c.kind;
    z.OCOEF(j) = c.coef, z.OGONE(j) = c.gone;
  }
}

}  // namespace testing_support

// A playing field of the test's making: the standard walls, walker 1 and
// the obstacles a test places, on a headless runtime with the MIDI recorder,
// stepped through the game loop's own code.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "platform/midi.h"
#include "tests/support/game_program.h"

namespace testing_support {

struct Circle {
  double x, y, r, kind = 15;
  double coef = 1;  // OCOEF
  double gone = 0;  // OGONE
};

struct Walker {
  double x, y, vx, vy;
  double active = 1;  // WACTIVE
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

class Field {
 public:
  // Walker 1 drawn at `w` among the obstacles given; `body` runs in the
  // program, by default one step.
  Field(
      const Walker& w, const std::map<int, Circle>& obstacles,
      const std::function<void(Field&)>& body = [](Field& f) { f.step(); }) {
    g.run([&](game::Zided& z) {
      standard_walls(z);
      z.MOPEN();
      place(z, obstacles);
      z.WR(1) = z.WALK_RADIUS;
      z.WX(1) = w.x, z.WY(1) = w.y, z.WVX(1) = w.vx, z.WVY(1) = w.vy, z.WACTIVE(1) = w.active;
      z.KAO();
      body(*this);
    });
  }

  // One simulation step; `ms` is the time it took on the program's clock.
  bool step() {
    std::uint32_t t0 = g.host().now();
    goal = z().simulation_step(steps_++);
    ms = g.host().now() - t0;
    return goal;
  }

  game::Zided& z() { return g.game(); }
  const std::vector<std::uint32_t>& midi() { return g.host().recorder()->messages(); }

  GameProgram g;
  bool goal = false;
  std::uint32_t ms = 0;

 private:
  long steps_ = 0;
};

// Stored layout 1 with the obstacles given; every other one a dot far
// outside the window.
inline void store_layout(game::Zided& z, const std::map<int, Circle>& obstacles) {
  for (int j = 1; j <= 100; ++j) {
    auto it = obstacles.find(j);
    Circle c = it != obstacles.end() ? it->second : Circle{-2000, -2000.0 - 30 * j, 1, 4};
    z.SAVED_OX(j, 1) = c.x, z.SAVED_OY(j, 1) = c.y, z.SAVED_OR(j, 1) = c.r;
    z.SAVED_OT(j, 1) = c.kind;
  }
}

}  // namespace testing_support

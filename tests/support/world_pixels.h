// Reading the game's pictures in world coordinates (y up from the bottom
// row), and pictures drawn by a reference program to compare against.
#pragma once

#include <functional>

#include "platform/surface.h"
#include "tests/support/game_program.h"

namespace testing_support {

// The backing bitmap's pixel at world (x, y).
inline platform::Rgb world_pixel(rt::Runtime& r, int x, int y) {
  return r.backing().get(x, r.screen_height() - 1 - y);
}

// Pixels that differ between two pictures of the same size.
inline int differing(const platform::Surface& a, const platform::Surface& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) n += a.get(x, y) != b.get(x, y);
  }
  return n;
}

// The backing bitmap after `draw` ran on a fresh game screen.
inline platform::Surface reference_picture(const std::function<void(game::Zided&)>& draw) {
  GameProgram g;
  platform::Surface out(1, 1);
  g.run([&](game::Zided& z) {
    draw(z);
    out = g.rt().backing();
  });
  return out;
}

}  // namespace testing_support

// The launch vector of an aiming drag, shared by FMVEL2 and its tests.
#pragma once

#include "runtime/values.h"

namespace game {

inline constexpr double kLaunchSpeed = 200;  // length of the launch vector
inline constexpr double kShortestAim = 0.5;  // field units a drag must reach

// For a drag by (dx, dy) in field units: false when it is shorter than
// kShortestAim (vx, vy untouched), else (vx, vy) of length kLaunchSpeed along it.
// Lengths are held as SINGLE, as the game keeps them.
inline bool launch_vector(double dx, double dy, rt::Single& vx, rt::Single& vy) {
  rt::Single sx = dx, sy = dy;
  rt::Single len = std::sqrt(sx * sx + sy * sy);
  if (kShortestAim > len) return false;
  vx = kLaunchSpeed * (sx / len);
  vy = kLaunchSpeed * (sy / len);
  return true;
}

}  // namespace game

// The start point and the aim, chosen with the mouse, and the geometry of a
// rebound off an obstacle.
#include <cmath>

#include "game/walker/aim.h"
#include "game/zided.h"

namespace game {

namespace {

// MOUSE's button state while a button is held.
constexpr int kHeld = -1;

double sq(double v) {
  return v * v;
}

}  // namespace

// Waits for a left click on the start edge; the pointer's x where the button
// comes up is the start. A point too close to a side wall or an obstacle
// (gone or not) beeps and the next click is awaited. The right button
// abandons with FLAG = -1.
void Zided::FMVEL1(Single& flag) {
  Sub sub(rt);
  Single d, x, y, j;
  int left = 0, right = 0;
  bool clear = true;
  st(); d = WALK_RADIUS;
  st(); flag = 0;
  for (;;) {
    do {
      st(); left = rt.MOUSE(0, 2, 0);
      st(); right = rt.MOUSE(0, 2, 1);
    } while (left != kHeld && right != kHeld);
    // Both buttons count as the left one.
    st(); left = rt.MOUSE(0, 2, 0);
    if (left != kHeld) {
      st(); right = rt.MOUSE(0, 2, 1);
      if (right == kHeld) {
        st(); flag = -1;
        return;
      }
    }
    do {
      st(); left = rt.MOUSE(0, 2, 0);
    } while (left == kHeld);
    st(); x = rt.PMAP(0, rt.MOUSE(0, 0), 2);
    st(); y = WALL_Y1(1) + d;
    st(); if (WALL_X1(1) + d > x || WALL_X2(2) - d < x) { rt.BEEP(); continue; }
    st(); clear = true;
    for (j = 1; j <= NOBJ; j += 1) {
      // Touching an obstacle is allowed; overlapping it is not.
      st(); if (sq(OR(j) + d) > sq(OX(j) - x) + sq(OY(j) - y)) { rt.BEEP(); clear = false; break; }
    }
    if (!clear) continue;
    st(); WX(1) = x;
    st(); WY(1) = y;
    return;
  }
}

// Waits for a drag with the left button and returns the launch vector along
// it in (VX, VY). A drag shorter than half a unit (a plain click) is ignored
// and the next press starts a new aim. The right button abandons with
// FLAG = -1 and leaves VX, VY alone.
void Zided::FMVEL2(Single& vx, Single& vy, Single& flag) {
  Sub sub(rt);
  Single x0, y0, x1, y1;
  int left = 0, right = 0;
  bool launched = false;
  st(); flag = 0;
  for (;;) {
    do {
      st(); left = rt.MOUSE(0, 2, 0);
      st(); right = rt.MOUSE(0, 2, 1);
    } while (left != kHeld && right != kHeld);
    st(); left = rt.MOUSE(0, 2, 0);
    if (left != kHeld) {
      st(); right = rt.MOUSE(0, 2, 1);
      if (right == kHeld) {
        st(); flag = -1;
        return;
      }
    }
    st(); x0 = rt.PMAP(0, rt.MOUSE(0, 0), 2);
    st(); y0 = rt.PMAP(0, rt.MOUSE(0, 1), 3);
    do {
      st(); left = rt.MOUSE(0, 2, 0);
    } while (left == kHeld);
    st(); x1 = rt.PMAP(0, rt.MOUSE(0, 0), 2);
    st(); y1 = rt.PMAP(0, rt.MOUSE(0, 1), 3);
    st(); launched = launch_vector(x1 - x0, y1 - y0, vx, vy);
    if (launched) return;
  }
}

// The point RD = OR(J) - WR(I) from the centre of obstacle J towards walker I.
void Zided::KASOC(double i, double j, Single& cx, Single& cy) {
  Sub sub(rt);
  Single rd, dx, dy, d;
  st(); rd = OR(j) - WR(i);
  st(); dx = WX(i) - OX(j);
  st(); dy = WY(i) - OY(j);
  st(); d = std::sqrt(dx * dx + dy * dy);
  st(); cx = OX(j) + (dx / d) * rd;
  st(); cy = OY(j) + (dy / d) * rd;
}

// Reflects walker I's velocity off obstacle J: the component along the line
// of centres (DX, DY) / DIST changes sign and is scaled by the mean of the
// two restitution factors; the tangential part stays.
void Zided::NBPCNV(double i, double j, double dx, double dy, double dist) {
  Sub sub(rt);
  Single nx, ny, e, vn, tx, ty, vr;
  st(); nx = dx / dist;
  st(); ny = dy / dist;
  st(); e = (WCOEF(i) + OCOEF(j)) / 2;
  st(); vn = WVX(i) * nx + WVY(i) * ny;
  st(); tx = WVX(i) - vn * nx;
  st(); ty = WVY(i) - vn * ny;
  st(); vr = -vn * e;
  st(); WVX(i) = vr * nx + tx;
  st(); WVY(i) = vr * ny + ty;
}

}  // namespace game

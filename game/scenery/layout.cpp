// The field and its walls, and the random landscape: corner mountains,
// terrain zones (single circles or clusters) and snow patches, built into a
// work list (WX, WY, WR, WT) and stored as a layout.
#include <cmath>

#include "game/zided.h"

namespace game {

namespace {

// Circle radius and count of a cluster zone. Only zone radii 30, 40 and 50
// lie strictly between 25 and 100 in the tables; any other radius there has
// no shape, and such a zone is laid as one circle.
bool cluster_shape(double zone_radius, Single& r, Single& m) {
  if (zone_radius == 50) {
    r = 16;
    m = 5;
  } else if (zone_radius == 40) {
    r = 16;
    m = 3;
  } else if (zone_radius == 30) {
    r = 14;
    m = 2;
  } else {
    return false;
  }
  return true;
}

double sq(double v) { return v * v; }

}  // namespace

void Zided::DFWALL() {
  Sub sub(rt);
  st(); FIELD_W = 460;
  st(); FIELD_H = 432;
  st(); FIELD_X = 80;
  st(); FIELD_Y = 16;
  st(); NWALL = 4;
  // Side walls at x = 80 and 540, start edge at y = 0, goal edge at y = 464.
  st(); WALL_X1(1) = FIELD_X;
  st(); WALL_Y1(1) = 0;
  st(); WALL_X2(1) = FIELD_X;
  st(); WALL_Y2(1) = FIELD_H + 2 * FIELD_Y;
  st(); WALL_N(1) = -1;
  st(); WALL_X1(2) = FIELD_X + FIELD_W;
  st(); WALL_Y1(2) = 0;
  st(); WALL_X2(2) = FIELD_X + FIELD_W;
  st(); WALL_Y2(2) = FIELD_H + 2 * FIELD_Y;
  st(); WALL_N(2) = 1;
  st(); WALL_X1(3) = FIELD_X;
  st(); WALL_Y1(3) = 0;
  st(); WALL_X2(3) = FIELD_X + FIELD_W;
  st(); WALL_Y2(3) = 0;
  st(); WALL_N(3) = -1;
  st(); WALL_X1(4) = FIELD_X;
  st(); WALL_Y1(4) = FIELD_H + 2 * FIELD_Y;
  st(); WALL_X2(4) = FIELD_X + FIELD_W;
  st(); WALL_Y2(4) = FIELD_H + 2 * FIELD_Y;
  st(); WALL_N(4) = 1;
}

void Zided::SETFD(double count, Single& n) {
  Sub sub(rt);
  Single v, e, z, r, m, j, patches;
  st(); rt.COLOR(0, 15);
  st(); LOCATE1(20, 29);
  st(); rt.PRINT(0, " Lay out Mountains ");
  st(); rt.COLOR(0, 7);
  st(); WAIT1(1000);
  // The second of the clock stirs the generator; it is not reset.
  st(); rt.RANDOMIZE(rt::CLNG(rt::VAL(rt::RIGHT(rt.TIME(), 2))));
  for (v = 1; v <= count; v += 1) {
    st(); DZONE(30);
    st(); e = 0;
    for (z = 1; z <= 30; z += 1) {
      st(); bool cluster = ZONE_A(z) > 25 && ZONE_A(z) < 100 && cluster_shape(ZONE_A(z), r, m);
      if (cluster) {
        st(); PZONE(1, z, r, m);
        for (j = 1; j <= m; j += 1) {
          st(); WX(e + j) = PZX(j);
          st(); WY(e + j) = PZY(j);
          st(); WR(e + j) = r;
          st(); WT(e + j) = ZONE_B(z);
        }
        st(); e = e + m;
      } else {
        st(); WX(e + 1) = ZONE_PX(z);
        st(); WY(e + 1) = ZONE_PY(z);
        st(); WR(e + 1) = ZONE_A(z);
        st(); WT(e + 1) = ZONE_B(z);
        st(); e = e + 1;
      }
    }
    st(); n = e;
    st(); patches = 57;
    st(); SNOW(n, patches);
    st(); n = n + patches;
    for (j = 1; j <= n; j += 1) {
      st(); SAVED_OX(j, v) = WX(j);
      st(); SAVED_OY(j, v) = WY(j);
      st(); SAVED_OR(j, v) = WR(j);
      st(); SAVED_OT(j, v) = WT(j);
    }
  }
}

void Zided::DZONE(double n) {
  Sub sub(rt);
  Single z, r, xmin, xmax, ymin, ymax, x, y, j, d;
  for (z = 3; z <= n; z += 1) {
    st(); r = ZONE_A(z);
    st(); xmin = FIELD_X + r + 1;
    st(); xmax = FIELD_X + FIELD_W - r - 1;
    st(); ymin = FIELD_Y + r + 1;
    st(); ymax = FIELD_Y + FIELD_H - r - 1;
    bool fits = false;
    while (!fits) {
      st(); x = xmin + std::fabs(xmax - xmin) * rt.RND(1);
      st(); y = ymin + std::fabs(ymax - ymin) * rt.RND(1);
      fits = true;
      // Every earlier zone, the corner mountains included, keeps a walker's
      // width of free ground around it.
      for (j = 1; j <= z - 1; j += 1) {
        st(); d = r + ZONE_A(j) + 2 * WALK_RADIUS;
        st(); if (sq(d) > sq(ZONE_PX(j) - x) + sq(ZONE_PY(j) - y)) { fits = false; break; }
      }
    }
    st(); ZONE_PX(z) = x;
    st(); ZONE_PY(z) = y;
  }
}

void Zided::PZONE(double mode, double z, double r, double m) {
  Sub sub(rt);
  Single q, j, i, d, a, x, y;
  st(); if (mode == 1) q = r * r; else if (mode == 2) q = 10 * r * r; else q = 0;
  for (j = 1; j <= m; j += 1) {
    bool fits = false;
    while (!fits) {
      st(); d = (ZONE_A(z) - r) * rt.RND(1);
      st(); a = 2 * 3.14159_sng * rt.RND(1);
      st(); x = ZONE_PX(z) + d * std::cos(a);
      st(); y = ZONE_PY(z) + d * std::sin(a);
      fits = true;
      for (i = 1; i <= j - 1; i += 1) {
        st(); if (q > sq(PZX(i) - x) + sq(PZY(i) - y)) { fits = false; break; }
      }
    }
    st(); PZX(j) = x;
    st(); PZY(j) = y;
  }
}

void Zided::SNOW(double first, double count) {
  Sub sub(rt);
  Single k, r, xmin, xmax, ymin, ymax, x, y, j;
  for (k = first + 1; k <= first + count; k += 1) {
    st(); r = SNOW_TAB(k - first);
    st(); xmin = FIELD_X + r + 1;
    st(); xmax = FIELD_X + FIELD_W - r - 1;
    st(); ymin = 2 * FIELD_Y + r + 1;
    st(); ymax = 2 * FIELD_Y + FIELD_H - r - 1;
    bool fits = false;
    while (!fits) {
      st(); x = xmin + std::fabs(xmax - xmin) * rt.RND(1);
      st(); y = ymin + std::fabs(ymax - ymin) * rt.RND(1);
      fits = true;
      // No overlap with anything placed before; touching is allowed.
      for (j = 1; j <= k - 1; j += 1) {
        st(); if (sq(r + WR(j)) > sq(WX(j) - x) + sq(WY(j) - y)) { fits = false; break; }
      }
    }
    st(); WX(k) = x;
    st(); WY(k) = y;
    st(); WR(k) = r;
    st(); WT(k) = 15;
  }
}

}  // namespace game

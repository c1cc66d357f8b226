// Drawing the field, the sky and the obstacles; wearing snow patches down;
// the ending, in which the surviving obstacles become trees that grow rings.
#include "game/zided.h"

namespace game {

using rt::Box;
using rt::CINT;
using rt::Coord;

void Zided::FRESH() {
  Sub sub(rt);
  st(); rt.CLS(0, 0);
  // The side margins; they reach beyond the window and are clipped.
  st(); rt.LINE(0, Coord{0, 0}, Coord{FIELD_X, 2000}, CINT(WALL_ATTR(2)), Box::BF);
  st(); rt.LINE(0, Coord{FIELD_X + FIELD_W + FIELD_Y, 0}, Coord{800, 2000}, CINT(WALL_ATTR(2)), Box::BF);
}

void Zided::FRESH1() {
  Sub sub(rt);
  Single k;
  st(); rt.LINE(0, Coord{FIELD_X - FIELD_Y, 0}, Coord{FIELD_X + FIELD_W + FIELD_Y, 2 * FIELD_Y + FIELD_H}, 2, Box::BF);
  st(); rt.LINE(0, Coord{FIELD_X, 0}, Coord{FIELD_X + FIELD_W, 2 * FIELD_Y + FIELD_H}, 0, Box::BF);
  // The goal line stops at FIELD_X + FIELD_H + FIELD_Y (528), short of the right wall.
  st(); rt.LINE(0, Coord{FIELD_X, 2 * FIELD_Y + FIELD_H}, Coord{FIELD_X + FIELD_H + FIELD_Y, 2 * FIELD_Y + FIELD_H}, 14);
  st(); SKY(TRIES_LEFT);
  for (k = 1; k <= NOBJ; k += 1) {
    st(); STONE(k);
  }
}

void Zided::SKY(double n) {
  Sub sub(rt);
  st(); rt.PALETTE_RGB(0, 1, CINT(SKY_G(n)), CINT(SKY_R(n)), CINT(SKY_B(n)));
}

void Zided::STONE(double k) {
  Sub sub(rt);
  Single r, i;
  st(); r = OR(k) - 1;
  st(); if (OGONE(k) < 0) return;
  st(); if (k < 3) {
    // A corner mountain in the sky colour with its outline, then the sky
    // strip beyond the goal edge.
    st(); rt.CIRCLE(0, Coord{OX(k), OY(k)}, r, CINT(OT(k)), 1, 0, 0, true);
    st(); rt.CIRCLE(0, Coord{OX(k), OY(k)}, r, 14);
    st(); rt.LINE(0, Coord{FIELD_X, 2 * FIELD_Y + FIELD_H + 1}, Coord{FIELD_X + FIELD_H + FIELD_Y, 527}, 1, Box::BF);
    return;
  }
  // A solid disc, ring by ring from the outside in.
  for (i = r; i >= 1; i += -1) {
    st(); rt.CIRCLE(0, Coord{OX(k), OY(k)}, i, CINT(OT(k)));
  }
}

void Zided::DSTONE(double k) {
  Sub sub(rt);
  st(); rt.CIRCLE(0, Coord{OX(k), OY(k)}, OR(k) - 1, 0, 1, 0, 0, true);
  st(); if (OR(k) > 10) {
    st(); OR(k) = OR(k) - 4;
    st(); STONE(k);
  } else {
    st(); OGONE(k) = -1;
  }
}

void Zided::ENDING() {
  Sub sub(rt);
  Single k;
  for (k = 3; k <= NOBJ; k += 1) {
    st(); if (OGONE(k) >= 0 && (OT(k) < 13 || OT(k) == 15)) TREE(k);
  }
  st(); GROW2();
}

void Zided::TREE(double k) {
  Sub sub(rt);
  Single e;
  st(); e = OT(k);
  st(); if (k > 43) e = TREE_TAB(k - 43);
  st(); rt.CIRCLE(0, Coord{OX(k), OY(k)}, 9, CINT(e));
  st(); rt.CIRCLE(0, Coord{OX(k), OY(k)}, 8, CINT(e));
  st(); rt.CIRCLE(0, Coord{OX(k), OY(k)}, 6, CINT(e));
  st(); rt.CIRCLE(0, Coord{OX(k), OY(k)}, 4, CINT(e));
  st(); rt.CIRCLE(0, Coord{OX(k), OY(k)}, 4, CINT(e), 1, 0, 0, true);
}

void Zided::GROW2() {
  Sub sub(rt);
  Single s, k, e, g, limit;
  for (s = 1; s <= 20; s += 1) {
    for (k = 3; k <= 100; k += 1) {
      st(); if (!(OGONE(k) >= 0 && (OT(k) < 13 || OT(k) == 15))) continue;
      st(); e = OT(k);
      st(); if (k > 43) e = TREE_TAB(k - 43);
      st(); g = 9 + 2 * s;
      // Rings grow to six pixels beyond the obstacle's disc (radius OR - 1).
      st(); limit = OR(k) - 1 + 6;
      st(); if (limit >= g) rt.CIRCLE(0, Coord{OX(k), OY(k)}, g, CINT(e));
    }
    st(); WAIT1(200);
  }
}

}  // namespace game

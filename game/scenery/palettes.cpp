// The colour sets: the basic bright colours of the menus, their rotation for
// the demo, the landscape of a game and the two other stages of the ending.
#include "game/zided.h"

namespace game {

using rt::CINT;

void Zided::PALET0() {
  Sub sub(rt);
  Single l;
  for (l = 1; l <= 7; l += 1) {
    st(); rt.PALETTE(0, CINT(COLMAP(l)), CINT(PALORD(l)));
  }
}

void Zided::PALET1(double n) {
  Sub sub(rt);
  Single s, i;
  Vec t(7);
  st(); s = n - 1;
  // Colour number i takes the basic colour of number i + s, cyclically.
  for (i = 1; i <= 7; i += 1) {
    st(); t(i) = PALORD(rt::MOD(i + s, 7) + 1);
  }
  for (i = 1; i <= 7; i += 1) {
    st(); rt.PALETTE(0, CINT(COLMAP(i)), CINT(t(i)));
  }
}

void Zided::PALET2() {
  Sub sub(rt);
  Single e;
  st(); rt.PALETTE_RGB(0, 0, 80, 0, 0);
  st(); rt.PALETTE_RGB(0, 2, 140, 0, 0);
  st(); rt.PALETTE_RGB(0, 3, 200, 200, 20);
  for (e = 4; e <= 7; e += 1) {
    st(); rt.PALETTE_RGB(0, CINT(e), CINT(255 - 25 * (e - 4)), 0, 0);
  }
  st(); rt.PALETTE_RGB(0, 8, 255, 75, 0);
  st(); rt.PALETTE_RGB(0, 9, 255, 75, 75);
  st(); rt.PALETTE_RGB(0, 10, 255, 75, 150);
  st(); rt.PALETTE_RGB(0, 11, 255, 0, 75);
  st(); rt.PALETTE_RGB(0, 12, 255, 75, 75);
  st(); rt.PALETTE_RGB(0, 13, 135, 0, 150);
  st(); rt.PALETTE_RGB(0, 14, 150, 150, 150);
}

void Zided::PALETS() {
  Sub sub(rt);
  Single e;
  for (e = 8; e <= 12; e += 1) {
    st(); rt.PALETTE_RGB(0, CINT(e), CINT(200 - 10 * (e - 8)), 250, 250);
  }
}

void Zided::PALETM() {
  Sub sub(rt);
  Single e;
  for (e = 4; e <= 12; e += 1) {
    st(); rt.PALETTE_RGB(0, CINT(e), CINT(55 + 25 * (e - 4)), 255, 0);
  }
}

}  // namespace game

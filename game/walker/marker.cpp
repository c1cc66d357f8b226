// The walker marker, the try figure in its three styles and the column of
// try icons at the right edge of the screen.
#include "game/zided.h"

namespace game {

void Zided::KAO() {
  Sub sub(rt);
  st(); WR(1) = WALK_RADIUS;
  st(); rt.CIRCLE(0, rt::Coord{WX(1), WY(1)}, WR(1) - 1, rt::CINT(WCOLOR(1)), 1);
}

void Zided::DKAO() {
  Sub sub(rt);
  // The ring goes; whatever it covered stays black.
  st(); rt.CIRCLE(0, rt::Coord{WX(1), WY(1)}, WR(1) - 1, 0, 1);
}

// The figure: a body ellipse and two spots towards its left end, all with
// aspect 0.5.
void Zided::MOSX(double col, double x, double y, double r) {
  Sub sub(rt);
  Single y1, y2, xs;
  st(); y1 = y - r / 5.5;
  st(); y2 = y + r / 5.5;
  st(); xs = x - 0.6_sng * r;
  st(); rt.CIRCLE(0, rt::Coord{x, y}, r, rt::CINT(col), 0.5, 0, 0, true);
  st(); rt.CIRCLE(0, rt::Coord{xs, y1}, r / 4 - 1, 0, 0.5, 0, 0, true);
  st(); rt.CIRCLE(0, rt::Coord{xs, y2}, r / 4 - 1, 0, 0.5, 0, 0, true);
}

void Zided::MOSX1(double col, double x, double y, double r) {
  Sub sub(rt);
  Single y1, y2, xs;
  st(); y1 = y - r / 5.5;
  st(); y2 = y + r / 5.5;
  st(); xs = x - 0.6_sng * r;
  st(); rt.CIRCLE(0, rt::Coord{x, y}, r, rt::CINT(col), 0.5);
  st(); rt.CIRCLE(0, rt::Coord{xs, y1}, r / 4, rt::CINT(col), 0.5);
  st(); rt.CIRCLE(0, rt::Coord{xs, y2}, r / 4, rt::CINT(col), 0.5);
}

void Zided::MOSX2(double col, double x, double y, double r) {
  Sub sub(rt);
  Single y1, y2, xs;
  st(); y1 = y - r / 5.5;
  st(); y2 = y + r / 5.5;
  st(); xs = x - 0.6_sng * r;
  st(); rt.CIRCLE(0, rt::Coord{x, y}, r, rt::CINT(col), 0.5);
  st(); rt.CIRCLE(0, rt::Coord{xs, y1}, r / 4, rt::CINT(col), 0.5, 0, 0, true);
  st(); rt.CIRCLE(0, rt::Coord{xs, y2}, r / 4, rt::CINT(col), 0.5, 0, 0, true);
}

// Captures the empty corner and the try figure as 40x20 blocks; the caller
// clears the screen before and after.
void Zided::MSPIC() {
  Sub sub(rt);
  st(); rt.LINE(0, rt::Coord{0, 0}, rt::Coord{300, 0}, 0);
  st(); rt.GET(0, rt::Coord{0, 0}, rt::Coord{39, 19}, ICON_BLANK.bytes());
  st(); MOSX(TITLE_COLOR, 20, 10, 16);
  st(); rt.GET(0, rt::Coord{0, 0}, rt::Coord{39, 19}, ICON_TRY.bytes());
}

// Slot k of the column has its lower corner at (600, (k - 1) * 19): the
// icons are 20 high, so each covers the last row of the one below it.
void Zided::MSDISP() {
  Sub sub(rt);
  Single k, y;
  st(); y = 0;
  for (k = 1; k <= TRIES_LEFT; k += 1) {
    st(); y = (k - 1) * 19;
    st(); if (TRY_LOG(k) == 0) rt.PUT(0, rt::Coord{600, y}, rt::STEP(39, 19), ICON_TRY.bytes(), 0);
    st(); if (TRY_LOG(k) == -1) rt.PUT(0, rt::Coord{600, y}, rt::STEP(39, 19), ICON_BLANK.bytes(), 0);
  }
  st(); if (TRIES_LEFT == 0) rt.PUT(0, rt::Coord{600, 0}, rt::STEP(39, 19), ICON_BLANK.bytes(), 0);
  // Wipe the icon of the try just spent, one slot above the last one shown.
  st(); if (TRIES > TRIES_LEFT && TRIES > 1) rt.PUT(0, rt::Coord{600, y + 19}, rt::STEP(39, 19), ICON_BLANK.bytes(), 0);
}

// Spends the last available slot: the records above it move down one and
// slot TRIES_LEFT becomes spent. Called before TRIES_LEFT is decreased.
void Zided::MSADD(double /*op*/, double /*kind*/) {
  Sub sub(rt);
  Single n, k;
  st(); n = TRIES_LEFT;
  for (k = 1; k <= n - 1; k += 1) {
    st(); TRY_LOG(k) = TRY_LOG(k + 1);
  }
  st(); TRY_LOG(n) = -1;
}

}  // namespace game

// The title animations: a growing figure with the title, and a ring of
// figures around it under changing palettes.
#include <cmath>

#include "game/zided.h"

namespace game {

namespace {

// Centre of both animations.
constexpr double kCentreX = 300;
constexpr double kCentreY = 240;

}  // namespace

// Grows an outline figure in eight steps, each shown for TITLE_DELAY ms and
// erased, then leaves the final size with filled spots and TEXT under it.
void Zided::FZMMS(double col, const std::string& text) {
  Sub sub(rt);
  Single k, r;
  for (k = 1; k <= 8; k += 1) {
    st(); r = 14 + (k - 1) * 8;
    st(); MOSX1(col, kCentreX, kCentreY, r);
    st(); WAIT1(TITLE_DELAY);
    st(); MOSX1(0, kCentreX, kCentreY, r);
  }
  st(); MOSX2(col, kCentreX, kCentreY, r);
  st(); rt.LOCATE(0, 36, 14);
  st(); rt.PRINT(0, text);
  st(); WAIT1(500);
}

// A clockwise ring of 45 filled figures in colour numbers 1..7, drawn three
// times, each pass followed by its palette rotation; the basic palette is
// back at the end.
void Zided::DEMOS() {
  Sub sub(rt);
  Single p, k, a, x, y, n;
  for (p = 1; p <= 3; p += 1) {
    for (k = 0; k <= 44; k += 1) {
      st(); a = k * (-8) * 3.14159_sng / 180;
      st(); x = 110 * std::cos(a) + kCentreX;
      st(); y = 110 * std::sin(a) + kCentreY;
      st(); n = rt::MOD(k, 7) + 1;
      st(); MOSX(COLMAP(n), x, y, 20);
      st(); WAIT1(DEMO_DELAY);
    }
    st(); PALET1(p);
  }
  st(); PALET0();
}

}  // namespace game

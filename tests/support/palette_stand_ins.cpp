// PALET0 and PALET1 for test builds that do not have the scenery code yet.
// They are weak: the game library's own definitions replace them when they
// are linked. They follow the same rules, so tests of the title animation
// read the same colours either way.
#include "game/zided.h"

namespace game {

// One game statement per line, as in game/.
// clang-format off

[[gnu::weak]] void Zided::PALET0() {
  Sub sub(rt);
  for (int l = 1; l <= 7; ++l) {
    st(); rt.PALETTE(0, rt::CINT(COLMAP(l)), rt::CINT(PALORD(l)));
  }
}

[[gnu::weak]] void Zided::PALET1(double n) {
  Sub sub(rt);
  Single t[8];
  Single s = n - 1;
  for (int i = 1; i <= 7; ++i) {
    st(); t[i] = PALORD(rt::MOD(i + s, 7) + 1);
  }
  for (int i = 1; i <= 7; ++i) {
    st(); rt.PALETTE(0, rt::CINT(COLMAP(i)), rt::CINT(t[i]));
  }
}

// clang-format on

}  // namespace game

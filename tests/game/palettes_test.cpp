// The colour sets of menus, demo, landscape and ending.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <functional>
#include <string>

#include "tests/support/game_program.h"

namespace {

using platform::Rgb;
using testing_support::GameProgram;

using Palette = std::array<Rgb, 16>;

// Gives every entry a marker of its own and runs `body`: the palette after
// it, and the entries 0..15 it changed as RRGGBB ("-" where unchanged).
std::pair<Palette, std::string> change(const std::function<void(game::Zided&)>& body) {
  GameProgram g;
  std::pair<Palette, std::string> out;
  g.run([&](game::Zided& z) {
    for (int e = 0; e < 16; ++e) z.runtime().PALETTE_RGB(0, e, 7, 3 * e + 1, 9);
    Palette before;
    for (std::size_t e = 0; e < 16; ++e) before[e] = g.rt().palette_rgb(static_cast<int>(e));
    body(z);
    for (std::size_t e = 0; e < 16; ++e) {
      out.first[e] = g.rt().palette_rgb(static_cast<int>(e));
      char hex[8];
      std::snprintf(hex, sizeof hex, "%06X", out.first[e]);
      out.second += (e ? " " : "") + (out.first[e] == before[e] ? std::string("-") : hex);
    }
  });
  return out;
}

TEST(Palettes, EachSetChangesItsEntriesAndNothingElse) {
  const std::pair<std::function<void(game::Zided&)>, const char*> cases[] = {
      {[](game::Zided& z) { z.PALET0(); },
       "- - - 0000FF - FF0000 - FF00FF - 00FF00 - 00FFFF - FFFF00 - FFFFFF"},
      // Colour number i (entry COLMAP(i)) takes the colour of number i + 1.
      {[](game::Zided& z) { z.PALET1(1); },
       "- - - 00FF00 - FF00FF - FFFF00 - 00FFFF - FF0000 - FFFFFF - 0000FF"},
      // The landscape: sky (1) and snow (15) are left alone.
      {[](game::Zided& z) { z.PALET2(); },
       "005000 - 008C00 C8C814 00FF00 00E600 00CD00 00B400 4BFF00 4BFF4B 4BFF96 00FF4B 4BFF4B "
       "008796 969696 -"},
      {[](game::Zided& z) { z.PALETS(); },
       "- - - - - - - - FAC8FA FABEFA FAB4FA FAAAFA FAA0FA - - -"},
      {[](game::Zided& z) { z.PALETM(); },
       "- - - - FF3700 FF5000 FF6900 FF8200 FF9B00 FFB400 FFCD00 FFE600 FFFF00 - - -"},
  };
  for (const auto& [set, want] : cases) EXPECT_EQ(change(set).second, want);
}

TEST(Palet1, ShiftsByNMinusOneMorePlacesCyclically) {
  const std::size_t entries[8] = {0, 3, 9, 11, 5, 7, 13, 15};  // COLMAP(1..7)
  Palette base = change([](game::Zided& z) { z.PALET0(); }).first;
  for (int n : {2, 3, 9}) {
    Palette p = change([n](game::Zided& z) { z.PALET1(n); }).first;
    for (int i = 1; i <= 7; ++i) {
      EXPECT_EQ(p[entries[i]], base[entries[(i + n - 1) % 7 + 1]]) << "n " << n << " number " << i;
    }
  }
}

}  // namespace

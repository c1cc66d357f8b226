// The colour sets of menus, demo, landscape and ending.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "tests/support/game_program.h"

namespace {

using platform::Rgb;
using testing_support::GameProgram;

constexpr Rgb rgb(int r, int g, int b) {
  return static_cast<Rgb>((r << 16) | (g << 8) | b);
}

using Palette = std::array<Rgb, 16>;

// Fills every entry with a marker of its own, runs `body`, and returns the
// palette before and after.
struct Change {
  Palette before, after;
  // Entries that differ.
  std::map<int, Rgb> changed() const {
    std::map<int, Rgb> m;
    for (int e = 0; e < 16; ++e) {
      if (before[static_cast<std::size_t>(e)] != after[static_cast<std::size_t>(e)]) {
        m[e] = after[static_cast<std::size_t>(e)];
      }
    }
    return m;
  }
};

Palette palette_of(rt::Runtime& r) {
  Palette p{};
  for (int e = 0; e < 16; ++e) p[static_cast<std::size_t>(e)] = r.palette_rgb(e);
  return p;
}

Change change(const std::function<void(game::Zided&)>& body) {
  GameProgram g;
  Change c{};
  g.run([&](game::Zided& z) {
    for (int e = 0; e < 16; ++e) z.runtime().PALETTE_RGB(0, e, 7, 3 * e + 1, 9);
    c.before = palette_of(z.runtime());
    body(z);
    c.after = palette_of(z.runtime());
  });
  return c;
}

const Rgb kBlue = rgb(0, 0, 255), kGreen = rgb(0, 255, 0), kCyan = rgb(0, 255, 255),
          kRed = rgb(255, 0, 0), kMagenta = rgb(255, 0, 255), kYellow = rgb(255, 255, 0),
          kWhite = rgb(255, 255, 255);

TEST(Palet0, SetsTheSevenBrightEntriesAndNothingElse) {
  std::map<int, Rgb> want = {{3, kBlue},    {9, kGreen},   {11, kCyan}, {5, kRed},
                             {7, kMagenta}, {13, kYellow}, {15, kWhite}};
  EXPECT_EQ(change([](game::Zided& z) { z.PALET0(); }).changed(), want);
}

TEST(Palet1, MovesEveryBrightEntryOnByOnePlace) {
  // Colour number i (entry COLMAP(i)) takes the colour of number i + 1.
  std::map<int, Rgb> want = {{3, kGreen},  {9, kCyan},   {11, kRed}, {5, kMagenta},
                             {7, kYellow}, {13, kWhite}, {15, kBlue}};
  EXPECT_EQ(change([](game::Zided& z) { z.PALET1(1); }).changed(), want);
}

TEST(Palet1, ShiftsByNMinusOneMorePlacesCyclically) {
  const int entries[8] = {0, 3, 9, 11, 5, 7, 13, 15};  // COLMAP(1..7)
  Palette base = change([](game::Zided& z) { z.PALET0(); }).after;
  for (int n = 1; n <= 3; ++n) {
    Palette p = change([n](game::Zided& z) { z.PALET1(n); }).after;
    for (int i = 1; i <= 7; ++i) {
      int from = (i + n - 1) % 7 + 1;
      EXPECT_EQ(p[static_cast<std::size_t>(entries[i])],
                base[static_cast<std::size_t>(entries[from])])
          << "n " << n << " colour number " << i;
    }
  }
  EXPECT_EQ(change([](game::Zided& z) { z.PALET1(8); }).after,
            change([](game::Zided& z) { z.PALET1(1); }).after);
  EXPECT_EQ(change([](game::Zided& z) { z.PALET1(9); }).after,
            change([](game::Zided& z) { z.PALET1(2); }).after);
}

const std::map<int, Rgb> kLandscape = {
    {0, rgb(0, 80, 0)},     {2, rgb(0, 140, 0)},     {3, rgb(200, 200, 20)}, {4, rgb(0, 255, 0)},
    {5, rgb(0, 230, 0)},    {6, rgb(0, 205, 0)},     {7, rgb(0, 180, 0)},    {8, rgb(75, 255, 0)},
    {9, rgb(75, 255, 75)},  {10, rgb(75, 255, 150)}, {11, rgb(0, 255, 75)},  {12, rgb(75, 255, 75)},
    {13, rgb(0, 135, 150)}, {14, rgb(150, 150, 150)}};

TEST(Palet2, SetsTheLandscapeColoursAndLeavesSkyAndSnow) {
  EXPECT_EQ(change([](game::Zided& z) { z.PALET2(); }).changed(), kLandscape);
}

TEST(Palet2, SecondCallChangesNothingAndOldPixelsKeepTheirColour) {
  GameProgram g;
  g.run([](game::Zided& z) {
    rt::Runtime& r = z.runtime();
    r.LINE(0, rt::Coord{10, 10}, rt::Coord{20, 20}, 4, rt::Box::BF);
    z.PALET2();
    Palette once = palette_of(r);
    z.PALET2();
    EXPECT_EQ(palette_of(r), once);
    EXPECT_EQ(r.backing().get(15, 503 - 15), rgb(128, 0, 0)) << "drawn in the default entry 4";
    r.LINE(0, rt::Coord{30, 10}, rt::Coord{40, 20}, 4, rt::Box::BF);
    EXPECT_EQ(r.backing().get(35, 503 - 15), rgb(0, 255, 0));
  });
}

TEST(Palets, PinkVioletOnEightToTwelveOnly) {
  std::map<int, Rgb> want = {{8, rgb(250, 200, 250)},
                             {9, rgb(250, 190, 250)},
                             {10, rgb(250, 180, 250)},
                             {11, rgb(250, 170, 250)},
                             {12, rgb(250, 160, 250)}};
  EXPECT_EQ(change([](game::Zided& z) { z.PALETS(); }).changed(), want);
  // After the landscape, entries 4..7 keep their greens.
  Palette after = change([](game::Zided& z) {
                    z.PALET2();
                    z.PALETS();
                  }).after;
  for (int e = 4; e <= 7; ++e) EXPECT_EQ(after[static_cast<std::size_t>(e)], kLandscape.at(e)) << e;
}

TEST(Paletm, OrangeToYellowOnFourToTwelve) {
  std::map<int, Rgb> want;
  const int green[9] = {55, 80, 105, 130, 155, 180, 205, 230, 255};
  for (int e = 4; e <= 12; ++e) want[e] = rgb(255, green[e - 4], 0);
  EXPECT_EQ(change([](game::Zided& z) { z.PALETM(); }).changed(), want);
}

}  // namespace

// Drawing the field and its obstacles, wearing snow patches down, and the
// tree ending.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <string>

#include "platform/surface.h"
#include "tests/support/game_program.h"
#include "tests/support/pixels.h"

namespace {

using platform::Rgb;
using testing_support::GameProgram;
using testing_support::use_stored_layout;

constexpr Rgb rgb(int r, int g, int b) {
  return static_cast<Rgb>((r << 16) | (g << 8) | b);
}

constexpr Rgb kFloor = rgb(0, 80, 0);
constexpr Rgb kFrame = rgb(0, 140, 0);
constexpr Rgb kGrey = rgb(150, 150, 150);
constexpr Rgb kWhite = rgb(255, 255, 255);
constexpr Rgb kLastSky = rgb(120, 120, 50);  // band 10

GameProgram field() {
  return GameProgram(testing_support::at_time({2024, 3, 9, 9, 5, 44}));
}

// The start-up's field and layout, then a game's first picture: PALET2,
// FRESH, layout 1 copied into play, the text cleared, FRESH1.
void start_game(game::Zided& z) {
  z.DFWALL();
  for (int k = 1; k <= 4; ++k) {
    z.WALL_E(k) = 1;
    z.WALL_ATTR(k) = 2;
  }
  z.SETFD(1, z.NOBJ);
  z.PALET2();
  z.FRESH();
  use_stored_layout(z);
  z.TRIES_LEFT = 10;
  z.runtime().CLS(0, 4);
  z.FRESH1();
}

// Every pixel within `radius` of obstacle k's centre has colour c.
bool solid(GameProgram& g, int k, double radius, Rgb c) {
  int cx = static_cast<int>(std::lround(g.game().OX(k)));
  int cy = static_cast<int>(std::lround(g.game().OY(k)));
  auto reach = static_cast<int>(radius);
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      if (dx * dx + dy * dy <= radius * radius && g.at(cx + dx, cy + dy) != c) return false;
    }
  }
  return true;
}

TEST(Field, FirstPictureOfAGameHasTheLandscapeColours) {
  GameProgram g = field();
  g.run(start_game);
  // Margins and the 16-pixel frame, below the reach of the mountains.
  for (int x : {0, 40, 63, 64, 79, 541, 555, 556, 639}) EXPECT_EQ(g.at(x, 100), kFrame) << x;
  // The floor: the rows below the lowest obstacle edge (y 17).
  for (int x : {80, 81, 300, 539, 540}) {
    for (int y : {0, 8, 16}) EXPECT_EQ(g.at(x, y), kFloor) << x << "," << y;
  }
  // The goal line in the pass between the mountains, the sky strip beyond it.
  EXPECT_EQ(g.at(310, 464), kGrey);
  EXPECT_EQ(g.at(310, 465), kLastSky);
  EXPECT_EQ(g.at(310, 503), kLastSky);
  // Mountain 1 in the sky colour over field and frame, its outline grey
  // where it crosses the row y = 400 (x = -50 + sqrt(299^2 - 200^2) = 172.3).
  for (int x : {70, 81}) EXPECT_EQ(g.at(x, 460), kLastSky) << x;
  EXPECT_EQ(g.at(150, 400), kLastSky);
  const platform::Surface& s = g.rt().backing();
  EXPECT_GE(testing_support::count_in(s, kGrey, 168, 503 - 400, 176, 503 - 400), 1);
  EXPECT_EQ(testing_support::count_in(s, kGrey, 180, 503 - 400, 190, 503 - 400), 0);
  // A snow patch and a single zone circle are solid discs in their colours.
  EXPECT_TRUE(solid(g, 44, 11, kWhite));
  EXPECT_TRUE(solid(g, 64, 7, kWhite));
  EXPECT_TRUE(solid(g, 23, 22, rgb(0, 255, 75))) << "radius 25, kind 11";
  EXPECT_TRUE(solid(g, 40, 7, rgb(75, 255, 150))) << "radius 10, kind 10";
  EXPECT_EQ(g.at(std::lround(g.game().OX(3)), std::lround(g.game().OY(3))), kGrey)
      << "cluster circle, kind 14";
}

TEST(Field, GoalLineAndSkyStripStopAt528) {
  GameProgram g = field();
  g.run([](game::Zided& z) {
    z.DFWALL();
    z.WALL_ATTR(2) = 2;
    z.PALET2();
    z.FRESH();
    // Only two tiny mountains far outside the window: the strip alone shows.
    z.NOBJ = 2;
    for (int k = 1; k <= 2; ++k) {
      z.OX(k) = z.OY(k) = -1000;
      z.OR(k) = 10;
      z.OT(k) = 1;
    }
    z.TRIES_LEFT = 3;
    z.FRESH1();
  });
  const Rgb sky = rgb(255, 200, 200);  // band 3
  const struct {
    int x, y;
    Rgb c;
  } at[] = {{80, 464, kGrey},   {528, 464, kGrey},  {529, 464, kFloor}, {540, 464, kFloor},
            {541, 464, kFrame}, {80, 465, sky},     {528, 503, sky},    {79, 470, kFrame},
            {529, 470, kFloor}, {555, 503, kFloor}, {540, 465, kFloor}};
  for (const auto& p : at) EXPECT_EQ(g.at(p.x, p.y), p.c) << p.x << "," << p.y;
}

// Before the last launch the mountains and the strip are dark red (band 1;
// bands 10 and 3 are seen above).
TEST(Field, SkyTakesItsBandFromTriesLeft) {
  GameProgram g = field();
  g.run([&](game::Zided& z) {
    start_game(z);
    z.TRIES_LEFT = 1;
    z.FRESH1();
  });
  EXPECT_EQ(g.at(81, 460), rgb(150, 50, 50));
  EXPECT_EQ(g.at(310, 480), rgb(150, 50, 50));
}

TEST(Field, DstoneWearsAPatchOfFourteenToTenAndThenAway) {
  GameProgram g = field();
  g.run([&](game::Zided& z) {
    start_game(z);
    z.DSTONE(44);
    EXPECT_EQ(z.OR(44), 10.0);
    EXPECT_EQ(z.OGONE(44), 0.0);
    EXPECT_EQ(z.SAVED_OR(44, 1), 14.0) << "the stored layout keeps the patch whole";
    EXPECT_TRUE(solid(g, 44, 7, kWhite));
    int cx = static_cast<int>(std::lround(z.OX(44))), cy = static_cast<int>(std::lround(z.OY(44)));
    for (int d : {-12, 11}) {
      EXPECT_EQ(g.at(cx + d, cy), kFloor) << d;
      EXPECT_EQ(g.at(cx, cy + d), kFloor) << d;
    }
    z.DSTONE(44);
    z.DSTONE(64);  // radius 10: one hit
    z.FRESH1();    // removed patches are not drawn again
  });
  game::Zided& z = g.game();
  EXPECT_EQ((std::vector<double>{z.OGONE(44), z.OR(44), z.OGONE(64), z.OR(64)}),
            (std::vector<double>{-1, 10, -1, 10}));
  EXPECT_TRUE(solid(g, 44, 12, kFloor));
  EXPECT_TRUE(solid(g, 64, 8, kFloor));
  EXPECT_TRUE(solid(g, 51, 11, kWhite)) << "a neighbour is still there";
}

// The ending on a screen of its own: a few obstacles, the rest removed, and
// every palette entry a colour of its own.
TEST(Ending, TreesGrowRingsToSixPixelsBeyondTheirDiscOverTwentySteps) {
  auto entry_colour = [](int e) { return rgb(16 * e, 255 - 16 * e, 8 * e + 1); };
  GameProgram g;
  std::uint32_t before = 0, after = 0;
  g.run([&](game::Zided& z) {
    rt::Runtime& r = z.runtime();
    for (int e = 0; e <= 15; ++e) r.PALETTE_RGB(0, e, 255 - 16 * e, 16 * e, 8 * e + 1);
    r.CLS(0, 0);
    z.NOBJ = 100;
    for (int k = 1; k <= 100; ++k) z.OGONE(k) = -1;
    // {k, x, y, r, kind}: a corner mountain, cluster circles, single zone
    // circles, snow patches (trees in TREE_TAB(k - 43)), one worn away.
    const double placed[][5] = {
        {1, 120, 400, 5, 1},    {5, 220, 400, 16, 14},  {10, 320, 400, 16, 13},
        {40, 120, 200, 10, 10}, {25, 230, 200, 25, 4},  {30, 340, 200, 16, 9},
        {52, 440, 200, 14, 15}, {66, 540, 200, 10, 15}, {64, 500, 400, 10, 15}};
    for (const auto& p : placed) {
      z.OX(p[0]) = p[1];
      z.OY(p[0]) = p[2];
      z.OR(p[0]) = p[3];
      z.OT(p[0]) = p[4];
      z.OGONE(p[0]) = p[0] == 64 ? -1 : 0;
    }
    before = g.host().millis();
    z.ENDING();
    after = g.host().millis();
  });
  // Distances d = 0..30 left of (x, y) on its row with entry e's colour.
  auto on_row = [&](int x, int y, int e) {
    std::set<int> s;
    for (int d = 0; d <= 30; ++d) {
      if (g.at(x - d, y) == entry_colour(e)) s.insert(d);
    }
    return s;
  };
  // Radius 10: the tree (9, 8, 6, 4 and a filled 4) and rings 11, 13, 15 only.
  EXPECT_EQ(on_row(120, 200, 10), (std::set<int>{0, 1, 2, 3, 4, 6, 8, 9, 11, 13, 15}));
  // Radius 25: rings 11..29; 16: 11..21; snow patches of 14 and 10 in their
  // tree colours TREE_TAB(9) = 12 and TREE_TAB(23) = 8: 11..19 and 11..15.
  EXPECT_EQ(*on_row(230, 200, 4).rbegin(), 29);
  EXPECT_EQ(*on_row(340, 200, 9).rbegin(), 21);
  EXPECT_EQ(*on_row(440, 200, 12).rbegin(), 19);
  EXPECT_EQ(*on_row(540, 200, 8).rbegin(), 15);
  EXPECT_GE(after - before, 20u * 200u);
  EXPECT_LT(after - before, 20u * 200u + 500u);
  // Mountains, clusters and removed patches never become trees.
  const platform::Surface& s = g.rt().backing();
  for (int e : {1, 13, 14, 15}) EXPECT_EQ(testing_support::count(s, entry_colour(e)), 0) << e;
  EXPECT_EQ(testing_support::count_in(s, entry_colour(0), 470, 503 - 430, 530, 503 - 370), 61 * 61)
      << "the worn-away patch";
}

TEST(EndingStages, TreesTakeTheColoursOfEachStage) {
  // A whole game's field, the goal erase, then the three stages; the
  // pictures go beside the test binary for a look.
  GameProgram g = field();
  auto dir = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  std::string error;
  // Obstacle 23 (kind 11), patch 44 (tree colour 4) and cluster circle 3 at their centres.
  std::vector<std::vector<Rgb>> looks;
  auto look = [&](game::Zided& z, const char* name) {
    EXPECT_TRUE(platform::save_png(g.rt().picture(), (dir / name).string(), &error)) << error;
    std::vector<Rgb> l;
    for (int k : {23, 44, 3}) l.push_back(g.at(std::lround(z.OX(k)), std::lround(z.OY(k))));
    looks.push_back(l);
  };
  g.run([&](game::Zided& z) {
    start_game(z);
    look(z, "scenery_try.png");
    // What the game does on reaching the goal: every single zone circle
    // and snow patch is erased.
    for (int j = 3; j <= 100; ++j) {
      if (z.OGONE(j) >= 0 && (z.OT(j) < 13 || z.OT(j) == 15)) {
        z.runtime().CIRCLE(0, rt::Coord{z.OX(j), z.OY(j)}, z.OR(j) - 1, 0, 1, 0, 0, true);
      }
    }
    z.PALETS();
    z.ENDING();
    look(z, "scenery_ending1.png");
    z.PALET2();
    z.ENDING();
    look(z, "scenery_ending2.png");
    z.PALETM();
    z.ENDING();
    look(z, "scenery_ending3.png");
  });
  const std::vector<std::vector<Rgb>> want = {
      {rgb(0, 255, 75), kWhite, kGrey},
      {rgb(250, 170, 250), rgb(0, 255, 0), kGrey},  // pink; entry 4 keeps its green
      {rgb(0, 255, 75), rgb(0, 255, 0), kGrey},
      {rgb(255, 230, 0), rgb(255, 55, 0), kGrey}};  // clusters stay as they were
  EXPECT_EQ(looks, want);
}

}  // namespace

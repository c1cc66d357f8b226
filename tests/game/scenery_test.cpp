// The field and its obstacles, snow patches wearing down, and the tree
// ending, checked at pixels whose places follow from the drawing rules.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tests/support/field.h"
#include "tests/support/pixels.h"

namespace {

using platform::Rgb;
using testing_support::Circle;
using testing_support::GameProgram;

constexpr Rgb rgb(int r, int g, int b) { return static_cast<Rgb>((r << 16) | (g << 8) | b); }

constexpr Rgb kFloor = rgb(0, 80, 0), kFrame = rgb(0, 140, 0), kGrey = rgb(150, 150, 150);
constexpr Rgb kWhite = rgb(255, 255, 255);

void place(game::Zided& z, const std::map<int, Circle>& obstacles) {
  z.NOBJ = 100;
  for (int j = 1; j <= 100; ++j) z.OGONE(j) = -1;
  for (const auto& [j, c] : obstacles) {
    z.OX(j) = c.x, z.OY(j) = c.y, z.OR(j) = c.r, z.OT(j) = c.kind, z.OGONE(j) = c.gone;
  }
}

// A game's picture before a launch: mountain 1 where level 2 has it,
// mountain 2 out of sight, cluster circle 3, zone circle 20 (radius 25,
// kind 11), patch 44 and a removed patch 70.
void game_picture(game::Zided& z, double tries_left) {
  testing_support::standard_walls(z);
  z.PALET2();
  z.FRESH();
  place(z, {{1, {-50, 600, 300, 1}},
            {2, {-1000, -1000, 10, 1}},
            {3, {450, 100, 16, 14}},
            {20, {300, 200, 25, 11}},
            {44, {400, 300, 14}},
            {70, {200, 300, 14, 15, 1, -1}}});
  z.TRIES_LEFT = tries_left;
  z.FRESH1();
}

TEST(Field, FrameFloorGoalLineSkyAndObstaclesInTheLandscapeColours) {
  for (auto [left, sky] : {std::pair{10, rgb(120, 120, 50)}, {1, rgb(150, 50, 50)}}) {
    SCOPED_TRACE(left);
    GameProgram g;
    g.run([&, left = left](game::Zided& z) { game_picture(z, left); });
    const struct {
      int x, y;
      Rgb c;
    } at[] = {{40, 100, kFrame},   {63, 100, kFrame},   {64, 100, kFrame},  {79, 100, kFrame},
              {80, 100, kFloor},   {540, 100, kFloor},  {541, 100, kFrame}, {556, 100, kFrame},
              {639, 100, kFrame},  {300, 464, kGrey},   {528, 464, kGrey},  {529, 464, kFloor},
              {300, 465, sky},     {528, 503, sky},     {529, 470, kFloor}, {150, 400, sky},
              {180, 400, kFloor},  {450, 100, kGrey},   {300, 200, rgb(0, 255, 75)},
              {276, 200, rgb(0, 255, 75)}, {275, 200, kFloor}, {300, 222, rgb(0, 255, 75)},
              {316, 216, rgb(0, 255, 75)}, {400, 300, kWhite}, {387, 300, kWhite},
              {200, 300, kFloor}};
    for (const auto& p : at) EXPECT_EQ(g.at(p.x, p.y), p.c) << p.x << "," << p.y;
    // Mountain 1's grey outline crosses the row y = 400 at -50 + sqrt(299^2 - 200^2) = 172.3.
    const platform::Surface& s = g.rt().backing();
    EXPECT_GE(testing_support::count_in(s, kGrey, 168, 503 - 400, 176, 503 - 400), 1);
  }
}

TEST(Field, DstoneWearsAPatchOfFourteenToTenAndThenAway) {
  GameProgram g;
  g.run([&](game::Zided& z) {
    game_picture(z, 10);
    z.DSTONE(44);
    EXPECT_EQ(z.OR(44), 10);
    EXPECT_EQ(z.OGONE(44), 0);
    EXPECT_EQ(g.at(391, 300), kWhite);
    EXPECT_EQ(g.at(389, 300), kFloor);
    z.DSTONE(44);
    z.FRESH1();
  });
  EXPECT_EQ((std::vector<double>{g.game().OR(44), g.game().OGONE(44)}), (std::vector<double>{10, -1}));
  EXPECT_EQ(g.at(400, 300), kFloor);
}

// Trees on a screen of their own, every palette entry a colour of its own.
TEST(Ending, TreesAndTheirRingsForZoneCirclesAndPatchesOnly) {
  auto colour = [](int e) { return rgb(16 * e, 255 - 16 * e, 8 * e + 1); };
  GameProgram g;
  std::uint32_t took = 0;
  g.run([&](game::Zided& z) {
    for (int e = 0; e <= 15; ++e) z.runtime().PALETTE_RGB(0, e, 255 - 16 * e, 16 * e, 8 * e + 1);
    z.runtime().CLS(0, 0);
    place(z, {{1, {100, 400, 5, 1}},       {5, {200, 400, 16, 14}},     {10, {300, 400, 16, 13}},
              {43, {120, 200, 10, 10}},    {25, {230, 200, 25, 4}},     {44, {340, 200, 14, 15}},
              {52, {440, 200, 10, 15}},    {64, {500, 400, 10, 15, 1, -1}}});
    std::uint32_t t0 = g.host().now();
    z.ENDING();
    took = g.host().now() - t0;
  });
  // Distances 0..30 from (x, y), left along the row or down the column, in entry e.
  auto found = [&](int x, int y, int dx, int dy, int e) {
    std::set<int> s;
    for (int d = 0; d <= 30; ++d) {
      if (g.at(x - d * dx, y - d * dy) == colour(e)) s.insert(d);
    }
    return s;
  };
  // Obstacle 43 in its own kind: circles 9, 8, 6, 4, a round dot of 4, and
  // rings 11, 13, 15 (radius 10: up to 10 - 1 + 6).
  const std::set<int> tree43 = {0, 1, 2, 3, 4, 6, 8, 9, 11, 13, 15};
  EXPECT_EQ(found(120, 200, 1, 0, 10), tree43);
  EXPECT_EQ(found(120, 200, 0, -1, 10), tree43);
  EXPECT_EQ(*found(230, 200, 1, 0, 4).rbegin(), 29);
  EXPECT_EQ(found(340, 200, 1, 0, 4).count(19), 1u) << "patch 44 in TREE_TAB(1) = 4";
  EXPECT_EQ(*found(440, 200, 1, 0, 12).rbegin(), 15) << "patch 52 in TREE_TAB(9) = 12";
  const platform::Surface& s = g.rt().backing();
  for (int e : {1, 13, 14, 15}) EXPECT_EQ(testing_support::count(s, colour(e)), 0) << e;
  EXPECT_EQ(testing_support::count_in(s, colour(0), 470, 503 - 430, 530, 503 - 370), 61 * 61)
      << "the removed patch";
  EXPECT_GT(took, 20u * 200);  // twenty steps of 0.2 s
  EXPECT_LE(took, 20u * 202);
}

}  // namespace

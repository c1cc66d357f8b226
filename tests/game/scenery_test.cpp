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

constexpr Rgb rgb(int r, int g, int b) {
  return static_cast<Rgb>((r << 16) | (g << 8) | b);
}

constexpr Rgb kFloor = rgb(0, 80, 0);
constexpr Rgb kFrame = rgb(0, 140, 0);
constexpr Rgb kGrey = rgb(150, 150, 150);
constexpr Rgb kWhite = rgb(255, 255, 255);

platform::HostOptions at_second(int second) {
  platform::HostOptions o;
  o.start_time = platform::LocalTime{2024, 3, 9, 9, 5, second};
  return o;
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
  for (int j = 1; j <= 100; ++j) {
    z.OX(j) = z.SAVED_OX(j, 1);
    z.OY(j) = z.SAVED_OY(j, 1);
    z.OR(j) = z.SAVED_OR(j, 1);
    z.OT(j) = z.SAVED_OT(j, 1);
    z.OGONE(j) = 0;
  }
  z.TRIES_LEFT = 10;
  z.runtime().CLS(0, 4);
  z.FRESH1();
}

// What the game does on reaching the goal before the ending: every single
// zone circle and snow patch is erased.
void erase_for_ending(game::Zided& z) {
  for (int j = 3; j <= 100; ++j) {
    if (z.OGONE(j) >= 0 && (z.OT(j) < 13 || z.OT(j) == 15)) {
      z.runtime().CIRCLE(0, rt::Coord{z.OX(j), z.OY(j)}, z.OR(j) - 1, 0, 1, 0, 0, true);
    }
  }
}

// Every pixel within `radius` of obstacle k's centre has colour c.
bool solid(GameProgram& g, int k, double radius, Rgb c) {
  int cx = static_cast<int>(std::lround(g.game().OX(k)));
  int cy = static_cast<int>(std::lround(g.game().OY(k)));
  auto reach = static_cast<int>(radius);
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      if (dx * dx + dy * dy > radius * radius) continue;
      if (g.rt().backing().get(cx + dx, 503 - (cy + dy)) != c) return false;
    }
  }
  return true;
}

class Field : public ::testing::Test {
 protected:
  Rgb at(int x, int y) { return g.rt().backing().get(x, 503 - y); }
  game::Zided& z() { return g.game(); }
  bool solid(int k, double radius, Rgb c) { return ::solid(g, k, radius, c); }
  Rgb centre(int k) {
    return at(static_cast<int>(std::lround(z().OX(k))), static_cast<int>(std::lround(z().OY(k))));
  }
  GameProgram g{at_second(44)};
};

TEST_F(Field, FirstPictureOfAGameHasTheLandscapeColours) {
  g.run(start_game);
  // Margins and the 16-pixel frame, below the reach of the mountains.
  for (int x : {0, 40, 63, 64, 79, 541, 555, 556, 639}) EXPECT_EQ(at(x, 100), kFrame) << x;
  // The floor: the rows below the lowest obstacle edge (y 17).
  for (int x : {80, 81, 300, 539, 540}) {
    for (int y : {0, 8, 16}) EXPECT_EQ(at(x, y), kFloor) << x << "," << y;
  }
  // The goal line in the pass between the mountains, the sky strip beyond it.
  EXPECT_EQ(at(310, 464), kGrey);
  EXPECT_EQ(at(310, 465), rgb(120, 120, 50));
  EXPECT_EQ(at(310, 503), rgb(120, 120, 50));
  // Mountain 1 in the sky colour over field and frame, its outline grey
  // where it crosses the row y = 400 (x = -50 + sqrt(299^2 - 200^2) = 172.3).
  EXPECT_EQ(at(81, 460), rgb(120, 120, 50));
  EXPECT_EQ(at(70, 460), rgb(120, 120, 50));
  EXPECT_EQ(at(150, 400), rgb(120, 120, 50));
  int grey = testing_support::count_in(g.rt().backing(), kGrey, 168, 503 - 400, 176, 503 - 400);
  EXPECT_GE(grey, 1);
  EXPECT_EQ(testing_support::count_in(g.rt().backing(), kGrey, 180, 503 - 400, 190, 503 - 400), 0);
  // A snow patch and a single zone circle are solid discs in their colours.
  EXPECT_TRUE(solid(44, 11, kWhite));
  EXPECT_TRUE(solid(64, 7, kWhite));
  EXPECT_TRUE(solid(23, 22, rgb(0, 255, 75))) << "radius 25, kind 11";
  EXPECT_TRUE(solid(40, 7, rgb(75, 255, 150))) << "radius 10, kind 10";
  EXPECT_EQ(centre(3), kGrey) << "cluster circle, kind 14";
}

TEST_F(Field, FreshClearsEverythingAndPaintsTheMarginsInTheWallColour) {
  g.run([](game::Zided& z) {
    z.DFWALL();
    z.WALL_ATTR(2) = 6;
    rt::Runtime& r = z.runtime();
    r.PALETTE_RGB(0, 6, 10, 20, 30);
    r.LINE(0, rt::Coord{200, 200}, rt::Coord{300, 300}, 9, rt::Box::BF);
    r.PRINT(0, "left over");
    z.FRESH();
  });
  Rgb margin = rgb(20, 10, 30);
  Rgb background = g.rt().palette_rgb(0);
  EXPECT_EQ(at(0, 0), margin);
  EXPECT_EQ(at(80, 503), margin);
  EXPECT_EQ(at(81, 250), background);
  EXPECT_EQ(at(555, 250), background);
  EXPECT_EQ(at(556, 0), margin);
  EXPECT_EQ(at(639, 503), margin);
  EXPECT_EQ(at(250, 250), background) << "the box is gone";
  EXPECT_EQ(g.row(0), std::string(80, ' ')) << "the text is gone";
}

TEST_F(Field, GoalLineAndSkyStripStopAt528) {
  g.run([](game::Zided& z) {
    z.DFWALL();
    z.WALL_ATTR(2) = 2;
    z.PALET2();
    z.FRESH();
    // Only two tiny mountains far outside the window: the strip alone shows.
    z.NOBJ = 2;
    for (int k = 1; k <= 2; ++k) {
      z.OX(k) = -1000;
      z.OY(k) = -1000;
      z.OR(k) = 10;
      z.OT(k) = 1;
    }
    z.TRIES_LEFT = 3;
    z.FRESH1();
  });
  Rgb sky = rgb(255, 200, 200);
  EXPECT_EQ(at(80, 464), kGrey);
  EXPECT_EQ(at(528, 464), kGrey);
  EXPECT_EQ(at(529, 464), kFloor);
  EXPECT_EQ(at(540, 464), kFloor);
  EXPECT_EQ(at(541, 464), kFrame);
  EXPECT_EQ(at(80, 465), sky);
  EXPECT_EQ(at(528, 503), sky);
  EXPECT_EQ(at(79, 470), kFrame) << "left margin";
  EXPECT_EQ(at(529, 470), kFloor) << "the cleared screen";
  EXPECT_EQ(at(555, 503), kFloor) << "the cleared screen";
  EXPECT_EQ(at(540, 465), kFloor) << "the frame ends at the goal edge";
}

TEST_F(Field, SkyTakesItsBandFromTriesLeft) {
  const int bands[11][3] = {{0, 0, 0},       {150, 50, 50},   {255, 100, 100}, {255, 200, 200},
                            {220, 155, 255}, {80, 80, 255},   {125, 125, 255}, {150, 150, 210},
                            {255, 255, 200}, {255, 255, 100}, {120, 120, 50}};
  g.run([&](game::Zided& z) {
    for (int n = 1; n <= 10; ++n) {
      z.SKY(n);
      EXPECT_EQ(g.rt().palette_rgb(1), rgb(bands[n][0], bands[n][1], bands[n][2])) << "band " << n;
    }
  });
  // Before the last launch the mountains and the strip are dark red.
  GameProgram last(at_second(44));
  last.run([](game::Zided& z) {
    start_game(z);
    z.TRIES_LEFT = 1;
    z.FRESH1();
  });
  auto pixel = [&](int x, int y) { return last.rt().backing().get(x, 503 - y); };
  EXPECT_EQ(pixel(81, 460), rgb(150, 50, 50));
  EXPECT_EQ(pixel(310, 480), rgb(150, 50, 50));
}

TEST_F(Field, DstoneWearsAPatchOfFourteenToTenAndThenAway) {
  g.run([](game::Zided& z) {
    start_game(z);
    z.DSTONE(44);
  });
  int cx = static_cast<int>(std::lround(z().OX(44)));
  int cy = static_cast<int>(std::lround(z().OY(44)));
  EXPECT_EQ(z().OR(44), 10.0);
  EXPECT_EQ(z().OGONE(44), 0.0);
  EXPECT_EQ(z().SAVED_OR(44, 1), 14.0) << "the stored layout keeps the patch whole";
  EXPECT_TRUE(solid(44, 7, kWhite));
  for (int d : {-12, 11}) {
    EXPECT_EQ(at(cx + d, cy), kFloor) << d;
    EXPECT_EQ(at(cx, cy + d), kFloor) << d;
  }

  GameProgram twice(at_second(44));
  twice.run([](game::Zided& z) {
    start_game(z);
    z.DSTONE(44);
    z.DSTONE(44);
    z.DSTONE(64);  // radius 10: one hit
    z.FRESH1();    // removed patches are not drawn again
  });
  game::Zided& t = twice.game();
  EXPECT_EQ(t.OGONE(44), -1.0);
  EXPECT_EQ(t.OR(44), 10.0);
  EXPECT_EQ(t.OGONE(64), -1.0);
  EXPECT_EQ(t.OR(64), 10.0);
  EXPECT_TRUE(::solid(twice, 44, 12, kFloor));
  EXPECT_TRUE(::solid(twice, 64, 8, kFloor));
}

TEST_F(Field, RemovedObstaclesAreNotDrawn) {
  g.run([](game::Zided& z) {
    start_game(z);
    z.runtime().LINE(0, rt::Coord{80, 0}, rt::Coord{540, 464}, 0, rt::Box::BF);
    z.OGONE(23) = -1;
    z.OGONE(50) = -1;
    z.FRESH1();
  });
  EXPECT_TRUE(solid(23, 23, kFloor));
  EXPECT_TRUE(solid(50, 12, kFloor));
  EXPECT_TRUE(solid(51, 11, kWhite)) << "its neighbour is still there";
}

// The ending on a screen of its own: a few obstacles, the rest removed, and
// every palette entry a colour of its own.
class Ending : public ::testing::Test {
 protected:
  static Rgb entry_colour(int e) { return rgb(16 * e, 255 - 16 * e, 8 * e + 1); }
  void place(game::Zided& z, int k, double x, double y, double r, double kind) {
    z.OX(k) = x;
    z.OY(k) = y;
    z.OR(k) = r;
    z.OT(k) = kind;
    z.OGONE(k) = 0;
  }
  void SetUp() override {
    g.run([&](game::Zided& z) {
      rt::Runtime& r = z.runtime();
      for (int e = 0; e <= 15; ++e) {
        Rgb c = entry_colour(e);
        r.PALETTE_RGB(0, e, (c >> 8) & 255, (c >> 16) & 255, c & 255);
      }
      r.CLS(0, 0);
      z.NOBJ = 100;
      for (int k = 1; k <= 100; ++k) z.OGONE(k) = -1;
      place(z, 1, 120, 400, 5, 1);    // a corner mountain
      place(z, 5, 220, 400, 16, 14);  // cluster circles
      place(z, 10, 320, 400, 16, 13);
      place(z, 40, 120, 200, 10, 10);  // single zone circles
      place(z, 25, 230, 200, 25, 4);
      place(z, 30, 340, 200, 16, 9);
      place(z, 52, 440, 200, 14, 15);  // snow patches: trees in TREE_TAB(k - 43)
      place(z, 66, 540, 200, 10, 15);
      place(z, 64, 500, 400, 10, 15);
      z.OGONE(64) = -1;  // worn away
      before = g.host().millis();
      z.ENDING();
      after = g.host().millis();
    });
  }
  Rgb at(int x, int y) { return g.rt().backing().get(x, 503 - y); }
  // Distances d = 0..30 left of (x, y) on its row with colour c.
  std::set<int> on_row(int x, int y, Rgb c) {
    std::set<int> s;
    for (int d = 0; d <= 30; ++d) {
      if (at(x - d, y) == c) s.insert(d);
    }
    return s;
  }
  GameProgram g;
  std::uint32_t before = 0, after = 0;
};

TEST_F(Ending, TreesGrowRingsToSixPixelsBeyondTheirDiscOverTwentySteps) {
  // Radius 10: the tree (9, 8, 6, 4 and a filled 4) and rings 11, 13, 15 only.
  EXPECT_EQ(on_row(120, 200, entry_colour(10)),
            (std::set<int>{0, 1, 2, 3, 4, 6, 8, 9, 11, 13, 15}));
  // Radius 25: rings 11..29; 16: 11..21; snow patches of 14 and 10 in their
  // tree colours TREE_TAB(9) = 12 and TREE_TAB(23) = 8: 11..19 and 11..15.
  EXPECT_EQ(*on_row(230, 200, entry_colour(4)).rbegin(), 29);
  EXPECT_EQ(*on_row(340, 200, entry_colour(9)).rbegin(), 21);
  EXPECT_EQ(*on_row(440, 200, entry_colour(12)).rbegin(), 19);
  EXPECT_EQ(*on_row(540, 200, entry_colour(8)).rbegin(), 15);
  EXPECT_GE(after - before, 20u * 200u);
  EXPECT_LT(after - before, 20u * 200u + 500u);
}

TEST_F(Ending, MountainsClustersAndRemovedPatchesNeverBecomeTrees) {
  const platform::Surface& s = g.rt().backing();
  for (int e : {1, 13, 14, 15}) EXPECT_EQ(testing_support::count(s, entry_colour(e)), 0) << e;
  int y = 503 - 400, drawn = 0;
  for (int x = 470; x <= 530; ++x) {
    for (int row = y - 30; row <= y + 30; ++row) drawn += s.get(x, row) != entry_colour(0);
  }
  EXPECT_EQ(drawn, 0) << "the worn-away patch";
}

TEST(EndingStages, TreesTakeTheColoursOfEachStage) {
  // A whole game's field, the goal erase, then the three stages; the
  // pictures go beside the test binary for a look.
  GameProgram g(at_second(44));
  auto dir = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  std::string error;
  struct Look {
    Rgb zone, patch, cluster;
  };
  std::vector<Look> looks;
  auto look = [&](game::Zided& z) {
    auto px = [&](int k) {
      return g.rt().backing().get(static_cast<int>(std::lround(z.OX(k))),
                                  503 - static_cast<int>(std::lround(z.OY(k))));
    };
    looks.push_back({px(23), px(44), px(3)});
  };
  g.run([&](game::Zided& z) {
    start_game(z);
    EXPECT_TRUE(platform::save_png(g.rt().picture(), (dir / "scenery_try.png").string(), &error))
        << error;
    look(z);
    erase_for_ending(z);
    const char* names[3] = {"scenery_ending1.png", "scenery_ending2.png", "scenery_ending3.png"};
    for (int stage = 0; stage < 3; ++stage) {
      if (stage == 0) z.PALETS();
      if (stage == 1) z.PALET2();
      if (stage == 2) z.PALETM();
      z.ENDING();
      EXPECT_TRUE(platform::save_png(g.rt().picture(), (dir / names[stage]).string(), &error))
          << error;
      look(z);
    }
  });
  ASSERT_EQ(looks.size(), 4u);
  // Obstacle 23 (kind 11) and patch 44 (tree colour 4) at their centres.
  EXPECT_EQ(looks[0].zone, rgb(0, 255, 75));
  EXPECT_EQ(looks[0].patch, kWhite);
  EXPECT_EQ(looks[1].zone, rgb(250, 170, 250)) << "pink in the first stage";
  EXPECT_EQ(looks[1].patch, rgb(0, 255, 0)) << "entry 4 keeps its green";
  EXPECT_EQ(looks[2].zone, rgb(0, 255, 75));
  EXPECT_EQ(looks[2].patch, rgb(0, 255, 0));
  EXPECT_EQ(looks[3].zone, rgb(255, 230, 0));
  EXPECT_EQ(looks[3].patch, rgb(255, 55, 0));
  for (const Look& l : looks) EXPECT_EQ(l.cluster, kGrey) << "clusters stay as they were";
}

}  // namespace

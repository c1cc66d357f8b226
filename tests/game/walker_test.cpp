// The walker marker, the try figure and the column of try icons.
#include <gtest/gtest.h>

#include "tests/support/game_program.h"
#include "tests/support/pixels.h"
#include "tests/support/world_pixels.h"

namespace {

using platform::Rgb;
using testing_support::differing;
using testing_support::GameProgram;
using testing_support::reference_picture;
using testing_support::world_pixel;

TEST(Kao, DrawsRadiusNineWhateverWrHeldAndDkaoErasesIt) {
  for (double before : {3.0, 25.0}) {
    GameProgram g;
    platform::Surface drawn(1, 1);
    double wr = 0;
    g.run([&](game::Zided& z) {
      z.WX(1) = 200;
      z.WY(1) = 150;
      z.WR(1) = before;
      z.WCOLOR(1) = 13;
      z.KAO();
      wr = z.WR(1);
      drawn = g.rt().backing();
      z.DKAO();
    });
    EXPECT_EQ(wr, 10) << "WALK_RADIUS copied into WR(1)";
    platform::Surface ring9 = reference_picture([](game::Zided& z) {
      z.runtime().CIRCLE(0, rt::Coord{200, 150}, 9, 13);
    });
    EXPECT_EQ(differing(drawn, ring9), 0) << "WR(1) was " << before;
    EXPECT_EQ(testing_support::count(g.rt().backing(), g.rt().palette_rgb(13)), 0)
        << "DKAO leaves no ring";
  }
}

// The three styles of the figure at size 40: body 80 x 40, spots at
// (x - 24, y -/+ 7.27) with radius 10 (9 when filled black).
TEST(TryFigure, StylesFillBodyAndSpotsAsDescribed) {
  struct Case {
    void (game::Zided::*draw)(double, double, double, double);
    bool body_filled, spots_coloured;
  };
  for (Case c : {Case{&game::Zided::MOSX, true, false}, Case{&game::Zided::MOSX1, false, false},
                 Case{&game::Zided::MOSX2, false, true}}) {
    GameProgram g;
    g.run([&](game::Zided& z) { (z.*c.draw)(5, 300, 200, 40); });
    rt::Runtime& r = g.rt();
    Rgb col = r.palette_rgb(5), black = r.palette_rgb(0);
    auto e = testing_support::extent(r.backing(), col);
    EXPECT_EQ(e.width(), 80);
    EXPECT_EQ(e.height(), 40);
    EXPECT_EQ(e.left, 260);
    EXPECT_EQ(world_pixel(r, 300, 200), c.body_filled ? col : black);
    Rgb spot = c.spots_coloured ? col : black;
    EXPECT_EQ(world_pixel(r, 276, 207), spot) << "upper spot";
    EXPECT_EQ(world_pixel(r, 276, 193), spot) << "lower spot";
    // Between the two spots the body shows.
    EXPECT_EQ(world_pixel(r, 276, 200), c.body_filled ? col : black);
    // The outline styles draw each spot's ring.
    if (!c.body_filled) {
      EXPECT_GT(testing_support::count_in(r.backing(), col, 272, 291, 284, 300), 10);
    }
  }
}

TEST(TryFigure, OutlineDrawnAgainInColourZeroIsErasedEverywhereItLay) {
  GameProgram g;
  int outline = 0, left_black = 0, kept = 0;
  g.run([&](game::Zided& z) {
    rt::Runtime& r = z.runtime();
    r.LINE(0, rt::Coord{240, 160}, rt::Coord{360, 240}, 4, rt::Box::BF);
    z.MOSX1(15, 300, 200, 40);
    platform::Surface with = r.backing();
    z.MOSX1(0, 300, 200, 40);
    for (int y = 0; y < with.height(); ++y) {
      for (int x = 0; x < with.width(); ++x) {
        if (with.get(x, y) == r.palette_rgb(15)) {
          ++outline;
          left_black += r.backing().get(x, y) == r.palette_rgb(0);
        } else {
          kept += r.backing().get(x, y) == with.get(x, y);
        }
      }
    }
  });
  EXPECT_GT(outline, 200);
  EXPECT_EQ(left_black, outline);
  EXPECT_EQ(kept, 640 * 504 - outline) << "nothing else changed";
}

// The column of try icons, built as the game builds it.
class IconColumn : public ::testing::Test {
 protected:
  // Builds the icons, clears, and paints the column in colour 4 so blanks show.
  void prepare(game::Zided& z) {
    rt::Runtime& r = z.runtime();
    r.CLS(0, 0);
    z.MSPIC();
    r.CLS(0, 0);
    r.LINE(0, rt::Coord{600, 0}, rt::Coord{639, 300}, 4, rt::Box::BF);
    z.TRIES = 10;
    for (int k = 1; k <= 20; ++k) z.TRY_LOG(k) = 0;
  }

  // What slot k (from 1) holds: an icon, a blank, or untouched colour 4.
  enum class Slot { Icon, Blank, Untouched, Mixed };
  Slot slot(rt::Runtime& r, int k) {
    int y0 = (k - 1) * 19;
    bool icon = true, blank = true, untouched = true;
    for (int dy = 0; dy < 20; ++dy) {
      for (int dx = 0; dx < 40; ++dx) {
        Rgb p = world_pixel(r, 600 + dx, y0 + dy);
        icon = icon && p == icon_.get(dx, 503 - dy);
        blank = blank && p == r.palette_rgb(0);
        untouched = untouched && p == r.palette_rgb(4);
      }
    }
    return icon ? Slot::Icon : blank ? Slot::Blank : untouched ? Slot::Untouched : Slot::Mixed;
  }

  // The figure MSPIC captures, drawn where the capture takes it.
  platform::Surface icon_ = reference_picture([](game::Zided& z) { z.MOSX(15, 20, 10, 16); });
};

TEST_F(IconColumn, TenTriesShowTenIconsFromTheBottomEdge) {
  GameProgram g;
  std::vector<Slot> slots;
  Rgb above = 0;
  g.run([&](game::Zided& z) {
    prepare(z);
    z.TRIES_LEFT = 10;
    z.MSDISP();
    for (int k = 1; k <= 10; ++k) slots.push_back(slot(g.rt(), k));
    above = world_pixel(g.rt(), 620, 191);
  });
  EXPECT_EQ(slots, std::vector<Slot>(10, Slot::Icon));
  EXPECT_EQ(above, g.rt().palette_rgb(4)) << "the column ends at y = 190";
  EXPECT_NE(icon_.get(20, 493), 0u) << "the icon's middle is the figure";
}

TEST_F(IconColumn, ALaunchSpendsTheTopSlotAndTheNextDisplayBlanksIt) {
  GameProgram g;
  std::vector<Slot> slots;
  std::vector<double> log;
  Rgb above = 0;
  g.run([&](game::Zided& z) {
    prepare(z);
    z.TRIES_LEFT = 10;
    z.MSDISP();
    z.MSADD(-1, 0);
    z.TRIES_LEFT = 9;
    z.MSDISP();
    for (int k = 1; k <= 10; ++k) slots.push_back(slot(g.rt(), k));
    for (int k = 1; k <= 11; ++k) log.push_back(z.TRY_LOG(k));
    above = world_pixel(g.rt(), 620, 191);
  });
  std::vector<Slot> want(9, Slot::Icon);
  want.push_back(Slot::Blank);
  EXPECT_EQ(slots, want) << "nine icons and the tenth slot (y = 171) blank";
  EXPECT_EQ(log, (std::vector<double>{0, 0, 0, 0, 0, 0, 0, 0, 0, -1, 0}));
  EXPECT_EQ(above, g.rt().palette_rgb(4));
}

TEST_F(IconColumn, NoTryLeftBlanksTheBottomTwoSlots) {
  GameProgram g;
  std::vector<Slot> slots;
  g.run([&](game::Zided& z) {
    prepare(z);
    z.TRIES_LEFT = 0;
    z.MSDISP();
    for (int k = 1; k <= 3; ++k) slots.push_back(slot(g.rt(), k));
  });
  // Slot 3 lost its bottom row to slot 2's blank.
  EXPECT_EQ(slots, (std::vector<Slot>{Slot::Blank, Slot::Blank, Slot::Mixed}));

  // With a single try per game there is no spent icon to wipe.
  GameProgram g1;
  Rgb second = 0;
  g1.run([&](game::Zided& z) {
    prepare(z);
    z.TRIES = 1;
    z.TRIES_LEFT = 0;
    z.MSDISP();
    slots = {slot(g1.rt(), 1)};
    second = world_pixel(g1.rt(), 620, 25);
  });
  EXPECT_EQ(slots, std::vector<Slot>{Slot::Blank});
  EXPECT_EQ(second, g1.rt().palette_rgb(4));
}

TEST_F(IconColumn, SpentSlotsBlankAndOtherRecordsAreLeftAlone) {
  GameProgram g;
  std::vector<Slot> slots;
  g.run([&](game::Zided& z) {
    prepare(z);
    z.TRIES_LEFT = 4;
    z.TRY_LOG(2) = -1;
    z.TRY_LOG(3) = 7;
    z.MSDISP();
    for (int k = 1; k <= 6; ++k) slots.push_back(slot(g.rt(), k));
  });
  // Slot 3 keeps colour 4 except for its edge rows, which slots 2 and 4
  // laid over it; slot 6 likewise loses its bottom row to slot 5.
  EXPECT_EQ(slots[0], Slot::Icon);
  EXPECT_EQ(slots[1], Slot::Blank);
  EXPECT_EQ(slots[2], Slot::Mixed);
  EXPECT_EQ(slots[3], Slot::Icon);
  EXPECT_EQ(slots[4], Slot::Blank) << "the spent try above the last one is wiped";
  EXPECT_EQ(slots[5], Slot::Mixed);
}

TEST(Msadd, ShiftsTheRecordsBelowTheLastTryAndSpendsIt) {
  GameProgram g;
  std::vector<double> log;
  g.run([&](game::Zided& z) {
    for (int k = 1; k <= 7; ++k) z.TRY_LOG(k) = k;
    z.TRIES_LEFT = 5;
    z.MSADD(-1, 0);
    for (int k = 1; k <= 7; ++k) log.push_back(z.TRY_LOG(k));
  });
  EXPECT_EQ(log, (std::vector<double>{2, 3, 4, 5, -1, 6, 7}));
}

}  // namespace

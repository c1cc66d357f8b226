// The title animations.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/surface.h"
#include "tests/support/game_program.h"
#include "tests/support/pixels.h"
#include "tests/support/world_pixels.h"

namespace {

using testing_support::differing;
using testing_support::GameProgram;
using testing_support::reference_picture;
using testing_support::script_options;
using testing_support::world_pixel;

TEST(Fzmms, LeavesOnlyTheFinalFigureAndTheTitle) {
  GameProgram g;
  std::uint32_t start = 0, end = 0;
  g.run([&](game::Zided& z) {
    start = g.host().now();
    z.FZMMS(z.TITLE_COLOR, "Peakwend");
    end = g.host().now();
  });
  platform::Surface final_figure =
      reference_picture([](game::Zided& z) { z.MOSX2(15, 300, 240, 70); });
  EXPECT_EQ(differing(g.rt().backing(), final_figure), 0)
      << "the seven smaller figures are gone, the 140 x 70 one stays";
  EXPECT_EQ(g.row(14).substr(30, 20), "      Peakwend      ");
  EXPECT_EQ(g.rt().cursor_row(), 15) << "the title ends its line";
  // Eight steps of TITLE_DELAY (15 ms) and the closing half second.
  EXPECT_GT(end - start, 8u * 15 + 500);
  EXPECT_LT(end - start, 8u * 15 + 500 + 60);
}

TEST(Fzmms, ShowsTheSmallestFigureFirst) {
  std::filesystem::path shot = std::filesystem::path(testing::TempDir()) / "fzmms_first.png";
  GameProgram g(script_options("wait 5\nshot " + shot.string() + "\n"));
  g.run([&](game::Zided& z) { z.FZMMS(15, "Peakwend"); });
  std::string err;
  platform::Surface picture(1, 1);
  ASSERT_TRUE(platform::load_png(shot.string(), &picture, &err)) << err;
  auto e = testing_support::extent(picture, g.rt().palette_rgb(15));
  EXPECT_EQ(e.width(), 28) << "size 14: body 28 x 14";
  EXPECT_EQ(e.height(), 14);
  EXPECT_EQ(e.left, 286);
}

// Colours of the ring are read against the palette of the last pass, which
// the second rotation set.
class Demos : public ::testing::Test {
 protected:
  void SetUp() override {
    g_.run([&](game::Zided& z) {
      z.DEMOS();
      for (int e = 0; e < 16; ++e) after_[e] = g_.rt().palette_rgb(e);
      z.PALET1(2);
      for (int n = 1; n <= 7; ++n) colour_[n] = g_.rt().palette_rgb(rt::CINT(z.COLMAP(n)));
      z.PALET0();
    });
  }
  // The colour number whose colour is at world (x, y); 0 when none.
  int colour_number(int x, int y) {
    platform::Rgb p = world_pixel(g_.rt(), x, y);
    for (int n = 1; n <= 7; ++n) {
      if (colour_[n] == p) return n;
    }
    return 0;
  }

  GameProgram g_;
  platform::Rgb after_[16] = {};
  platform::Rgb colour_[8] = {};
};

TEST_F(Demos, FiguresRunThroughColourNumbersOneToSeven) {
  // The seven colours are told apart.
  for (int a = 1; a <= 7; ++a) {
    for (int b = a + 1; b <= 7; ++b) ASSERT_NE(colour_[a], colour_[b]);
  }
  EXPECT_EQ(colour_number(410, 240), 1) << "k = 0 at the right of the ring";
  EXPECT_EQ(colour_number(190, 232), 2) << "k = 22 at -176 degrees, below the middle";
  EXPECT_EQ(colour_number(409, 255), 3) << "k = 44, the last, just above k = 0";
  EXPECT_EQ(colour_number(300, 240), 0) << "the middle stays empty";
}

TEST_F(Demos, FigureElevenLiesNearTheBottomOfTheRing) {
  // Figure 11 is centred at about (303.8, 130.1), so its body ends near
  // x = 324; figure 10 (colour 4) shows beyond it.
  EXPECT_EQ(colour_number(321, 130), 5);
  EXPECT_EQ(colour_number(327, 131), 4);
}

TEST_F(Demos, EndsWithTheBasicPalette) {
  GameProgram fresh;
  fresh.run([](game::Zided&) {});
  for (int e = 0; e < 16; ++e) EXPECT_EQ(after_[e], fresh.rt().palette_rgb(e)) << "entry " << e;
}

}  // namespace

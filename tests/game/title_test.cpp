// The title animations.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/surface.h"
#include "tests/support/game_program.h"
#include "tests/support/pixels.h"

namespace {

using testing_support::GameProgram;

TEST(Fzmms, GrowsFromTheSmallestFigureAndLeavesOnlyTheLastAndTheTitle) {
  std::filesystem::path shot = std::filesystem::path(testing::TempDir()) / "fzmms_first.png";
  GameProgram g(testing_support::script_options("wait 5\nshot " + shot.string() + "\nwait 2000\n"));
  std::uint32_t start = 0, end = 0;
  g.run([&](game::Zided& z) {
    start = g.host().now();
    z.FZMMS(z.TITLE_COLOR, "Peakwend");
    end = g.host().now();
  });
  std::string err;
  platform::Surface first(1, 1);
  ASSERT_TRUE(platform::load_png(shot.string(), &first, &err)) << err;
  auto e = testing_support::extent(first, g.rt().palette_rgb(15));
  EXPECT_EQ((std::vector<int>{e.left, e.width(), e.height()}), (std::vector<int>{286, 28, 14}))
      << "size 14 first: body 28 x 14";
  platform::Surface last =
      testing_support::reference_picture([](game::Zided& z) { z.MOSX2(15, 300, 240, 70); });
  EXPECT_EQ(testing_support::differing(g.rt().backing(), last), 0)
      << "the seven smaller figures are gone, the 140 x 70 one stays";
  EXPECT_EQ(g.row(14).substr(30, 20), "      Peakwend      ");
  EXPECT_EQ(g.rt().cursor_row(), 15) << "the title ends its line";
  // Eight steps of TITLE_DELAY (15 ms) and the closing half second.
  EXPECT_GT(end - start, 8u * 15 + 500);
  EXPECT_LT(end - start, 8u * 15 + 500 + 60);
}

// Colours of the ring are read against the palette of the last pass, which
// the second rotation set; afterwards the basic palette is back.
TEST(Demos, FiguresRunThroughColourNumbersOneToSevenAndThePaletteIsRestored) {
  GameProgram g, fresh;
  platform::Rgb after[16] = {}, colour[8] = {};
  g.run([&](game::Zided& z) {
    z.DEMOS();
    for (int e = 0; e < 16; ++e) after[e] = g.rt().palette_rgb(e);
    z.PALET1(2);
    for (int n = 1; n <= 7; ++n) colour[n] = g.rt().palette_rgb(rt::CINT(z.COLMAP(n)));
  });
  // The colour number whose colour is at world (x, y); 0 when none.
  auto number = [&](int x, int y) {
    for (int n = 1; n <= 7; ++n) {
      if (colour[n] == g.at(x, y)) return n;
    }
    return 0;
  };
  for (int a = 1; a <= 7; ++a) {
    for (int b = a + 1; b <= 7; ++b) ASSERT_NE(colour[a], colour[b]) << "told apart";
  }
  EXPECT_EQ(number(410, 240), 1) << "k = 0 at the right of the ring";
  EXPECT_EQ(number(190, 232), 2) << "k = 22 at -176 degrees, below the middle";
  EXPECT_EQ(number(409, 255), 3) << "k = 44, the last, just above k = 0";
  EXPECT_EQ(number(300, 240), 0) << "the middle stays empty";
  // Figure 11 is centred at about (303.8, 130.1), so its body ends near
  // x = 324; figure 10 (colour 4) shows beyond it.
  EXPECT_EQ(number(321, 130), 5);
  EXPECT_EQ(number(327, 131), 4);
  fresh.run([](game::Zided&) {});
  for (int e = 0; e < 16; ++e) EXPECT_EQ(after[e], fresh.rt().palette_rgb(e)) << "entry " << e;
}

}  // namespace

// The graphics statements on the main window: world coordinates, both
// layers, the palette, GET/PUT blocks, repainting, CLS and the error checks.
#include "runtime/screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <numbers>
#include <vector>

#include "platform/surface.h"
#include "tests/support/pixels.h"
#include "tests/support/program.h"

namespace rt {
namespace {

using platform::rgb;
using platform::Rgb;
using platform::Surface;
using testing_support::count;
using testing_support::count_in;
using testing_support::error_of;
using testing_support::Extent;
using testing_support::extent;
using testing_support::Program;

constexpr int kBottom = 503;  // pixel row of world y = 0
constexpr Rgb kWhite = rgb(255, 255, 255);
constexpr Rgb kRed = rgb(255, 0, 0);

class ScreenTest : public ::testing::Test {
 protected:
  ScreenTest() { p.start(); }
  Runtime& r() { return p.rt(); }
  Surface& picture() { return p.host().picture(); }
  Surface& backing() { return p.rt().backing(); }

  Program p;
};

// ---------------------------------------------------------------- coordinates

TEST_F(ScreenTest, LineSetsElevenPixelsOnBothLayers) {
  r().LINE(0, Coord{10, 10}, Coord{20, 10}, 15);
  for (Surface* s : {&picture(), &backing()}) {
    EXPECT_EQ(count(*s, kWhite), 11);
    EXPECT_EQ(s->get(10, kBottom - 10), kWhite);
    EXPECT_EQ(s->get(20, kBottom - 10), kWhite);
  }
  EXPECT_GT(p.host().changes(), 0);
}

TEST_F(ScreenTest, FilledBoxCoversExactlyFortyByTwenty) {
  r().LINE(0, Coord{0, 0}, Coord{39, 19}, 5, Box::BF);
  Extent e = extent(picture(), kRed);
  EXPECT_EQ(count(picture(), kRed), 40 * 20);
  EXPECT_EQ(e.left, 0);
  EXPECT_EQ(e.right, 39);
  EXPECT_EQ(e.top, kBottom - 19);
  EXPECT_EQ(e.bottom, kBottom);
  EXPECT_EQ(picture(), backing());
}

TEST_F(ScreenTest, CircleBoxesFollowRadiusAndAspect) {
  r().CIRCLE(0, Coord{100, 100}, 10, 15, 0.5);
  Extent e = extent(picture(), kWhite);
  EXPECT_EQ(e.width(), 20);
  EXPECT_EQ(e.height(), 10);
  // The title's ring at (284, 98), radius 8, sits on text cell column 35, row 22.
  r().CLS(0, 0);
  r().CIRCLE(0, Coord{284, 98}, 8, 15);
  e = extent(picture(), kWhite);
  EXPECT_EQ(e.left, 276);
  EXPECT_EQ(e.right, 291);
  EXPECT_EQ(e.top, 397);
  EXPECT_EQ(e.bottom, 412);
  EXPECT_EQ(picture(), backing());
}

TEST_F(ScreenTest, CoordinatesRoundHalfAwayFromZero) {
  r().LINE(0, Coord{10.5, 20.4}, Coord{10.5, 20.4}, 15);  // pixel x 11, row round(482.6)
  EXPECT_EQ(picture().get(11, 483), kWhite);
  r().LINE(0, Coord{-0.5, 5}, Coord{-0.5, 5}, 5);  // pixel x -1: off the picture
  EXPECT_EQ(count(picture(), kRed), 0);
  r().LINE(0, Coord{0.49, 5}, Coord{0.49, 5}, 5);
  EXPECT_EQ(picture().get(0, kBottom - 5), kRed);
}

TEST_F(ScreenTest, PmapConvertsBetweenWorldAndPixels) {
  EXPECT_EQ(r().PMAP(0, 123, 2), 123);
  EXPECT_EQ(r().PMAP(0, 0, 3), 503);
  EXPECT_EQ(r().PMAP(0, 503, 3), 0);
  EXPECT_EQ(r().PMAP(0, 100.25, 3), 402.75f);
  EXPECT_EQ(r().PMAP(0, 7.5, 0), 8);
  EXPECT_EQ(r().PMAP(0, 10, 1), 493);
  EXPECT_EQ(error_of([&] { r().PMAP(0, 1, 4); }), 5);
  EXPECT_EQ(error_of([&] { r().PMAP(0, 1, -1); }), 5);
  EXPECT_EQ(error_of([&] { r().PMAP(0, 3e9, 0); }), 6);
  EXPECT_EQ(error_of([&] { r().PMAP(0, 1e300, 2); }), 6);
  EXPECT_EQ(error_of([&] { r().PMAP(1, 1, 2); }), 1000);
}

// ---------------------------------------------------------------- last point and STEP

TEST_F(ScreenTest, LastPointAndStep) {
  r().LINE(0, Coord{10, 10}, Coord{30, 10}, 15);
  EXPECT_EQ(r().last_x(), 30);
  // No first point: from the last point; STEP on the second: from the first.
  r().LINE(0, std::nullopt, STEP(0, 5), 5);
  EXPECT_EQ(picture().get(30, kBottom - 15), kRed);
  EXPECT_EQ(picture().get(30, kBottom - 11), kRed);
  EXPECT_EQ(r().last_y(), 15);
  // STEP on the first point: from the last point.
  r().LINE(0, STEP(10, 0), STEP(0, 0), 3);
  EXPECT_EQ(picture().get(40, kBottom - 15), rgb(0, 0, 255));
  // CIRCLE leaves its centre as the last point, STEP centre from there.
  r().CIRCLE(0, Coord{200.5f, 100.25f}, 5, 15);
  EXPECT_EQ(r().last_x(), 200.5f);
  EXPECT_EQ(r().last_y(), 100.25f);
  r().CIRCLE(0, STEP(-100, 0), 0.5, 15);
  EXPECT_EQ(r().last_x(), 100.5f);
}

// ---------------------------------------------------------------- palette

TEST_F(ScreenTest, DefaultPaletteAndColours) {
  EXPECT_EQ(r().palette_rgb(0), rgb(0, 0, 0));
  EXPECT_EQ(r().palette_rgb(1), rgb(128, 128, 128));
  EXPECT_EQ(r().palette_rgb(6), rgb(128, 0, 128));
  EXPECT_EQ(r().palette_rgb(12), rgb(128, 128, 0));
  EXPECT_EQ(r().palette_rgb(14), rgb(192, 192, 192));
  EXPECT_EQ(r().palette_rgb(15), kWhite);
  EXPECT_EQ(r().color_mode(), 4);
  // Without a colour, drawing uses the foreground.
  r().COLOR(0, 5);
  EXPECT_EQ(r().foreground(), 5);
  r().LINE(0, Coord{0, 0}, Coord{9, 0});
  EXPECT_EQ(count(picture(), kRed), 10);
}

TEST_F(ScreenTest, PaletteRgbTakesGreenRedBlueAndRecoloursOnlyLaterShapes) {
  r().LINE(0, Coord{0, 0}, Coord{9, 9}, 7, Box::BF);
  Rgb old = r().palette_rgb(7);
  r().PALETTE_RGB(0, 7, 255, 75, 75);
  EXPECT_EQ(r().palette_rgb(7), rgb(75, 255, 75));
  r().LINE(0, Coord{20, 0}, Coord{29, 9}, 7, Box::BF);
  EXPECT_EQ(picture().get(5, kBottom - 5), old);
  EXPECT_EQ(backing().get(5, kBottom - 5), old);
  EXPECT_EQ(picture().get(25, kBottom - 5), rgb(75, 255, 75));
}

TEST_F(ScreenTest, PaletteCodeFormFollowsTheColourMode) {
  r().PALETTE(0, 3, 2);  // mode 4: bright set
  EXPECT_EQ(r().palette_rgb(3), rgb(255, 0, 0));
  r().PALETTE(0, 3, 0);
  EXPECT_EQ(r().palette_rgb(3), rgb(0, 0, 0));
  r().COLOR(0, std::nullopt, std::nullopt, std::nullopt, 0);  // mode 0: dark set
  EXPECT_EQ(r().color_mode(), 0);
  r().PALETTE(0, 3, 2);
  EXPECT_EQ(r().palette_rgb(3), rgb(128, 0, 0));
  r().PALETTE(0, 3, 0);
  EXPECT_EQ(r().palette_rgb(3), rgb(128, 128, 128));
  r().COLOR(0, std::nullopt, std::nullopt, std::nullopt, 5);
  r().PALETTE(0, 3, 7);
  EXPECT_EQ(r().palette_rgb(3), kWhite);
}

// ---------------------------------------------------------------- functions and styles

TEST_F(ScreenTest, FunctionsSelectRasterOperations) {
  r().LINE(0, Coord{0, 0}, Coord{99, 99}, 14, Box::BF);
  Surface before = picture();
  r().LINE(0, Coord{10, 10}, Coord{50, 30}, 5, Box::BF, std::nullopt, 4);  // XOR
  EXPECT_EQ(picture().get(20, kBottom - 20), rgb(192 ^ 255, 192, 192));
  r().LINE(0, Coord{10, 10}, Coord{50, 30}, 5, Box::BF, std::nullopt, 4);
  EXPECT_EQ(picture(), before);
  EXPECT_EQ(backing(), before);
  r().LINE(0, Coord{0, 50}, Coord{99, 50}, 0, Box::None, std::nullopt, 5);  // NOT
  EXPECT_EQ(picture().get(60, kBottom - 50), rgb(63, 63, 63));
  r().LINE(0, Coord{0, 60}, Coord{99, 60}, 3, Box::None, std::nullopt, 2);  // AND
  EXPECT_EQ(picture().get(60, kBottom - 60), rgb(0, 0, 192));
  r().LINE(0, Coord{0, 70}, Coord{99, 70}, 2, Box::None, std::nullopt, 3);  // OR
  EXPECT_EQ(picture().get(60, kBottom - 70), rgb(192, 192, 192));
  r().LINE(0, Coord{0, 80}, Coord{99, 80}, 5, Box::None, std::nullopt, 9);  // other: copy
  EXPECT_EQ(picture().get(60, kBottom - 80), kRed);
  // PRESET without a colour draws in the background colour.
  r().COLOR(0, 15, 3);
  r().LINE(0, Coord{0, 90}, Coord{99, 90}, std::nullopt, Box::None, std::nullopt, 1);
  EXPECT_EQ(picture().get(60, kBottom - 90), rgb(0, 0, 255));
}

TEST_F(ScreenTest, PenStylesAndBoxes) {
  r().LINE(0, Coord{0, 0}, Coord{47, 0}, 15, Box::None, std::nullopt, -1, 1);
  EXPECT_EQ(count(picture(), kWhite), 36);
  r().LINE(0, Coord{0, 10}, Coord{47, 10}, 5, Box::None, std::nullopt, -1, 5);  // null pen
  EXPECT_EQ(count(picture(), kRed), 0);
  r().LINE(0, Coord{100, 100}, Coord{110, 120}, 5, Box::B);
  EXPECT_EQ(count(picture(), kRed), 2 * (10 + 20));
  EXPECT_EQ(picture().get(105, kBottom - 110), 0u);
  // BF with a fill colour: the whole box in the fill colour.
  r().LINE(0, Coord{200, 100}, Coord{209, 109}, 5, Box::BF, 3);
  EXPECT_EQ(count(picture(), rgb(0, 0, 255)), 100);
}

TEST_F(ScreenTest, CircleFillArcAndPie) {
  r().CIRCLE(0, Coord{100, 100}, 20, 15, 1, 0, 0, true, -1, 3);
  EXPECT_EQ(picture().get(100, kBottom - 100), rgb(0, 0, 255));
  EXPECT_EQ(picture().get(80, kBottom - 100), kWhite);   // leftmost pixel of the middle rows
  r().CIRCLE(0, Coord{300, 300}, 20, 5, 1, 0, 0, true);  // filled in the outline colour
  EXPECT_EQ(picture().get(300, kBottom - 300), kRed);
  // An arc from 0 to pi/2 lies up and to the right of the centre (world y up).
  r().CLS(0, 0);
  r().CIRCLE(0, Coord{300, 300}, 30, 15, 1, 0, std::numbers::pi / 2);
  Extent e = extent(picture(), kWhite);
  EXPECT_GE(e.left, 300);
  EXPECT_LE(e.bottom, kBottom - 299);
  // A negative angle counts as its size; a pie is filled.
  r().CLS(0, 0);
  r().CIRCLE(0, Coord{300, 300}, 30, 15, 1, -std::numbers::pi, -3 * std::numbers::pi / 2, true, -1,
             5);
  EXPECT_EQ(picture().get(290, kBottom - 290), kRed);  // lower left quarter
  EXPECT_EQ(picture().get(310, kBottom - 290), 0u);
  EXPECT_EQ(picture().get(290, kBottom - 310), 0u);
}

// The game builds obstacles from outlines of radius r, r-1, ..., 1. For each
// radius: outlines in a fresh colour, then the filled disc XORed in the same
// colour; a hole would be left in that colour, and so would an outline pixel
// outside the disc. (The surface tests cover every radius; here every small
// one and a spread of large ones, some reaching past the window's edges.)
TEST_F(ScreenTest, ConcentricCirclesThroughTheStatementsLeaveNoHole) {
  const Coord centre{320.25, 251.7};
  for (int big = 1; big <= 330; big += big < 100 ? 1 : 9) {
    r().PALETTE_RGB(0, 1, big % 256, 1 + big / 256, 77);
    Rgb c = r().palette_rgb(1);
    for (int k = big; k >= 1; --k) r().CIRCLE(0, centre, k, 1);
    r().CIRCLE(0, centre, big, 1, 1, 0, 0, true, 4);
    ASSERT_EQ(count_in(picture(), c, 320 - big - 2, 252 - big - 2, 320 + big + 2, 252 + big + 2), 0)
        << "radius " << big;
  }
  // Each disc XORed away its outlines: only background is left.
  EXPECT_EQ(count(picture(), 0), 640 * 504);
}

// ---------------------------------------------------------------- blocks

TEST_F(ScreenTest, GetStoresADeviceIndependentBitmap) {
  r().LINE(0, Coord{0, 0}, Coord{0, 0}, 5);      // bottom-left pixel of the block
  r().LINE(0, Coord{39, 19}, Coord{39, 19}, 3);  // top-right
  EXPECT_EQ(Screen::block_bytes(40, 20), 3252u);
  std::vector<std::uint8_t> block(3252, 0xAA);
  r().GET(0, Coord{0, 0}, Coord{39, 19}, block);
  auto u32 = [&](std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, &block[at], 4);
    return v;
  };
  EXPECT_EQ(u32(0), 40u);
  EXPECT_EQ(u32(4), 40u);
  EXPECT_EQ(u32(8), 20u);
  EXPECT_EQ(block[12] | block[13] << 8, 1);
  EXPECT_EQ(block[14] | block[15] << 8, 32);
  EXPECT_EQ(u32(40), 0x00FF0000u);
  EXPECT_EQ(u32(44), 0x0000FF00u);
  EXPECT_EQ(u32(48), 0x000000FFu);
  EXPECT_EQ(u32(52), kRed);                       // first row stored is the bottom one
  EXPECT_EQ(u32(52 + 19 * 160 + 39 * 4), 0xFFu);  // last row, last pixel: blue
  EXPECT_EQ(u32(52 + 4), 0u);
}

TEST_F(ScreenTest, GetThenPutInPlaceChangesNothing) {
  r().LINE(0, Coord{0, 0}, Coord{639, 503}, 14, Box::BF);
  r().CIRCLE(0, Coord{20, 10}, 16, 5, 0.5, 0, 0, true);
  r().LINE(0, Coord{3, 2}, Coord{35, 17}, 3);
  Surface before = picture();
  std::vector<std::uint8_t> block(Screen::block_bytes(40, 20));
  r().GET(0, Coord{0, 0}, STEP(39, 19), block);
  r().PUT(0, Coord{0, 0}, STEP(39, 19), block, 0);
  EXPECT_EQ(picture(), before);
  EXPECT_EQ(backing(), before);
  // Put elsewhere: the same pixels, on both layers.
  r().PUT(0, Coord{600, 19}, STEP(39, 19), block);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 40; ++x) {
      ASSERT_EQ(picture().get(600 + x, kBottom - 19 - y), before.get(x, kBottom - y));
      ASSERT_EQ(backing().get(600 + x, kBottom - 19 - y), before.get(x, kBottom - y));
    }
  }
}

TEST_F(ScreenTest, PutModesAndStretching) {
  r().LINE(0, Coord{0, 0}, Coord{1, 0}, 5);
  r().LINE(0, Coord{0, 1}, Coord{1, 1}, 3);
  std::vector<std::uint8_t> block(Screen::block_bytes(2, 2));
  r().GET(0, Coord{0, 0}, Coord{1, 1}, block);
  r().LINE(0, Coord{100, 100}, Coord{110, 110}, 14, Box::BF);
  Surface before = picture();
  r().PUT(0, Coord{100, 100}, STEP(1, 1), block, 4);  // XOR
  EXPECT_EQ(picture().get(100, kBottom - 100), rgb(192 ^ 255, 192, 192));
  r().PUT(0, Coord{100, 100}, STEP(1, 1), block, 4);
  EXPECT_EQ(picture(), before);
  r().PUT(0, Coord{100, 100}, STEP(1, 1), block, 5);  // inverted source
  EXPECT_EQ(picture().get(100, kBottom - 100), rgb(0, 255, 255));
  EXPECT_EQ(picture().get(100, kBottom - 101), rgb(255, 255, 0));
  r().PUT(0, Coord{100, 100}, STEP(1, 1), block, 2);  // AND
  EXPECT_EQ(picture().get(100, kBottom - 100), 0u);
  r().PUT(0, Coord{100, 100}, STEP(1, 1), block, 3);  // OR
  EXPECT_EQ(picture().get(100, kBottom - 100), kRed);
  // A 4x4 destination doubles every pixel.
  r().PUT(0, Coord{200, 200}, Coord{203, 203}, block);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(picture().get(200 + x, kBottom - 200 - y), y < 2 ? kRed : rgb(0, 0, 255));
  }
}

TEST_F(ScreenTest, BlockStorageAndCornerChecks) {
  std::vector<std::uint8_t> small(Screen::block_bytes(40, 20) - 1, 0x5A);
  EXPECT_EQ(error_of([&] { r().GET(0, Coord{0, 0}, Coord{39, 19}, small); }), 5);
  EXPECT_EQ(std::count(small.begin(), small.end(), 0x5A), static_cast<long>(small.size()));
  std::vector<std::uint8_t> block(Screen::block_bytes(40, 20));
  EXPECT_EQ(error_of([&] { r().GET(0, Coord{-1, 0}, Coord{39, 19}, block); }), 5);
  EXPECT_EQ(error_of([&] { r().GET(0, Coord{0, 0}, Coord{39, 504}, block); }), 5);
  EXPECT_EQ(error_of([&] { r().GET(0, Coord{0, 0}, Coord{4e9, 19}, block); }), 6);
  EXPECT_EQ(error_of([&] { r().GET(2, Coord{0, 0}, Coord{39, 19}, block); }), 1000);
  r().GET(0, Coord{0, 0}, Coord{39, 19}, block);
  EXPECT_EQ(error_of([&] { r().PUT(0, Coord{0, -1}, STEP(39, 19), block); }), 5);
  EXPECT_EQ(error_of([&] { r().PUT(1, Coord{0, 0}, STEP(39, 19), block); }), 1000);
  // A block that GET did not write, or that its storage cannot hold, is refused.
  std::vector<std::uint8_t> blank(Screen::block_bytes(40, 20), 0);
  EXPECT_EQ(error_of([&] { r().PUT(0, Coord{0, 0}, STEP(39, 19), blank); }), 5);
  std::vector<std::uint8_t> cut(block.begin(), block.end() - 4);
  EXPECT_EQ(error_of([&] { r().PUT(0, Coord{0, 0}, STEP(39, 19), cut); }), 5);
  std::vector<std::uint8_t> wide = block;
  wide[5] = 0x7F;  // width 32552: far beyond the storage
  EXPECT_EQ(error_of([&] { r().PUT(0, Coord{0, 0}, STEP(39, 19), wide); }), 5);
  EXPECT_EQ(error_of([&] {
              r().PUT(0, Coord{0, 0}, STEP(39, 19), std::span<const std::uint8_t>{});
            }),
            5);
}

// ---------------------------------------------------------------- repaint and CLS

TEST_F(ScreenTest, ExposeRestoresThePictureFromTheBackingBitmap) {
  r().LINE(0, Coord{50, 50}, Coord{150, 120}, 13, Box::BF);
  r().CIRCLE(0, Coord{300, 300}, 40, 9);
  Surface drawn = backing();
  picture().fill(rgb(1, 2, 3));  // the window was covered
  platform::Event expose;
  expose.type = platform::Event::Type::Expose;
  p.host().push_event(expose);
  r().pump_messages();
  EXPECT_EQ(picture(), drawn);
  picture().fill(rgb(4, 5, 6));
  r().repaint_window();
  EXPECT_EQ(picture(), drawn);
}

TEST_F(ScreenTest, ClsFourKeepsTheGraphicsClsZeroClearsThem) {
  r().LINE(0, Coord{10, 10}, Coord{60, 40}, 5, Box::BF);
  r().LOCATE(0, 5, 7);
  r().CLS(0, 4);
  EXPECT_EQ(count(picture(), kRed), 51 * 31);
  EXPECT_EQ(count(backing(), kRed), 51 * 31);
  EXPECT_EQ(r().cursor_row(), 0);
  EXPECT_EQ(r().cursor_column(), 0);
  r().LOCATE(0, 5, 7);
  r().COLOR(0, std::nullopt, 2);
  r().CLS(0, 0);
  EXPECT_EQ(count(picture(), rgb(0, 0, 128)), 640 * 504);
  EXPECT_EQ(count(backing(), rgb(0, 0, 128)), 640 * 504);
  EXPECT_EQ(r().cursor_column(), 0);
}

TEST_F(ScreenTest, ClsOtherModes) {
  r().LINE(0, Coord{10, 10}, Coord{60, 40}, 5, Box::BF);
  r().CLS(0, 2);  // text only
  EXPECT_EQ(count(picture(), kRed), 51 * 31);
  r().CLS(0, 1);  // graphics only
  EXPECT_EQ(count(picture(), kRed), 0);
  EXPECT_EQ(count(backing(), kRed), 0);
}

// ---------------------------------------------------------------- errors

TEST_F(ScreenTest, EveryStatementRefusesAnotherWindow) {
  std::vector<std::uint8_t> block(Screen::block_bytes(40, 20));
  EXPECT_EQ(error_of([&] { r().CLS(1, 0); }), 1000);
  EXPECT_EQ(error_of([&] { r().COLOR(1, 15); }), 1000);
  EXPECT_EQ(error_of([&] { r().PALETTE(1, 1, 1); }), 1000);
  EXPECT_EQ(error_of([&] { r().PALETTE_RGB(1, 1, 1, 1, 1); }), 1000);
  EXPECT_EQ(error_of([&] { r().LINE(1, Coord{0, 0}, Coord{1, 1}); }), 1000);
  EXPECT_EQ(error_of([&] { r().CIRCLE(1, Coord{9, 9}, 3); }), 1000);
  EXPECT_EQ(error_of([&] { r().GET(-1, Coord{0, 0}, Coord{39, 19}, block); }), 1000);
}

TEST_F(ScreenTest, BadArgumentsRaiseTheirErrorsBeforeAnyDrawing) {
  r().LINE(0, Coord{7, 7}, Coord{8, 8}, 2);
  Surface before = picture();
  struct Case {
    const char* what;
    int error;
    std::function<void()> call;
  };
  const Case cases[] = {
      {"CLS mode 6", 5, [&] { r().CLS(0, 6); }},
      {"CLS mode -1", 5, [&] { r().CLS(0, -1); }},
      {"COLOR 16", 5, [&] { r().COLOR(0, 16); }},
      {"COLOR background -1", 5, [&] { r().COLOR(0, 1, -1); }},
      {"COLOR border 16", 5, [&] { r().COLOR(0, 1, 1, 16); }},
      {"COLOR function 2", 5, [&] { r().COLOR(0, 1, 1, 1, 2); }},
      {"COLOR function 3", 5, [&] { r().COLOR(0, 1, 1, 1, 3); }},
      {"COLOR function 6", 5, [&] { r().COLOR(0, 1, 1, 1, 6); }},
      {"PALETTE entry 16", 5, [&] { r().PALETTE(0, 16, 1); }},
      {"PALETTE code 8", 5, [&] { r().PALETTE(0, 1, 8); }},
      {"PALETTE_RGB entry -1", 5, [&] { r().PALETTE_RGB(0, -1, 1, 1, 1); }},
      {"PALETTE_RGB green 256", 5, [&] { r().PALETTE_RGB(0, 1, 256, 1, 1); }},
      {"PALETTE_RGB red -1", 5, [&] { r().PALETTE_RGB(0, 1, 1, -1, 1); }},
      {"PALETTE_RGB blue 300", 5, [&] { r().PALETTE_RGB(0, 1, 1, 1, 300); }},
      {"LINE colour 16", 5,
       [&] {
         r().LINE(0, Coord{0, 0}, Coord{9, 9}, 16);
       }},
      {"LINE fill 16", 5,
       [&] {
         r().LINE(0, Coord{0, 0}, Coord{9, 9}, 1, Box::BF, 16);
       }},
      {"LINE style 9", 5,
       [&] {
         r().LINE(0, Coord{0, 0}, Coord{9, 9}, 1, Box::None, std::nullopt, -1, 9);
       }},
      {"LINE x 3e9", 6,
       [&] {
         r().LINE(0, Coord{0, 0}, Coord{3e9, 9}, 1, Box::BF);
       }},
      {"LINE y -3e9", 6,
       [&] {
         r().LINE(0, Coord{-3e9, 0}, Coord{9, 9}, 1);
       }},
      {"LINE STEP overflow", 6,
       [&] {
         r().LINE(0, Coord{2e9, 0}, STEP(2e9, 0), 1);
       }},
      {"CIRCLE colour 16", 5,
       [&] {
         r().CIRCLE(0, Coord{50, 50}, 5, 16);
       }},
      {"CIRCLE fill 99", 5,
       [&] {
         r().CIRCLE(0, Coord{50, 50}, 5, 1, 1, 0, 0, true, -1, 99);
       }},
      {"CIRCLE radius -1", 5,
       [&] {
         r().CIRCLE(0, Coord{50, 50}, -1, 1);
       }},
      {"CIRCLE aspect -0.5", 5,
       [&] {
         r().CIRCLE(0, Coord{50, 50}, 5, 1, -0.5);
       }},
      {"CIRCLE start 7", 5,
       [&] {
         r().CIRCLE(0, Coord{50, 50}, 5, 1, 1, 7, 1);
       }},
      {"CIRCLE end -7", 5,
       [&] {
         r().CIRCLE(0, Coord{50, 50}, 5, 1, 1, 1, -7);
       }},
      {"CIRCLE radius 3e9", 6,
       [&] {
         r().CIRCLE(0, Coord{50, 50}, 3e9, 1);
       }},
      {"CIRCLE aspect huge", 6,
       [&] {
         r().CIRCLE(0, Coord{50, 50}, 10, 1, 1e9);
       }},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(error_of(c.call), c.error) << c.what;
    EXPECT_EQ(picture(), before) << c.what;
    EXPECT_EQ(backing(), before) << c.what;
    EXPECT_EQ(r().last_x(), 8) << c.what;
  }
  EXPECT_EQ(r().foreground(), 15);
  EXPECT_EQ(r().color_mode(), 4);
  EXPECT_EQ(r().palette_rgb(1), rgb(128, 128, 128));
  // The largest angle is 2 pi as a SINGLE.
  EXPECT_EQ(error_of([&] { r().CIRCLE(0, Coord{50, 50}, 5, 1, 1, 0, 6.2831855f); }), 0);
}

// ---------------------------------------------------------------- clipping

TEST_F(ScreenTest, ShapesFarOutsideTheWindowAreClipped) {
  r().LINE(0, Coord{0, 0}, Coord{800, 2000}, 2, Box::BF);  // the game's margins reach this far
  EXPECT_EQ(count(picture(), rgb(0, 0, 128)), 801 > 640 ? 640 * 504 : 0);
  r().CLS(0, 0);
  r().LINE(0, Coord{-1e6, 503 + 1e6}, Coord{1e6, 503 - 1e6}, 15);  // the diagonal from top-left
  EXPECT_EQ(count(picture(), kWhite), 504);
  EXPECT_EQ(picture().get(100, 100), kWhite);
  r().CLS(0, 0);
  r().CIRCLE(0, Coord{1e8, 1e8}, 10, 15, 1, 0, 0, true);
  r().CIRCLE(0, Coord{-500, 200}, 100, 15);
  r().LINE(0, Coord{-100, -100}, Coord{-50, 600}, 15, Box::B);
  EXPECT_EQ(count(picture(), kWhite), 0);
  r().CIRCLE(0, Coord{320, 252}, 1e9, 15, 1, 0, 0, true, -1, 5);  // the window deep inside
  EXPECT_EQ(count(picture(), kRed), 640 * 504);
  r().CIRCLE(0, Coord{320, -20}, 40, 15, 1, 0, 0, true);  // half below the bottom edge
  Extent e = extent(picture(), kWhite);
  EXPECT_EQ(e.bottom, kBottom);
  EXPECT_EQ(e.top, kBottom - 20);
  EXPECT_EQ(e.left + e.right, 639);  // the box runs from x 280 to 359
}

// ---------------------------------------------------------------- a picture

// Draws a scene in the game's manner and writes it as a PNG next to the
// test binary; the file reads back as the same picture.
TEST_F(ScreenTest, DemoSceneSavesAsPng) {
  r().CLS(0, 0);
  r().LINE(0, Coord{0, 0}, Coord{80, 2000}, 2, Box::BF);
  r().LINE(0, Coord{556, 0}, Coord{800, 2000}, 2, Box::BF);
  r().LINE(0, Coord{64, 0}, Coord{556, 464}, 2, Box::BF);
  r().LINE(0, Coord{80, 0}, Coord{540, 464}, 0, Box::BF);
  r().LINE(0, Coord{80, 464}, Coord{528, 464}, 14);
  r().PALETTE_RGB(0, 1, 120, 120, 50);
  for (Coord c : {Coord{40, 560}, Coord{580, 560}}) {
    r().CIRCLE(0, c, 199, 1, 1, 0, 0, true);
    r().CIRCLE(0, c, 199, 14);
  }
  r().LINE(0, Coord{80, 465}, Coord{528, 527}, 1, Box::BF);
  const struct {
    double x, y, r;
    int kind;
  } stones[] = {{200.3, 150.6, 25, 9}, {330, 240, 18, 13}, {345.5, 255.2, 15, 14},
                {420, 120, 21, 5},     {150, 330, 14, 15}, {470.7, 380.2, 10, 15}};
  for (const auto& s : stones) {
    for (double k = s.r - 1; k >= 1; --k) r().CIRCLE(0, Coord{s.x, s.y}, k, s.kind);
  }
  r().CIRCLE(0, Coord{300, 20}, 9, 15);  // the walker
  // The try icon: a filled body with two dark spots, taken by GET, put by PUT.
  std::vector<std::uint8_t> icon(Screen::block_bytes(40, 20));
  std::vector<std::uint8_t> blank(Screen::block_bytes(40, 20));
  r().GET(0, Coord{600, 400}, STEP(39, 19), blank);
  r().CIRCLE(0, Coord{620, 410}, 16, 13, 0.5, 0, 0, true);
  for (double dy : {-16 / 5.5, 16 / 5.5})
    r().CIRCLE(0, Coord{620 - 0.6 * 16, 410 + dy}, 3, 0, 0.5, 0, 0, true);
  r().GET(0, Coord{600, 400}, STEP(39, 19), icon);
  r().PUT(0, Coord{600, 400}, STEP(39, 19), blank);
  for (int k = 0; k < 10; ++k) r().PUT(0, Coord{600, k * 19.0}, STEP(39, 19), icon);
  r().LINE(0, Coord{90, 480}, Coord{270, 480}, 15, Box::None, std::nullopt, -1, 1);
  r().LINE(0, Coord{90, 490}, Coord{270, 490}, 15, Box::None, std::nullopt, -1, 3);
  r().CIRCLE(0, Coord{300, 484}, 14, 5, 1, 0.5, 5.0, true, -1, 13);
  EXPECT_EQ(picture(), backing());

  // Beside the test binary, inside the build tree.
  std::string path =
      (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "screen_demo.png").string();
  std::string error;
  ASSERT_TRUE(platform::save_png(picture(), path, &error)) << error;
  Surface back;
  ASSERT_TRUE(platform::load_png(path, &back, &error)) << error;
  EXPECT_EQ(back, picture());
}

}  // namespace
}  // namespace rt

// The graphics statements on the main window: world coordinates, both
// layers, the palette, GET/PUT blocks, repainting, CLS and the error checks.
// The pixel rules of the shapes themselves are the surface tests' business.
#include "runtime/screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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
using testing_support::Program;

constexpr int kBottom = 503;  // pixel row of world y = 0
constexpr Rgb kWhite = rgb(255, 255, 255), kRed = rgb(255, 0, 0), kBlue = rgb(0, 0, 255);
constexpr Rgb kSilver = rgb(192, 192, 192), kNavy = rgb(0, 0, 128);
constexpr double kPi = std::numbers::pi;

class ScreenTest : public ::testing::Test {
 protected:
  ScreenTest() { p.start(); }
  Runtime& r() { return p.rt(); }
  Surface& picture() { return p.host().picture(); }
  Surface& backing() { return p.rt().backing(); }
  Rgb at(int x, int world_y) { return picture().get(x, kBottom - world_y); }
  // Left, top, right and bottom pixel of colour c on the picture.
  std::array<int, 4> bounds(Rgb c) {
    auto e = testing_support::extent(picture(), c);
    return {e.left, e.top, e.right, e.bottom};
  }
  Program p;
};

TEST_F(ScreenTest, LineBoxAndCircleSizesOnBothLayers) {
  r().LINE(0, Coord{10, 10}, Coord{20, 10}, 15);
  EXPECT_EQ(count(picture(), kWhite), 11);
  EXPECT_EQ(bounds(kWhite), (std::array{10, kBottom - 10, 20, kBottom - 10}));
  EXPECT_GT(p.host().changes(), 0);
  r().LINE(0, Coord{0, 0}, Coord{39, 19}, 5, Box::BF);
  EXPECT_EQ(count(picture(), kRed), 40 * 20);
  EXPECT_EQ(bounds(kRed), (std::array{0, kBottom - 19, 39, kBottom}));
  EXPECT_EQ(picture(), backing());

  r().CLS(0, 0);
  r().CIRCLE(0, Coord{100, 100}, 10, 15, 0.5);  // 20 by 10 pixels
  EXPECT_EQ(bounds(kWhite), (std::array{90, kBottom - 105, 109, kBottom - 96}));
  // The title's ring at (284, 98), radius 8, sits on text cell column 35, row 22.
  r().CLS(0, 0);
  r().CIRCLE(0, Coord{284, 98}, 8, 15);
  EXPECT_EQ(bounds(kWhite), (std::array{276, 397, 291, 412}));
  EXPECT_EQ(picture(), backing());
}

TEST_F(ScreenTest, CoordinatesRoundHalfAwayFromZeroAndPmapConverts) {
  r().LINE(0, Coord{10.5, 20.4}, Coord{10.5, 20.4}, 15);  // pixel x 11, row round(482.6)
  EXPECT_EQ(picture().get(11, 483), kWhite);
  r().LINE(0, Coord{-0.5, 5}, Coord{-0.5, 5}, 5);  // pixel x -1: off the picture
  EXPECT_EQ(count(picture(), kRed), 0);
  r().LINE(0, Coord{0.49, 5}, Coord{0.49, 5}, 5);
  EXPECT_EQ(at(0, 5), kRed);

  const struct {
    double value;
    int direction;
    double want;
  } maps[] = {{123, 2, 123},       {0, 3, 503}, {503, 3, 0},
              {100.25, 3, 402.75}, {7.5, 0, 8}, {10, 1, 493}};
  for (const auto& m : maps) EXPECT_EQ(r().PMAP(0, m.value, m.direction), m.want) << m.direction;
  EXPECT_EQ(error_of([&] { r().PMAP(0, 1, 4); }), 5);
  EXPECT_EQ(error_of([&] { r().PMAP(0, 1, -1); }), 5);
  EXPECT_EQ(error_of([&] { r().PMAP(0, 3e9, 0); }), 6);
  EXPECT_EQ(error_of([&] { r().PMAP(0, 1e300, 2); }), 6);
}

TEST_F(ScreenTest, LastPointAndStep) {
  r().LINE(0, Coord{10, 10}, Coord{30, 10}, 15);
  r().LINE(0, std::nullopt, STEP(0, 5), 5);  // from the last point, to an offset of the first
  EXPECT_EQ(count_in(picture(), kRed, 30, kBottom - 15, 30, kBottom - 10), 6);
  r().LINE(0, STEP(10, 0), STEP(0, 0), 3);  // STEP on the first point: from the last point
  EXPECT_EQ(at(40, 15), kBlue);
  // CIRCLE leaves its centre as the last point, STEP centre from there.
  r().CIRCLE(0, Coord{200.5f, 100.25f}, 5, 15);
  EXPECT_EQ(r().last_y(), 100.25f);
  r().CIRCLE(0, STEP(-100, 0), 0.5, 15);
  EXPECT_EQ(r().last_x(), 100.5f);
}

TEST_F(ScreenTest, PaletteFormsAndDefaults) {
  const std::pair<int, Rgb> defaults[] = {
      {1, rgb(128, 128, 128)}, {6, rgb(128, 0, 128)}, {12, rgb(128, 128, 0)}, {14, kSilver}};
  for (auto [n, c] : defaults) EXPECT_EQ(r().palette_rgb(n), c) << n;
  r().COLOR(0, 5);  // without a colour, drawing uses the foreground
  r().LINE(0, Coord{0, 0}, Coord{9, 0});
  EXPECT_EQ(count(picture(), kRed), 10);

  // The RGB form takes green, red, blue and recolours only later shapes.
  r().LINE(0, Coord{0, 0}, Coord{9, 9}, 7, Box::BF);
  Rgb old = r().palette_rgb(7);
  r().PALETTE_RGB(0, 7, 255, 75, 75);
  r().LINE(0, Coord{20, 0}, Coord{29, 9}, 7, Box::BF);
  EXPECT_EQ(at(5, 5), old);
  EXPECT_EQ(backing().get(5, kBottom - 5), old);
  EXPECT_EQ(at(25, 5), rgb(75, 255, 75));

  // The code form follows the colour mode (4 at the start).
  EXPECT_EQ(r().color_mode(), 4);
  const struct {
    int mode, code;
    Rgb want;
  } codes[] = {
      {4, 2, kRed}, {4, 0, 0}, {0, 2, rgb(128, 0, 0)}, {0, 0, rgb(128, 128, 128)}, {5, 7, kWhite}};
  for (const auto& c : codes) {
    r().COLOR(0, std::nullopt, std::nullopt, std::nullopt, c.mode);
    r().PALETTE(0, 3, c.code);
    EXPECT_EQ(r().palette_rgb(3), c.want) << c.mode << " " << c.code;
  }
}

TEST_F(ScreenTest, FunctionsAndStylesSelectTheRasterOperationAndPen) {
  r().LINE(0, Coord{0, 0}, Coord{99, 99}, 14, Box::BF);
  Surface before = picture();
  r().LINE(0, Coord{10, 10}, Coord{50, 30}, 5, Box::BF, std::nullopt, 4);  // XOR
  EXPECT_EQ(at(20, 20), rgb(192 ^ 255, 192, 192));
  r().LINE(0, Coord{10, 10}, Coord{50, 30}, 5, Box::BF, std::nullopt, 4);
  EXPECT_EQ(picture(), before);
  EXPECT_EQ(backing(), before);
  // NOT, AND, OR, and any other number copies.
  const struct {
    int colour, function;
    Rgb want;
  } rops[] = {{0, 5, rgb(63, 63, 63)}, {3, 2, rgb(0, 0, 192)}, {2, 3, kSilver}, {5, 9, kRed}};
  for (const auto& c : rops) {
    r().LINE(0, Coord{0, 50}, Coord{99, 50}, 14);
    r().LINE(0, Coord{0, 50}, Coord{99, 50}, c.colour, Box::None, std::nullopt, c.function);
    EXPECT_EQ(at(60, 50), c.want) << c.function;
  }
  r().COLOR(0, 15, 3);  // PRESET without a colour draws in the background colour
  r().LINE(0, Coord{0, 90}, Coord{99, 90}, std::nullopt, Box::None, std::nullopt, 1);
  EXPECT_EQ(at(60, 90), kBlue);

  r().COLOR(0, 15, 0);
  r().CLS(0, 0);
  r().LINE(0, Coord{0, 0}, Coord{47, 0}, 15, Box::None, std::nullopt, -1, 1);  // dashes
  EXPECT_EQ(count(picture(), kWhite), 36);
  r().LINE(0, Coord{0, 10}, Coord{47, 10}, 5, Box::None, std::nullopt, -1, 5);  // null pen
  r().LINE(0, Coord{100, 100}, Coord{110, 120}, 5, Box::B);
  EXPECT_EQ(count(picture(), kRed), 2 * (10 + 20));
  r().LINE(0, Coord{200, 100}, Coord{209, 109}, 5, Box::BF, 3);  // BF with a fill colour
  EXPECT_EQ(count(picture(), kBlue), 100);
}

TEST_F(ScreenTest, CircleFillArcAndPie) {
  r().CIRCLE(0, Coord{100, 100}, 20, 15, 1, 0, 0, true, -1, 3);
  EXPECT_EQ(at(100, 100), kBlue);
  EXPECT_EQ(at(80, 100), kWhite);                        // leftmost pixel of the middle rows
  r().CIRCLE(0, Coord{300, 300}, 20, 5, 1, 0, 0, true);  // filled in the outline colour
  EXPECT_EQ(at(300, 300), kRed);
  // An arc from 0 to pi/2 lies up and to the right of the centre (world y up).
  r().CLS(0, 0);
  r().CIRCLE(0, Coord{300, 300}, 30, 15, 1, 0, kPi / 2);
  auto b = bounds(kWhite);
  EXPECT_TRUE(b[0] >= 300 && b[3] <= kBottom - 299) << b[0] << " " << b[3];
  // A negative angle counts as its size; a pie is filled.
  r().CLS(0, 0);
  r().CIRCLE(0, Coord{300, 300}, 30, 15, 1, -kPi, -3 * kPi / 2, true, -1, 5);
  EXPECT_EQ(at(290, 290), kRed);  // lower left quarter
  EXPECT_EQ(at(310, 290), 0u);
  EXPECT_EQ(at(290, 310), 0u);
}

// Obstacles are outlines of radius r, r-1, ..., 1. For each radius: outlines
// in a fresh colour, then the filled disc XORed in the same colour; a hole
// would be left in that colour, and so would an outline pixel outside the
// disc. The surface tests cover every radius; here the statements' part.
TEST_F(ScreenTest, ConcentricCirclesThroughTheStatementsLeaveNoHole) {
  const Coord centre{320.25, 251.7};
  for (int big : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 24, 57, 100, 199, 330}) {
    r().PALETTE_RGB(0, 1, big % 256, 1 + big / 256, 77);
    Rgb c = r().palette_rgb(1);
    for (int k = big; k >= 1; --k) r().CIRCLE(0, centre, k, 1);
    r().CIRCLE(0, centre, big, 1, 1, 0, 0, true, 4);
    ASSERT_EQ(count_in(picture(), c, 318 - big, 250 - big, 322 + big, 254 + big), 0) << big;
  }
  EXPECT_EQ(count(picture(), 0), 640 * 504) << "each disc XORed away its outlines";
}

TEST_F(ScreenTest, GetStoresADeviceIndependentBitmap) {
  r().LINE(0, Coord{0, 0}, Coord{0, 0}, 5);      // bottom-left pixel of the block
  r().LINE(0, Coord{39, 19}, Coord{39, 19}, 3);  // top-right
  EXPECT_EQ(Screen::block_bytes(40, 20), 3252u);
  std::vector<std::uint8_t> block(3252, 0xAA);
  r().GET(0, Coord{0, 0}, Coord{39, 19}, block);
  std::uint32_t head[13];  // sizes, width, height, planes and bits, ..., colour masks
  std::memcpy(head, block.data(), sizeof head);
  EXPECT_EQ(head[0], 40u);
  EXPECT_EQ(head[1], 40u);
  EXPECT_EQ(head[2], 20u);
  EXPECT_EQ(head[3], 1u | 32u << 16);
  EXPECT_EQ((std::array{head[10], head[11], head[12]}),
            (std::array{0x00FF0000u, 0x0000FF00u, 0x000000FFu}));
  std::uint32_t px[3];
  std::memcpy(&px[0], &block[52], 4);  // the first row stored is the bottom one
  std::memcpy(&px[1], &block[56], 4);
  std::memcpy(&px[2], &block[52 + 19 * 160 + 39 * 4], 4);  // last row, last pixel
  EXPECT_EQ((std::array{px[0], px[1], px[2]}), (std::array{kRed, 0u, kBlue}));
}

TEST_F(ScreenTest, GetThenPutInPlaceChangesNothingAndPutCopiesElsewhere) {
  r().LINE(0, Coord{0, 0}, Coord{639, 503}, 14, Box::BF);
  r().CIRCLE(0, Coord{20, 10}, 16, 5, 0.5, 0, 0, true);
  r().LINE(0, Coord{3, 2}, Coord{35, 17}, 3);
  Surface before = picture();
  std::vector<std::uint8_t> block(Screen::block_bytes(40, 20));
  r().GET(0, Coord{0, 0}, STEP(39, 19), block);
  r().PUT(0, Coord{0, 0}, STEP(39, 19), block, 0);
  EXPECT_EQ(picture(), before);
  EXPECT_EQ(backing(), before);
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
  EXPECT_EQ(at(100, 100), rgb(192 ^ 255, 192, 192));
  r().PUT(0, Coord{100, 100}, STEP(1, 1), block, 4);
  EXPECT_EQ(picture(), before);
  r().PUT(0, Coord{100, 100}, STEP(1, 1), block, 5);  // inverted source
  EXPECT_EQ(at(100, 101), rgb(255, 255, 0));
  r().PUT(0, Coord{100, 100}, STEP(1, 1), block, 2);  // AND
  EXPECT_EQ(at(100, 100), 0u);
  r().PUT(0, Coord{100, 100}, STEP(1, 1), block, 3);  // OR
  EXPECT_EQ(at(100, 100), kRed);
  r().PUT(0, Coord{200, 200}, Coord{203, 203}, block);  // a 4x4 destination doubles every pixel
  EXPECT_EQ(count_in(picture(), kRed, 200, kBottom - 201, 203, kBottom - 200), 8);
  EXPECT_EQ(count_in(picture(), kBlue, 200, kBottom - 203, 203, kBottom - 202), 8);
}

TEST_F(ScreenTest, ExposeRepaintsFromTheBackingBitmapAndClsClearsItsLayers) {
  r().LINE(0, Coord{10, 10}, Coord{60, 40}, 5, Box::BF);
  Surface drawn = backing();
  picture().fill(rgb(1, 2, 3));  // the window was covered
  platform::Event expose;
  expose.type = platform::Event::Type::Expose;
  p.host().push_event(expose);
  r().pump_messages();
  EXPECT_EQ(picture(), drawn);

  for (int mode : {4, 2}) {  // text only
    r().LOCATE(0, 5, 7);
    r().CLS(0, mode);
    EXPECT_EQ(picture(), drawn) << mode;
    EXPECT_EQ(backing(), drawn) << mode;
    EXPECT_EQ(r().cursor_row(), 0) << mode;
  }
  r().CLS(0, 1);  // graphics only
  EXPECT_EQ(count(picture(), kRed) + count(backing(), kRed), 0);
  r().LOCATE(0, 5, 7);
  r().COLOR(0, std::nullopt, 2);
  r().CLS(0, 0);
  EXPECT_EQ(count(picture(), kNavy) + count(backing(), kNavy), 2 * 640 * 504);
  EXPECT_EQ(r().cursor_row(), 0);
}

TEST_F(ScreenTest, BadArgumentsRaiseTheirErrorsBeforeAnyDrawing) {
  r().LINE(0, Coord{7, 7}, Coord{8, 8}, 2);
  const Surface before = picture();
  std::vector<std::uint8_t> block(Screen::block_bytes(40, 20), 0x5A), blank(block.size(), 0);
  std::vector<std::uint8_t> small(block.size() - 1, 0x5A);
  const Coord o{0, 0}, c{50, 50}, n{9, 9}, corner{39, 19};
  // The last two: storage too small for the block (left untouched), a block GET did not write.
  // clang-format off
  const std::pair<int, std::function<void()>> cases[] = {
      {1000, [&] { r().CLS(1, 0); }}, {1000, [&] { r().COLOR(1, 15); }},
      {1000, [&] { r().PALETTE(1, 1, 1); }}, {1000, [&] { r().PALETTE_RGB(1, 1, 1, 1, 1); }},
      {1000, [&] { r().LINE(1, o, n); }}, {1000, [&] { r().CIRCLE(1, c, 3); }},
      {1000, [&] { r().GET(-1, o, corner, block); }}, {1000, [&] { r().PUT(1, o, corner, block); }},
      {1000, [&] { r().PMAP(1, 1, 2); }}, {5, [&] { r().CLS(0, 6); }}, {5, [&] { r().CLS(0, -1); }},
      {5, [&] { r().COLOR(0, 16); }}, {5, [&] { r().COLOR(0, 1, -1); }},
      {5, [&] { r().COLOR(0, 1, 1, 16); }}, {5, [&] { r().COLOR(0, 1, 1, 1, 2); }},
      {5, [&] { r().COLOR(0, 1, 1, 1, 6); }}, {5, [&] { r().PALETTE(0, 16, 1); }},
      {5, [&] { r().PALETTE(0, 1, 8); }}, {5, [&] { r().PALETTE_RGB(0, -1, 1, 1, 1); }},
      {5, [&] { r().PALETTE_RGB(0, 1, 256, 1, 1); }}, {5, [&] { r().PALETTE_RGB(0, 1, 1, -1, 1); }},
      {5, [&] { r().PALETTE_RGB(0, 1, 1, 1, 300); }}, {5, [&] { r().LINE(0, o, n, 16); }},
      {5, [&] { r().LINE(0, o, n, 1, Box::BF, 16); }},
      {6, [&] { r().LINE(0, Coord{-3e9, 0}, n, 1); }},
      {6, [&] { r().LINE(0, o, Coord{3e9, 9}, 1, Box::BF); }},
      {6, [&] { r().LINE(0, Coord{2e9, 0}, STEP(2e9, 0), 1); }},
      {5, [&] { r().LINE(0, o, n, 1, Box::None, std::nullopt, -1, 9); }},
      {5, [&] { r().CIRCLE(0, c, 5, 16); }}, {5, [&] { r().CIRCLE(0, c, -1, 1); }},
      {5, [&] { r().CIRCLE(0, c, 5, 1, -0.5); }}, {5, [&] { r().CIRCLE(0, c, 5, 1, 1, 7, 1); }},
      {5, [&] { r().CIRCLE(0, c, 5, 1, 1, 1, -7); }}, {6, [&] { r().CIRCLE(0, c, 3e9, 1); }},
      {6, [&] { r().CIRCLE(0, c, 10, 1, 1e9); }},
      {5, [&] { r().CIRCLE(0, c, 5, 1, 1, 0, 0, true, -1, 99); }},
      {6, [&] { r().GET(0, o, Coord{4e9, 19}, block); }},
      {5, [&] { r().GET(0, Coord{-1, 0}, corner, block); }},
      {5, [&] { r().GET(0, o, Coord{39, 504}, block); }},
      {5, [&] { r().GET(0, o, corner, small); }}, {5, [&] { r().PUT(0, o, STEP(39, 19), blank); }}};
  // clang-format on
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(error_of(cases[i].second), cases[i].first) << "case " << i;
    ASSERT_TRUE(picture() == before && backing() == before && r().last_x() == 8) << "case " << i;
  }
  EXPECT_EQ(std::count(small.begin(), small.end(), 0x5A), static_cast<long>(small.size()));
  EXPECT_EQ(r().foreground(), 15);
  EXPECT_EQ(r().color_mode(), 4);
  EXPECT_EQ(r().palette_rgb(1), rgb(128, 128, 128));
  // The largest angle is 2 pi as a SINGLE.
  EXPECT_EQ(error_of([&] { r().CIRCLE(0, c, 5, 1, 1, 0, 6.2831855f); }), 0);
}

TEST_F(ScreenTest, PutRefusesABlockItsStorageCannotHold) {
  std::vector<std::uint8_t> block(Screen::block_bytes(40, 20));
  r().GET(0, Coord{0, 0}, Coord{39, 19}, block);
  std::vector<std::uint8_t> cut(block.begin(), block.end() - 4), wide = block;
  wide[5] = 0x7F;  // width 32552: far beyond the storage
  for (const auto& b : {cut, wide, std::vector<std::uint8_t>{}}) {
    EXPECT_EQ(error_of([&] { r().PUT(0, Coord{0, 0}, STEP(39, 19), b); }), 5) << b.size();
  }
  EXPECT_EQ(error_of([&] { r().PUT(0, Coord{0, -1}, STEP(39, 19), block); }), 5);
}

TEST_F(ScreenTest, ShapesFarOutsideTheWindowAreClipped) {
  r().LINE(0, Coord{0, 0}, Coord{800, 2000}, 2, Box::BF);  // the game's margins reach this far
  EXPECT_EQ(count(picture(), kNavy), 640 * 504);
  r().CLS(0, 0);
  r().LINE(0, Coord{-1e6, 503 + 1e6}, Coord{1e6, 503 - 1e6}, 15);  // the diagonal from top-left
  EXPECT_EQ(count(picture(), kWhite), 504);
  EXPECT_EQ(picture().get(100, 100), kWhite);
  r().CLS(0, 0);
  r().CIRCLE(0, Coord{1e8, 1e8}, 10, 15, 1, 0, 0, true);
  r().CIRCLE(0, Coord{-500, 200}, 100, 15);
  r().LINE(0, Coord{-100, -100}, Coord{-50, 600}, 15, Box::B);
  EXPECT_EQ(count(picture(), kWhite), 0);
  r().CIRCLE(0, Coord{320, -20}, 40, 15, 1, 0, 0, true);  // half below the bottom edge
  EXPECT_EQ(bounds(kWhite),
            (std::array{285, kBottom - 20, 354, kBottom}));  // the row 20 below the centre
}

// A scene in the game's manner, written as a PNG next to the test binary to
// look at; the file reads back as the same picture.
TEST_F(ScreenTest, DemoSceneSavesAsPng) {
  r().LINE(0, Coord{0, 0}, Coord{800, 2000}, 2, Box::BF);
  r().LINE(0, Coord{80, 0}, Coord{540, 464}, 0, Box::BF);
  r().PALETTE_RGB(0, 1, 120, 120, 50);
  for (Coord c : {Coord{40, 560}, Coord{580, 560}}) r().CIRCLE(0, c, 199, 1, 1, 0, 0, true);
  for (auto [x, y, big, kind] : {std::array{200.3, 150.6, 25.0, 9.0},
                                 {330, 240, 18, 13},
                                 {420, 120, 21, 5},
                                 {470.7, 380.2, 10, 15}}) {
    for (double k = big - 1; k >= 1; --k) r().CIRCLE(0, Coord{x, y}, k, static_cast<int>(kind));
  }
  r().CIRCLE(0, Coord{300, 20}, 9, 15);  // the walker
  // The try icon: a filled body with two dark spots, taken by GET, put by PUT.
  std::vector<std::uint8_t> icon(Screen::block_bytes(40, 20));
  r().CIRCLE(0, Coord{620, 410}, 16, 13, 0.5, 0, 0, true);
  for (double dy : {-2.9, 2.9}) r().CIRCLE(0, Coord{610.4, 410 + dy}, 3, 0, 0.5, 0, 0, true);
  r().GET(0, Coord{600, 400}, STEP(39, 19), icon);
  for (int k = 0; k < 10; ++k) r().PUT(0, Coord{600, k * 19.0}, STEP(39, 19), icon);
  r().LINE(0, Coord{90, 480}, Coord{270, 480}, 15, Box::None, std::nullopt, -1, 3);
  r().CIRCLE(0, Coord{300, 484}, 14, 5, 1, 0.5, 5.0, true, -1, 13);
  EXPECT_EQ(picture(), backing());

  auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "screen_demo.png";
  std::string error;
  ASSERT_TRUE(platform::save_png(picture(), path.string(), &error)) << error;
  Surface back;
  ASSERT_TRUE(platform::load_png(path.string(), &back, &error)) << error;
  EXPECT_EQ(back, picture());
}

}  // namespace
}  // namespace rt

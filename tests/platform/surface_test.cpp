// Drawing primitives on Surface: end points, corners, pixel boxes, pen
// styles, raster operations, clipping and the concentric-outline guarantee.
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "tests/support/pixels.h"

namespace platform {
namespace {

using testing_support::count;
using testing_support::extent;
using testing_support::Extent;

constexpr Rgb kInk = rgb(255, 255, 255);
constexpr Pen kSolid{kInk, PenStyle::Solid, Rop::Copy};

bool in_ellipse(const PixelBox& box, int x, int y) {
  Span s = ellipse_span(box, y);
  return !s.empty() && x >= s.first && x <= s.last;
}

PixelBox circle_box(int cx, int cy, int r) {
  return {cx - r, cy - r, cx + r, cy + r};
}

// ---------------------------------------------------------------- lines

// Fixed lines (a point, vertical, diagonal, both directions), then random
// ones: the same pixels either way round, both ends set, one pixel per step of
// the longer axis and each within half a pixel of the true line.
TEST(SurfaceLine, AnyLineIsThinConnectedAndMatchesItsReverse) {
  std::vector<std::array<int, 4>> lines = {
      {7, 8, 7, 8}, {5, 40, 5, 30}, {0, 0, 9, 9}, {10, 10, 20, 10}};
  std::srand(7);
  for (int t = 0; t < 300; ++t)
    lines.push_back({std::rand() % 60, std::rand() % 60, std::rand() % 60, std::rand() % 60});
  for (auto [x0, y0, x1, y1] : lines) {
    Surface a(60, 60), b(60, 60);
    a.draw_line(x0, y0, x1, y1, kSolid);
    b.draw_line(x1, y1, x0, y0, kSolid);
    ASSERT_EQ(a, b) << x0 << "," << y0 << " " << x1 << "," << y1;
    EXPECT_EQ(a.get(x0, y0), kInk);
    EXPECT_EQ(a.get(x1, y1), kInk);
    EXPECT_EQ(count(a, kInk), std::max(std::abs(x1 - x0), std::abs(y1 - y0)) + 1);
    double dx = x1 - x0, dy = y1 - y0;
    for (int y = 0; y < 60; ++y) {
      for (int x = 0; x < 60; ++x) {
        if (a.get(x, y) != kInk) continue;
        double off = std::abs(dx) >= std::abs(dy)
                         ? (dx == 0 ? 0 : std::abs(y - (y0 + dy * (x - x0) / dx)))
                         : std::abs(x - (x0 + dx * (y - y0) / dy));
        ASSERT_LE(off, 0.5 + 1e-9) << x0 << "," << y0 << " " << x1 << "," << y1;
      }
    }
  }
}

// Marked pixels of a 48-pixel line and pixels known to be gaps; each pattern
// starts at the first point.
TEST(SurfaceLine, PenStylesFollowTheSystemPatterns) {
  const struct {
    PenStyle style;
    int marked;
    std::vector<int> gaps;
  } cases[] = {{PenStyle::Dash, 36, {18, 23}},
               {PenStyle::Dot, 24, {3, 4, 5}},
               {PenStyle::DashDot, 24, {9, 14, 18}},
               {PenStyle::DashDotDot, 30, {9, 11, 15}},
               {PenStyle::Null, 0, {0}}};
  for (const auto& c : cases) {
    Surface s(64, 4);
    s.draw_line(0, 1, 47, 1, Pen{kInk, c.style, Rop::Copy});
    EXPECT_EQ(count(s, kInk), c.marked) << static_cast<int>(c.style);
    for (int x : c.gaps) EXPECT_EQ(s.get(x, 1), 0u) << static_cast<int>(c.style) << " x" << x;
  }
  Surface back(64, 4);
  back.draw_line(29, 1, 0, 1, Pen{kInk, PenStyle::Dash, Rop::Copy});
  EXPECT_EQ(back.get(29, 1), kInk);
  EXPECT_EQ(back.get(9, 1), 0u);  // gap at 18..23 from x = 29
  EXPECT_EQ(back.get(20, 1), kInk);
}

TEST(SurfaceLine, RasterOperations) {
  Surface s(8, 1, rgb(0x12, 0x34, 0x56));
  s.draw_line(0, 0, 1, 0, Pen{rgb(0xF0, 0x0F, 0xFF), PenStyle::Solid, Rop::And});
  EXPECT_EQ(s.get(0, 0), rgb(0x10, 0x04, 0x56));
  s.draw_line(2, 0, 2, 0, Pen{rgb(0x01, 0x01, 0x01), PenStyle::Solid, Rop::Or});
  EXPECT_EQ(s.get(2, 0), rgb(0x13, 0x35, 0x57));
  s.draw_line(3, 0, 3, 0, Pen{rgb(0xFF, 0, 0), PenStyle::Solid, Rop::Xor});
  EXPECT_EQ(s.get(3, 0), rgb(0xED, 0x34, 0x56));
  s.draw_line(4, 0, 4, 0, Pen{rgb(0, 0, 0), PenStyle::Solid, Rop::Not});
  EXPECT_EQ(s.get(4, 0), rgb(0xED, 0xCB, 0xA9));
  s.draw_line(5, 0, 5, 0, Pen{rgb(0xFF, 0, 0x0F), PenStyle::Solid, Rop::NotCopy});
  EXPECT_EQ(s.get(5, 0), rgb(0, 0xFF, 0xF0));
  EXPECT_EQ(s.get(7, 0), rgb(0x12, 0x34, 0x56));
}

TEST(SurfaceLine, FarOutsideLinesAreClippedExactly) {
  Surface s(100, 80);
  constexpr std::int64_t kFar = 2147483647;
  s.draw_line(-kFar, -kFar, kFar, kFar, kSolid);
  EXPECT_EQ(count(s, kInk), 80);
  for (int i = 0; i < 80; ++i) EXPECT_EQ(s.get(i, i), kInk);
  s.fill(0);
  s.draw_line(-kFar, 40, kFar, 40, kSolid);
  EXPECT_EQ(count(s, kInk), 100);
  s.fill(0);
  s.draw_line(-5000, -10, 5000, -10, kSolid);  // above the image
  s.draw_line(200, -kFar, 200, kFar, kSolid);  // right of it
  EXPECT_EQ(count(s, kInk), 0);
}

// ---------------------------------------------------------------- rectangles

TEST(SurfaceRect, OutlineIncludesCornersAndLeavesTheInside) {
  Surface s(64, 64, rgb(1, 2, 3));
  s.draw_rect(10, 5, 20, 12, kSolid);
  EXPECT_EQ(count(s, kInk), 2 * (10 + 7));
  for (auto [x, y] : {std::pair{10, 5}, {20, 5}, {10, 12}, {20, 12}}) EXPECT_EQ(s.get(x, y), kInk);
  EXPECT_EQ(s.get(15, 8), rgb(1, 2, 3));
  // Degenerate boxes are lines, each pixel drawn once (XOR would show twice).
  Surface t(64, 64);
  t.draw_rect(3, 3, 3, 9, Pen{kInk, PenStyle::Solid, Rop::Xor});
  EXPECT_EQ(count(t, kInk), 7);
}

TEST(SurfaceRect, StyledOutlineRunsOnAroundTheCorners) {
  Surface s(64, 64);
  s.draw_rect(0, 0, 9, 9, Pen{kInk, PenStyle::Dash, Rop::Copy});
  // Perimeter 36 pixels clockwise from (0,0): marks 0..17, gap 18..23, marks 24..35.
  EXPECT_EQ(count(s, kInk), 30);
  EXPECT_EQ(s.get(9, 8), kInk);  // index 17 on the right side
  EXPECT_EQ(s.get(9, 9), 0u);    // index 18: the bottom-right corner
  EXPECT_EQ(s.get(4, 9), 0u);    // index 23
  EXPECT_EQ(s.get(3, 9), kInk);  // index 24
  EXPECT_EQ(s.get(0, 1), kInk);  // index 35, last before the start
}

TEST(SurfaceRect, FillsIncludeBothCornersInAnyOrderAndHugeBoxesClip) {
  Surface s(50, 40, rgb(9, 8, 7));
  Surface before = s;
  s.fill_rect(5, 5, 30, 30, rgb(0x55, 0xAA, 0xFF), Rop::Xor);
  EXPECT_EQ(extent(s, rgb(9, 8, 7) ^ rgb(0x55, 0xAA, 0xFF)).width(), 26);
  s.fill_rect(30, 30, 5, 5, rgb(0x55, 0xAA, 0xFF), Rop::Xor);
  EXPECT_EQ(s, before);
  s.fill_rect(-3000000000LL, -10, 3000000000LL, 2000, kInk);
  EXPECT_EQ(count(s, kInk), 50 * 40);
  Surface t(50, 40);
  t.draw_rect(-100, 10, 1000000, 20, kSolid);  // only the top, bottom and nothing of the sides
  EXPECT_EQ(count(t, kInk), 100);
}

// ---------------------------------------------------------------- ellipses

// Right and bottom edges of the box are exclusive; the shape is symmetric and
// close to pi a b in area.
TEST(SurfaceEllipse, FillsItsBoxSymmetricallyAndRoundly) {
  for (PixelBox box : {circle_box(60, 60, 25), PixelBox{10, 30, 101, 77}, PixelBox{3, 3, 8, 40}}) {
    Surface s(120, 120);
    s.fill_ellipse(box, kSolid, kInk);
    Extent e = extent(s, kInk);
    EXPECT_EQ(e.left, box.left);
    EXPECT_EQ(e.right, box.right - 1);
    EXPECT_EQ(e.top, box.top);
    EXPECT_EQ(e.bottom, box.bottom - 1);
    for (int y = 0; y < 120; ++y) {
      for (int x = 0; x < 120; ++x) {
        int mx = static_cast<int>(box.left + box.right - 1 - x);
        int my = static_cast<int>(box.top + box.bottom - 1 - y);
        ASSERT_EQ(s.get(x, y), s.get(mx, y)) << x << "," << y;
        ASSERT_EQ(s.get(x, y), s.get(x, my)) << x << "," << y;
      }
    }
    double area = std::numbers::pi * box.width() * box.height() / 4.0;
    EXPECT_NEAR(count(s, kInk), area, 0.06 * area + 8);
  }
}

TEST(SurfaceEllipse, FilledEllipseTouchesEachPixelOnceAndOutlineIsItsEdge) {
  for (PixelBox box : {circle_box(40, 40, 17), PixelBox{5, 20, 75, 31}, PixelBox{30, 2, 34, 78}}) {
    Surface filled(80, 80), xored(80, 80), outline(80, 80);
    filled.fill_ellipse(box, kSolid, kInk);
    xored.fill_ellipse(box, Pen{kInk, PenStyle::Solid, Rop::Xor}, kInk);
    EXPECT_EQ(filled, xored);
    outline.draw_ellipse(box, kSolid);
    for (int y = 0; y < 80; ++y) {
      for (int x = 0; x < 80; ++x) {
        bool in = in_ellipse(box, x, y);
        ASSERT_EQ(filled.get(x, y) == kInk, in);
        ASSERT_TRUE(in || outline.get(x, y) != kInk) << x << "," << y;
        // A pixel of the ellipse with a neighbour outside is always outline,
        // so the outline closes: no 4-connected way in from outside.
        bool edge = in && (!in_ellipse(box, x - 1, y) || !in_ellipse(box, x + 1, y) ||
                           !in_ellipse(box, x, y - 1) || !in_ellipse(box, x, y + 1));
        ASSERT_TRUE(!edge || outline.get(x, y) == kInk) << x << "," << y;
      }
    }
  }
}

TEST(SurfaceEllipse, FillColourDiffersFromOutlineColour) {
  Surface s(60, 60);
  constexpr Rgb kFill = rgb(0, 0, 200);
  s.fill_ellipse(circle_box(30, 30, 12), kSolid, kFill);
  EXPECT_EQ(s.get(30, 30), kFill);
  EXPECT_EQ(s.get(18, 30), kInk);  // leftmost pixel of the middle row
  EXPECT_EQ(s.get(17, 30), 0u);
  // A null pen paints the inside only.
  Surface t(60, 60);
  t.fill_ellipse(circle_box(30, 30, 12), Pen{kInk, PenStyle::Null, Rop::Copy}, kFill);
  EXPECT_EQ(count(t, kInk), 0);
  EXPECT_EQ(count(t, kFill), count(s, kFill));
}

// Outlines of radius R, R-1, ..., 1 around one centre leave the disc of
// radius R solid, with nothing outside it. Each R paints in its own colour
// over the previous ones, so no clearing is needed between radii.
TEST(SurfaceEllipse, ConcentricOutlinesLeaveASolidDiscForEveryRadiusUpTo330) {
  constexpr int kSize = 664, kC = 332;
  Surface s(kSize, kSize);
  for (int big = 1; big <= 330; ++big) {
    Rgb c = static_cast<Rgb>(big);
    for (int r = big; r >= 1; --r) s.draw_ellipse(circle_box(kC, kC, r), Pen{c});
    PixelBox disc = circle_box(kC, kC, big);
    int holes = 0, spill = 0;
    for (int y = kC - big - 1; y <= kC + big; ++y) {
      Span span = ellipse_span(disc, y);
      const Rgb* row = s.row(y);
      for (int x = kC - big - 1; x <= kC + big; ++x) {
        bool in = x >= span.first && x <= span.last;
        holes += in && row[x] != c;
        spill += !in && row[x] == c;
      }
    }
    ASSERT_EQ(holes, 0) << "radius " << big;
    ASSERT_EQ(spill, 0) << "radius " << big;
  }
}

TEST(SurfaceEllipse, ShrinkingBoxesOfAnyShapeLeaveASolidEllipse) {
  // Odd widths (half-pixel centres) and flat ellipses too.
  for (PixelBox start : {PixelBox{0, 0, 61, 61}, PixelBox{0, 0, 90, 31}, PixelBox{0, 0, 21, 70},
                         PixelBox{0, 0, 120, 7}}) {
    Surface s(130, 80);
    for (PixelBox b = start; !b.empty(); b = b.inset()) s.draw_ellipse(b, kSolid);
    for (int y = 0; y < 80; ++y) {
      for (int x = 0; x < 130; ++x)
        ASSERT_EQ(s.get(x, y) == kInk, in_ellipse(start, x, y)) << x << "," << y;
    }
  }
}

TEST(SurfaceEllipse, SmallAndEmptyBoxes) {
  Surface s(10, 10);
  s.draw_ellipse({2, 2, 4, 4}, kSolid);  // radius 1: a 2x2 block
  EXPECT_EQ(count(s, kInk), 4);
  s.fill(0);
  s.draw_ellipse({2, 2, 2, 9}, kSolid);        // no width
  s.fill_ellipse({2, 2, 8, 2}, kSolid, kInk);  // no height
  EXPECT_EQ(count(s, kInk), 0);
}

TEST(SurfaceEllipse, HugeEllipsesClipWithoutOverflow) {
  Surface s(64, 48);
  // The window lies deep inside a circle of radius two billion: all filled,
  // and its outline passes far away.
  constexpr std::int64_t kR = 2000000000;
  PixelBox huge{32 - kR, 24 - kR, 32 + kR, 24 + kR};
  s.draw_ellipse(huge, kSolid);
  EXPECT_EQ(count(s, kInk), 0);
  s.fill_ellipse(huge, kSolid, kInk);
  EXPECT_EQ(count(s, kInk), 64 * 48);
  // A circle whose left edge crosses the window: a nearly straight arc.
  Surface t(64, 48);
  t.draw_ellipse({10, 24 - kR, 10 + 2 * kR, 24 + kR}, kSolid);
  EXPECT_EQ(t.get(10, 24), kInk);
  EXPECT_EQ(t.get(11, 24), 0u);
  EXPECT_EQ(count(t, kInk), 48);
  // Entirely outside.
  Surface u(64, 48);
  u.fill_ellipse({-kR, -kR, -kR + 100, -kR + 100}, kSolid, kInk);
  u.fill_ellipse({1000, 10, 1200, 30}, kSolid, kInk);
  EXPECT_EQ(count(u, kInk), 0);
}

// Screen y grows downwards: angles run anticlockwise as seen.
TEST(SurfaceEllipse, ArcsAndPiesKeepTheirAngles) {
  constexpr double kPi = std::numbers::pi;
  constexpr Rgb kFill = rgb(0, 200, 0);
  PixelBox box = circle_box(40, 40, 20);
  Surface full(80, 80), wrap(80, 80), pie(80, 80), open(80, 80);
  full.draw_ellipse(box, kSolid);
  // A range through angle 0 (from 3pi/2 to pi/2) is the right half of the outline.
  wrap.draw_arc(box, 3 * kPi / 2, kPi / 2, kSolid);
  Extent e = extent(wrap, kInk);
  EXPECT_GE(e.left, 39);
  EXPECT_EQ(e.top, 20);
  EXPECT_EQ(e.bottom, 59);
  for (int i = 0; i < 80 * 80; ++i) {
    ASSERT_TRUE(wrap.get(i % 80, i / 80) != kInk || full.get(i % 80, i / 80) == kInk) << i;
  }
  // A filled quarter pie covers the upper left quarter only, its radii run
  // from the centre to the ends of the arc.
  pie.draw_pie(box, kPi / 2, kPi, kSolid, true, kFill);
  EXPECT_EQ((std::array{pie.get(30, 30), pie.get(50, 30), pie.get(30, 50), pie.get(50, 50)}),
            (std::array{kFill, 0u, 0u, 0u}));
  EXPECT_EQ(pie.get(21, 40), kInk);
  EXPECT_EQ(pie.get(40, 21), kInk);
  open.draw_pie(box, kPi / 2, kPi, kSolid, false, kFill);
  EXPECT_EQ(count(open, kFill), 0);
  EXPECT_EQ(open.get(30, 40), kInk);  // on the horizontal radius
}

// ---------------------------------------------------------------- blocks

TEST(SurfaceStretch, ScalesByDroppingOrRepeatingPixels) {
  auto checker = [](std::int64_t x, std::int64_t y) { return ((x + y) % 2) ? kInk : 0u; };
  Surface s(16, 16, rgb(7, 7, 7));
  s.stretch(0, 0, 8, 4, 4, 2, checker, Rop::Copy);  // doubled
  EXPECT_EQ((std::array{s.get(1, 1), s.get(2, 0), s.get(3, 1), s.get(0, 2), s.get(8, 0)}),
            (std::array{0u, kInk, kInk, kInk, rgb(7, 7, 7)}));
  Surface u(4, 4);
  u.stretch(-100, -100, 1000000, 1000000, 3, 3, checker, Rop::Copy);  // clipped, no overflow
  EXPECT_EQ(count(u, kInk) + count(u, 0), 16);
}

TEST(SurfacePng, SavesAndLoadsEveryColourAndReportsAPlaceItCannotWrite) {
  Surface s(3, 2);
  const Rgb colours[] = {rgb(255, 0, 0), rgb(0, 255, 0),     rgb(0, 0, 255),
                         rgb(1, 2, 3),   rgb(255, 255, 255), 0};
  for (int i = 0; i < 6; ++i) s.set(i % 3, i / 3, colours[i]);
  auto dir = std::filesystem::temp_directory_path() / "peakwend-surface-png";
  std::filesystem::create_directories(dir);
  std::string error;
  ASSERT_TRUE(save_png(s, (dir / "s.png").string(), &error)) << error;
  Surface back;
  ASSERT_TRUE(load_png((dir / "s.png").string(), &back, &error)) << error;
  EXPECT_EQ(back.pixels(), s.pixels());
  std::string missing = (dir / "no" / "such" / "s.png").string();
  EXPECT_FALSE(save_png(s, missing, &error));
  EXPECT_NE(error.find(missing), std::string::npos) << error;
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace platform

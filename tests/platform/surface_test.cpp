// Drawing primitives on Surface, checked against the drawing rules: end
// points and corners included, ellipses inscribed in a box with exclusive
// right and bottom edges, outlines that close, raster operations, blocks.
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <tuple>
#include <numbers>
#include <vector>

#include "tests/support/pixels.h"

namespace platform {
namespace {

using testing_support::count;
using testing_support::count_in;
using testing_support::extent;

constexpr Rgb kInk = rgb(255, 255, 255);
constexpr Pen kSolid{kInk, PenStyle::Solid, Rop::Copy};
constexpr double kPi = std::numbers::pi;

// A pixel is in the ellipse of `b` when its centre is inside or on it; in
// doubled coordinates from the box centre: X^2 h^2 + Y^2 w^2 <= w^2 h^2.
bool in_ellipse(const PixelBox& b, std::int64_t x, std::int64_t y) {
  std::int64_t w = b.width(), h = b.height();
  if (w <= 0 || h <= 0) return false;
  std::int64_t X = 2 * x + 1 - (b.left + b.right), Y = 2 * y + 1 - (b.top + b.bottom);
  return X * X * h * h + Y * Y * w * w <= w * w * h * h;
}

// Outline: a pixel of the ellipse with a 4-neighbour outside it, or one the
// next smaller ellipse (the box one pixel in) lacks.
bool on_outline(const PixelBox& b, int x, int y) {
  return in_ellipse(b, x, y) && (!in_ellipse(b, x - 1, y) || !in_ellipse(b, x + 1, y) ||
                                 !in_ellipse(b, x, y - 1) || !in_ellipse(b, x, y + 1) ||
                                 !in_ellipse(b.inset(), x, y));
}

PixelBox circle(int cx, int cy, int r) { return {cx - r, cy - r, cx + r, cy + r}; }

TEST(SurfaceLine, EveryLineSetsBothEndsOnePixelPerStepWithinHalfAPixelEitherWayRound) {
  std::vector<std::array<int, 4>> lines = {{10, 10, 20, 10}, {7, 8, 7, 8}, {5, 40, 5, 30}};
  std::srand(7);
  for (int t = 0; t < 300; ++t)
    lines.push_back({std::rand() % 60, std::rand() % 60, std::rand() % 60, std::rand() % 60});
  for (auto [x0, y0, x1, y1] : lines) {
    Surface a(60, 60), b(60, 60);
    a.draw_line(x0, y0, x1, y1, kSolid);
    b.draw_line(x1, y1, x0, y0, kSolid);
    ASSERT_EQ(a, b) << x0 << "," << y0 << " " << x1 << "," << y1;
    ASSERT_EQ(a.get(x0, y0), kInk);
    ASSERT_EQ(a.get(x1, y1), kInk);
    ASSERT_EQ(count(a, kInk), std::max(std::abs(x1 - x0), std::abs(y1 - y0)) + 1);
    double dx = x1 - x0, dy = y1 - y0;
    for (int y = 0; y < 60; ++y) {
      for (int x = 0; x < 60; ++x) {
        if (a.get(x, y) != kInk) continue;
        double off = dx == 0 && dy == 0         ? 0
                     : std::abs(dx) >= std::abs(dy) ? std::abs(y - (y0 + dy * (x - x0) / dx))
                                                    : std::abs(x - (x0 + dx * (y - y0) / dy));
        ASSERT_LE(off, 0.5 + 1e-9) << x0 << "," << y0 << " " << x1 << "," << y1;
      }
    }
  }
}

TEST(SurfaceLine, FarEndsClipToThePixelsOnTheImage) {
  constexpr std::int64_t kFar = 2147483647;
  Surface s(100, 80);
  s.draw_line(-kFar, -kFar, kFar, kFar, kSolid);
  EXPECT_EQ(count(s, kInk), 80);
  for (int i = 0; i < 80; ++i) EXPECT_EQ(s.get(i, i), kInk);
  Surface t(100, 80);
  t.draw_line(kFar, 40, -kFar, 40, kSolid);
  EXPECT_EQ(count(t, kInk), 100);
  Surface u(100, 80);
  u.draw_line(-5000, -10, 5000, -10, kSolid);
  u.draw_line(200, -kFar, 200, kFar, kSolid);
  EXPECT_EQ(count(u, 0), 100 * 80);
}

// The pen patterns (mark, gap, ...) run from the first point of a stroke and
// on around the corners of a box, clockwise from its top-left corner.
TEST(SurfacePen, StylesFollowTheirPatternsFromTheFirstPoint) {
  const struct {
    PenStyle style;
    const char* period;
  } cases[] = {{PenStyle::Dash, "xxxxxxxxxxxxxxxxxx......"},
               {PenStyle::Dot, "xxx..."},
               {PenStyle::DashDot, "xxxxxxxxx......xxx......"},
               {PenStyle::DashDotDot, "xxxxxxxxx...xxx...xxx..."},
               {PenStyle::Null, "."}};
  for (const auto& c : cases) {
    const std::string period = c.period;
    Surface fwd(50, 1), back(50, 1);
    fwd.draw_line(0, 0, 47, 0, Pen{kInk, c.style, Rop::Copy});
    back.draw_line(47, 0, 0, 0, Pen{kInk, c.style, Rop::Copy});
    for (int x = 0; x < 48; ++x) {
      bool mark = period[static_cast<std::size_t>(x) % period.size()] == 'x';
      ASSERT_EQ(fwd.get(x, 0) == kInk, mark) << period << " x" << x;
      ASSERT_EQ(back.get(47 - x, 0) == kInk, mark) << period << " back x" << x;
    }
  }
  // A 10x10 box has 36 outline pixels; the dash's gap is 18..23 clockwise.
  Surface box(12, 12);
  box.draw_rect(9, 9, 0, 0, Pen{kInk, PenStyle::Dash, Rop::Copy});
  EXPECT_EQ(count(box, kInk), 30);
  for (auto [x, y, ink] : {std::tuple{9, 8, true}, {9, 9, false}, {4, 9, false}, {3, 9, true},
                           {0, 1, true}, {5, 5, false}})
    EXPECT_EQ(box.get(x, y) == kInk, ink) << x << "," << y;
}

TEST(SurfaceRop, EachOperationCombinesSourceAndDestinationAsItsNameSays) {
  constexpr Rgb kDst = 0x123456, kSrc = 0xF00FFF;
  const struct {
    Rop rop;
    Rgb want;
  } cases[] = {{Rop::Copy, 0xF00FFF}, {Rop::And, 0x100456},    {Rop::Or, 0xF23FFF},
               {Rop::Xor, 0xE23BA9},  {Rop::Not, 0xEDCBA9},    {Rop::NotCopy, 0x0FF000}};
  for (const auto& c : cases) {
    Surface src(1, 1, kSrc), s(6, 1, kDst);
    s.fill_rect(0, 0, 0, 0, kSrc, c.rop);
    s.draw_line(1, 0, 1, 0, Pen{kSrc, PenStyle::Solid, c.rop});
    s.draw_rect(2, 0, 2, 0, Pen{kSrc, PenStyle::Solid, c.rop});
    s.fill_ellipse({3, 0, 4, 1}, Pen{kSrc, PenStyle::Solid, c.rop}, kSrc);
    s.blit(4, 0, src, 0, 0, 1, 1, c.rop);
    s.stretch(5, 0, 1, 1, 1, 1, [&](std::int64_t, std::int64_t) { return kSrc; }, c.rop);
    for (int x = 0; x < 6; ++x) EXPECT_EQ(s.get(x, 0), c.want) << static_cast<int>(c.rop) << " x" << x;
  }
}

TEST(SurfaceRect, OutlineAndFillIncludeBothCornersInAnyOrder) {
  Surface s(64, 64, 7);
  s.draw_rect(20, 12, 10, 5, kSolid);
  EXPECT_EQ(count(s, kInk), 2 * (10 + 7));
  for (auto [x, y] : {std::pair{10, 5}, {20, 5}, {10, 12}, {20, 12}, {15, 5}, {10, 9}})
    EXPECT_EQ(s.get(x, y), kInk);
  EXPECT_EQ(count_in(s, kInk, 11, 6, 19, 11), 0);
  // A box of one column is a line, each pixel once (XOR would undo a second time).
  Surface t(64, 64);
  t.draw_rect(3, 9, 3, 3, Pen{kInk, PenStyle::Solid, Rop::Xor});
  EXPECT_EQ(count(t, kInk), 7);
  // A filled box from (0,0) to (39,19) is 40 by 20, whichever corner comes first.
  Surface f(64, 64), g(64, 64);
  f.fill_rect(0, 0, 39, 19, kInk);
  g.fill_rect(39, 19, 0, 0, kInk);
  EXPECT_EQ(count(f, kInk), 800);
  EXPECT_EQ(extent(f, kInk).right, 39);
  EXPECT_EQ(f, g);
  // Boxes far larger than the image clip.
  Surface h(50, 40), k(50, 40);
  h.fill_rect(-3000000000LL, -10, 3000000000LL, 2000, kInk);
  EXPECT_EQ(count(h, kInk), 50 * 40);
  k.draw_rect(-100, 10, 1000000, 20, kSolid);
  EXPECT_EQ(count(k, kInk), 100);
}

// Filled ellipses are exactly the pixels whose centres lie in them, outlines
// exactly the rule above, the rest of a filled one in its fill colour; boxes
// of any shape, also partly off the image.
TEST(SurfaceEllipse, FillAndOutlineFollowThePixelCentreRule) {
  constexpr Rgb kFill = rgb(0, 0, 200);
  for (PixelBox box : {circle(40, 40, 17), circle(40, 40, 10), PixelBox{5, 20, 75, 31},
                       PixelBox{30, 2, 33, 78}, PixelBox{-12, -7, 31, 50}, PixelBox{60, 50, 95, 90},
                       PixelBox{3, 3, 5, 5}, PixelBox{3, 3, 4, 4}, PixelBox{0, 9, 7, 10}}) {
    Surface filled(80, 80), outline(80, 80), xored(80, 80);
    filled.fill_ellipse(box, kSolid, kFill);
    outline.draw_ellipse(box, kSolid);
    xored.fill_ellipse(box, Pen{kInk, PenStyle::Solid, Rop::Xor}, kInk);
    for (int y = 0; y < 80; ++y) {
      for (int x = 0; x < 80; ++x) {
        bool in = in_ellipse(box, x, y), edge = on_outline(box, x, y);
        Rgb want = edge ? kInk : in ? kFill : 0;
        ASSERT_EQ(filled.get(x, y), want) << box.left << "," << box.top << " at " << x << "," << y;
        ASSERT_EQ(outline.get(x, y), edge ? kInk : 0) << x << "," << y;
        ASSERT_EQ(xored.get(x, y), in ? kInk : 0) << "touched twice at " << x << "," << y;
      }
    }
  }
  // A radius-10 circle is 20 pixels across; with aspect 0.5 it is 10 high.
  Surface s(40, 40);
  s.fill_ellipse({5, 5, 25, 15}, kSolid, kInk);
  EXPECT_EQ(extent(s, kInk).width(), 20);
  EXPECT_EQ(extent(s, kInk).height(), 10);
  // A null pen paints the inside only; empty boxes paint nothing.
  const PixelBox box = circle(40, 40, 17);
  Surface t(80, 80), want(80, 80), empty(80, 80);
  t.fill_ellipse(box, Pen{kInk, PenStyle::Null, Rop::Copy}, kFill);
  for (int i = 0; i < 80 * 80; ++i) {
    bool inside = in_ellipse(box, i % 80, i / 80) && !on_outline(box, i % 80, i / 80);
    want.set(i % 80, i / 80, inside ? kFill : 0);
  }
  EXPECT_EQ(t, want);
  empty.fill_ellipse({2, 2, 2, 9}, kSolid, kInk);
  empty.draw_ellipse({2, 2, 8, 2}, kSolid);
  EXPECT_EQ(count(empty, 0), 80 * 80);
}

// Outlines of radius R, R-1, ..., 1 around one centre leave the disc of
// radius R solid, nothing outside it; so do boxes shrinking a pixel a side.
TEST(SurfaceEllipse, ConcentricOutlinesLeaveASolidDisc) {
  constexpr int kC = 332;
  Surface s(2 * kC, 2 * kC);
  for (int big = 1; big <= 330; big += big < 40 ? 1 : 29) {
    auto c = static_cast<Rgb>(big);
    for (int r = big; r >= 1; --r) s.draw_ellipse(circle(kC, kC, r), Pen{c});
    for (int y = kC - big - 1; y <= kC + big; ++y) {
      for (int x = kC - big - 1; x <= kC + big; ++x)
        ASSERT_EQ(s.get(x, y) == c, in_ellipse(circle(kC, kC, big), x, y)) << big << ": " << x << "," << y;
    }
  }
  for (PixelBox start : {PixelBox{0, 0, 61, 61}, PixelBox{0, 0, 90, 31}, PixelBox{0, 0, 21, 70}}) {
    Surface t(100, 80);
    for (PixelBox b = start; !b.empty(); b = b.inset()) t.draw_ellipse(b, kSolid);
    for (int i = 0; i < 100 * 80; ++i)
      ASSERT_EQ(t.get(i % 100, i / 100) == kInk, in_ellipse(start, i % 100, i / 100)) << i;
  }
}

TEST(SurfaceEllipse, HugeEllipsesClipWithoutOverflow) {
  constexpr std::int64_t kR = 2000000000, kMid = 1 << 20;
  // The image lies deep inside: all filled, the outline far away.
  Surface s(64, 48);
  PixelBox huge{32 - kR, 24 - kR, 32 + kR, 24 + kR};
  s.draw_ellipse(huge, kSolid);
  EXPECT_EQ(count(s, kInk), 0);
  s.fill_ellipse(huge, kSolid, kInk);
  EXPECT_EQ(count(s, kInk), 64 * 48);
  // Left edges crossing the image: a straight column at their leftmost pixel.
  for (std::int64_t r : {kMid, kR}) {
    Surface t(64, 48);
    t.draw_ellipse({10, 24 - r, 10 + 2 * r, 24 + r}, kSolid);
    EXPECT_EQ(count_in(t, kInk, 10, 0, 10, 47), 48) << r;
    EXPECT_EQ(count(t, kInk), 48) << r;
  }
  Surface u(64, 48);
  u.fill_ellipse({-kR, -kR, -kR + 100, -kR + 100}, kSolid, kInk);
  u.fill_ellipse({1000, 10, 1200, 30}, kSolid, kInk);
  EXPECT_EQ(count(u, kInk), 0);
}

// Angles run anticlockwise from the right as seen on the screen (y down).
TEST(SurfaceEllipse, ArcsAndPiesKeepToTheirAngles) {
  const PixelBox box = circle(40, 40, 20);
  auto angle = [](int x, int y) {
    double a = std::atan2(40 - (y + 0.5), x + 0.5 - 40);
    return a < 0 ? a + 2 * kPi : a;
  };
  const struct {
    double start, end, lo, hi;  // the angles drawn, and a range well inside them
  } cases[] = {{0, kPi / 2, 0.1, kPi / 2 - 0.1}, {3 * kPi / 2, kPi / 2, -kPi / 2 + 0.1, kPi / 2 - 0.1},
               {kPi, 3 * kPi / 2, kPi + 0.1, 3 * kPi / 2 - 0.1}};
  for (const auto& c : cases) {
    Surface arc(80, 80), pie(80, 80);
    arc.draw_arc(box, c.start, c.end, kSolid);
    pie.draw_pie(box, c.start, c.end, Pen{kInk, PenStyle::Null, Rop::Copy}, true, kInk);  // no radii
    for (int y = 0; y < 80; ++y) {
      for (int x = 0; x < 80; ++x) {
        double a = angle(x, y);
        double rel = std::remainder(a - (c.lo + c.hi) / 2, 2 * kPi);
        bool well_in = std::abs(rel) < (c.hi - c.lo) / 2;
        bool well_out = std::abs(rel) > (c.hi - c.lo) / 2 + 0.2;
        bool inside = in_ellipse(box, x, y) && !on_outline(box, x, y);
        if (well_in) {
          ASSERT_EQ(arc.get(x, y) == kInk, on_outline(box, x, y)) << x << "," << y;
          ASSERT_EQ(pie.get(x, y) == kInk, inside) << x << "," << y;
        }
        if (well_out) {
          ASSERT_TRUE(arc.get(x, y) == 0 && pie.get(x, y) == 0) << x << "," << y;
        }
      }
    }
  }
  // A pie's outline has its two radii: from the centre to the arc's ends.
  Surface open(80, 80);
  open.draw_pie(box, kPi / 2, kPi, kSolid, false, kInk);
  for (int i = 22; i < 39; ++i) {
    EXPECT_TRUE(open.get(i, 40) == kInk || open.get(i, 39) == kInk) << "horizontal radius at " << i;
    EXPECT_TRUE(open.get(40, i) == kInk || open.get(39, i) == kInk) << "vertical radius at " << i;
  }
  EXPECT_EQ(open.get(30, 30), 0u);
}

// A dashed outline keeps to the solid outline and leaves about a quarter out.
TEST(SurfaceEllipse, StyledOutlinesAreGapsInTheSolidOne) {
  const PixelBox box = circle(50, 50, 40);
  Surface solid(100, 100), dashed(100, 100);
  solid.draw_ellipse(box, kSolid);
  dashed.draw_ellipse(box, Pen{kInk, PenStyle::Dash, Rop::Copy});
  for (int i = 0; i < 100 * 100; ++i)
    ASSERT_TRUE(dashed.pixels()[i] == 0 || solid.pixels()[i] == kInk) << i;
  double kept = static_cast<double>(count(dashed, kInk)) / count(solid, kInk);
  EXPECT_NEAR(kept, 18.0 / 24, 0.08);
}

// Blocks: a copy and its overlapping moves within one image act as if the
// source were read first; both images clip.
TEST(SurfaceBlock, CopiesAndMovesAreExactAndClip) {
  Surface pattern(40, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) pattern.set(x, y, rgb(x, y, x * y));
  const struct {
    std::int64_t dx, dy, sx, sy, w, h;
  } cases[] = {{5, 4, 0, 0, 20, 10}, {0, 0, 5, 4, 20, 10}, {3, 0, 0, 0, 40, 30}, {0, 2, 0, 0, 40, 30},
               {-5, -3, 2, 1, 20, 20}, {30, 25, 0, 0, 20, 20}, {2, 2, -4, -6, 10, 10}};
  for (const auto& c : cases) {
    Surface moved = pattern;
    moved.blit(c.dx, c.dy, moved, c.sx, c.sy, c.w, c.h);
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 40; ++x) {
        std::int64_t u = x - c.dx + c.sx, v = y - c.dy + c.sy;
        bool copied = x >= c.dx && x < c.dx + c.w && y >= c.dy && y < c.dy + c.h && u >= c.sx &&
                      v >= c.sy && u >= 0 && v >= 0 && u < 40 && v < 30;
        Rgb want = copied ? pattern.get(static_cast<int>(u), static_cast<int>(v)) : pattern.get(x, y);
        ASSERT_EQ(moved.get(x, y), want) << c.dx << "," << c.dy << " at " << x << "," << y;
      }
    }
  }
  // A block taken and put back in the same place changes nothing.
  Surface block(40, 20), again = pattern;
  block.blit(0, 0, pattern, 0, 0, 40, 20);
  again.blit(0, 0, block, 0, 0, 40, 20);
  EXPECT_EQ(again, pattern);
}

// Stretching takes, for each destination pixel's centre, the source pixel under it.
TEST(SurfaceBlock, StretchTakesTheNearestSourcePixel) {
  auto source = [](std::int64_t x, std::int64_t y) { return rgb(static_cast<int>(x), static_cast<int>(y), 9); };
  const struct {
    std::int64_t dx, dy, dw, dh, sw, sh;
  } cases[] = {{0, 0, 8, 4, 4, 2}, {1, 2, 4, 3, 8, 9}, {-3, -2, 13, 7, 5, 3}, {0, 0, 10, 10, 10, 10}};
  for (const auto& c : cases) {
    Surface s(12, 10, 1);
    s.stretch(c.dx, c.dy, c.dw, c.dh, c.sw, c.sh, source, Rop::Copy);
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 12; ++x) {
        bool in = x >= c.dx && x < c.dx + c.dw && y >= c.dy && y < c.dy + c.dh;
        auto sx = static_cast<int>(std::floor((x - c.dx + 0.5) * c.sw / c.dw));
        auto sy = static_cast<int>(std::floor((y - c.dy + 0.5) * c.sh / c.dh));
        ASSERT_EQ(s.get(x, y), in ? rgb(sx, sy, 9) : 1u) << c.dw << "x" << c.dh << " at " << x << "," << y;
      }
    }
  }
  Surface u(4, 4);
  u.stretch(-100, -100, 1000000, 1000000, 3, 3, source, Rop::Copy);
  EXPECT_EQ(u.get(3, 3), rgb(0, 0, 9));
}

TEST(SurfacePng, SavesAndLoadsEveryPixelAndSaysWhatFailed) {
  Surface s(5, 3);
  for (int i = 0; i < 15; ++i) s.set(i % 5, i / 5, static_cast<Rgb>(0x9E3779B9u * (i + 1)) & 0xFFFFFF);
  const std::string dir = ::testing::TempDir(), path = dir + "surface-png-test.png";
  std::string error;
  ASSERT_TRUE(save_png(s, path, &error)) << error;
  Surface back;
  ASSERT_TRUE(load_png(path, &back, &error)) << error;
  EXPECT_EQ(back, s);
  std::remove(path.c_str());
  const std::string missing = dir + "no/such/dir/x.png";
  EXPECT_FALSE(save_png(s, missing, &error));
  EXPECT_NE(error.find(missing), std::string::npos) << error;
  error.clear();
  EXPECT_FALSE(load_png(missing, &back, &error));
  EXPECT_NE(error.find(missing), std::string::npos) << error;
}

}  // namespace
}  // namespace platform

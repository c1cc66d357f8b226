// Drawing primitives against the drawing rules; PNG files; the program's icon.
#include "platform/surface.h"

#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <numbers>

#include "platform/font.h"
#include "platform/icon.h"
#include "tests/support/pixels.h"

namespace platform {
namespace {

using testing_support::count;
using testing_support::count_in;
constexpr Rgb kInk = rgb(255, 255, 255), kFill = rgb(0, 0, 200);
constexpr Pen kSolid{kInk, PenStyle::Solid, Rop::Copy};

// A pixel is in when its centre is inside or on the ellipse; in doubled
// offsets from the box centre: X^2 h^2 + Y^2 w^2 <= w^2 h^2.
bool in_ellipse(const PixelBox& b, std::int64_t x, std::int64_t y) {
  std::int64_t w = b.width(), h = b.height();
  std::int64_t X = 2 * x + 1 - (b.left + b.right), Y = 2 * y + 1 - (b.top + b.bottom);
  return w > 0 && h > 0 && X * X * h * h + Y * Y * w * w <= w * w * h * h;
}
// The outline: pixels with a 4-neighbour outside, or outside the next
// smaller ellipse (one pixel in on every side).
bool on_outline(const PixelBox& b, int x, int y) {
  return in_ellipse(b, x, y) &&
         (!in_ellipse(b, x - 1, y) || !in_ellipse(b, x + 1, y) || !in_ellipse(b, x, y - 1) ||
          !in_ellipse(b, x, y + 1) || !in_ellipse(b.inset(), x, y));
}

// Both ends set, one pixel per step of the longer axis, each within half a
// pixel of the true line, the same pixels either way round; far ends clip.
TEST(SurfaceLine, LinesAndRectanglesAndTheRasterOperations) {
  std::vector<std::array<int, 4>> lines = {{10, 10, 20, 10}, {7, 8, 7, 8}, {5, 40, 5, 30}};
  std::srand(7);
  for (int t = 0; t < 300; ++t)
    lines.push_back({std::rand() % 60, std::rand() % 60, std::rand() % 60, std::rand() % 60});
  for (auto [x0, y0, x1, y1] : lines) {
    Surface a(60, 60), b(60, 60);
    a.draw_line(x0, y0, x1, y1, kSolid);
    b.draw_line(x1, y1, x0, y0, kSolid);
    ASSERT_EQ(a, b) << x0 << "," << y0 << " " << x1 << "," << y1;
    ASSERT_TRUE(a.get(x0, y0) == kInk && a.get(x1, y1) == kInk);
    ASSERT_EQ(count(a, kInk), std::max(std::abs(x1 - x0), std::abs(y1 - y0)) + 1);
    double dx = x1 - x0, dy = y1 - y0;
    for (int i = 0; i < 3600; ++i) {
      int x = i % 60, y = i / 60;
      double off = std::abs(dx) >= std::abs(dy) ? std::abs(y - y0 - (dx ? dy * (x - x0) / dx : 0))
                                                : std::abs(x - x0 - dx * (y - y0) / dy);
      ASSERT_TRUE(a.get(x, y) != kInk || off <= 0.5) << x0 << "," << y0 << " " << x1 << "," << y1;
    }
  }
  Surface s(100, 80);
  s.draw_line(8 - 2147483647LL, 8 - 2147483647LL, 5, 5, kSolid);  // more steps than 2^30
  EXPECT_EQ(count_in(s, kInk, 0, 0, 5, 5), 6) << "the diagonal";
  EXPECT_EQ(count(s, kInk), 6);
  // Every primitive combines source and destination as the raster operation says.
  constexpr Rgb kDst = 0x123456, kSrc = 0xF00FFF;
  const std::pair<Rop, Rgb> cases[] = {{Rop::Copy, 0xF00FFF}, {Rop::And, 0x100456},
                                       {Rop::Or, 0xF23FFF},   {Rop::Xor, 0xE23BA9},
                                       {Rop::Not, 0xEDCBA9},  {Rop::NotCopy, 0x0FF000}};
  for (auto [rop, want] : cases) {
    Surface row(5, 1, kDst);
    const Pen pen{kSrc, PenStyle::Solid, rop};
    row.fill_rect(0, 0, 0, 0, kSrc, rop);
    row.draw_line(1, 0, 1, 0, pen);
    row.draw_rect(2, 0, 2, 0, pen);
    row.fill_ellipse({3, 0, 4, 1}, pen, kSrc);
    row.stretch(
        4, 0, 1, 1, 1, 1, [](std::int64_t, std::int64_t) { return kSrc; }, rop);
    EXPECT_EQ(row, Surface(5, 1, want)) << static_cast<int>(rop);
  }
  // Rectangles: each pixel once, far corners clipped.
  Surface line(64, 64), clipped(50, 40);
  line.draw_rect(3, 9, 3, 3, Pen{kInk, PenStyle::Solid, Rop::Xor});  // a box of one column
  EXPECT_EQ(count(line, kInk), 7);
  clipped.fill_rect(60, 5, 70, 8, kInk);  // beside the image: nothing
  clipped.draw_rect(-100, 10, 1000000, 20, kSolid);
  clipped.draw_rect(5, -10, 20, 8, kSolid);  // two sides of rows 0..8, the bottom between
  EXPECT_EQ(count(clipped, kInk), 100 + 2 * 9 + 14);
}

// Filled: the pixels whose centres lie in the ellipse, the outline (rule
// above) with the pen, the rest with the fill colour, each pixel once. Arcs
// and pies keep the pixels whose angle from the centre is in their range,
// ends included; the centre pixel counts as angle 0. Empty boxes draw nothing.
TEST(SurfaceEllipse, FillOutlineArcsAndPiesFollowThePixelCentreRule) {
  constexpr double kPi = std::numbers::pi;
  const PixelBox odd{20, 22, 61, 59};  // pixel (40, 40) is at the centre
  const struct {
    PixelBox box;
    double start = 0, end = 0;
    bool (*kept)(int x, int y) = nullptr;
  } cases[] = {// clang-format off
      {{23, 23, 57, 57}}, {{30, 30, 50, 50}}, {{5, 20, 75, 31}}, {{30, 2, 33, 78}},
      {{-12, -7, 31, 50}}, {{60, 50, 95, 90}}, {{3, 3, 5, 5}}, {{3, 3, 4, 4}}, {{0, 9, 7, 10}},
      {{2, 2, 2, 9}}, {{2, 2, 8, 2}},
      {odd, 0, kPi, [](int, int y) { return y <= 40; }},
      {odd, kPi, 2 * kPi, [](int, int y) { return y >= 40; }},
      {odd, kPi / 2, kPi, [](int x, int y) { return x <= 40 && y <= 40 && x + y < 80; }},
      // Angles are taken on the box squeezed to a square: 41 wide, 37 high.
      {odd, kPi / 4, kPi, [](int x, int y) {
         return y <= 40 && 41 * (40 - y) >= 37 * (x - 40) && (x != 40 || y != 40); }}};
  // clang-format on
  for (const auto& [box, start, end, kept] : cases) {
    Surface filled(80, 80), xored(80, 80), outline(80, 80), pie(80, 80);
    filled.fill_ellipse(box, kSolid, kFill);
    xored.fill_ellipse(box, Pen{kInk, PenStyle::Solid, Rop::Xor}, kInk);
    kept ? outline.draw_arc(box, start, end, kSolid) : outline.draw_ellipse(box, kSolid);
    pie.draw_pie(box, start, end, Pen{kInk, PenStyle::Null, Rop::Copy}, true, kFill);
    SCOPED_TRACE(std::to_string(box.left) + " " + std::to_string(start));
    for (int i = 0; i < 80 * 80; ++i) {
      int x = i % 80, y = i / 80;
      bool in = in_ellipse(box, x, y), edge = on_outline(box, x, y), angle = !kept || kept(x, y);
      ASSERT_EQ(filled.get(x, y), edge ? kInk : in ? kFill : 0) << x << "," << y;
      ASSERT_EQ(xored.get(x, y), in ? kInk : 0) << x << "," << y;
      ASSERT_EQ(outline.get(x, y), edge && angle ? kInk : 0) << x << "," << y;
      ASSERT_EQ(pie.get(x, y), in && !edge && angle ? kFill : 0) << x << "," << y;
    }
  }
  Surface blank(20, 20);  // no radii either
  blank.draw_pie({2, 2, 2, 9}, 0, kPi, kSolid, true, kFill);
  EXPECT_EQ(blank, Surface(20, 20));
}

// What a window has to update: every row a write changes counts as written,
// and so does every row of a new surface, until the changes are forgotten.
TEST(SurfaceRows, EveryRowAWriteChangesCountsAsWritten) {
  Surface s(40, 30);
  const auto count_written = [&s] {
    int n = 0;
    for (int y = 0; y < s.height(); ++y) n += s.row_changed(y);
    return n;
  };
  const std::function<void(Surface&)> writes[] = {
      [](Surface& t) { t.set(3, 7, kInk); },
      [](Surface& t) { t.draw_line(-5, 12, 50, 18, kSolid); },
      [](Surface& t) { t.fill_rect(10, 28, 12, 40, kFill); },
      [](Surface& t) { t.fill_ellipse({5, 2, 25, 14}, kSolid, kFill); },
      [](Surface& t) { t.stretch(0, 16, 40, 3, 2, 2, [](auto x, auto) { return rgb(9, x, 0); }, Rop::Copy); },
      [](Surface& t) { draw_glyph(t, 8, 21, narrow_glyph(0x41), kInk); },
      [](Surface& t) { t.fill(kFill); },  // every row
      [](Surface& t) { t.copy_from(Surface(40, 30)); }};  // every row
  EXPECT_EQ(count_written(), 30);
  for (const auto& write : writes) {
    s.forget_changes();
    EXPECT_EQ(count_written(), 0);
    const Surface before = s;
    write(s);
    int changed = 0;
    for (int y = 0; y < s.height(); ++y) {
      if (std::equal(before.row(y), before.row(y) + s.width(), std::as_const(s).row(y))) continue;
      ++changed;
      EXPECT_TRUE(s.row_changed(y)) << "row " << y;
    }
    EXPECT_GT(changed, 0);
  }
}

// The try figure: a white body twice as wide as high, 0.9 of the icon across,
// with two spots of the field's green 0.6 of its radius r left of the centre
// and r / 5.5 above and below; corners of radius size / 6 are transparent.
TEST(WalkIcon, TheTryFigureOnARoundedGreenSquareAndPngsWithTransparency) {
  for (int size : {32, 64, 256}) {
    const Icon icon = walk_icon(size);
    ASSERT_EQ(icon.alpha.size(), static_cast<std::size_t>(size * size));
    const Rgb field = icon.pixels.get(size / 2, 1), white = rgb(255, 255, 255);
    EXPECT_TRUE((field & 0xFF00FF) == 0 && field != 0) << "green alone: " << field;
    const auto body = testing_support::extent(icon.pixels, white);
    EXPECT_NEAR(body.right - body.left + 1, 0.9 * size, 1) << size;
    EXPECT_NEAR(body.bottom - body.top + 1, 0.45 * size, 1) << size;
    const double r = 0.45 * size, spot = r / 4 - 1, c = size / 2.0;
    for (double y : {c - r / 5.5, c + r / 5.5})
      EXPECT_EQ(icon.pixels.get(static_cast<int>(c - 0.6 * r), static_cast<int>(y)), field);
    // The body less the spots, give or take a pixel at each end of a column.
    const double area = std::numbers::pi / 2 * (r * r - 2 * spot * spot);
    EXPECT_NEAR(count(icon.pixels, white), area, 2 * size) << size;
    // Each corner cuts away a square less a quarter disc.
    const double cut = (4 - std::numbers::pi) * size * size / 36.0;
    EXPECT_NEAR(std::ranges::count(icon.alpha, 0), cut, 0.1 * cut + 4) << size;
    for (int i : {0, size - 1, size * size - size, size * size - 1, size / 2, size * size / 2})
      EXPECT_EQ(icon.alpha[i], i == size / 2 || i == size * size / 2 ? 255 : 0) << i;
  }
  // A PNG keeps each channel in its place, alpha included.
  Surface picture(2, 1, rgb(0x12, 0x34, 0x56));
  picture.set(1, 0, rgb(0x9A, 0xBC, 0xDE));
  const std::string path = ::testing::TempDir() + "walk-icon-test.png";
  std::string error;
  ASSERT_TRUE(save_png_rgba(picture, {0x78, 0xFF}, path, &error)) << error;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << image.message;
  image.format = PNG_FORMAT_RGBA;
  std::vector<png_byte> rgba(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) << image.message;
  std::remove(path.c_str());
  EXPECT_EQ(rgba, (std::vector<png_byte>{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xFF}));
  EXPECT_FALSE(save_png_rgba(picture, {0x78}, path, &error));
  EXPECT_NE(error.find("alpha"), std::string::npos) << error;
  EXPECT_FALSE(save_png_rgba(picture, {0x78, 0xFF}, "/nonexistent/x.png", &error));
  EXPECT_NE(error.find("/nonexistent/x.png"), std::string::npos) << error;
}

}  // namespace
}  // namespace platform

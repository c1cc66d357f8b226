// The program's icon: the try figure (a white body twice as wide as high with
// two spots towards its left end) on a green square with rounded corners,
// and the PNG files with transparency it is installed as.
#include "platform/icon.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <numbers>

namespace platform {
namespace {

// Where a pixel centre lies against the ellipse of horizontal radius r and
// vertical radius r / 2 around (cx, cy): below 1 inside, above 1 outside.
double reach(int x, int y, double cx, double cy, double r) {
  double u = (x + 0.5 - cx) / r, v = (y + 0.5 - cy) / (r / 2);
  return std::sqrt(u * u + v * v);
}

TEST(WalkIcon, TheTryFigureInWhiteOnARoundedGreenSquare) {
  for (int size : {32, 64, 256}) {
    Icon icon = walk_icon(size);
    ASSERT_EQ(icon.pixels.width(), size);
    ASSERT_EQ(icon.pixels.height(), size);
    ASSERT_EQ(icon.alpha.size(), static_cast<std::size_t>(size * size));
    const double c = size / 2.0, r = 0.45 * size, spot = r / 4 - 1, xs = c - 0.6 * r;
    const Rgb field = icon.pixels.get(size / 2, 1);
    EXPECT_EQ(field & 0xFF00FFu, 0u) << "green alone";
    EXPECT_NE(field, 0u);
    int transparent = 0, white = 0;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        transparent += icon.alpha[static_cast<std::size_t>(y * size + x)] == 0;
        double body = reach(x, y, c, c, r);
        double spots = std::min(reach(x, y, xs, c - r / 5.5, spot), reach(x, y, xs, c + r / 5.5, spot));
        Rgb p = icon.pixels.get(x, y);
        white += p == rgb(255, 255, 255);
        if (body < 0.9 && spots > 1.3) {
          ASSERT_EQ(p, rgb(255, 255, 255)) << size << ": " << x << "," << y;
        }
        if (body > 1.1 || spots < 0.7) {
          ASSERT_EQ(p, field) << size << ": " << x << "," << y;
        }
      }
    }
    EXPECT_GT(white, size * size / 5);
    // Each corner of radius size / 6 cuts away a square less a quarter disc.
    const double corner = size / 6.0, cut = (4 - std::numbers::pi) * corner * corner;
    EXPECT_NEAR(transparent, cut, 0.1 * cut + 4) << size;
    for (auto [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}})
      EXPECT_EQ(icon.alpha[static_cast<std::size_t>(y * size + x)], 0) << x << "," << y;
    for (auto [x, y] : {std::pair{size / 2, 0}, {0, size / 2}, {size - 1, size / 2}, {size / 2, size - 1}})
      EXPECT_EQ(icon.alpha[static_cast<std::size_t>(y * size + x)], 255) << x << "," << y;
  }
}

// The installed icon files: every colour channel and the transparency as drawn.
TEST(WalkIcon, PngWithTransparencyKeepsEveryChannel) {
  Icon icon = walk_icon(64);
  icon.pixels.set(5, 9, rgb(0x12, 0x34, 0x56));
  icon.alpha[9 * 64 + 5] = 0x78;
  const std::string path = ::testing::TempDir() + "walk-icon-test.png";
  std::string error;
  ASSERT_TRUE(save_png_rgba(icon.pixels, icon.alpha, path, &error)) << error;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << image.message;
  EXPECT_NE(image.format & PNG_FORMAT_FLAG_ALPHA, 0u);
  image.format = PNG_FORMAT_RGBA;
  std::vector<png_byte> rgba(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) << image.message;
  std::remove(path.c_str());
  ASSERT_EQ(image.width, 64u);
  ASSERT_EQ(image.height, 64u);
  for (std::size_t i = 0; i < icon.alpha.size(); ++i) {
    Rgb c = icon.pixels.pixels()[i];
    ASSERT_EQ(rgba[4 * i], c >> 16) << i;
    ASSERT_EQ(rgba[4 * i + 1], (c >> 8) & 255) << i;
    ASSERT_EQ(rgba[4 * i + 2], c & 255) << i;
    ASSERT_EQ(rgba[4 * i + 3], icon.alpha[i]) << i;
  }
  icon.alpha.pop_back();
  EXPECT_FALSE(save_png_rgba(icon.pixels, icon.alpha, path, &error)) << "alpha of the wrong size";
  EXPECT_FALSE(save_png_rgba(walk_icon(16).pixels, walk_icon(16).alpha, "/nonexistent/x.png", &error));
  EXPECT_NE(error.find("/nonexistent/x.png"), std::string::npos) << error;
}

}  // namespace
}  // namespace platform

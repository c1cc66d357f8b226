// The program's icon: the try figure (a white body twice as wide as high,
// two spots towards its left end) on a green square with rounded corners,
// saved as PNG files with transparency for the desktop.
#include "platform/icon.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <numbers>

#include "tests/support/pixels.h"

namespace platform {
namespace {

// A pixel centre against the ellipse of radii r and r / 2 around (cx, cy):
// below 1 inside, above 1 outside.
double reach(int x, int y, double cx, double cy, double r) {
  return std::hypot((x + 0.5 - cx) / r, (y + 0.5 - cy) / (r / 2));
}

TEST(WalkIcon, TheTryFigureInWhiteOnARoundedGreenSquare) {
  for (int size : {32, 64, 256}) {
    const Icon icon = walk_icon(size);
    ASSERT_EQ(icon.alpha.size(), static_cast<std::size_t>(size * size));
    const double c = size / 2.0, r = 0.45 * size, spot = r / 4 - 1, xs = c - 0.6 * r;
    const Rgb field = icon.pixels.get(size / 2, 1);
    EXPECT_TRUE((field & 0xFF00FF) == 0 && field != 0) << "green alone: " << field;
    int transparent = 0;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        double body = reach(x, y, c, c, r);
        double spots =
            std::min(reach(x, y, xs, c - r / 5.5, spot), reach(x, y, xs, c + r / 5.5, spot));
        Rgb p = icon.pixels.get(x, y);
        ASSERT_TRUE(body > 0.9 || spots < 1.3 || p == rgb(255, 255, 255))
            << size << ": " << x << "," << y;
        ASSERT_TRUE((body < 1.1 && spots > 0.7) || p == field) << size << ": " << x << "," << y;
        transparent += icon.alpha[static_cast<std::size_t>(y * size + x)] == 0;
      }
    }
    const auto body = testing_support::extent(icon.pixels, rgb(255, 255, 255));
    EXPECT_NEAR(body.width(), 0.9 * size, 1) << size;
    EXPECT_NEAR(body.height(), 0.45 * size, 1) << size;
    // Each corner of radius size / 6 cuts away a square less a quarter disc.
    const double cut = (4 - std::numbers::pi) * size * size / 36.0;
    EXPECT_NEAR(transparent, cut, 0.1 * cut + 4) << size;
    for (int i : {0, size - 1, size * size - size, size * size - 1, size / 2, size * size / 2})
      EXPECT_EQ(icon.alpha[i], i == size / 2 || i == size * size / 2 ? 255 : 0) << i;
  }
}

// Each channel in its place, alpha included; alpha of the wrong size or a
// place that cannot be written is refused.
TEST(WalkIcon, ThePngWithTransparencyKeepsEveryChannel) {
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
  EXPECT_FALSE(save_png_rgba(picture, {0x78}, path, &error)) << "alpha of the wrong size";
  EXPECT_FALSE(save_png_rgba(picture, {0x78, 0xFF}, "/nonexistent/x.png", &error));
  EXPECT_NE(error.find("/nonexistent/x.png"), std::string::npos) << error;
}

}  // namespace
}  // namespace platform

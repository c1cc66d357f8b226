#include "platform/icon.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(WalkIcon, TheFigureOnARoundedSquare) {
  for (int size : {32, 64, 256}) {
    Icon icon = walk_icon(size);
    ASSERT_EQ(icon.pixels.width(), size);
    auto alpha = [&](int x, int y) { return icon.alpha[static_cast<std::size_t>(y) * size + x]; };
    EXPECT_EQ(alpha(0, 0), 0) << "rounded corner";
    EXPECT_EQ(alpha(size - 1, size - 1), 0);
    EXPECT_EQ(alpha(size / 2, 0), 255) << "edges are solid";
    const Rgb white = rgb(255, 255, 255);
    int c = size / 2;
    EXPECT_EQ(icon.pixels.get(c + size / 5, c), white) << "the body";
    EXPECT_NE(icon.pixels.get(c, size / 8), white) << "the body is twice as wide as high";
    // The spots sit towards the left end, above and below the middle.
    int xs = static_cast<int>(c - 0.6 * size * 0.45);
    int dy = static_cast<int>(size * 0.45 / 5.5);
    EXPECT_NE(icon.pixels.get(xs, c - dy), white);
    EXPECT_NE(icon.pixels.get(xs, c + dy), white);
    EXPECT_EQ(icon.pixels.get(xs, c), white) << "between the spots";
  }
}

}  // namespace
}  // namespace platform

#include "platform/icon.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// The ellipse of horizontal radius r and vertical radius r / 2 around (x, y),
// as a pixel box with exclusive right and bottom edges.
PixelBox figure_box(double x, double y, double r) {
  auto px = [](double v) { return static_cast<std::int64_t>(std::lround(v)); };
  return {px(x - r), px(y - r / 2), px(x + r), px(y + r / 2)};
}

}  // namespace

Icon walk_icon(int size) {
  const Rgb field = rgb(0, 80, 0);
  const Rgb white = rgb(255, 255, 255);
  Icon icon{Surface(size, size, field), std::vector<std::uint8_t>(static_cast<std::size_t>(size) * size, 255)};
  // Rounded corners.
  double corner = size / 6.0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double dx = std::max({corner - x - 0.5, x + 0.5 - (size - corner), 0.0});
      double dy = std::max({corner - y - 0.5, y + 0.5 - (size - corner), 0.0});
      if (dx * dx + dy * dy > corner * corner) icon.alpha[static_cast<std::size_t>(y) * size + x] = 0;
    }
  }
  // The figure: a body twice as wide as high and two spots towards its left end.
  double c = size / 2.0;
  double r = size * 0.45;
  Pen pen{white, PenStyle::Solid, Rop::Copy};
  icon.pixels.fill_ellipse(figure_box(c, c, r), pen, white);
  Pen dark{field, PenStyle::Solid, Rop::Copy};
  double spot = r / 4 - 1;
  double xs = c - 0.6 * r;
  icon.pixels.fill_ellipse(figure_box(xs, c - r / 5.5, spot), dark, field);
  icon.pixels.fill_ellipse(figure_box(xs, c + r / 5.5, spot), dark, field);
  return icon;
}

}  // namespace platform

// Counting and locating pixels of one colour, for drawing tests.
#pragma once

#include <algorithm>

#include "platform/surface.h"

namespace testing_support {

// Pixels of colour c in the rectangle x0..x1, y0..y1 (clipped to the surface).
inline int count_in(const platform::Surface& s, platform::Rgb c, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = std::max(y0, 0); y <= std::min(y1, s.height() - 1); ++y) {
    const platform::Rgb* row = s.row(y);
    for (int x = std::max(x0, 0); x <= std::min(x1, s.width() - 1); ++x) n += row[x] == c;
  }
  return n;
}

inline int count(const platform::Surface& s, platform::Rgb c) {
  return count_in(s, c, 0, 0, s.width() - 1, s.height() - 1);
}

// The smallest rectangle holding every pixel of colour c (right < left when none).
struct Extent {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};

inline Extent extent(const platform::Surface& s, platform::Rgb c) {
  Extent e;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      if (s.get(x, y) != c) continue;
      e.left = std::min(e.left, x);
      e.right = std::max(e.right, x);
      e.top = std::min(e.top, y);
      e.bottom = std::max(e.bottom, y);
    }
  }
  return e;
}

}  // namespace testing_support

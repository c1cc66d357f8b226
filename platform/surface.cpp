#include "platform/surface.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>

namespace platform {

using std::int64_t;

namespace {

// Dash patterns of the one-pixel system pens: alternating mark and gap lengths.
struct DashPattern {
  int count;
  int lengths[6];
  int period;
};
constexpr DashPattern kDash{2, {18, 6}, 24};
constexpr DashPattern kDot{2, {3, 3}, 6};
constexpr DashPattern kDashDot{4, {9, 6, 3, 6}, 24};
constexpr DashPattern kDashDotDot{6, {9, 3, 3, 3, 3, 3}, 24};

bool marks(const DashPattern& p, int64_t index) {
  int64_t at = index % p.period;
  if (at < 0) at += p.period;
  for (int i = 0; i < p.count; ++i) {
    if (at < p.lengths[i]) return i % 2 == 0;
    at -= p.lengths[i];
  }
  return false;
}

template <class T>
T floor_div(T a, T b) {  // b > 0
  T q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

// floor(sqrt(v)) for 0 <= v < 2^62.
int64_t isqrt(int64_t v) {
  auto s = static_cast<int64_t>(std::sqrt(static_cast<double>(v)));
  while (s * s > v) --s;
  while ((s + 1) * (s + 1) <= v) ++s;
  return s;
}

// floor(sqrt(q)) for 0 <= q < 2^126.
int64_t isqrt(WideInt q) {
  if (q < (WideInt{1} << 62)) return isqrt(static_cast<int64_t>(q));
  auto s = static_cast<WideInt>(std::sqrt(static_cast<long double>(q)));
  while (s * s > q) --s;
  while ((s + 1) * (s + 1) <= q) ++s;
  return static_cast<int64_t>(s);
}

constexpr double kTwoPi = 2 * std::numbers::pi;

// An angle brought into [0, 2 pi).
double normal_angle(double a) {
  a = std::fmod(a, kTwoPi);
  if (a < 0) a += kTwoPi;
  return a >= kTwoPi ? 0 : a;
}

// Where a pixel of an ellipse lies: its parametric angle in [0, 2 pi),
// counter-clockwise as seen on the screen.
struct EllipseGeometry {
  double cx, cy, a, b;
  explicit EllipseGeometry(const PixelBox& box)
      : cx(0.5 * static_cast<double>(box.left + box.right)),
        cy(0.5 * static_cast<double>(box.top + box.bottom)),
        a(0.5 * static_cast<double>(box.width())),
        b(0.5 * static_cast<double>(box.height())) {}
  double angle(int x, int y) const {
    double u = (x + 0.5 - cx) / a;
    double v = (cy - (y + 0.5)) / b;
    if (u == 0 && v == 0) return 0;
    return normal_angle(std::atan2(v, u));
  }
  // The length of the outline (Ramanujan), to lay dash patterns along it.
  double perimeter() const {
    double h = (a - b) * (a - b) / ((a + b) * (a + b));
    return std::numbers::pi * (a + b) * (1 + 3 * h / (10 + std::sqrt(4 - 3 * h)));
  }
};

// Angles from `start` counter-clockwise to `end`; equal angles mean all.
struct AngleRange {
  double start, end;
  bool full;
  AngleRange(double s, double e)
      : start(normal_angle(s)), end(normal_angle(e)), full(start == end) {}
  bool contains(double a) const {
    if (full) return true;
    return start <= end ? (a >= start && a <= end) : (a >= start || a <= end);
  }
};

}  // namespace

Surface::Surface(int width, int height, Rgb fill)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill),
      changed_(static_cast<std::size_t>(height), 1) {}

void Surface::fill(Rgb c) {
  std::fill(pixels_.begin(), pixels_.end(), c);
  mark_all_changed();
}

void Surface::copy_from(const Surface& other) {
  if (other.width_ == width_ && other.height_ == height_) {
    std::copy(other.pixels_.begin(), other.pixels_.end(), pixels_.begin());
  } else {
    *this = other;
  }
  mark_all_changed();
}

bool pen_marks(PenStyle style, int64_t index) {
  switch (style) {
    case PenStyle::Solid:
      return true;
    case PenStyle::Dash:
      return marks(kDash, index);
    case PenStyle::Dot:
      return marks(kDot, index);
    case PenStyle::DashDot:
      return marks(kDashDot, index);
    case PenStyle::DashDotDot:
      return marks(kDashDotDot, index);
    case PenStyle::Null:
      return false;
  }
  return true;
}

Span ellipse_span(const PixelBox& box, int64_t y) {
  int64_t w = box.width(), h = box.height();
  if (w <= 0 || h <= 0 || y < box.top || y >= box.bottom) return {};
  // Doubled offsets from the centre: a pixel centre at (X / 2, Y / 2) is
  // inside when X^2 h^2 + Y^2 w^2 <= w^2 h^2.
  int64_t yy = 2 * y + 1 - (box.top + box.bottom);
  int64_t x_max;
  constexpr int64_t kSmall = int64_t{1} << 15;
  constexpr int64_t kExact = int64_t{1} << 31;
  if (w < kSmall && h < kSmall) {
    x_max = isqrt(w * w * (h * h - yy * yy)) / h;  // below 2^60: plain 64-bit
  } else if (w < kExact && h < kExact) {
    WideInt room = WideInt{w} * w * (WideInt{h} * h - WideInt{yy} * yy);
    x_max = isqrt(room) / h;
  } else {
    long double f = static_cast<long double>(yy) / static_cast<long double>(h);
    x_max = static_cast<int64_t>(std::floor(static_cast<long double>(w) * std::sqrt(1 - f * f)));
  }
  if (((x_max ^ (w + 1)) & 1) != 0) --x_max;  // X has the parity of w + 1
  if (x_max < 0) return {};
  int64_t sum = box.left + box.right - 1;  // x = (sum -+ X) / 2, exactly
  return {(sum - x_max) / 2, (sum + x_max) / 2};
}

void Surface::put_run(int y, int x0, int x1, Rgb c, Rop rop) {
  Rgb* r = row(y);
  if (rop == Rop::Copy) {
    std::fill(r + x0, r + x1 + 1, c);
  } else {
    for (int x = x0; x <= x1; ++x) r[x] = apply_rop(rop, r[x], c);
  }
}

void Surface::draw_line(int64_t x0, int64_t y0, int64_t x1, int64_t y1, const Pen& pen) {
  if (pen.style == PenStyle::Null) return;
  int64_t adx = x1 > x0 ? x1 - x0 : x0 - x1;
  int64_t ady = y1 > y0 ? y1 - y0 : y0 - y1;
  int64_t n = std::max(adx, ady);
  // Step along the major axis from the end with the smaller major coordinate,
  // so that a line and its reverse set the same pixels; the dash pattern
  // still starts at (x0, y0).
  bool x_major = adx >= ady;
  int64_t ma0 = x_major ? x0 : y0, mi0 = x_major ? y0 : x0;
  int64_t ma1 = x_major ? x1 : y1, mi1 = x_major ? y1 : x1;
  bool reversed = ma1 < ma0;
  if (reversed) {
    std::swap(ma0, ma1);
    std::swap(mi0, mi1);
  }
  int64_t dm = mi1 - mi0;
  int64_t major_size = x_major ? width_ : height_;
  int64_t minor_size = x_major ? height_ : width_;
  int64_t j_begin = std::max<int64_t>(0, -ma0);
  int64_t j_end = std::min<int64_t>(n, major_size - 1 - ma0);
  bool narrow = n < (int64_t{1} << 30);
  for (int64_t j = j_begin; j <= j_end; ++j) {
    // The minor coordinate, rounded half up along the canonical direction.
    int64_t minor = mi0;
    if (n > 0) {
      minor +=
          narrow
              ? floor_div<int64_t>(2 * j * dm + n, 2 * n)
              : static_cast<int64_t>(floor_div<WideInt>(WideInt{2} * j * dm + n, WideInt{2} * n));
    }
    if (minor < 0 || minor >= minor_size) continue;
    if (!pen_marks(pen.style, reversed ? n - j : j)) continue;
    int64_t major = ma0 + j;
    Rgb& p = row(static_cast<int>(x_major ? minor : major))[x_major ? major : minor];
    p = apply_rop(pen.rop, p, pen.color);
  }
}

void Surface::draw_rect(int64_t x0, int64_t y0, int64_t x1, int64_t y1, const Pen& pen) {
  if (pen.style == PenStyle::Null) return;
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  if (x0 == x1 || y0 == y1) {
    draw_line(x0, y0, x1, y1, pen);
    return;
  }
  // Clockwise from the top-left corner, each pixel once, the dash pattern
  // running on around the corners.
  int64_t w = x1 - x0, h = y1 - y0;
  auto plot = [&](int64_t x, int64_t y, int64_t index) {
    if (pen_marks(pen.style, index))
      set(static_cast<int>(x), static_cast<int>(y), pen.color, pen.rop);
  };
  int64_t xa = std::max<int64_t>(x0, 0), xb = std::min<int64_t>(x1, width_ - 1);
  int64_t ya = std::max<int64_t>(y0 + 1, 0), yb = std::min<int64_t>(y1, height_ - 1);
  if (y0 >= 0 && y0 < height_) {
    for (int64_t x = xa; x <= xb; ++x) plot(x, y0, x - x0);
  }
  if (x1 >= 0 && x1 < width_) {
    for (int64_t y = ya; y <= yb; ++y) plot(x1, y, w + (y - y0));
  }
  if (y1 >= 0 && y1 < height_) {
    for (int64_t x = std::min<int64_t>(x1 - 1, width_ - 1); x >= xa; --x)
      plot(x, y1, w + h + (x1 - x));
  }
  if (x0 >= 0 && x0 < width_) {
    for (int64_t y = std::min<int64_t>(y1 - 1, height_ - 1); y >= ya; --y)
      plot(x0, y, 2 * w + h + (y1 - y));
  }
}

void Surface::fill_rect(int64_t x0, int64_t y0, int64_t x1, int64_t y1, Rgb color, Rop rop) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  x0 = std::max<int64_t>(x0, 0);
  y0 = std::max<int64_t>(y0, 0);
  x1 = std::min<int64_t>(x1, width_ - 1);
  y1 = std::min<int64_t>(y1, height_ - 1);
  if (x0 > x1 || y0 > y1) return;
  for (auto y = static_cast<int>(y0); y <= y1; ++y)
    put_run(y, static_cast<int>(x0), static_cast<int>(x1), color, rop);
}

void Surface::paint_ellipse(const PixelBox& box, const Pen& pen, bool filled, Rgb fill,
                            double start, double end) {
  bool outlined = pen.style != PenStyle::Null;
  if (box.empty() || (!outlined && !filled)) return;
  const AngleRange range(start, end);
  const EllipseGeometry geo(box);
  const double per_radian = geo.perimeter() / kTwoPi;
  const bool plain_outline = pen.style == PenStyle::Solid && range.full;

  auto outline = [&](int y, int x0, int x1) {
    if (!outlined) return;
    if (plain_outline) return put_run(y, x0, x1, pen.color, pen.rop);
    for (int x = x0; x <= x1; ++x) {
      double a = geo.angle(x, y);
      if (!range.contains(a)) continue;
      auto along = static_cast<int64_t>(normal_angle(a - range.start) * per_radian);
      if (pen_marks(pen.style, along)) set(x, y, pen.color, pen.rop);
    }
  };
  auto inside = [&](int y, int x0, int x1) {
    if (!filled) return;
    if (range.full) return put_run(y, x0, x1, fill, pen.rop);
    for (int x = x0; x <= x1; ++x) {
      if (range.contains(geo.angle(x, y))) set(x, y, fill, pen.rop);
    }
  };
  auto visible = [&](int y, int64_t x0, int64_t x1, auto& paint) {
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, width_ - 1);
    if (x0 <= x1) paint(y, static_cast<int>(x0), static_cast<int>(x1));
  };

  // Row by row: the inside is what has its four neighbours in the ellipse and
  // also lies in the next smaller ellipse (box.inset()); the rest is outline.
  // So every pixel that the smaller ellipse lacks is outline, and outlines of
  // a shrinking box fill a disc completely.
  const PixelBox core_box = box.inset();
  int64_t y_begin = std::max<int64_t>(box.top, 0);
  int64_t y_end = std::min<int64_t>(box.bottom, height_);
  if (y_begin >= y_end) return;
  Span up = ellipse_span(box, y_begin - 1);
  Span cur = ellipse_span(box, y_begin);
  for (int64_t y = y_begin; y < y_end; ++y) {
    Span down = ellipse_span(box, y + 1);
    if (!cur.empty()) {
      auto yi = static_cast<int>(y);
      Span core = ellipse_span(core_box, y);
      int64_t lo = std::max({cur.first + 1, up.first, down.first, core.first});
      int64_t hi = std::min({cur.last - 1, up.last, down.last, core.last});
      if (up.empty() || down.empty() || core.empty() || lo > hi) {
        visible(yi, cur.first, cur.last, outline);
      } else {
        visible(yi, cur.first, lo - 1, outline);
        visible(yi, lo, hi, inside);
        visible(yi, hi + 1, cur.last, outline);
      }
    }
    up = cur;
    cur = down;
  }
}

void Surface::draw_ellipse(const PixelBox& box, const Pen& pen) {
  paint_ellipse(box, pen, false, 0, 0, 0);
}

void Surface::fill_ellipse(const PixelBox& box, const Pen& pen, Rgb fill) {
  paint_ellipse(box, pen, true, fill, 0, 0);
}

void Surface::draw_arc(const PixelBox& box, double start, double end, const Pen& pen) {
  paint_ellipse(box, pen, false, 0, start, end);
}

void Surface::draw_pie(const PixelBox& box, double start, double end, const Pen& pen, bool filled,
                       Rgb fill) {
  paint_ellipse(box, pen, filled, fill, start, end);
  if (box.empty() || AngleRange(start, end).full) return;
  // The two radii, from the centre pixel to the outline's pixels at the ends.
  const EllipseGeometry geo(box);
  auto cx = static_cast<int64_t>(std::floor(geo.cx));
  auto cy = static_cast<int64_t>(std::floor(geo.cy));
  for (double a : {start, end}) {
    auto ex = static_cast<int64_t>(std::floor(geo.cx + (geo.a - 0.5) * std::cos(a)));
    auto ey = static_cast<int64_t>(std::floor(geo.cy - (geo.b - 0.5) * std::sin(a)));
    draw_line(cx, cy, ex, ey, pen);
  }
}

// libpng's simplified interface: no setjmp, whose return leaves the locals
// of this frame indeterminate.
bool save_png(const Surface& s, const std::string& path, std::string* error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(s.width());
  image.height = static_cast<png_uint_32>(s.height());
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> buf(PNG_IMAGE_SIZE(image));
  for (int y = 0; y < s.height(); ++y) {
    const Rgb* r = s.row(y);
    png_byte* p = &buf[static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width()) * 3];
    for (int x = 0; x < s.width(); ++x) {
      p[3 * x + 0] = static_cast<png_byte>(r[x] >> 16);
      p[3 * x + 1] = static_cast<png_byte>(r[x] >> 8);
      p[3 * x + 2] = static_cast<png_byte>(r[x]);
    }
  }
  if (!png_image_write_to_file(&image, path.c_str(), 0, buf.data(), 0, nullptr)) {
    if (error) *error = "cannot write " + path + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}

bool save_png_rgba(const Surface& s, const std::vector<std::uint8_t>& alpha, const std::string& path,
                   std::string* error) {
  if (alpha.size() != s.pixels().size()) {
    if (error) *error = "alpha does not match the picture";
    return false;
  }
  std::vector<png_byte> buf(alpha.size() * 4);
  for (std::size_t i = 0; i < alpha.size(); ++i) {
    Rgb c = s.pixels()[i];
    buf[4 * i + 0] = static_cast<png_byte>(c >> 16);
    buf[4 * i + 1] = static_cast<png_byte>(c >> 8);
    buf[4 * i + 2] = static_cast<png_byte>(c);
    buf[4 * i + 3] = alpha[i];
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(s.width());
  image.height = static_cast<png_uint_32>(s.height());
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, path.c_str(), 0, buf.data(), 0, nullptr)) {
    if (error) *error = "cannot write " + path + ": " + image.message;
    return false;
  }
  return true;
}

bool load_png(const std::string& path, Surface* out, std::string* error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    if (error) *error = "cannot read " + path + ": " + image.message;
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> buf(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, buf.data(), 0, nullptr)) {
    if (error) *error = "cannot decode " + path + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  Surface s(static_cast<int>(image.width), static_cast<int>(image.height));
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      const png_byte* p = &buf[(static_cast<std::size_t>(y) * s.width() + x) * 3];
      s.row(y)[x] = rgb(p[0], p[1], p[2]);
    }
  }
  *out = std::move(s);
  return true;
}

}  // namespace platform

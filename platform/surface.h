// A 32-bit RGB pixel image (0x00RRGGBB) with the drawing primitives of the
// old system's drawing library. It stores colours, not palette numbers.
// Every primitive clips to the image; nothing is ever an error.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

using Rgb = std::uint32_t;  // 0x00RRGGBB

// Wide enough for products of two 64-bit coordinates.
__extension__ typedef __int128 WideInt;

constexpr Rgb rgb(int r, int g, int b) {
  return (static_cast<Rgb>(r & 255) << 16) | (static_cast<Rgb>(g & 255) << 8) |
         static_cast<Rgb>(b & 255);
}

// Raster operations between a source (pen, brush or block pixel) and the
// destination pixel: copy, AND, OR, XOR, invert the destination, and copy of
// the inverted source.
enum class Rop : std::uint8_t { Copy, And, Or, Xor, Not, NotCopy };

// The system pen styles, as numbered by the drawing library.
enum class PenStyle : std::uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, Null };

// A one-pixel pen: colour, style and raster operation.
struct Pen {
  Rgb color = 0;
  PenStyle style = PenStyle::Solid;
  Rop rop = Rop::Copy;
};

// Whether the pen sets the pixel at position `index` along a stroke
// (index 0 is the first pixel; every style starts with a mark).
bool pen_marks(PenStyle style, std::int64_t index);

// A pixel box for ellipses: left and top inclusive, right and bottom
// exclusive, so a box 20 wide holds a circle 20 pixels across. 64-bit so
// that boxes far larger than any image still work.
struct PixelBox {
  std::int64_t left = 0, top = 0, right = 0, bottom = 0;
  std::int64_t width() const { return right - left; }
  std::int64_t height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  // The box one pixel smaller on every side: the next smaller concentric circle.
  PixelBox inset() const { return {left + 1, top + 1, right - 1, bottom - 1}; }
};

// One row of a filled ellipse: pixels first..last, or none.
struct Span {
  std::int64_t first = 0, last = -1;
  bool empty() const { return last < first; }
};

// The pixels of row y inside the ellipse inscribed in `box` (a pixel is in
// when its centre is inside or on the ellipse).
Span ellipse_span(const PixelBox& box, std::int64_t y);

class Surface {
 public:
  Surface() = default;
  Surface(int width, int height, Rgb fill = 0);

  int width() const { return width_; }
  int height() const { return height_; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // Writable access marks the row changed (see row_changed).
  Rgb* row(int y) {
    changed_[static_cast<std::size_t>(y)] = 1;
    return pixels_.data() + static_cast<std::size_t>(y) * width_;
  }
  const Rgb* row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const std::vector<Rgb>& pixels() const { return pixels_; }

  // Pixel access; out-of-bounds reads give 0 and writes are clipped.
  Rgb get(int x, int y) const { return contains(x, y) ? row(y)[x] : 0; }
  void set(int x, int y, Rgb c, Rop rop = Rop::Copy);
  void fill(Rgb c);
  // Copies another surface of the same size without reallocating.
  void copy_from(const Surface& other);

  // A straight line with both end points set.
  void draw_line(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                 const Pen& pen);
  // The outline of the rectangle with corners (x0, y0) and (x1, y1), both
  // corners included, in any order.
  void draw_rect(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                 const Pen& pen);
  // Fills that rectangle, corners included.
  void fill_rect(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, Rgb color,
                 Rop rop = Rop::Copy);

  // The outline of the ellipse inscribed in `box`. It covers every pixel of
  // the filled ellipse that is not in the filled ellipse of box.inset(), so
  // outlines of a box shrinking one pixel at a time leave a solid disc.
  void draw_ellipse(const PixelBox& box, const Pen& pen);
  // The filled ellipse: the outline with the pen, the rest with `fill`;
  // every pixel is touched once.
  void fill_ellipse(const PixelBox& box, const Pen& pen, Rgb fill);
  // Part of the outline from angle `start` to `end` (radians, counter-
  // clockwise from the right, on the screen as seen with y down).
  void draw_arc(const PixelBox& box, double start, double end, const Pen& pen);
  // The arc closed by two radii; with `filled` the inside takes `fill`.
  void draw_pie(const PixelBox& box, double start, double end, const Pen& pen, bool filled,
                Rgb fill);

  // Stretches a source image of sw x sh pixels, read through `pixel(x, y)`,
  // into the rectangle (dx, dy, dw, dh), dropping or repeating rows and
  // columns as needed (no blending).
  template <class PixelAt>
  void stretch(std::int64_t dx, std::int64_t dy, std::int64_t dw, std::int64_t dh, std::int64_t sw,
               std::int64_t sh, PixelAt&& pixel, Rop rop);

  // Whether row y may have been written since the last forget_changes(); a
  // new surface counts as written throughout.
  bool row_changed(int y) const { return changed_[static_cast<std::size_t>(y)] != 0; }
  void forget_changes() { std::fill(changed_.begin(), changed_.end(), 0); }

  bool operator==(const Surface& other) const {
    return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
  }

 private:
  // Sets pixels x0..x1 of row y (already clipped to the image).
  void put_run(int y, int x0, int x1, Rgb c, Rop rop);
  // Paints the outline of an ellipse with `pen` and, when `filled`, its
  // inside with `fill`, keeping the pixels whose angle runs from `start` to
  // `end` (all of them when the two are equal).
  void paint_ellipse(const PixelBox& box, const Pen& pen, bool filled, Rgb fill, double start,
                     double end);

  void mark_all_changed() { std::fill(changed_.begin(), changed_.end(), 1); }

  int width_ = 0;
  int height_ = 0;
  std::vector<Rgb> pixels_;
  std::vector<std::uint8_t> changed_;  // one flag per row
};

// Applies a raster operation of source colour `src` to destination `dst`.
inline Rgb apply_rop(Rop rop, Rgb dst, Rgb src) {
  switch (rop) {
    case Rop::Copy:
      return src;
    case Rop::And:
      return dst & src;
    case Rop::Or:
      return dst | src;
    case Rop::Xor:
      return (dst ^ src) & 0xFFFFFFu;
    case Rop::Not:
      return ~dst & 0xFFFFFFu;
    case Rop::NotCopy:
      return ~src & 0xFFFFFFu;
  }
  return src;
}

inline void Surface::set(int x, int y, Rgb c, Rop rop) {
  if (!contains(x, y)) return;
  Rgb& p = row(y)[x];
  p = apply_rop(rop, p, c);
}

template <class PixelAt>
void Surface::stretch(std::int64_t dx, std::int64_t dy, std::int64_t dw, std::int64_t dh,
                      std::int64_t sw, std::int64_t sh, PixelAt&& pixel, Rop rop) {
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  std::int64_t x_begin = dx < 0 ? -dx : 0;
  std::int64_t x_end = dw < width_ - dx ? dw : width_ - dx;
  std::int64_t y_begin = dy < 0 ? -dy : 0;
  std::int64_t y_end = dh < height_ - dy ? dh : height_ - dy;
  for (std::int64_t j = y_begin; j < y_end; ++j) {
    // Nearest source row for the centre of destination row j.
    auto sy = static_cast<std::int64_t>(((static_cast<WideInt>(2 * j + 1) * sh) / (2 * dh)));
    Rgb* out = row(static_cast<int>(dy + j));
    for (std::int64_t i = x_begin; i < x_end; ++i) {
      auto sx = static_cast<std::int64_t>(((static_cast<WideInt>(2 * i + 1) * sw) / (2 * dw)));
      Rgb& p = out[dx + i];
      p = apply_rop(rop, p, pixel(sx, sy));
    }
  }
}

// PNG files of a surface. Both return false and fill `error` on failure.
bool save_png(const Surface& s, const std::string& path, std::string* error);
bool load_png(const std::string& path, Surface* out, std::string* error);
// With an alpha byte per pixel (0 transparent).
bool save_png_rgba(const Surface& s, const std::vector<std::uint8_t>& alpha, const std::string& path,
                   std::string* error);

}  // namespace platform

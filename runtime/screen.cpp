#include "runtime/screen.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "runtime/runtime.h"

namespace rt {

using platform::PenStyle;
using platform::Rgb;
using platform::Rop;

namespace {

constexpr std::array<Rgb, 16> kDefaultPalette{
    platform::rgb(0, 0, 0),       platform::rgb(128, 128, 128), platform::rgb(0, 0, 128),
    platform::rgb(0, 0, 255),     platform::rgb(128, 0, 0),     platform::rgb(255, 0, 0),
    platform::rgb(128, 0, 128),   platform::rgb(255, 0, 255),   platform::rgb(0, 128, 0),
    platform::rgb(0, 255, 0),     platform::rgb(0, 128, 128),   platform::rgb(0, 255, 255),
    platform::rgb(128, 128, 0),   platform::rgb(255, 255, 0),   platform::rgb(192, 192, 192),
    platform::rgb(255, 255, 255),
};

// The standard colour table of PALETTE's code form: the dark set, then the
// bright set, each black/grey, blue, red, magenta, green, cyan, yellow, white.
constexpr std::array<Rgb, 16> kStandardColors{
    platform::rgb(128, 128, 128), platform::rgb(0, 0, 128),     platform::rgb(128, 0, 0),
    platform::rgb(128, 0, 128),   platform::rgb(0, 128, 0),     platform::rgb(0, 128, 128),
    platform::rgb(128, 128, 0),   platform::rgb(192, 192, 192), platform::rgb(0, 0, 0),
    platform::rgb(0, 0, 255),     platform::rgb(255, 0, 0),     platform::rgb(255, 0, 255),
    platform::rgb(0, 255, 0),     platform::rgb(0, 255, 255),   platform::rgb(255, 255, 0),
    platform::rgb(255, 255, 255),
};

// Checks inside the statements (the low byte of an error location).
enum Check : std::uint8_t {
  kMode = 1,
  kColor,
  kFillColor,
  kBackground,
  kBorder,
  kFunction,
  kEntry,
  kCode,
  kComponent,
  kStyle,
  kRadius,
  kAspect,
  kAngle,
  kCorner,
  kBlockSize,
  kBlockFormat,
  kDirection,
  kCoordinate,
  kLastPoint,
};

// Blocks as GET writes them: a BITMAPINFOHEADER, three colour masks, then
// 32-bit pixel rows bottom-up.
constexpr std::size_t kHeaderBytes = 40;
constexpr std::size_t kMaskBytes = 12;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

void put_u32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}
void put_u16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
std::uint32_t get_u32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t get_u16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

Rop rop_of_function(int function, Rop fallback) {
  switch (function) {
    case -1:
      return fallback;
    case 2:
      return Rop::And;
    case 3:
      return Rop::Or;
    case 4:
      return Rop::Xor;
    case 5:
      return Rop::Not;
    default:
      return Rop::Copy;
  }
}

Rop rop_of_put_mode(int mode) {
  switch (mode) {
    case 2:
      return Rop::And;
    case 3:
      return Rop::Or;
    case 4:
      return Rop::Xor;
    case 5:
      return Rop::NotCopy;
    default:
      return Rop::Copy;
  }
}

// Whether a value can be stored as a SINGLE.
bool fits_single(double v) {
  return std::fabs(v) <= std::numeric_limits<float>::max();
}

// 2 pi as a SINGLE: the largest angle CIRCLE takes.
constexpr double kMaxAngle = static_cast<double>(static_cast<float>(2 * 3.14159265358979323846));

}  // namespace

platform::Surface& Screen::picture() {
  return rt().host().picture();
}

void Screen::start_screen(int width, int height) {
  palette_ = kDefaultPalette;
  foreground_ = 15;
  background_ = 0;
  border_ = 0;
  color_mode_ = 4;
  default_style_ = PenStyle::Solid;
  default_rop_ = Rop::Copy;
  last_x_ = last_y_ = 0;
  // The layers match the window's client area; the size given is only a
  // fallback for a window without a picture yet.
  const platform::Surface& window = picture();
  if (window.width() > 0 && window.height() > 0) {
    width = window.width();
    height = window.height();
  }
  backing_ = platform::Surface(std::max(width, 1), std::max(height, 1), palette_rgb(background_));
  picture().copy_from(backing_);
  rt().host().picture_changed();
}

void Screen::repaint_window() {
  picture().copy_from(backing_);
  rt().repaint_text();
  rt().host().picture_changed();
}

std::size_t Screen::block_bytes(int width, int height) {
  return kHeaderBytes + kMaskBytes +
         static_cast<std::size_t>(height) * static_cast<std::size_t>(width) * 4;
}

template <class Draw>
void Screen::draw_both(Draw&& draw) {
  draw(picture());
  draw(backing_);
  rt().host().picture_changed();
}

std::int64_t Screen::pixel_x(double x, Op op) const {
  double v = std::round(x);
  if (!(v >= std::numeric_limits<std::int32_t>::min() &&
        v <= std::numeric_limits<std::int32_t>::max()))
    throw RtError(6, location(op, kCoordinate));
  return static_cast<std::int64_t>(v);
}

std::int64_t Screen::pixel_y(double y, Op op) const {
  return pixel_x(static_cast<double>(screen_height() - 1) - y, op);
}

Screen::SinglePoint Screen::single_point(const Coord& c, Op op) {
  if (!fits_single(c.x) || !fits_single(c.y)) throw RtError(6, location(op, kLastPoint));
  return {static_cast<float>(c.x), static_cast<float>(c.y)};
}

void Screen::check_color(std::optional<int> color, Op op, std::uint8_t check) const {
  if (color && (*color < 0 || *color >= kPaletteSize)) throw RtError(5, location(op, check));
}

platform::Pen Screen::make_pen(std::optional<int> color, int function, PenStyle style) const {
  int number = color ? *color : (function == 1 ? background_ : foreground_);
  return platform::Pen{palette_rgb(number), style, rop_of_function(function, default_rop_)};
}

void Screen::CLS(int window, int mode) {
  rt().check_window(window, Op::Cls);
  if (mode < 0 || mode > 5) throw RtError(5, location(Op::Cls, kMode));
  // 0 and 3 clear both layers, 2 and 4 the text, 1 and 5 the graphics.
  bool text = mode == 0 || mode == 2 || mode == 3 || mode == 4;
  bool graphics = mode == 0 || mode == 1 || mode == 3 || mode == 5;
  if (text) rt().clear_text_layer();
  if (graphics) backing_.fill(palette_rgb(background_));
  if (graphics && text) {
    picture().fill(palette_rgb(background_));
    rt().host().picture_changed();
  } else {
    repaint_window();  // what is left of the picture, with what is left of the text
  }
}

void Screen::COLOR(int window, std::optional<int> fg, std::optional<int> bg,
                   std::optional<int> border, std::optional<int> function) {
  rt().check_window(window, Op::Color);
  check_color(fg, Op::Color, kColor);
  check_color(bg, Op::Color, kBackground);
  check_color(border, Op::Color, kBorder);
  if (function && (*function < 0 || *function > 5 || *function == 2 || *function == 3))
    throw RtError(5, location(Op::Color, kFunction));
  if (fg) foreground_ = *fg;
  if (bg) background_ = *bg;
  if (border) border_ = *border;
  if (function) color_mode_ = *function;
}

void Screen::PALETTE(int window, int entry, int code) {
  rt().check_window(window, Op::Palette);
  if (entry < 0 || entry >= kPaletteSize) throw RtError(5, location(Op::Palette, kEntry));
  if (code < 0 || code > 7) throw RtError(5, location(Op::Palette, kCode));
  int index = color_mode_ >= 4 ? code + 8 : code;
  palette_[static_cast<std::size_t>(entry)] = kStandardColors[static_cast<std::size_t>(index)];
}

void Screen::PALETTE_RGB(int window, int entry, int green, int red, int blue) {
  rt().check_window(window, Op::PaletteRgb);
  if (entry < 0 || entry >= kPaletteSize) throw RtError(5, location(Op::PaletteRgb, kEntry));
  for (int c : {green, red, blue}) {
    if (c < 0 || c > 255) throw RtError(5, location(Op::PaletteRgb, kComponent));
  }
  palette_[static_cast<std::size_t>(entry)] = platform::rgb(red, green, blue);
}

namespace {

PenStyle pen_style(int style, PenStyle fallback, Op op, std::uint8_t check) {
  if (style == -1) return fallback;
  if (style >= 0 && style <= 5) return static_cast<PenStyle>(style);
  if (style == 6) return PenStyle::Solid;  // inside-frame: solid at one pixel
  throw RtError(5, location(op, check));
}

}  // namespace

void Screen::LINE(int window, std::optional<Coord> from, Coord to, std::optional<int> color,
                  Box box, std::optional<int> fill, int function, int style) {
  rt().check_window(window, Op::Line);
  check_color(color, Op::Line, kColor);
  check_color(fill, Op::Line, kFillColor);
  PenStyle pen_style_used = pen_style(style, default_style_, Op::Line, kStyle);
  Coord a = from ? resolve(*from, last_x_, last_y_) : Coord{last_x_, last_y_};
  Coord b = resolve(to, a.x, a.y);
  PixelPoint p = to_pixels(a.x, a.y, Op::Line);
  PixelPoint q = to_pixels(b.x, b.y, Op::Line);
  SinglePoint last = single_point(b, Op::Line);

  platform::Pen pen = make_pen(color, function, pen_style_used);
  switch (box) {
    case Box::None:
      draw_both([&](platform::Surface& s) { s.draw_line(p.x, p.y, q.x, q.y, pen); });
      break;
    case Box::B:
      draw_both([&](platform::Surface& s) { s.draw_rect(p.x, p.y, q.x, q.y, pen); });
      break;
    case Box::BF: {
      Rgb inside = fill ? palette_rgb(*fill) : pen.color;
      draw_both([&](platform::Surface& s) { s.fill_rect(p.x, p.y, q.x, q.y, inside, pen.rop); });
      break;
    }
  }
  last_x_ = last.x;
  last_y_ = last.y;
}

void Screen::CIRCLE(int window, Coord center, double radius, std::optional<int> color,
                    double aspect, double start, double end, bool fill, int function,
                    std::optional<int> fill_color) {
  rt().check_window(window, Op::Circle);
  check_color(color, Op::Circle, kColor);
  check_color(fill_color, Op::Circle, kFillColor);
  if (!(radius >= 0)) throw RtError(5, location(Op::Circle, kRadius));
  if (!(aspect >= 0)) throw RtError(5, location(Op::Circle, kAspect));
  for (double a : {start, end}) {
    if (!(std::fabs(a) <= kMaxAngle)) throw RtError(5, location(Op::Circle, kAngle));
  }
  Coord c = resolve(center, last_x_, last_y_);
  double ry = radius * aspect;
  platform::PixelBox box{pixel_x(c.x - radius, Op::Circle), pixel_y(c.y + ry, Op::Circle),
                         pixel_x(c.x + radius, Op::Circle), pixel_y(c.y - ry, Op::Circle)};
  SinglePoint last = single_point(c, Op::Circle);

  platform::Pen pen = make_pen(color, function, default_style_);
  Rgb inside = fill_color ? palette_rgb(*fill_color) : pen.color;
  if (start == end) {
    if (fill) {
      draw_both([&](platform::Surface& s) { s.fill_ellipse(box, pen, inside); });
    } else {
      draw_both([&](platform::Surface& s) { s.draw_ellipse(box, pen); });
    }
  } else {
    double from = std::fabs(start), to = std::fabs(end);
    if (fill) {
      draw_both([&](platform::Surface& s) { s.draw_pie(box, from, to, pen, true, inside); });
    } else {
      draw_both([&](platform::Surface& s) { s.draw_arc(box, from, to, pen); });
    }
  }
  last_x_ = last.x;
  last_y_ = last.y;
}

namespace {

// A pixel rectangle with both corners included.
struct PixelRect {
  std::int64_t x0, y0, x1, y1;
  std::int64_t width() const { return x1 - x0 + 1; }
  std::int64_t height() const { return y1 - y0 + 1; }
};

}  // namespace

void Screen::GET(int window, Coord p1, Coord p2, std::span<std::uint8_t> block) {
  rt().check_window(window, Op::Get);
  Coord a = resolve(p1, last_x_, last_y_);
  Coord b = resolve(p2, a.x, a.y);
  PixelPoint p = to_pixels(a.x, a.y, Op::Get);
  PixelPoint q = to_pixels(b.x, b.y, Op::Get);
  PixelRect r{std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
  // A corner left of the window, above it or below world y 0 is refused.
  if (r.x0 < 0 || r.y0 < 0 || r.y1 >= screen_height()) throw RtError(5, location(Op::Get, kCorner));
  // Both sides are below 2^32, so the size fits 64 bits with room to spare.
  auto need = static_cast<std::uint64_t>(kHeaderBytes + kMaskBytes) +
              static_cast<std::uint64_t>(r.height()) * static_cast<std::uint64_t>(r.width()) * 4;
  if (need > block.size()) throw RtError(5, location(Op::Get, kBlockSize));

  auto w = static_cast<std::uint32_t>(r.width());
  auto h = static_cast<std::uint32_t>(r.height());
  std::uint8_t* d = block.data();
  std::memset(d, 0, kHeaderBytes + kMaskBytes);
  put_u32(d + 0, static_cast<std::uint32_t>(kHeaderBytes));
  put_u32(d + 4, w);
  put_u32(d + 8, h);
  put_u16(d + 12, 1);
  put_u16(d + 14, 32);
  put_u32(d + 16, kBiBitfields);
  put_u32(d + 20, h * w * 4);
  put_u32(d + 40, 0x00FF0000u);
  put_u32(d + 44, 0x0000FF00u);
  put_u32(d + 48, 0x000000FFu);
  // Rows bottom-up; pixels off the picture read as black.
  const platform::Surface& from = picture();
  std::uint8_t* out = d + kHeaderBytes + kMaskBytes;
  for (std::int64_t row = r.y1; row >= r.y0; --row) {
    for (std::int64_t x = r.x0; x <= r.x1; ++x, out += 4) {
      bool on = x < from.width() && row < from.height();
      put_u32(out, on ? from.get(static_cast<int>(x), static_cast<int>(row)) : 0);
    }
  }
}

void Screen::PUT(int window, Coord p1, Coord p2, std::span<const std::uint8_t> block, int mode) {
  rt().check_window(window, Op::Put);
  Coord a = resolve(p1, last_x_, last_y_);
  Coord b = resolve(p2, a.x, a.y);
  PixelPoint p = to_pixels(a.x, a.y, Op::Put);
  PixelPoint q = to_pixels(b.x, b.y, Op::Put);
  PixelRect r{std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
  if (r.x0 < 0 || r.y0 < 0 || r.y1 >= screen_height()) throw RtError(5, location(Op::Put, kCorner));

  // The block must be one GET could have written, and lie inside its storage.
  auto bad_block = [] { return RtError(5, location(Op::Put, kBlockFormat)); };
  if (block.size() < kHeaderBytes) throw bad_block();
  const std::uint8_t* d = block.data();
  auto width = static_cast<std::int32_t>(get_u32(d + 4));
  auto height = static_cast<std::int32_t>(get_u32(d + 8));
  std::uint32_t compression = get_u32(d + 16);
  if (get_u32(d) != kHeaderBytes || width <= 0 || height == 0 ||
      height == std::numeric_limits<std::int32_t>::min() || get_u16(d + 12) != 1 ||
      get_u16(d + 14) != 32 || (compression != kBiRgb && compression != kBiBitfields))
    throw bad_block();
  std::size_t offset = kHeaderBytes;
  if (compression == kBiBitfields) {
    if (block.size() < kHeaderBytes + kMaskBytes || get_u32(d + 40) != 0x00FF0000u ||
        get_u32(d + 44) != 0x0000FF00u || get_u32(d + 48) != 0x000000FFu)
      throw bad_block();
    offset += kMaskBytes;
  }
  bool bottom_up = height > 0;
  std::int64_t rows = bottom_up ? height : -static_cast<std::int64_t>(height);
  std::uint64_t stride = static_cast<std::uint64_t>(width) * 4;
  if (offset + static_cast<std::uint64_t>(rows) * stride > block.size())
    throw RtError(5, location(Op::Put, kBlockSize));

  const std::uint8_t* bits = d + offset;
  auto pixel = [&](std::int64_t x, std::int64_t y) -> Rgb {
    std::int64_t stored = bottom_up ? rows - 1 - y : y;
    return get_u32(bits + static_cast<std::uint64_t>(stored) * stride +
                   static_cast<std::uint64_t>(x) * 4) &
           0xFFFFFFu;
  };
  Rop rop = rop_of_put_mode(mode);
  draw_both([&](platform::Surface& s) {
    s.stretch(r.x0, r.y0, r.width(), r.height(), width, rows, pixel, rop);
  });
}

double Screen::PMAP(int window, double value, int direction) {
  rt().check_window(window, Op::Pmap);
  switch (direction) {
    case 0:
      return static_cast<double>(pixel_x(value, Op::Pmap));
    case 1:
      return static_cast<double>(pixel_y(value, Op::Pmap));
    case 2:
    case 3: {
      double v = direction == 2 ? value : static_cast<double>(screen_height() - 1) - value;
      if (!fits_single(v)) throw RtError(6, location(Op::Pmap, kCoordinate));
      return static_cast<float>(v);
    }
    default:
      throw RtError(5, location(Op::Pmap, kDirection));
  }
}

}  // namespace rt

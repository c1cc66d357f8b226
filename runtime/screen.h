// The graphics screen of the main window: the picture, the backing bitmap,
// the palette and the graphics statements.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/surface.h"
#include "runtime/errors.h"

namespace rt {

class Runtime;

// A point of a graphics statement in world coordinates (y grows upwards from
// the bottom row); `step` makes it an offset (STEP).
struct Coord {
  double x = 0, y = 0;
  bool step = false;
};

// Coord{x, y} and STEP(x, y) as the statements read.
inline Coord STEP(double x, double y) {
  return Coord{x, y, true};
}

// LINE's box code: a line, a box outline (B) or a filled box (BF).
enum class Box { None, B, BF };

class Screen {
 public:
  static constexpr int kPaletteSize = 16;

  // CLS mode 0: text and graphics; 4: text only (the picture shows again).
  void CLS(int window, int mode);
  void COLOR(int window, std::optional<int> fg, std::optional<int> bg = {},
             std::optional<int> border = {}, std::optional<int> function = {});
  // Sets an entry from the standard colour table (colour code 0..7).
  void PALETTE(int window, int entry, int code);
  // Sets an entry to a colour; note the argument order green, red, blue.
  void PALETTE_RGB(int window, int entry, int green, int red, int blue);
  // Without `from` the line starts at the last point; `to.step` is relative
  // to the first point. Function and style -1 take the window's defaults.
  void LINE(int window, std::optional<Coord> from, Coord to, std::optional<int> color = {},
            Box box = Box::None, std::optional<int> fill = {}, int function = -1, int style = -1);
  // A full ellipse when start and end are equal, else an arc (a pie with
  // `fill`); angles in radians, -2 pi to 2 pi, a negative one counts as its size.
  void CIRCLE(int window, Coord center, double radius, std::optional<int> color = {},
              double aspect = 1.0, double start = 0, double end = 0, bool fill = false,
              int function = -1, std::optional<int> fill_color = {});
  // Copies the rectangle p1-p2 of the window into `block` (p2.step: offset
  // from p1) as a device-independent bitmap.
  void GET(int window, Coord p1, Coord p2, std::span<std::uint8_t> block);
  // Draws a block taken by GET into the rectangle p1-p2, stretching it when
  // the sizes differ. Mode 0 copy, 2 AND, 3 OR, 4 XOR, 5 inverted copy.
  void PUT(int window, Coord p1, Coord p2, std::span<const std::uint8_t> block, int mode = 0);
  // Direction 0/1: world x/y to pixel x/y; 2/3: pixel x/y to world x/y.
  double PMAP(int window, double value, int direction);

  // Bytes a block of w x h pixels takes in GET's storage.
  static std::size_t block_bytes(int width, int height);

  // The window's picture (what the player sees) and the backing bitmap.
  platform::Surface& picture();
  platform::Surface& backing() { return backing_; }
  int screen_width() const { return backing_.width(); }
  int screen_height() const { return backing_.height(); }

  // Copies the backing bitmap to the window and draws the text over it.
  void repaint_window();

  // Palette entry 0..15 as a colour; the current foreground and background
  // colour numbers (the text layer draws in the foreground).
  platform::Rgb palette_rgb(int entry) const {
    return palette_[static_cast<std::size_t>(entry & 15)];
  }
  int foreground() const { return foreground_; }
  int background() const { return background_; }
  int border() const { return border_; }
  int color_mode() const { return color_mode_; }
  // The last point drawn, in world coordinates.
  float last_x() const { return last_x_; }
  float last_y() const { return last_y_; }

 protected:
  void start_screen(int width, int height);
  Runtime& rt();

 private:
  struct PixelPoint {
    std::int64_t x, y;
  };
  // World to pixel, rounding half away from zero; error 6 past 32 bits.
  std::int64_t pixel_x(double x, Op op) const;
  std::int64_t pixel_y(double y, Op op) const;
  PixelPoint to_pixels(double x, double y, Op op) const { return {pixel_x(x, op), pixel_y(y, op)}; }
  // A point with STEP resolved against `base`.
  static Coord resolve(const Coord& c, double base_x, double base_y) {
    return c.step ? Coord{base_x + c.x, base_y + c.y} : c;
  }
  // Stores the last point; error 6 when it does not fit a SINGLE.
  struct SinglePoint {
    float x, y;
  };
  static SinglePoint single_point(const Coord& c, Op op);
  // The pen of LINE and CIRCLE from the colour, function and style arguments.
  platform::Pen make_pen(std::optional<int> color, int function, platform::PenStyle style) const;
  void check_color(std::optional<int> color, Op op, std::uint8_t check) const;
  // Draws with `draw(surface)` on the window and on the backing bitmap.
  template <class Draw>
  void draw_both(Draw&& draw);

  platform::Surface backing_;
  std::array<platform::Rgb, kPaletteSize> palette_{};
  int foreground_ = 15;
  int background_ = 0;
  int border_ = 0;
  int color_mode_ = 4;
  platform::PenStyle default_style_ = platform::PenStyle::Solid;
  platform::Rop default_rop_ = platform::Rop::Copy;
  float last_x_ = 0;
  float last_y_ = 0;
};

}  // namespace rt

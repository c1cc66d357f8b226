// A 32-bit RGB pixel image (0x00RRGGBB) with the drawing primitives of the
// old system's drawing library. It stores colours, not palette numbers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

using Rgb = std::uint32_t;  // 0x00RRGGBB

constexpr Rgb rgb(int r, int g, int b) {
  return (static_cast<Rgb>(r & 255) << 16) | (static_cast<Rgb>(g & 255) << 8) |
         static_cast<Rgb>(b & 255);
}

// Raster operations between the pen colour and the destination pixel.
enum class Rop : std::uint8_t { Copy, And, Or, Xor, Not };

class Surface {
 public:
  Surface() = default;
  Surface(int width, int height, Rgb fill = 0);

  int width() const { return width_; }
  int height() const { return height_; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  Rgb* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const Rgb* row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const std::vector<Rgb>& pixels() const { return pixels_; }

  // Pixel access; out-of-bounds reads give 0 and writes are clipped.
  Rgb get(int x, int y) const { return contains(x, y) ? row(y)[x] : 0; }
  void set(int x, int y, Rgb c, Rop rop = Rop::Copy);
  void fill(Rgb c);

  bool operator==(const Surface& other) const = default;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Rgb> pixels_;
};

// Applies a raster operation of pen colour `pen` to destination `dst`.
inline Rgb apply_rop(Rop rop, Rgb dst, Rgb pen) {
  switch (rop) {
    case Rop::Copy: return pen;
    case Rop::And: return dst & pen;
    case Rop::Or: return dst | pen;
    case Rop::Xor: return (dst ^ pen) & 0xFFFFFFu;
    case Rop::Not: return ~dst & 0xFFFFFFu;
  }
  return pen;
}

inline void Surface::set(int x, int y, Rgb c, Rop rop) {
  if (!contains(x, y)) return;
  Rgb& p = row(y)[x];
  p = apply_rop(rop, p, c);
}

// PNG files of a surface. Both return false and fill `error` on failure.
bool save_png(const Surface& s, const std::string& path, std::string* error);
bool load_png(const std::string& path, Surface* out, std::string* error);

}  // namespace platform

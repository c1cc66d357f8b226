// The text font: 8x16 glyphs for single-byte and 16x16 glyphs for
// double-byte characters of code page 932, from a table built at compile
// time. Characters without a glyph show a box.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/surface.h"

namespace platform {

constexpr int kGlyphHeight = 16;

// A byte that may follow a lead byte in a double-byte character.
constexpr bool is_sjis_trail(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

struct Glyph {
  int width = 8;                       // 8 or 16 pixels
  const std::uint8_t* rows = nullptr;  // 16 rows of width / 8 bytes, bit 7 leftmost
  bool found = false;                  // false: the replacement box

  bool pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= kGlyphHeight) return false;
    std::uint8_t b = rows[y * (width / 8) + x / 8];
    return (b >> (7 - x % 8)) & 1;
  }
};

// The glyph of a single-byte code (8 wide).
Glyph narrow_glyph(unsigned char byte);
// The glyph of a double-byte code (16 wide); a box for invalid pairs.
Glyph wide_glyph(unsigned char lead, unsigned char trail);

// Draws the glyph's set pixels in `colour` with its top-left at (x, y); the
// pixels between the strokes stay as they are. Clipped to the surface.
void draw_glyph(Surface& surface, int x, int y, const Glyph& glyph, Rgb colour);

// How many real glyphs the table holds.
std::size_t narrow_glyph_count();
std::size_t wide_glyph_count();

}  // namespace platform

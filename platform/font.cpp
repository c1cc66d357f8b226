#include "platform/font.h"

#include "platform/font_data.h"

namespace platform {

namespace {

namespace fd = font_data;

// Replacement boxes: an outline a little inside the cell.
constexpr std::uint8_t kNarrowBox[fd::kNarrowBytes] = {
    0x00, 0x00, 0x7E, 0x42, 0x42, 0x42, 0x42, 0x42, 0x42, 0x42, 0x42, 0x42, 0x42, 0x7E, 0x00, 0x00};
constexpr std::uint8_t kWideBox[fd::kWideBytes] = {
    0x00, 0x00, 0x7F, 0xFE, 0x40, 0x02, 0x40, 0x02, 0x40, 0x02, 0x40, 0x02, 0x40, 0x02, 0x40, 0x02,
    0x40, 0x02, 0x40, 0x02, 0x40, 0x02, 0x40, 0x02, 0x40, 0x02, 0x40, 0x02, 0x7F, 0xFE, 0x00, 0x00};

}  // namespace

Glyph narrow_glyph(unsigned char byte) {
  std::uint16_t n = fd::kNarrowIndex[byte];
  if (n == 0) return {8, kNarrowBox, false};
  return {8, fd::kNarrowGlyphs + static_cast<std::size_t>(n - 1) * fd::kNarrowBytes, true};
}

Glyph wide_glyph(unsigned char lead, unsigned char trail) {
  int at = fd::wide_index(lead, trail);
  std::uint16_t n = at < 0 ? 0 : fd::kWideIndex[at];
  if (n == 0) return {16, kWideBox, false};
  return {16, fd::kWideGlyphs + static_cast<std::size_t>(n - 1) * fd::kWideBytes, true};
}

void draw_glyph(Surface& surface, int x, int y, const Glyph& glyph, Rgb colour) {
  const int bytes_per_row = glyph.width / 8;
  for (int gy = 0; gy < kGlyphHeight; ++gy) {
    int py = y + gy;
    if (py < 0 || py >= surface.height()) continue;
    Rgb* dst = surface.row(py);
    const std::uint8_t* src = glyph.rows + gy * bytes_per_row;
    for (int gx = 0; gx < glyph.width; ++gx) {
      if (!((src[gx / 8] >> (7 - gx % 8)) & 1)) continue;
      int px = x + gx;
      if (px >= 0 && px < surface.width()) dst[px] = colour;
    }
  }
}

std::size_t narrow_glyph_count() {
  return fd::kNarrowGlyphCount;
}
std::size_t wide_glyph_count() {
  return fd::kWideGlyphCount;
}

}  // namespace platform

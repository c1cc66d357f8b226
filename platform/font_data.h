// The glyph table of the text font, generated at build time from GNU Unifont
// (tools/fontgen.cpp). Rows are 16 pixels high; bit 7 of a row's first byte
// is its left pixel.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::font_data {

constexpr int kLeadCount = 60;    // 0x81-0x9F, 0xE0-0xFC
constexpr int kTrailCount = 188;  // 0x40-0x7E, 0x80-0xFC
constexpr int kWideCodes = kLeadCount * kTrailCount;
constexpr int kNarrowBytes = 16;  // 8x16
constexpr int kWideBytes = 32;    // 16x16

constexpr int lead_index(unsigned char b) {
  if (b >= 0x81 && b <= 0x9F) return b - 0x81;
  if (b >= 0xE0 && b <= 0xFC) return b - 0xE0 + 31;
  return -1;
}

constexpr int trail_index(unsigned char b) {
  if (b >= 0x40 && b <= 0x7E) return b - 0x40;
  if (b >= 0x80 && b <= 0xFC) return b - 0x80 + 63;
  return -1;
}

// Position of a double-byte code in the wide index; -1 when not valid.
constexpr int wide_index(unsigned char lead, unsigned char trail) {
  int l = lead_index(lead), t = trail_index(trail);
  return l < 0 || t < 0 ? -1 : l * kTrailCount + t;
}

// Index tables: 0 means no glyph, n means glyph n - 1 of the glyph array.
extern const std::uint16_t kNarrowIndex[256];
extern const std::uint8_t kNarrowGlyphs[];
extern const std::size_t kNarrowGlyphCount;
extern const std::uint16_t kWideIndex[kWideCodes];
extern const std::uint8_t kWideGlyphs[];
extern const std::size_t kWideGlyphCount;

}  // namespace platform::font_data

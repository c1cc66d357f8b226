// The text font: which codes have glyphs, where their shapes come from (GNU
// Unifont's Japanese glyphs first), and drawing them.
#include "platform/font.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>

namespace platform {
namespace {

// A glyph's rows as hexadecimal, as in Unifont's files.
std::string hex_of(const Glyph& g) {
  std::string out;
  for (int i = 0; i < kGlyphHeight * g.width / 8; ++i)
    out += {"0123456789ABCDEF"[g.rows[i] >> 4], "0123456789ABCDEF"[g.rows[i] & 15]};
  return out;
}
std::string unifont_hex(const std::string& code) {
  std::ifstream in("/usr/share/unifont/unifont_jp.hex");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(code + ":", 0) == 0) return line.substr(code.size() + 1);
  }
  return "no " + code;
}
bool is_box(const Glyph& g) {
  return g.pixel(1, 2) && g.pixel(g.width - 2, 13) && !g.pixel(g.width / 2, 8);
}

TEST(Font, PrintableCodesHaveTheirUnifontGlyphsAndTheRestABox) {
  for (int b = 0; b < 256; ++b) {  // printable ASCII and the half-width katakana
    Glyph g = narrow_glyph(static_cast<unsigned char>(b));
    EXPECT_EQ(g.found, (b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF)) << b;
    EXPECT_TRUE(g.width == 8 && (g.found || is_box(g))) << b;
  }
  EXPECT_EQ(narrow_glyph_count(), 95u + 63u);
  const std::pair<Glyph, const char*> cases[] = {
      {narrow_glyph('A'), "0041"},      {narrow_glyph('~'), "007E"},
      {narrow_glyph(0xB1), "FF71"},     {narrow_glyph(0xDF), "FF9F"},
      {wide_glyph(0x82, 0xA0), "3042"}, {wide_glyph(0x8A, 0xBF), "6F22"},
      {wide_glyph(0x88, 0xEA), "4E00"}, {wide_glyph(0x98, 0x9F), "5F0C"},
      {wide_glyph(0xEA, 0xA4), "7199"}};
  for (const auto& [glyph, code] : cases)
    EXPECT_TRUE(glyph.found && hex_of(glyph) == unifont_hex(code)) << code;
  int crossbars = 0;  // the backslash byte shows the yen sign
  for (int y = 0; y < kGlyphHeight; ++y) crossbars += narrow_glyph(0x5C).rows[y] == 0x7F;
  EXPECT_EQ(crossbars, 2);
}

TEST(Font, DoubleByteCodesOfTheKanaAndFirstKanjiRowsAllHaveGlyphs) {
  const std::array<int, 3> rows[] = {
      {0x82, 0x9F, 0xF1}, {0x83, 0x40, 0x96}, {0x89, 0x40, 0xFC}, {0x97, 0x40, 0xFC}};
  for (auto [lead, first, last] : rows) {
    for (int t = first; t <= last; ++t)
      EXPECT_TRUE(t == 0x7F ||
                  wide_glyph(static_cast<unsigned char>(lead), static_cast<unsigned char>(t)).found)
          << lead << " " << t;
  }
  // A trail byte out of range, an unassigned row, the user-defined area.
  for (auto [lead, trail] :
       {std::pair{0x82, 0x20}, {0x82, 0x7F}, {0x85, 0x40}, {0xF0, 0x40}, {0x40, 0x82}}) {
    Glyph g = wide_glyph(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
    EXPECT_TRUE(!g.found && g.width == 16 && is_box(g)) << lead << " " << trail;
  }
}

// Set pixels take the colour, the others stay; the image clips.
TEST(Font, DrawingPutsTheGlyphAtItsTopLeftCorner) {
  const Rgb ink = rgb(200, 100, 50), paper = rgb(1, 2, 3);
  const Glyph g = wide_glyph(0x8A, 0xBF);
  for (auto [gx, gy] : {std::pair{3, 0}, {-8, -5}, {10, 9}}) {
    Surface s(20, 20, paper);
    draw_glyph(s, gx, gy, g, ink);
    for (int i = 0; i < 400; ++i)
      ASSERT_EQ(s.get(i % 20, i / 20), g.pixel(i % 20 - gx, i / 20 - gy) ? ink : paper)
          << gx << " " << i;
  }
}

}  // namespace
}  // namespace platform

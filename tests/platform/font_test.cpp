// The text font: which codes have glyphs, where they come from (GNU
// Unifont's Japanese glyphs first), and drawing them.
#include "platform/font.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace platform {
namespace {

// A glyph's rows as one hexadecimal string, as Unifont writes them.
std::string hex_of(const Glyph& g) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (int i = 0; i < kGlyphHeight * g.width / 8; ++i) out += {digits[g.rows[i] >> 4], digits[g.rows[i] & 15]};
  return out;
}

std::string unifont_hex(const std::string& code) {
  std::ifstream in("/usr/share/unifont/unifont_jp.hex");
  std::string line;
  while (std::getline(in, line)) {
    if (line.compare(0, code.size() + 1, code + ":") == 0) return line.substr(code.size() + 1);
  }
  return "(" + code + " not in unifont_jp.hex)";
}

TEST(Font, PrintableCodesHaveTheirUnifontGlyphsAndOthersABox) {
  // Printable ASCII and the half-width katakana, nothing else, are narrow glyphs.
  for (int b = 0; b < 256; ++b) {
    bool printable = (b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF);
    Glyph g = narrow_glyph(static_cast<unsigned char>(b));
    EXPECT_EQ(g.found, printable) << b;
    EXPECT_EQ(g.width, 8);
    EXPECT_TRUE(g.found || (g.pixel(1, 2) && g.pixel(6, 13) && !g.pixel(3, 7))) << "a box";
  }
  EXPECT_EQ(narrow_glyph_count(), 95u + 63u);
  const struct {
    Glyph glyph;
    const char* code;
  } cases[] = {{narrow_glyph('A'), "0041"},       {narrow_glyph('~'), "007E"},
               {narrow_glyph(0xB1), "FF71"},      {narrow_glyph(0xDF), "FF9F"},
               {wide_glyph(0x82, 0xA0), "3042"},  {wide_glyph(0x8A, 0xBF), "6F22"},
               {wide_glyph(0x88, 0xEA), "4E00"},  {wide_glyph(0x98, 0x9F), "5F0C"},
               {wide_glyph(0xEA, 0xA4), "7199"},  {wide_glyph(0x81, 0x40), "3000"}};
  for (const auto& c : cases) {
    EXPECT_TRUE(c.glyph.found) << c.code;
    EXPECT_EQ(hex_of(c.glyph), unifont_hex(c.code)) << c.code;
  }
}

TEST(Font, TheBackslashByteShowsTheYenSign) {
  Glyph yen = narrow_glyph(0x5C);
  int crossbars = 0;
  for (int y = 0; y < kGlyphHeight; ++y) crossbars += yen.rows[y] == 0x7F;
  EXPECT_EQ(crossbars, 2);
}

TEST(Font, DoubleByteCodesOfTheKanaAndFirstKanjiRowsAllHaveGlyphs) {
  auto all_found = [](int lead, int first, int last) {
    for (int t = first; t <= last; ++t) {
      if (t != 0x7F && !wide_glyph(static_cast<unsigned char>(lead), static_cast<unsigned char>(t)).found)
        return false;
    }
    return true;
  };
  EXPECT_TRUE(all_found(0x82, 0x9F, 0xF1));  // hiragana
  EXPECT_TRUE(all_found(0x83, 0x40, 0x96));  // katakana
  for (int lead = 0x89; lead <= 0x97; ++lead) EXPECT_TRUE(all_found(lead, 0x40, 0xFC)) << lead;
  // A trail byte out of range, an unassigned row, the user-defined area: a box.
  for (auto [lead, trail] : {std::pair{0x82, 0x20}, {0x82, 0x7F}, {0x85, 0x40}, {0xF0, 0x40}, {0x40, 0x82}}) {
    Glyph g = wide_glyph(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
    EXPECT_FALSE(g.found) << lead << " " << trail;
    EXPECT_EQ(g.width, 16);
    EXPECT_TRUE(g.pixel(1, 2) && g.pixel(14, 13) && !g.pixel(8, 8));
  }
}

// Set pixels take the colour, the others stay; the image clips.
TEST(Font, DrawingPutsTheGlyphsPixelsAtItsTopLeftCorner) {
  const Rgb ink = rgb(200, 100, 50), paper = rgb(1, 2, 3);
  const Glyph g = wide_glyph(0x8A, 0xBF);
  for (auto [gx, gy] : {std::pair{3, 2}, {-8, -5}, {10, 9}}) {
    Surface s(20, 20, paper);
    draw_glyph(s, gx, gy, g, ink);
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 20; ++x)
        ASSERT_EQ(s.get(x, y), g.pixel(x - gx, y - gy) ? ink : paper) << gx << "," << gy << ": " << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace platform

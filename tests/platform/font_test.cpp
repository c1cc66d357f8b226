// The text font: which codes have glyphs, their shapes, and drawing.
#include "platform/font.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/sjis.h"

namespace {

using platform::Glyph;

// Glyph rows as one hex string, as Unifont writes them.
std::string hex_of(const Glyph& g) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (int i = 0; i < platform::kGlyphHeight * g.width / 8; ++i) {
    out += digits[g.rows[i] >> 4];
    out += digits[g.rows[i] & 15];
  }
  return out;
}

// Looks a code point up in a Unifont hex file; empty when absent.
std::string unifont_hex(const std::string& path, const std::string& code) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.compare(0, code.size() + 1, code + ":") == 0) return line.substr(code.size() + 1);
  }
  return {};
}

TEST(Font, PrintableSingleBytesHaveGlyphsAndOtherCodesShowABox) {
  for (int b = 0x20; b <= 0xDF; ++b) {
    if (b == 0x7F) b = 0xA1;
    EXPECT_TRUE(platform::narrow_glyph(static_cast<unsigned char>(b)).found) << b;
  }
  EXPECT_EQ(platform::narrow_glyph('A').width, 8);
  EXPECT_EQ(platform::narrow_glyph_count(), 95u + 63u);

  // Control bytes, lead bytes on their own and the unused single bytes.
  for (int b : {0x00, 0x07, 0x1F, 0x7F, 0x80, 0x81, 0x9F, 0xA0, 0xE0, 0xFD, 0xFF}) {
    Glyph g = platform::narrow_glyph(static_cast<unsigned char>(b));
    EXPECT_FALSE(g.found) << b;
    EXPECT_TRUE(g.pixel(1, 2) && !g.pixel(3, 7)) << "a hollow box";
  }
  // A trail byte out of range, an unassigned row, the user-defined area.
  for (auto [lead, trail] : {std::pair{0x82, 0x20}, {0x82, 0x7F}, {0x85, 0x40}, {0xF0, 0x40}}) {
    Glyph g =
        platform::wide_glyph(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
    EXPECT_FALSE(g.found) << lead << " " << trail;
    EXPECT_EQ(g.width, 16);
    EXPECT_TRUE(g.pixel(1, 1) && !g.pixel(8, 8));
  }
}

TEST(Font, TheBackslashByteShowsTheYenSign) {
  Glyph yen = platform::narrow_glyph(0x5C);
  ASSERT_TRUE(yen.found);
  // Two crossbars a yen sign has and a backslash has not.
  int full_rows = 0;
  for (int y = 0; y < platform::kGlyphHeight; ++y) full_rows += yen.rows[y] == 0x7F;
  EXPECT_EQ(full_rows, 2);
}

TEST(Font, DoubleByteGlyphsCoverTheJisRows) {
  // Every code of the kana rows and of the first kanji level has a glyph.
  auto all_found = [](int lead, int first, int last) {
    for (int t = first; t <= last; ++t) {
      if (t == 0x7F) continue;
      if (!platform::wide_glyph(static_cast<unsigned char>(lead), static_cast<unsigned char>(t))
               .found)
        return false;
    }
    return true;
  };
  EXPECT_TRUE(all_found(0x82, 0x9F, 0xF1));  // hiragana
  EXPECT_TRUE(all_found(0x83, 0x40, 0x96));  // katakana
  for (int lead = 0x89; lead <= 0x97; ++lead) EXPECT_TRUE(all_found(lead, 0x40, 0xFC)) << lead;
  EXPECT_EQ(platform::wide_glyph(0x82, 0xA0).width, 16);
}

TEST(Font, GlyphsComeFromUnifontJapaneseFirst) {
  const std::string jp = "/usr/share/unifont/unifont_jp.hex";
  if (!std::ifstream(jp)) GTEST_SKIP() << "unifont is not installed";
  EXPECT_EQ(hex_of(platform::narrow_glyph('A')), unifont_hex(jp, "0041"));
  EXPECT_EQ(hex_of(platform::narrow_glyph(0xB1)), unifont_hex(jp, "FF71"));      // ｱ
  EXPECT_EQ(hex_of(platform::wide_glyph(0x82, 0xA0)), unifont_hex(jp, "3042"));  // あ
  EXPECT_EQ(hex_of(platform::wide_glyph(0x8A, 0xBF)), unifont_hex(jp, "6F22"));  // 漢
  EXPECT_EQ(hex_of(platform::wide_glyph(0x88, 0xEA)), unifont_hex(jp, "4E00"));  // 一
}

TEST(Font, NarrowGlyphsOfDoubleByteCodesAreCentred) {
  // Greek capital alpha (0x839F) is a narrow Unifont glyph, drawn like 'A'.
  Glyph alpha = platform::wide_glyph(0x83, 0x9F);
  Glyph a = platform::narrow_glyph('A');
  ASSERT_TRUE(alpha.found);
  for (int y = 0; y < platform::kGlyphHeight; ++y) {
    for (int x = 0; x < 16; ++x) {
      bool want = x >= 4 && x < 12 && a.pixel(x - 4, y);
      EXPECT_EQ(alpha.pixel(x, y), want) << x << "," << y;
    }
  }
}

// Drawing in cells is the text tests' business; here only what no cell does.
TEST(Font, DrawingClipsAtTheEdges) {
  const platform::Rgb ink = platform::rgb(200, 100, 50);
  platform::Surface small(10, 10);
  Glyph g = platform::wide_glyph(0x8A, 0xBF);
  platform::draw_glyph(small, -8, -8, g, ink);
  platform::draw_glyph(small, 100, 100, g, ink);
  int inked = 0;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(small.get(x, y) == ink, g.pixel(x + 8, y + 8)) << x << "," << y;
  }
  for (auto p : small.pixels()) inked += p == ink;
  EXPECT_GT(inked, 0);
}

}  // namespace

// The text font: which codes have glyphs and where their shapes come from
// (GNU Unifont's Japanese glyphs first); the others show a box.
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
  for (std::string line; std::getline(in, line);)
    if (line.starts_with(code + ":")) return line.substr(code.size() + 1);
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

// Every code of the kana rows and the first kanji rows has a glyph; a trail
// byte out of range, an unassigned row and the user-defined area do not.
TEST(Font, DoubleByteCodesOfTheKanaAndFirstKanjiRowsAllHaveGlyphs) {
  const std::array<int, 3> rows[] = {
      {0x82, 0x9F, 0xF1}, {0x83, 0x40, 0x96}, {0x89, 0x40, 0xFC}, {0x97, 0x40, 0xFC}};
  for (auto [lead, first, last] : rows) {
    for (int t = first; t <= last; ++t)
      EXPECT_TRUE(t == 0x7F || wide_glyph(lead, t).found) << lead << " " << t;
  }
  for (auto [lead, trail] :
       {std::pair{0x82, 0x20}, {0x82, 0x7F}, {0x85, 0x40}, {0xF0, 0x40}, {0x40, 0x82}}) {
    Glyph g = wide_glyph(lead, trail);
    EXPECT_TRUE(!g.found && g.width == 16 && is_box(g)) << lead << " " << trail;
  }
}

}  // namespace
}  // namespace platform

// Shift-JIS and UTF-8: what does not convert is one '?'. The font: Unifont's glyphs, else a box.
#include <gtest/gtest.h>

#include <array>
#include <fstream>

#include "platform/font.h"
#include "platform/sjis.h"

namespace platform {
namespace {

TEST(Sjis, ConvertsBothWaysAndUtf32MarksEachBadByte) {
  std::string kanji, sjis;  // longer than one buffer
  for (int i = 0; i < 300; ++i) kanji += "漢", sjis += "\x8a\xbf";
  const std::pair<std::string, std::string> cases[] = {
      {"A z~ｱﾝ", "A z~\xb1\xdd"}, {kanji, sjis}, {"名前：あ", "\x96\xbc\x91\x4f\x81\x46\x82\xa0"}};
  for (const auto& [utf8, sjis] : cases)
    EXPECT_TRUE(utf8_to_sjis(utf8) == sjis && sjis_to_utf8(sjis) == utf8) << utf8;
  // A lone continuation byte, a lead byte before ASCII, two bytes of three,
  // a cut-off end, an emoji and a u-umlaut Shift-JIS lacks.
  for (auto [in, out] : {std::pair{"abc\x81\nA", "abc?\nA"},
                         {"\xc3\x41", "?A"},
                         {"\xe6\xbc\x42", "?B"},
                         {"x\xf0\x9f", "x?"},
                         {"a\xf0\x9f\x98\x80z", "a?z"},
                         {"\xc3\xbc!", "?!"}})
    EXPECT_EQ(utf8_to_sjis(in), out);
  // A lead byte before a space, bytes that start nothing, a lead byte at the end.
  EXPECT_EQ(sjis_to_utf8("\x81\x20\x61\xa0\xfd\x81"), "? a???");
  const std::string text = "a\xc3\xbc\xe0\xa0\x80漢\xf0\x9f\x98\x80";
  EXPECT_EQ(utf8_to_utf32(text), U"a\u00fc\u0800\u6f22\U0001F600");
  EXPECT_EQ(utf32_to_utf8(utf8_to_utf32(text)), text);
  EXPECT_TRUE(valid_utf8(text));
  // Overlong, a surrogate, above U+10FFFF, cut off, a byte that starts nothing.
  const std::pair<std::string, std::u32string> bad[] = {
      {"\xc0\xafz", U"\uFFFD\uFFFDz"},
      {"\xed\xa0\x80", U"\uFFFD\uFFFD\uFFFD"},
      {"\xf4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xe6\xbc", U"\uFFFD\uFFFD"},
      {"\xffz", U"\uFFFDz"}};
  for (const auto& [in, out] : bad)
    EXPECT_TRUE(utf8_to_utf32(in) == out && !valid_utf8(in)) << in.size();
}

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
  // Every code of the kana rows and the first kanji rows has a glyph; a trail byte out of range, an
  // unassigned row and the user-defined area do not.
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

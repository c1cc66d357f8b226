// Conversions between the program's Shift-JIS (code page 932) and UTF-8:
// what does not convert becomes one '?' and never takes the next along.
#include "platform/sjis.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Sjis, ConvertsBothWays) {
  std::string kanji, sjis;  // longer than one buffer
  for (int i = 0; i < 300; ++i) kanji += "漢", sjis += "\x8a\xbf";
  const std::pair<std::string, std::string> cases[] = {
      {"A z~", "A z~"},
      {"漢字", "\x8a\xbf\x8e\x9a"},
      {"ｱﾝ", "\xb1\xdd"},
      {kanji, sjis},
      {"名前：あ", "\x96\xbc\x91\x4f\x81\x46\x82\xa0"}};
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
}

TEST(Sjis, Utf32KeepsValidTextAndMarksEachBadByte) {
  const std::string text = "a\xc3\xbc漢\xf0\x9f\x98\x80";
  EXPECT_EQ(utf8_to_utf32(text), U"a\u00fc\u6f22\U0001F600");
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

}  // namespace
}  // namespace platform

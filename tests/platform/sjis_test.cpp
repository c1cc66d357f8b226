// Conversions between the program's Shift-JIS (code page 932) and UTF-8.
#include "platform/sjis.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

// Hexadecimal escapes run on over hex digits, hence the split literals.
TEST(Sjis, ConvertsBothWays) {
  const struct {
    std::string utf8, sjis;
  } cases[] = {{"A z~", "A z~"},
               {"漢字", "\x8a\xbf\x8e\x9a"},
               {"ｱﾝ", "\xb1\xdd"},                       // half-width katakana: one byte each
               {"名前：あ", "\x96\xbc\x91\x4f\x81\x46\x82\xa0"}};
  for (const auto& c : cases) {
    EXPECT_EQ(utf8_to_sjis(c.utf8), c.sjis) << c.utf8.substr(0, 12);
    EXPECT_EQ(sjis_to_utf8(c.sjis), c.utf8) << c.utf8.substr(0, 12);
  }
  std::string many_kanji, many_sjis;
  for (int i = 0; i < 300; ++i) many_kanji += "漢", many_sjis += "\x8a\xbf";
  EXPECT_EQ(utf8_to_sjis(many_kanji), many_sjis) << "output longer than one buffer";
  EXPECT_EQ(sjis_to_utf8(many_sjis), many_kanji);
}

// What does not convert becomes one '?' and never takes the next character along.
TEST(Sjis, WhatDoesNotConvertBecomesOneMark) {
  const struct {
    std::string in, out;
  } to_sjis[] = {{"abc\x81\nA", "abc?\nA"},   // a lone continuation byte
                 {"\xc3\x41", "?A"},          // a lead byte, then ASCII
                 {"\xe6\xbc\x42", "?B"},      // two bytes of three
                 {"x\xf0\x9f", "x?"},         // cut off at the end
                 {"a\xf0\x9f\x98\x80" "b", "a?b"},  // an emoji
                 {"\xc3\xbc!", "?!"}};        // u with umlaut
  for (const auto& c : to_sjis) EXPECT_EQ(utf8_to_sjis(c.in), c.out) << c.out;
  // A lead byte before a space, bytes that start nothing, a lead byte at the end.
  EXPECT_EQ(sjis_to_utf8("\x81\x20\x61\xa0\xfd\x81"), "? a???");
}

TEST(Sjis, Utf32KeepsValidTextAndMarksEachBadByte) {
  const std::string text = "a\xc3\xbc漢\xf0\x9f\x98\x80";
  EXPECT_EQ(utf8_to_utf32(text), U"a\u00fc\u6f22\U0001F600");
  EXPECT_EQ(utf32_to_utf8(utf8_to_utf32(text)), text);
  EXPECT_TRUE(valid_utf8(text));
  const struct {
    std::string in;
    std::u32string out;
  } bad[] = {{"\xc0\xaf" "z", U"\uFFFD\uFFFDz"},           // overlong
             {"\xed\xa0\x80", U"\uFFFD\uFFFD\uFFFD"},       // a surrogate
             {"\xf4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
             {"\xe6\xbc", U"\uFFFD\uFFFD"},                 // cut off
             {"\xff" "a", U"\uFFFDa"}};
  for (const auto& c : bad) {
    EXPECT_EQ(utf8_to_utf32(c.in), c.out);
    EXPECT_FALSE(valid_utf8(c.in));
  }
}

}  // namespace
}  // namespace platform

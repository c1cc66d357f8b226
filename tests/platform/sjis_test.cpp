// Conversions between the program's Shift-JIS and UTF-8.
#include "platform/sjis.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

const std::string kKanji = "\x8a\xbf\x8e\x9a";  // 漢字 in Shift-JIS

TEST(Sjis, ConvertsBothWays) {
  EXPECT_EQ(sjis_to_utf8("A" + kKanji + "\xb1"), "A漢字ｱ");
  EXPECT_EQ(utf8_to_sjis("A漢字ｱ"), "A" + kKanji + "\xb1");
}

// Bytes after a hexadecimal escape are escaped too: "\x41" is "A".
TEST(Sjis, AByteThatStartsNoCharacterBecomesOneMarkAndSparesTheNext) {
  EXPECT_EQ(utf8_to_sjis("abc\x81\nA"), "abc?\nA");  // a lone continuation byte
  EXPECT_EQ(utf8_to_sjis("\xc3\x41"), "?A");         // a lead byte, then ASCII
  EXPECT_EQ(utf8_to_sjis("\xe6\xbc\x42"), "?B");     // two bytes of three
  EXPECT_EQ(utf8_to_sjis("x\xf0\x9f"), "x?");        // cut off at the end
}

TEST(Sjis, ACharacterShiftJisLacksBecomesOneMark) {
  EXPECT_EQ(utf8_to_sjis("a\xf0\x9f\x98\x80\x62"), "a?b");  // an emoji
  EXPECT_EQ(utf8_to_sjis("\xc3\xbc!"), "?!");               // ü
}

TEST(Sjis, BadShiftJisBytesGiveValidUtf8AndSpareTheNext) {
  // A lead byte before a space, bytes that start nothing, a lead byte at the end.
  std::string out = sjis_to_utf8("\x81\x20\x61\xa0\xfd\x81");
  EXPECT_TRUE(valid_utf8(out)) << out;
  EXPECT_EQ(out, "? a???");
}

TEST(Sjis, Utf32RoundTripKeepsValidTextAndMarksTheRest) {
  std::string text = "a\xc3\xbc漢\xf0\x9f\x98\x80";
  EXPECT_EQ(utf32_to_utf8(utf8_to_utf32(text)), text);
  EXPECT_EQ(utf8_to_utf32("\xc0\xaf\x7a"), U"\uFFFD\uFFFDz");       // overlong
  EXPECT_EQ(utf8_to_utf32("\xed\xa0\x80"), U"\uFFFD\uFFFD\uFFFD");  // a surrogate
  EXPECT_FALSE(valid_utf8("\xe6\xbc"));
}

}  // namespace
}  // namespace platform

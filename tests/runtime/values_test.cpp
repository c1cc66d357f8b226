// Numbers, strings and arrays of the runtime.
#include "runtime/values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/sjis.h"
#include "tests/support/program.h"

namespace {

using rt::Array;
using rt::FixedStr;
using rt::Single;
using testing_support::error_of;

TEST(Conversions, CintRoundsHalfAwayFromZero) {
  EXPECT_EQ(rt::CINT(2.5), 3);
  EXPECT_EQ(rt::CINT(-2.5), -3);
  EXPECT_EQ(rt::CINT(0.49), 0);
  EXPECT_EQ(rt::CINT(-0.49), 0);
  EXPECT_EQ(rt::CINT(1.5), 2);
  EXPECT_EQ(rt::CINT(-0.5), -1);
  // The largest double below one half must not round up through "+ 0.5".
  EXPECT_EQ(rt::CINT(0.49999999999999994), 0);
  EXPECT_EQ(rt::CINT(-0.49999999999999994), 0);
}

TEST(Conversions, CintRangeIsSixteenBits) {
  EXPECT_EQ(rt::CINT(32767.4), 32767);
  EXPECT_EQ(error_of([] { rt::CINT(32767.5); }), 6);
  EXPECT_EQ(rt::CINT(-32768.4), -32768);
  EXPECT_EQ(error_of([] { rt::CINT(-32768.5); }), 6);
  EXPECT_EQ(error_of([] { rt::CINT(1e9); }), 6);
  EXPECT_EQ(error_of([] { rt::CINT(std::numeric_limits<double>::quiet_NaN()); }), 6);
  EXPECT_EQ(error_of([] { rt::CINT(-std::numeric_limits<double>::infinity()); }), 6);
}

TEST(Conversions, ClngRangeIsThirtyTwoBits) {
  EXPECT_EQ(rt::CLNG(2147483647.4), 2147483647);
  EXPECT_EQ(error_of([] { rt::CLNG(2147483647.5); }), 6);
  EXPECT_EQ(rt::CLNG(-2147483648.4), -2147483647 - 1);
  EXPECT_EQ(error_of([] { rt::CLNG(-2147483648.5); }), 6);
  EXPECT_EQ(error_of([] { rt::CLNG(1e10); }), 6);
  EXPECT_EQ(error_of([] { rt::CLNG(std::numeric_limits<double>::infinity()); }), 6);
  EXPECT_EQ(rt::CLNG(70000.5), 70001);
  EXPECT_EQ(rt::CLNG(-70000.5), -70001);
}

TEST(Conversions, SingleRoundsOnceWhenStored) {
  // 2^24 + 1 has no float: evaluated in double and stored once the sum is
  // exact; stored after every step the 1 is lost.
  Single big = 16777216.0;
  Single one = 1;
  Single once = big + one - big;
  Single step = big + one;
  Single stepwise = step - big;
  EXPECT_EQ(static_cast<double>(once), 1.0);
  EXPECT_EQ(static_cast<double>(stepwise), 0.0);

  // Assignment rounds to the nearest float.
  Single tenth = 0.1;
  EXPECT_EQ(tenth.bits(), 0.1f);
  EXPECT_NE(static_cast<double>(tenth), 0.1);
}

TEST(Conversions, SingleOverflowIsError6) {
  Single s;
  EXPECT_EQ(error_of([&] { s = 1e39; }), 6);
  EXPECT_EQ(error_of([&] { s = -1e39; }), 6);
  s = 3e38;
  EXPECT_EQ(error_of([&] { s *= 10; }), 6);
  EXPECT_EQ(error_of([&] { s = rt::POW(-8, 1.0 / 3.0); }), 6);
  EXPECT_EQ(static_cast<double>(s), static_cast<double>(3e38f));  // unchanged by the failures
  s = 1e-50;                                                      // underflow is no error
  EXPECT_EQ(static_cast<double>(s), 0.0);
}

TEST(Arithmetic, Power) {
  EXPECT_EQ(rt::POW(0, 0), 1.0);
  EXPECT_EQ(rt::POW(5, 0), 1.0);
  EXPECT_EQ(rt::POW(0, 3), 0.0);
  EXPECT_EQ(rt::POW(0, -1), 0.0);
  EXPECT_EQ(rt::POW(2, 10), 1024.0);
  EXPECT_EQ(rt::POW(2, -1), 0.5);
  EXPECT_DOUBLE_EQ(rt::POW(2, 0.5), std::sqrt(2.0));
  EXPECT_EQ(rt::POW(-2, 3), -8.0);
  EXPECT_EQ(rt::POW(-2, 2), 4.0);
  EXPECT_EQ(rt::POW(-2, -1), -0.5);
  EXPECT_EQ(rt::POW(-2, -2), 0.25);
  // A negative base with a fractional exponent has no value a variable holds.
  EXPECT_EQ(error_of([] { rt::CINT(rt::POW(-8, 0.5)); }), 6);
  EXPECT_EQ(error_of([] { rt::CLNG(rt::POW(-1, 2.5)); }), 6);
  // The time-limit rule: 50 * 2 ^ (sel - 1).
  EXPECT_EQ(50 * rt::POW(2, 2 - 1), 100.0);
}

TEST(Arithmetic, IntegerDivisionAndMod) {
  EXPECT_EQ(rt::IDIV(7, 2), 3);
  EXPECT_EQ(rt::IDIV(-7, 2), -3);
  EXPECT_EQ(rt::IDIV(7.6, 2), 4);  // operands are rounded first
  EXPECT_EQ(rt::MOD(7, 3), 1);
  EXPECT_EQ(rt::MOD(-7, 3), -1);
  EXPECT_EQ(rt::MOD(7, -3), 1);
  EXPECT_EQ(rt::MOD(10.5, 4), 3);  // 11 MOD 4
  EXPECT_EQ(error_of([] { rt::IDIV(1, 0); }), 11);
  EXPECT_EQ(error_of([] { rt::IDIV(1, 0.4); }), 11);  // 0.4 rounds to 0
  EXPECT_EQ(error_of([] { rt::MOD(5, 0); }), 11);
  EXPECT_EQ(error_of([] { rt::IDIV(-2147483648.0, -1); }), 6);
  EXPECT_EQ(rt::MOD(-2147483648.0, -1), 0);
}

TEST(Arithmetic, TruthValues) {
  EXPECT_EQ(rt::truth(1 < 2), -1);
  EXPECT_EQ(rt::truth(2 < 1), 0);
  EXPECT_EQ(rt::truth(true) & rt::truth(true), -1);
  EXPECT_EQ(~rt::truth(false), -1);
}

TEST(Strings, CompareIsUnsignedBytewise) {
  EXPECT_EQ(rt::str_compare("AB", "ABC"), -1);
  EXPECT_EQ(rt::str_compare("ABC", "AB"), 1);
  EXPECT_EQ(rt::str_compare("", ""), 0);
  EXPECT_EQ(rt::str_compare("", "A"), -1);
  EXPECT_EQ(rt::str_compare("ABD", "ABC"), 1);
  // Shift-JIS lead bytes are above every ASCII byte.
  EXPECT_EQ(rt::str_compare("\x82\xa0", "z"), 1);
  EXPECT_EQ(rt::str_compare("\x7f", "\x80"), -1);
  // std::string's own operators agree, so game code may use them.
  EXPECT_LT(std::string("\x7f"), std::string("\x80"));
  EXPECT_LT(std::string("AB"), std::string("ABC"));
}

TEST(Strings, FixedLengthPadsAndCuts) {
  FixedStr<10> s = "ABC";
  EXPECT_EQ(s.view(), "ABC       ");
  EXPECT_EQ(s.view().size(), 10u);
  s = "ABCDEFGHIJKLM";
  EXPECT_EQ(s.view(), "ABCDEFGHIJ");
  s = "";
  EXPECT_EQ(s.view(), std::string(10, ' '));
  FixedStr<12> fresh;
  EXPECT_EQ(fresh.view(), std::string(12, ' '));
  FixedStr<12> copy = s;  // 10 spaces into 12
  EXPECT_EQ(copy.view(), std::string(12, ' '));
  copy = "Name";
  EXPECT_TRUE(copy == "Name        ");
  EXPECT_FALSE(copy == "Name");
  EXPECT_TRUE(copy == FixedStr<12>("Name"));
  EXPECT_TRUE(std::string("Name        ") == copy);
  s = copy;  // 12 into 10
  EXPECT_EQ(s.view(), "Name      ");
}

TEST(Strings, FixedLengthNeverEndsInHalfACharacter) {
  // "ABCDEFGHI" + a double-byte character: its first byte would be the last
  // byte of the buffer; a space takes its place.
  std::string text = "ABCDEFGHI" + platform::utf8_to_sjis("名");
  FixedStr<10> s = text;
  EXPECT_EQ(s.view(), "ABCDEFGHI ");

  // Whole characters that fit stay.
  FixedStr<4> kana = platform::utf8_to_sjis("スタート");
  EXPECT_EQ(kana.view(), platform::utf8_to_sjis("スタ"));
  FixedStr<3> cut = platform::utf8_to_sjis("スタート");
  EXPECT_EQ(cut.view(), platform::utf8_to_sjis("ス") + " ");

  // A second byte in the lead-byte range is not mistaken for a first byte:
  // "\x81\x81" is one character, so the 2-byte buffer keeps it whole.
  FixedStr<2> two = std::string("\x81\x81X");
  EXPECT_EQ(two.view(), "\x81\x81");
  FixedStr<3> three = std::string("\x81\x81\x81\x81");
  EXPECT_EQ(three.view(), "\x81\x81 ");
}

TEST(Strings, Right) {
  EXPECT_EQ(rt::RIGHT("12:34:56", 2), "56");
  EXPECT_EQ(rt::RIGHT("12:34:56", 0), "");
  EXPECT_EQ(rt::RIGHT("abc", 10), "abc");
  EXPECT_EQ(rt::RIGHT("abcdef", 2.5), "def");  // the count is rounded
  EXPECT_EQ(error_of([] { rt::RIGHT("abc", -1); }), 5);
}

TEST(Strings, Val) {
  EXPECT_EQ(rt::VAL("56"), 56.0);
  EXPECT_EQ(rt::VAL("  12.5"), 12.5);
  EXPECT_EQ(rt::VAL("\t-3e2xyz"), -300.0);
  EXPECT_EQ(rt::VAL("1D2"), 100.0);
  EXPECT_EQ(rt::VAL(".5"), 0.5);
  EXPECT_EQ(rt::VAL("1e"), 1.0);
  EXPECT_EQ(rt::VAL("07"), 7.0);
  EXPECT_EQ(rt::VAL("abc"), 0.0);
  EXPECT_EQ(rt::VAL(""), 0.0);
  EXPECT_EQ(rt::VAL("-"), 0.0);
}

TEST(Arrays, SubscriptsRoundWithClng) {
  Array<Single, 1> a(10);
  a(4) = 7;
  a(3) = 5;
  EXPECT_EQ(a(3.5), 7.0);
  EXPECT_EQ(a(3.4), 5.0);
  EXPECT_EQ(a(2.5), 5.0);
  a(0) = 9;
  EXPECT_EQ(a(-0.4), 9.0);
  EXPECT_EQ(error_of([&] { a(-0.5); }), 9);
  EXPECT_EQ(error_of([&] { a(1e12); }), 6);
}

TEST(Arrays, BoundsAndAutoDimension) {
  Array<Single, 1> a;
  EXPECT_FALSE(a.dimensioned());
  EXPECT_EQ(a(10), 0.0);  // first use dimensions 0..10
  EXPECT_TRUE(a.dimensioned());
  EXPECT_EQ(a.count(), 11u);
  EXPECT_EQ(error_of([&] { a(11); }), 9);
  EXPECT_EQ(error_of([&] { a(-1); }), 9);
  EXPECT_EQ(error_of([&] { a.DIM(20); }), 10);

  Array<std::string, 2> g;
  EXPECT_EQ(error_of([&] { g(11, 0); }), 9);  // dimensions, then fails
  EXPECT_TRUE(g.dimensioned());
  EXPECT_EQ(g.count(0), 11u);
  EXPECT_EQ(g.count(1), 11u);
  EXPECT_EQ(g(10, 10), "");
  EXPECT_EQ(error_of([&] { g(0, 11); }), 9);
  EXPECT_EQ(error_of([&] { g(-1, 0); }), 9);

  Array<Single, 1> b(5);
  EXPECT_EQ(error_of([&] { b(6); }), 9);
  EXPECT_EQ(error_of([&] { b.DIM(5); }), 10);
}

TEST(Arrays, DimChecksBoundsAndMemory) {
  Array<Single, 1> a;
  EXPECT_EQ(error_of([&] { a.DIM(-1); }), 5);
  EXPECT_EQ(error_of([&] { a.DIM(2147483647.0); }), 5);
  EXPECT_EQ(error_of([&] { a.DIM(1e10); }), 6);
  EXPECT_EQ(error_of([&] { a.DIM(1e9); }), 7);
  Array<Single, 2> g;
  EXPECT_EQ(error_of([&] { g.DIM(100000, 100000); }), 7);
  EXPECT_EQ(error_of([&] { g.DIM(2147483646, 2147483646); }), 7);
  EXPECT_EQ(error_of([&] { g.DIM(3, -2); }), 5);
  // A failed DIM leaves the array as it was.
  EXPECT_FALSE(a.dimensioned());
  EXPECT_FALSE(g.dimensioned());
  a.DIM(0);
  EXPECT_EQ(a.count(), 1u);
  EXPECT_EQ(error_of([&] { a(1); }), 9);
}

TEST(Arrays, FirstSubscriptVariesFastest) {
  Array<Single, 2> g(1, 4);
  EXPECT_EQ(&g(1, 0), &g(0, 0) + 1);
  EXPECT_EQ(&g(0, 1), &g(0, 0) + 2);
  EXPECT_EQ(&g(1, 4), &g(0, 0) + 9);
  EXPECT_EQ(error_of([&] { g(2, 0); }), 9);
  EXPECT_EQ(error_of([&] { g(0, 5); }), 9);

  // The same layout seen as bytes.
  g(1, 0) = 1.5;
  g(0, 1) = -2;
  auto bytes = g.bytes();
  ASSERT_EQ(bytes.size(), 10 * 4u);
  float f = 0;
  std::memcpy(&f, bytes.data() + 4, 4);
  EXPECT_EQ(f, 1.5f);
  std::memcpy(&f, bytes.data() + 8, 4);
  EXPECT_EQ(f, -2.0f);
}

TEST(Arrays, StartZeroedAndBytesReachTheElements) {
  Array<Single, 1> a(900);
  for (int i = 0; i <= 900; i += 100) EXPECT_EQ(a(i), 0.0);
  auto bytes = a.bytes();
  EXPECT_GE(bytes.size(), 3300u);
  float pattern = 0;
  std::uint8_t raw[4] = {0x00, 0x00, 0xC0, 0x3F};  // 1.5f little-endian
  std::memcpy(bytes.data() + 4 * 7, raw, 4);
  std::memcpy(&pattern, raw, 4);
  EXPECT_EQ(a(7), static_cast<double>(pattern));

  Array<Single, 1> fresh;
  EXPECT_EQ(fresh.bytes().size(), 11 * 4u);  // auto-dimensioned
  EXPECT_TRUE(fresh.dimensioned());

  Array<FixedStr<12>, 1> names(20);
  EXPECT_EQ(names(20).view(), std::string(12, ' '));
  names(3) = "Player";
  EXPECT_EQ(names(3).view(), "Player      ");
}

}  // namespace

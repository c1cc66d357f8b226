// Numbers, strings and arrays of the runtime.
#include "runtime/values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <span>

#include "platform/sjis.h"
#include "tests/support/program.h"

namespace {

using rt::Array;
using rt::FixedStr;
using rt::Single;
using testing_support::error_of;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

constexpr std::int64_t kErr = std::numeric_limits<std::int64_t>::min();  // error 6

template <typename F>
void check(F convert, std::span<const std::pair<double, std::int64_t>> cases) {
  for (auto [in, want] : cases) {
    if (want == kErr) {
      EXPECT_EQ(error_of([&, in = in] { convert(in); }), 6) << in;
    } else {
      EXPECT_EQ(convert(in), want) << in;
    }
  }
}

// The largest double below one half must not round up through "+ 0.5".
constexpr double kBelowHalf = 0.49999999999999994;

TEST(Conversions, CintAndClngRoundHalfAwayFromZeroWithinTheirRanges) {
  const std::pair<double, std::int64_t> cint[] = {
      {2.5, 3},         {-2.5, -3},       {-0.5, -1},      {kBelowHalf, 0},
      {-kBelowHalf, 0}, {32767.4, 32767}, {32767.5, kErr}, {-32768.4, -32768},
      {-32768.5, kErr}, {kNaN, kErr},     {-kInf, kErr}};
  const std::pair<double, std::int64_t> clng[] = {
      {32767.5, 32768},           {-70000.5, -70001},   {kBelowHalf, 0},
      {2147483647.4, 2147483647}, {2147483647.5, kErr}, {-2147483648.4, -2147483648LL},
      {-2147483648.5, kErr},      {kInf, kErr}};
  check([](double v) { return rt::CINT(v); }, cint);
  check([](double v) { return rt::CLNG(v); }, clng);
}

TEST(Conversions, SingleRoundsOnceWhenStoredAndOverflowIsError6) {
  // 2^24 + 1 has no float: evaluated in double and stored once the sum is
  // exact; stored after every step the 1 is lost.
  Single big = 16777216.0;
  Single one = 1;
  Single once = big + one - big;
  Single step = big + one;
  Single stepwise = step - big;
  EXPECT_EQ(static_cast<double>(once), 1.0);
  EXPECT_EQ(static_cast<double>(stepwise), 0.0);
  Single tenth = 0.1;
  EXPECT_EQ(tenth.bits(), 0.1f);

  Single s;
  EXPECT_EQ(error_of([&] { s = 1e39; }), 6);
  EXPECT_EQ(error_of([&] { s = -1e39; }), 6);
  s = 3e38;
  EXPECT_EQ(error_of([&] { s *= 10; }), 6);
  EXPECT_EQ(error_of([&] { s = rt::POW(-8, 1.0 / 3.0); }), 6);
  EXPECT_EQ(static_cast<double>(s), static_cast<double>(3e38f)) << "unchanged by the failures";
  s = 1e-50;  // underflow is no error
  EXPECT_EQ(static_cast<double>(s), 0.0);
}

TEST(Arithmetic, PowerDivisionModAndTruth) {
  const struct {
    double base, exponent, want;
  } powers[] = {{0, 0, 1},   {5, 0, 1},   {0, 3, 0},  {0, -1, 0},    {2, 10, 1024},
                {2, -1, .5}, {-2, 3, -8}, {-2, 2, 4}, {-2, -1, -.5}, {-2, -2, .25}};
  for (const auto& c : powers)
    EXPECT_EQ(rt::POW(c.base, c.exponent), c.want) << c.base << "^" << c.exponent;
  EXPECT_DOUBLE_EQ(rt::POW(2, 0.5), std::sqrt(2.0));
  // A negative base with a fractional exponent has no value a variable holds.
  EXPECT_EQ(error_of([] { rt::CINT(rt::POW(-8, 0.5)); }), 6);
  EXPECT_EQ(error_of([] { rt::CLNG(rt::POW(-1, 2.5)); }), 6);

  EXPECT_EQ(rt::IDIV(-7, 2), -3);
  EXPECT_EQ(rt::IDIV(7.6, 2), 4);  // operands are rounded first
  EXPECT_EQ(rt::MOD(-7, 3), -1);
  EXPECT_EQ(rt::MOD(7, -3), 1);
  EXPECT_EQ(rt::MOD(10.5, 4), 3);  // 11 MOD 4
  EXPECT_EQ(error_of([] { rt::IDIV(1, 0); }), 11);
  EXPECT_EQ(error_of([] { rt::IDIV(1, 0.4); }), 11);  // 0.4 rounds to 0
  EXPECT_EQ(error_of([] { rt::MOD(5, 0); }), 11);
  EXPECT_EQ(error_of([] { rt::IDIV(-2147483648.0, -1); }), 6);
  EXPECT_EQ(rt::MOD(-2147483648.0, -1), 0);

  EXPECT_EQ(rt::truth(1 < 2), -1);
  EXPECT_EQ(rt::truth(2 < 1), 0);
}

TEST(Strings, CompareIsUnsignedBytewiseWithTheShorterLess) {
  const struct {
    const char *a, *b;
    int want;
  } cases[] = {{"AB", "ABC", -1}, {"ABC", "AB", 1},     {"", "", 0},         {"", "A", -1},
               {"ABD", "ABC", 1}, {"\x7f", "\x80", -1}, {"\x82\xa0", "z", 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(rt::str_compare(c.a, c.b), c.want) << c.a << " " << c.b;
    // std::string's own operators agree, so game code may use them.
    EXPECT_EQ(std::string(c.a) < std::string(c.b), c.want < 0) << c.a << " " << c.b;
  }
}

TEST(Strings, FixedLengthPadsAndCuts) {
  FixedStr<10> s = "ABC";
  EXPECT_EQ(s.view(), "ABC       ");
  s = "ABCDEFGHIJKLM";
  EXPECT_EQ(s.view(), "ABCDEFGHIJ");
  FixedStr<12> copy;
  EXPECT_EQ(copy.view(), std::string(12, ' '));
  copy = "Name";
  EXPECT_TRUE(copy == "Name        ");
  EXPECT_FALSE(copy == "Name");
  EXPECT_TRUE(copy == FixedStr<12>("Name"));
  EXPECT_TRUE(std::string("Name        ") == copy);
  s = copy;  // 12 into 10
  EXPECT_EQ(s.view(), "Name      ");
  copy = FixedStr<10>("");  // 10 into 12
  EXPECT_EQ(copy.view(), std::string(12, ' '));
}

TEST(Strings, FixedLengthNeverEndsInHalfACharacter) {
  // The first byte of a double-byte character would be the buffer's last: a space takes its place.
  FixedStr<10> s = "ABCDEFGHI" + platform::utf8_to_sjis("名");
  EXPECT_EQ(s.view(), "ABCDEFGHI ");
  FixedStr<4> kana = platform::utf8_to_sjis("スタート");
  EXPECT_EQ(kana.view(), platform::utf8_to_sjis("スタ"));
  FixedStr<3> cut = platform::utf8_to_sjis("スタート");
  EXPECT_EQ(cut.view(), platform::utf8_to_sjis("ス") + " ");
  // A second byte in the lead-byte range is not mistaken for a first byte.
  FixedStr<2> two = std::string("\x81\x81X");
  EXPECT_EQ(two.view(), "\x81\x81");
  FixedStr<3> three = std::string("\x81\x81\x81\x81");
  EXPECT_EQ(three.view(), "\x81\x81 ");
}

TEST(Strings, RightAndVal) {
  EXPECT_EQ(rt::RIGHT("12:34:56", 2), "56");
  EXPECT_EQ(rt::RIGHT("12:34:56", 0), "");
  EXPECT_EQ(rt::RIGHT("abc", 10), "abc");
  EXPECT_EQ(rt::RIGHT("abcdef", 2.5), "def");  // the count is rounded
  EXPECT_EQ(error_of([] { rt::RIGHT("abc", -1); }), 5);
  const struct {
    const char* text;
    double want;
  } vals[] = {{"  12.5", 12.5}, {"\t-3e2xyz", -300}, {"1D2", 100}, {".5", .5}, {"1e", 1},
              {"07", 7},        {"abc", 0},          {"", 0},      {"-", 0}};
  for (const auto& c : vals) EXPECT_EQ(rt::VAL(c.text), c.want) << c.text;
}

TEST(Arrays, SubscriptsRoundWithClng) {
  Array<Single, 1> a(10);
  a(4) = 7;
  a(3) = 5;
  a(0) = 9;
  EXPECT_EQ(a(3.5), 7.0);
  EXPECT_EQ(a(3.4), 5.0);
  EXPECT_EQ(a(2.5), 5.0);
  EXPECT_EQ(a(-0.4), 9.0);
  EXPECT_EQ(error_of([&] { a(-0.5); }), 9);
  EXPECT_EQ(error_of([&] { a(1e12); }), 6);
}

TEST(Arrays, BoundsAutoDimensionAndDim) {
  Array<Single, 1> a;
  EXPECT_EQ(a(10), 0.0);  // first use dimensions 0..10
  EXPECT_EQ(a.count(), 11u);
  EXPECT_EQ(error_of([&] { a(11); }), 9);
  EXPECT_EQ(error_of([&] { a(-1); }), 9);
  EXPECT_EQ(error_of([&] { a.DIM(20); }), 10);

  Array<std::string, 2> g;
  EXPECT_EQ(error_of([&] { g(11, 0); }), 9);  // dimensions, then fails
  EXPECT_EQ(g(10, 10), "");
  EXPECT_EQ(error_of([&] { g(0, 11); }), 9);

  Array<Single, 1> b(5);
  EXPECT_EQ(error_of([&] { b(6); }), 9);
  EXPECT_EQ(error_of([&] { b.DIM(5); }), 10);

  Array<Single, 1> c;
  EXPECT_EQ(error_of([&] { c.DIM(-1); }), 5);
  EXPECT_EQ(error_of([&] { c.DIM(2147483647.0); }), 5);
  EXPECT_EQ(error_of([&] { c.DIM(1e10); }), 6);
  EXPECT_EQ(error_of([&] { c.DIM(1e9); }), 7);
  Array<Single, 2> h;
  EXPECT_EQ(error_of([&] { h.DIM(100000, 100000); }), 7);
  EXPECT_EQ(error_of([&] { h.DIM(2147483646, 2147483646); }), 7);
  EXPECT_EQ(error_of([&] { h.DIM(3, -2); }), 5);
  EXPECT_FALSE(c.dimensioned()) << "a failed DIM leaves the array as it was";
  EXPECT_FALSE(h.dimensioned());
  c.DIM(0);
  EXPECT_EQ(error_of([&] { c(1); }), 9);
}

TEST(Arrays, FirstSubscriptVariesFastestInMemoryAndBytes) {
  Array<Single, 2> g(1, 4);
  EXPECT_EQ(&g(1, 0), &g(0, 0) + 1);
  EXPECT_EQ(&g(0, 1), &g(0, 0) + 2);
  EXPECT_EQ(&g(1, 4), &g(0, 0) + 9);
  EXPECT_EQ(error_of([&] { g(2, 0); }), 9);
  EXPECT_EQ(error_of([&] { g(0, 5); }), 9);
  g(1, 0) = 1.5;
  auto bytes = g.bytes();
  ASSERT_EQ(bytes.size(), 10 * 4u);
  float f = 0;
  std::memcpy(&f, bytes.data() + 4, 4);
  EXPECT_EQ(f, 1.5f);
  // Writing the bytes writes the elements.
  const float minus_two = -2;
  std::memcpy(bytes.data() + 8, &minus_two, 4);
  EXPECT_EQ(g(0, 1), -2.0);

  Array<Single, 1> fresh;
  EXPECT_EQ(fresh.bytes().size(), 11 * 4u) << "auto-dimensioned";
  Array<FixedStr<12>, 1> names(20);
  EXPECT_EQ(names(20).view(), std::string(12, ' '));
}

}  // namespace

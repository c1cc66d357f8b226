// Numbers, strings, arrays, DATA and READ, and PRINT USING. The numbers PRINT USING formats are
// exact in binary or away from rounding halves, so that each has one right answer.
#include "runtime/values.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "runtime/print_using.h"
#include "tests/runtime/harness.h"

namespace {

using namespace rt_test;
using rt::Array;
using rt::FixedStr;
using rt::Single;
using rt::UsingItem;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int64_t kE6 = std::numeric_limits<std::int64_t>::min();  // error 6
// The largest double below one half: adding 0.5 in double precision would round it up.
constexpr double kBelowHalf = 0.49999999999999994;

TEST(Conversions, CintAndClngRoundHalfAwayFromZeroWithinTheirRanges) {
  // clang-format off
  const std::tuple<char, double, std::int64_t> cases[] = {
      {'I', 2.5, 3}, {'I', -2.5, -3}, {'I', kBelowHalf, 0}, {'I', -kBelowHalf, 0},
      {'I', 32767.4, 32767}, {'I', 32767.5, kE6}, {'I', -32768.4, -32768}, {'I', -32768.5, kE6},
      {'I', kNaN, kE6}, {'L', 32767.5, 32768}, {'L', 2147483647.4, 2147483647},
      {'L', 2147483647.5, kE6}, {'L', -2147483648.4, -2147483648LL}, {'L', kInf, kE6}};
  // clang-format on
  for (auto [type, in, want] : cases) {
    std::int64_t got = 0;
    int e = error_of([&, t = type, v = in] { got = t == 'L' ? rt::CLNG(v) : rt::CINT(v); });
    EXPECT_EQ(std::pair(e, e ? kE6 : got), std::pair(want == kE6 ? 6 : 0, want)) << type << in;
  }
}

TEST(Conversions, ASingleRoundsOnceWhenStoredAndOverflowIsError6) {
  // 2^24 + 1 has no float: the whole expression is exact, a stored step is not.
  Single big = 16777216.0, one = 1;
  Single once = big + one - big, step = big + one;
  EXPECT_EQ(std::pair(double(once), double(step - big)), std::pair(1.0, 0.0));
  Single s = 3e38;
  for (double bad : {1e39, -1e39, rt::POW(-8, 1.0 / 3.0)}) EXPECT_EQ(error_of([&] { s = bad; }), 6);
  EXPECT_EQ(error_of([&] { s *= 10; }), 6);
  EXPECT_EQ(s.bits(), 3e38f) << "a failed store leaves the variable";
  s = 1e-50;  // underflow is no error
  EXPECT_EQ(s.bits(), 0.0f);
}

TEST(Arithmetic, PowerIntegerDivisionModAndTruth) {
  const std::tuple<double, double, double> powers[] = {
      {0, 0, 1},   {5, 0, 1},   {0, 3, 0},  {0, -1, 0},    {2, 10, 1024},
      {2, -1, .5}, {-2, 3, -8}, {-2, 2, 4}, {-2, -1, -.5}, {-2, -2, .25}};
  for (auto [x, y, want] : powers) EXPECT_EQ(rt::POW(x, y), want) << x << "^" << y;
  EXPECT_DOUBLE_EQ(rt::POW(2, 0.5), std::sqrt(2.0));
  EXPECT_EQ(error_of([] { rt::CINT(rt::POW(-8, 0.5)); }), 6);
  // Operands round to LONG first; the quotient drops its fraction; MOD takes the dividend's sign.
  // clang-format off
  const std::tuple<double, double, std::int64_t, std::int64_t> divisions[] = {{-7, 2, -3, -1},
      {7, -3, -2, 1}, {7.6, 2, 4, 0}, {10.5, 4, 2, 3}, {7, 1, 7, 0}, {-7, -1, 7, 0},
      {-2147483648.0, -1, kE6, 0}};
  // clang-format on
  for (auto [a, b, quotient, remainder] : divisions) {
    std::int64_t q = 0;
    int e = error_of([&, x = a, y = b] { q = rt::IDIV(x, y); });
    EXPECT_EQ(std::pair(e == 6 ? kE6 : q, std::int64_t{rt::MOD(a, b)}),
              std::pair(quotient, remainder))
        << a << " " << b;
  }
  for (double zero : {0.0, 0.4, -0.49})
    EXPECT_EQ(std::pair(error_of([&] { rt::IDIV(1, zero); }), error_of([&] { rt::MOD(1, zero); })),
              std::pair(11, 11));
  EXPECT_EQ(rt::truth(1 < 2) * 10 + rt::truth(2 < 1), -10);
}

TEST(Strings, RightValAndFixedLength) {
  EXPECT_EQ(rt::RIGHT("12:34:56", 10) + rt::RIGHT("ab", 2.5) + rt::RIGHT("ab", 0), "12:34:56ab");
  EXPECT_EQ(error_of([] { rt::RIGHT("abc", -1); }), 5);
  // clang-format off
  const std::pair<const char*, double> vals[] = {{"\t\n-3e2xyz", -300}, {"1D2", 100},
      {"+.5", .5}, {"9e", 9}, {"abc", 0}, {"-", 0}, {"1.5e-1", .15}};
  // clang-format on
  for (auto [text, want] : vals) EXPECT_DOUBLE_EQ(rt::VAL(text), want) << text;
  EXPECT_EQ(rt::VAL(std::string_view("123", 2)) + rt::VAL(std::string_view("1e23", 3)), 12 + 100)
      << "only the string's own bytes count";

  // Padded with spaces, cut without leaving half a double-byte character.
  // clang-format off
  const std::pair<std::string, std::string> fixed10[] = {{"ABC", "ABC       "},
      {"ABCDEFGHIJKLM", "ABCDEFGHIJ"}, {"ABCDEFGHI" + sjis("名"), "ABCDEFGHI "},
      {sjis("スタートします"), sjis("スタートし")},
      {std::string(11, '\x81'), std::string(10, '\x81')}};  // second bytes in the first-byte range
  // clang-format on
  for (const auto& [in, want] : fixed10) EXPECT_EQ(FixedStr<10>(in).view(), want) << in;
  FixedStr<12> name = "Name";
  EXPECT_TRUE(name == "Name        " && !(name == "Name"));
}

TEST(Arrays, SubscriptsBoundsAndDimensioning) {
  Array<Single, 1> a(10);
  for (int i = 0; i <= 10; ++i) a(i) = i;
  for (auto [index, want] : {std::pair(3.5, 4.0), {3.4, 3}, {2.5, 3}, {-0.4, 0}, {10.4, 10}})
    EXPECT_EQ(a(index), want) << index;
  for (double bad : {-0.5, 10.5, -1.0, 11.0}) EXPECT_EQ(error_of([&] { a(bad); }), 9) << bad;
  EXPECT_EQ(error_of([&] { a(1e12); }), 6);
  EXPECT_EQ(error_of([&] { a.DIM(20); }), 10);

  Array<std::string, 2> grid;  // first use dimensions 0..10
  EXPECT_EQ(error_of([&] { grid(0, 11); }), 9);
  EXPECT_EQ(grid(10, 10), "");
  const std::tuple<double, double, int> dims[] = {
      {-1, 0, 5}, {3, 2147483647.0, 5}, {1e10, 1, 6}, {0, 2147483646, 7}};
  for (auto [ub1, ub2, want] : dims) {
    Array<Single, 2> g;
    EXPECT_EQ(error_of([&, x = ub1, y = ub2] { g.DIM(x, y); }), want) << ub1 << " " << ub2;
    EXPECT_FALSE(g.dimensioned()) << "a failed DIM leaves the array undimensioned";
  }
  // Upper bounds (1, 4): the first subscript varies fastest.
  Array<Single, 2> g(1, 4);
  EXPECT_EQ(std::tuple(g.size(), &g(1, 0) - &g(0, 0), &g(0, 1) - &g(0, 0), &g(1, 4) - &g(0, 0)),
            std::tuple(10u, 1, 2, 9));
  EXPECT_EQ(std::pair(error_of([&] { g(2, 0); }), error_of([&] { g(0, 5); })), std::pair(9, 9));
  g(1, 2) = 1.5;
  float f = 0;
  std::memcpy(&f, g.bytes().data() + 5 * 4, 4);
  EXPECT_EQ(f, 1.5f) << "the bytes are the elements";
}

class Data : public Started {
 protected:
  template <class T = Single>
  T read() {
    T v{};
    return r().READ(v), v;
  }
};

TEST_F(Data, RecordsAreReadInOrderAndMalformedLinesAreError2) {
  auto recs = rt::parse_data_records(
      "' note\r\n83 DATA 0,3\r\n\n \t 99 data \"a\",2\n90 DATA\n65535 DATA 1\n");
  ASSERT_EQ(recs.size(), 4u);
  EXPECT_EQ((std::array{recs[0].line, recs[1].line, recs[2].line, recs[3].line}),
            (std::array<std::uint16_t, 4>{83, 99, 90, 65535}));
  EXPECT_EQ(recs[0].text + "|" + recs[1].text + "|" + recs[2].text, " 0,3| \"a\",2|");
  for (const char* bad : {"DATA 1,2\n", "83 DAT 1,2\n", "0 DATA 1\n", "65536 DATA 1\n"})
    EXPECT_EQ(error_of([&] { rt::parse_data_records(bad); }), 2) << bad;

  r().DATA_START("10 DATA 1, 2.5 ,\t-3\n20 DATA 4e2,.5,1D1,,\n30 DATA 1,2:  \n40 DATA 159,+7\n");
  for (double want : {1.0, 2.5, -3.0, 400.0, 0.5, 10.0, 0.0, 0.0, 1.0, 2.0})
    EXPECT_EQ(read(), want);
  Single a, b;
  r().READ(a, b);  // one READ, two variables
  EXPECT_EQ(std::pair(double(a), double(b)), std::pair(159.0, 7.0));
  EXPECT_EQ(error_of([&] { read(); }), 4);
  r().DATA_START("10 DATA \"a, b\" , plain text  ,,\"x\":\n20 DATA \"open\n");
  for (const char* want : {"a, b", "plain text", "", "x", "open"})
    EXPECT_EQ(read<std::string>(), want);
}

TEST_F(Data, EachBadItemRaisesItsError) {
  EXPECT_EQ(error_of([&] { read(); }), 4) << "no DATA started";
  // clang-format off
  const std::pair<const char*, int> cases[] = {
      {"1:2", 2}, {"\"a\" b,1", 2}, {"\"a\":b", 2}, {"x", 13}, {"12x", 13}, {"1 2", 13}, {"1e", 13},
      {"+", 13}, {".", 13}, {"\"1\"", 13}, {"1e39", 6}, {"-1e999", 6}, {"3e38", 0}};
  // clang-format on
  for (auto [item, error] : cases) {
    r().DATA_START(std::string("10 DATA ") + item + "\n");
    EXPECT_EQ(error_of([&] { read(); }), error) << item;
  }
  r().DATA_START("10 DATA 3000000000,32768,-32768.4\n");
  std::int32_t l = 0;
  std::int16_t i = 0;
  EXPECT_EQ(error_of([&] { r().READ(l); }), 6);
  EXPECT_EQ(error_of([&] { r().READ(i); }), 6);
  r().READ(i);
  EXPECT_EQ(i, -32768);

  r().DATA_START("10 DATA 1,2\n");
  EXPECT_EQ(read(), 1.0);
  {
    auto sub = r().SUB_ENTER();
    EXPECT_EQ(error_of([&] { read(); }), 4) << "a SUB has no DATA";
  }
  EXPECT_EQ(read(), 2.0) << "the caller's position comes back";
}

std::string fmt(std::string_view format, std::vector<UsingItem> items) {
  return rt::format_using(format, items);
}

struct Case {
  const char* format;
  double value;
  const char* want;
};

void check(std::initializer_list<Case> cases) {
  for (const Case& c : cases)
    EXPECT_EQ(fmt(c.format, {c.value}), c.want) << c.format << " " << c.value;
}

TEST(PrintUsingNumbers, RightAlignedRoundedHalfAwayFromZeroOrPercentWhenTooWide) {
  // clang-format off
  check({{"####", -5, "  -5"}, {"####", 123.6, " 124"}, {"####", 12345, "%12345"},
         {"#####", 77777, "77777"}, {"##", 99.5, "%100"}, {"###", -12.5, "-13"},
         {"##", -12.5, "%-13"}, {"#", 0.5, "1"}, {"##", -0.25, " 0"}, {".##", 0.999, "%1.00"},
         {"#.###", 0.0625, "0.063"}, {"##.#", -2.25, "-2.3"}, {"##.", 12, "12."},
         {"#.##", -0.5, "-.50"}, {"##.##", -0.5, "-0.50"}, {"#.#.", 1.25, "1.3."}});
  // clang-format on
}

TEST(PrintUsingNumbers, SignsFillCurrencyCommasAndExponents) {
  // clang-format off
  check({{"+##", -5, " -5"}, {"+#", 12, "%+12"}, {"##+", 5, " 5+"}, {"##-", 5, " 5 "},
         {"+##-", 7, " +7-"}, {"**##", -5, "**-5"}, {"*##.#", 1.5, "**1.5"},
         {"**###", 123456, "%123456"}, {"\\\\##", -5, " -\\5"}, {"**\\##", 5, "***\\5"},
         {"\\##", 1234, "%\\1234"}, {"#,###", 123, "  123"}, {"#,###.##", 1234.5, "1,234.50"},
         {"##,###,###", 1234567, " 1,234,567"}, {"#,##", 1000, "%1,000"},
         {"##.##^^^^", -234.5, "-2.35E+02"}, {"##.##^^^^", 0, " 0.00E+00"},
         {"##.##^^^^^", 0.00123, " 1.23E-003"}, {"+.##^^^^", 123, "+.12E+03"},
         {"###.#^^^^", 1234, " 12.3E+02"}, {"#.##^^^^-", 234.5, "2.35E+02 "},
         {"#.##^^^^+", -234.5, "2.35E+02-"}, {"#.#^^^^", 0.75, " .8E+00"},
         {"##.##^^^^", 9.999, " 1.00E+01"}, {"##^^^", 5, " 5^^^"}});
  // clang-format on
  EXPECT_EQ(fmt("###, ###", {1.0, 2.0}), "  1,   2") << "a comma followed by text is text";
  EXPECT_EQ(fmt("#,*#", {1.0, 2.0}).find(','), std::string::npos) << "one field: the whole run";
}

TEST(PrintUsingNumbers, TheExactSingleValueIsRoundedOnceToTheField) {
  // The floats are 12345.677734375, 2.6749999523..., 0.125, 123456792, 0.1000000014901...
  // and 0.4999999701...
  // clang-format off
  const std::tuple<const char*, float, const char*> cases[] = {
      {"#######,.###", 12345.678f, "  12,345.678"}, {"#.##", 2.675f, "2.67"},
      {"#.##", 0.125f, "0.13"}, {"##########", 123456789.0f, " 123456792"},
      {"#.##########", 0.1f, "0.1000000015"}, {"#", 0.49999997f, "0"},
      {"##.##^^^^", 2.675f, " 2.67E+00"}};
  // clang-format on
  for (auto [format, value, want] : cases)
    EXPECT_EQ(fmt(format, {UsingItem::raw(value)}), want) << format << " " << value;
}

TEST(PrintUsingStrings, FieldsNeverCutADoubleByteCharacter) {
  // clang-format off
  const std::tuple<const char*, std::string, std::string> strings[] = {{"!", "abc", "a"},
      {"!", "", " "}, {"!", sjis("日本"), sjis("日")}, {"&  &", "abcdef", "abcd"},
      {"&  &", "ab", "ab  "}, {"&&", "xyz", "xy"}, {"<@>", "", "<>"},
      {"&  &", sjis("aあb"), sjis("aあb")}, {"&  &", sjis("abcあ"), "abc "}};
  // clang-format on
  for (const auto& [format, item, want] : strings)
    EXPECT_EQ(fmt(format, {item}), want) << format << item;
}

TEST(PrintUsingFormat, LiteralTextAndRestartsAtTheFormatsBeginning) {
  // clang-format off
  check({{"Time ####", 5, "Time    5"}, {"##s", 5, " 5s"}, {"a+b#", 5, "a+b5"}, {"& #", 5, "& 5"},
         {"* \\ #", 5, "* \\ 5"}, {"Level   #", 3, "Level   3"}});
  // clang-format on
  EXPECT_EQ(fmt("A#", {1.0, 2.0, 3.0}) + "|" + fmt("#B", {1.0, 2.0}), "A1A2A3|1B2B");
  EXPECT_EQ(fmt("@=#;", {"x", 1.0, "y", 2.0}), "x=1;y=2;");
  EXPECT_EQ(fmt("ab#c", {}), "ab") << "without items: the text up to the first field";
  // Second bytes 0x5C (the currency sign) and 0x40 ('@') are never fields.
  const std::string so = sjis("ソ"), space = sjis("　");
  ASSERT_EQ(so + space, "\x83\x5C\x81\x40");
  EXPECT_EQ(fmt(so + "#", {7.0}) + fmt(space + "@", {"x"}), so + "7" + space + "x");
  rt::UsingFormatter f("(#)(@)!");
  std::string out = f.next(1.0);
  out += f.next("ab");
  EXPECT_EQ(out + f.finish(), "(1)(ab)");
  EXPECT_EQ(f.next(2.0), "(2") << "the format position is reset after the statement";
}

TEST(PrintUsingErrors, NoFieldIs5AFieldThatDoesNotSuitIs13AndNoNumberIs6) {
  const float inf = std::numeric_limits<float>::infinity();
  // clang-format off
  const std::tuple<const char*, std::vector<UsingItem>, int> cases[] = {{"abc", {1.0}, 5},
      {"", {"x"}, 5}, {"& x", {"q"}, 5}, {"!", {1.0}, 13}, {"&  &", {1.0}, 13}, {"##", {"x"}, 13},
      {"## @", {"x"}, 13}, {"## @", {1.0, 2.0}, 13}, {"##", {UsingItem::raw(inf)}, 6},
      {"##", {UsingItem::raw(-inf)}, 6}, {"##", {UsingItem::raw(std::nanf(""))}, 6}};
  // clang-format on
  for (const auto& [format, items, error] : cases)
    EXPECT_EQ(error_of([f = format, &i = items] { fmt(f, i); }), error) << format;
}

}  // namespace

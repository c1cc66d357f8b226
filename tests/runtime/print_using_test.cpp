// PRINT USING formatting, without a window. The numbers are exact in binary
// or away from rounding halves, so that each has one right answer.
#include "runtime/print_using.h"

#include <cmath>
#include <limits>

#include "tests/runtime/harness.h"

namespace {

using namespace rt_test;
using rt::UsingItem;

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
  check({{"####", 5, "   5"}, {"####", 0, "   0"}, {"####", -5, "  -5"}, {"####", 123.6, " 124"},
         {"####", 12345, "%12345"}, {"####", -1234, "%-1234"}, {"#####", 77777, "77777"},
         {"##", 99.5, "%100"}, {"##", 12.5, "13"}, {"###", -12.5, "-13"}, {"##", -12.5, "%-13"},
         {"#", 0.5, "1"}, {"##", 12.25, "12"}, {"##", -0.25, " 0"}, {"##.##", 123.25, "%123.25"},
         {".##", 0.999, "%1.00"}, {"#.##", 0.125, "0.13"}, {"#.###", 0.0625, "0.063"},
         {"###.#", 99.96, "100.0"}, {"##.##", 3.14159, " 3.14"}, {"##.#", -2.25, "-2.3"},
         {"##.", 12, "12."}, {".##", 0.25, ".25"}, {"#.##", -0.5, "-.50"}, {"##.##", -0.5, "-0.50"},
         {"#.#.", 1.25, "1.3."}, {"###", 1e-3, "  0"}});
  // clang-format on
}

TEST(PrintUsingNumbers, SignsFillCurrencyCommasAndExponents) {
  // clang-format off
  check({{"+##", 5, " +5"}, {"+##", -5, " -5"}, {"+#", 12, "%+12"}, {"##+", 5, " 5+"},
         {"##+", -5, " 5-"}, {"##-", 5, " 5 "}, {"##-", -12, "12-"}, {"+##-", 7, " +7-"},
         {"**##", -5, "**-5"}, {"*##.#", 1.5, "**1.5"}, {"**###", 123456, "%123456"},
         {"\\\\##", 5, "  \\5"}, {"\\\\##", -5, " -\\5"}, {"**\\##", 5, "***\\5"},
         {"\\##", 1234, "%\\1234"}, {"#,###", 1234, "1,234"}, {"#,###", 123, "  123"},
         {"#,###", -1234, "%-1,234"}, {"#,###.##", 1234.5, "1,234.50"},
         {"##,###,###", 1234567, " 1,234,567"}, {"#,##", 1000, "%1,000"},
         {"##.##^^^^", 234.5, " 2.35E+02"}, {"##.##^^^^", -234.5, "-2.35E+02"},
         {"##.##^^^^", 0, " 0.00E+00"}, {"##.##^^^^^", 0.00123, " 1.23E-003"},
         {"+.##^^^^", 123, "+.12E+03"}, {"###.#^^^^", 1234, " 12.3E+02"},
         {"#.##^^^^-", -234.5, "2.35E+02-"}, {"#.##^^^^-", 234.5, "2.35E+02 "},
         {"#.##^^^^+", -234.5, "2.35E+02-"}, {"#.##^^^^+", 234.5, "2.35E+02+"},
         {"#.#^^^^", 0.75, " .8E+00"}, {"##.##^^^^", 9.999, " 1.00E+01"}, {"##^^^", 5, " 5^^^"}});
  // clang-format on
  EXPECT_EQ(fmt("###, ###", {1.0, 2.0}), "  1,   2") << "a comma followed by text is text";
}

TEST(PrintUsingNumbers, TheExactSingleValueIsRoundedOnceToTheField) {
  // The floats are 12345.677734375, 2.6749999523..., 0.125, 123456792, 0.1000000014901...
  // and 0.4999999701...
  const std::tuple<const char*, float, const char*> cases[] = {
      {"#######,.###", 12345.678f, "  12,345.678"}, {"#.##", 2.675f, "2.67"},
      {"#.##", 0.125f, "0.13"},  {"##########", 123456789.0f, " 123456792"},
      {"#.##########", 0.1f, "0.1000000015"}, {"#", 0.49999997f, "0"},
      {"##.##^^^^", 2.675f, " 2.67E+00"}};
  for (auto [format, value, want] : cases)
    EXPECT_EQ(fmt(format, {UsingItem::raw(value)}), want) << format << " " << value;
}

TEST(PrintUsingStrings, FieldsNeverCutADoubleByteCharacter) {
  // clang-format off
  const std::tuple<const char*, std::string, std::string> strings[] = {{"!", "abc", "a"},
      {"!", "", " "}, {"!", sjis("日本"), sjis("日")}, {"&  &", "abcdef", "abcd"},
      {"&  &", "ab", "ab  "}, {"&&", "xyz", "xy"}, {"<@>", "", "<>"},
      {"@", sjis("全部 all"), sjis("全部 all")}, {"&  &", sjis("aあb"), sjis("aあb")},
      {"&  &", sjis("abcあ"), "abc "}, {"& &", sjis("aあ"), sjis("aあ")}};
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

  const char* line = "  @       #       ###    #####";  // the score table's
  EXPECT_EQ(fmt(line, {"ABCDEFGHIJKL", 1.0, 23.0, 456.0}),
            "  ABCDEFGHIJKL       1        23      456");
  const std::string kana = sjis("ソフト表示名");  // six double-byte characters, unchanged
  EXPECT_EQ(fmt(line, {kana, 2.0, 5.0, 77777.0}), "  " + kana + "       2         5    77777");
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
  EXPECT_EQ(error_of([] { fmt("##", {1e39}); }), 6);
}

}  // namespace

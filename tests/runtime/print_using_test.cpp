// PRINT USING formatting, without a window.
#include "runtime/print_using.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "platform/sjis.h"
#include "tests/support/program.h"

namespace {

using rt::UsingItem;
using testing_support::error_of;

std::string fmt(std::string_view format, std::vector<UsingItem> items) {
  return rt::format_using(format, items);
}

std::string sjis(const char* utf8) {
  return platform::utf8_to_sjis(utf8);
}

struct Case {
  const char* format;
  double value;
  const char* want;
};

void check(std::span<const Case> cases) {
  for (const Case& c : cases)
    EXPECT_EQ(fmt(c.format, {c.value}), c.want) << c.format << " " << c.value;
}

// Too wide (rounding up can be what makes it so) gets '%'; halves round away
// from zero; the SINGLE value is rounded once (2.675 and 1.005 lie just
// below the half as floats); zero after rounding has no sign.
TEST(PrintUsingNumbers, WidthRoundingAndPercent) {
  const Case cases[] = {{"####", 0, "   0"},
                        {"####", -5, "  -5"},
                        {"####", 123.6, " 124"},
                        {"####", 12345, "%12345"},
                        {"####", -1234, "%-1234"},
                        {"##.##", 123.456, "%123.46"},
                        {"##", 99.5, "%100"},
                        {".##", 0.999, "%1.00"},
                        {"##", 12.5, "13"},
                        {"###", -12.5, "-13"},
                        {"##", -12.5, "%-13"},
                        {"#", 0.5, "1"},
                        {"#.##", 0.125, "0.13"},
                        {"##", 12.49, "12"},
                        {"#.##", 2.675, "2.67"},
                        {"#.##", 1.005, "1.00"},
                        {"#.#######", 0.1, "0.1000000"},
                        {"##", -0.4, " 0"},
                        {"#.#", -0.04, "0.0"},
                        {"##########", 123456789, " 123456792"}};
  check(cases);
}

// The lone zero before the point gives way to the sign; a second point is
// text; with a trailing sign the minus needs no digit; a leading '+' takes no
// trailing sign.
TEST(PrintUsingNumbers, DecimalsSignsFillCurrencyAndCommas) {
  // clang-format off
  const Case cases[] = {
      {"##.##", 3.14159, " 3.14"}, {"##.#", -2.25, "-2.3"},  {"##.", 12, "12."},
      {".##", 0.25, ".25"},        {"#.##", -0.5, "-.50"},   {"##.##", -0.5, "-0.50"},
      {"#.#.", 1.25, "1.3."},      {"+##", 5, " +5"},        {"+##", -5, " -5"},
      {"+#", 12, "%+12"},          {"##+", 5, " 5+"},        {"##+", -5, " 5-"},
      {"##-", 5, " 5 "},           {"##-", -12, "12-"},      {"+##-", 7, " +7-"},
      {"**##", -5, "**-5"},        {"*##.#", 1.5, "**1.5"},  {"\\\\##", 5, "  \\5"},
      {"\\\\##", -5, " -\\5"},   {"**\\##", 5, "***\\5"}, {"\\##", 1234, "%\\1234"},
      {"#,###", 1234, "1,234"},    {"#,###", 123, "  123"},  {"#,###", -1234, "%-1,234"},
      {"#,###.##", 1234.5, "1,234.50"}, {"##,###,###", 1234567, " 1,234,567"}};
  // clang-format on
  check(cases);
  EXPECT_EQ(fmt("###, ###", {1.0, 2.0}), "  1,   2") << "a comma followed by text is text";
}

// Rounding carries into the exponent; three carets are text.
TEST(PrintUsingNumbers, ExponentForm) {
  const Case cases[] = {{"##.##^^^^", 234.56, " 2.35E+02"},  {"##.##^^^^", -234.56, "-2.35E+02"},
                        {"##.##^^^^", 0, " 0.00E+00"},       {"##.##^^^^^", 0.00123, " 1.23E-003"},
                        {"+.##^^^^", 123, "+.12E+03"},       {"###.#^^^^", 1234, " 12.3E+02"},
                        {"#.##^^^^-", -234.56, "2.35E+02-"}, {"#.##^^^^-", 234.56, "2.35E+02 "},
                        {"##.##^^^^", 9.999, " 1.00E+01"},   {"##^^^", 5, " 5^^^"}};
  check(cases);
}

TEST(PrintUsingStrings, FieldsNeverCutADoubleByteCharacter) {
  // clang-format off
  const struct {
    const char* format;
    std::string item, want;
  } cases[] = {
      {"!", "abc", "a"},          {"!", "", " "},         {"!", sjis("日本"), sjis("日")},
      {"&  &", "abcdef", "abcd"}, {"&  &", "ab", "ab  "}, {"&&", "xyz", "xy"},
      {"<@>", "", "<>"},          {"@", sjis("全部 all"), sjis("全部 all")},
      {"&  &", sjis("aあb"), sjis("aあb")}, {"&  &", sjis("abcあ"), "abc "},
      {"&&", sjis("aあ"), "a "},  {"& &", sjis("aあ"), sjis("aあ")}};
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(fmt(c.format, {c.item}), c.want) << c.format << " " << c.item;
}

TEST(PrintUsingFormat, LiteralTextAndRestarts) {
  // clang-format off
  const Case literal[] = {{"Time ####", 5, "Time    5"}, {"##s", 5, " 5s"}, {"a+b#", 5, "a+b5"},
                          {"& #", 5, "& 5"}, {"* \\ #", 5, "* \\ 5"}};
  // clang-format on
  check(literal);
  EXPECT_EQ(fmt("A#", {1.0, 2.0, 3.0}), "A1A2A3");
  EXPECT_EQ(fmt("#B", {1.0, 2.0}), "1B2B");
  EXPECT_EQ(fmt("@=#;", {"x", 1.0, "y", 2.0}), "x=1;y=2;");
  EXPECT_EQ(fmt("ab#c", {}), "ab") << "without items: the text up to the first field";
  // Trail bytes 0x5C (the currency sign) and 0x40 ('@') are never fields.
  std::string so = sjis("ソ"), space = sjis("　");
  ASSERT_EQ(so + space, "\x83\x5C\x81\x40");
  EXPECT_EQ(fmt(so + "#", {7.0}), so + "7");
  EXPECT_EQ(fmt(space + "@", {"x"}), space + "x");

  rt::UsingFormatter f("(#)(@)!");
  EXPECT_EQ(f.next(1.0), "(1");
  EXPECT_EQ(f.next("ab"), ")(ab");
  EXPECT_EQ(f.finish(), ")");
  EXPECT_EQ(f.next(2.0), "(2");
}

TEST(PrintUsingFormat, ScoreTableLine) {
  const char* format = "  @       #       ###    #####";
  std::string name = "ABCDEFGHIJKL";
  EXPECT_EQ(fmt(format, {name, 1.0, 23.0, 456.0}), "  " + name + "       1        23      456");
  // A name of six double-byte characters is printed unchanged as well.
  std::string kana = sjis("ソフト表示名");
  ASSERT_EQ(kana.size(), 12u);
  EXPECT_EQ(fmt(format, {kana, 2.0, 5.0, 77777.0}), "  " + kana + "       2         5    77777");
}

// No field anywhere is 5, a field that does not suit the item 13, a number no
// SINGLE holds 6.
TEST(PrintUsingErrors, NumberedErrors) {
  // clang-format off
  const struct {
    const char* format;
    std::vector<UsingItem> items;
    int error;
  } cases[] = {
      {"abc", {1.0}, 5}, {"", {"x"}, 5}, {"!", {1.0}, 13}, {"##", {"x"}, 13}, {"## @", {"x"}, 13},
      {"## @", {1.0, 2.0}, 13}, {"##", {UsingItem::raw(std::numeric_limits<float>::infinity())}, 6},
      {"##", {UsingItem::raw(std::nanf(""))}, 6}};
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(error_of([&] { fmt(c.format, c.items); }), c.error) << c.format;
  EXPECT_EQ(error_of([] { fmt("##", {1e39}); }), 6);
}

}  // namespace

// PRINT USING formatting, without a window.
#include "runtime/print_using.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
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

TEST(PrintUsingNumbers, RightAlignedInTheField) {
  EXPECT_EQ(fmt("####", {0.0}), "   0");
  EXPECT_EQ(fmt("####", {5.0}), "   5");
  EXPECT_EQ(fmt("####", {-5.0}), "  -5");
  EXPECT_EQ(fmt("####", {123.6}), " 124");
  EXPECT_EQ(fmt("####", {-123.0}), "-123");
  EXPECT_EQ(fmt("#", {7.0}), "7");
}

TEST(PrintUsingNumbers, TooWideForTheFieldGetsPercent) {
  EXPECT_EQ(fmt("####", {12345.0}), "%12345");
  EXPECT_EQ(fmt("####", {-1234.0}), "%-1234");
  EXPECT_EQ(fmt("##.##", {123.456}), "%123.46");
  // Rounding up can be what makes it too wide.
  EXPECT_EQ(fmt("##", {99.5}), "%100");
  EXPECT_EQ(fmt(".##", {0.999}), "%1.00");
}

TEST(PrintUsingNumbers, RoundsHalfAwayFromZero) {
  EXPECT_EQ(fmt("##", {12.5}), "13");
  EXPECT_EQ(fmt("###", {-12.5}), "-13");
  EXPECT_EQ(fmt("##", {-12.5}), "%-13");
  EXPECT_EQ(fmt("#", {0.5}), "1");
  EXPECT_EQ(fmt("#", {2.5}), "3");
  EXPECT_EQ(fmt("#.##", {0.125}), "0.13");
  EXPECT_EQ(fmt("##", {12.49}), "12");
}

TEST(PrintUsingNumbers, TakesSevenSignificantDigitsFirst) {
  // As floats these lie just below the half: 2.67499995..., 1.00499999...
  EXPECT_EQ(fmt("#.##", {2.675}), "2.68");
  EXPECT_EQ(fmt("#.##", {1.005}), "1.01");
  // 123456789 is the float 123456792, which has more digits than a SINGLE shows.
  EXPECT_EQ(fmt("##########", {123456789.0}), " 123456800");
  EXPECT_EQ(fmt("#.#######", {0.1}), "0.1000000");
}

TEST(PrintUsingNumbers, ZeroAfterRoundingHasNoSign) {
  EXPECT_EQ(fmt("##", {-0.4}), " 0");
  EXPECT_EQ(fmt("#.#", {-0.04}), "0.0");
}

TEST(PrintUsingNumbers, Decimals) {
  EXPECT_EQ(fmt("##.##", {3.14159}), " 3.14");
  EXPECT_EQ(fmt("#.##", {0.5}), "0.50");
  EXPECT_EQ(fmt("##.#", {-2.25}), "-2.3");
  EXPECT_EQ(fmt("##.", {12.0}), "12.");
  EXPECT_EQ(fmt(".##", {0.25}), ".25");
  // The lone zero before the point gives way to the sign.
  EXPECT_EQ(fmt("#.##", {-0.5}), "-.50");
  EXPECT_EQ(fmt("##.##", {-0.5}), "-0.50");
  // A second point is text.
  EXPECT_EQ(fmt("#.#.", {1.25}), "1.3.");
}

TEST(PrintUsingNumbers, SignPositions) {
  EXPECT_EQ(fmt("+##", {5.0}), " +5");
  EXPECT_EQ(fmt("+##", {-5.0}), " -5");
  EXPECT_EQ(fmt("+#", {12.0}), "%+12");
  EXPECT_EQ(fmt("##+", {5.0}), " 5+");
  EXPECT_EQ(fmt("##+", {-5.0}), " 5-");
  EXPECT_EQ(fmt("##-", {5.0}), " 5 ");
  EXPECT_EQ(fmt("##-", {-5.0}), " 5-");
  // With a trailing sign, the minus no longer needs a digit position.
  EXPECT_EQ(fmt("##-", {-12.0}), "12-");
  // A leading '+' takes no trailing sign: the '-' after it is text.
  EXPECT_EQ(fmt("+##-", {7.0}), " +7-");
}

TEST(PrintUsingNumbers, AsteriskFillAndCurrency) {
  EXPECT_EQ(fmt("**##", {12.0}), "**12");
  EXPECT_EQ(fmt("**##", {-5.0}), "**-5");
  EXPECT_EQ(fmt("*##.#", {1.5}), "**1.5");
  EXPECT_EQ(fmt("\\\\##", {5.0}), "  \\5");
  EXPECT_EQ(fmt("\\\\##", {-5.0}), " -\\5");
  EXPECT_EQ(fmt("**\\##", {5.0}), "***\\5");
  EXPECT_EQ(fmt("\\##", {1234.0}), "%\\1234");
}

TEST(PrintUsingNumbers, CommasGroupTheIntegerDigits) {
  EXPECT_EQ(fmt("#,###", {1234.0}), "1,234");
  EXPECT_EQ(fmt("#,###", {123.0}), "  123");
  EXPECT_EQ(fmt("##,###,###", {1234567.0}), " 1,234,567");
  EXPECT_EQ(fmt("#,###.##", {1234.5}), "1,234.50");
  EXPECT_EQ(fmt("#,###", {-1234.0}), "%-1,234");
  // A comma followed by text is text.
  EXPECT_EQ(fmt("###, ###", {1.0, 2.0}), "  1,   2");
}

TEST(PrintUsingNumbers, ExponentForm) {
  EXPECT_EQ(fmt("##.##^^^^", {234.56}), " 2.35E+02");
  EXPECT_EQ(fmt("##.##^^^^", {-234.56}), "-2.35E+02");
  EXPECT_EQ(fmt("##.##^^^^", {0.0}), " 0.00E+00");
  EXPECT_EQ(fmt("##.##^^^^^", {0.00123}), " 1.23E-003");
  EXPECT_EQ(fmt("+.##^^^^", {123.0}), "+.12E+03");
  EXPECT_EQ(fmt("###.#^^^^", {1234.0}), " 12.3E+02");
  EXPECT_EQ(fmt("#.##^^^^-", {-234.56}), "2.35E+02-");
  EXPECT_EQ(fmt("#.##^^^^-", {234.56}), "2.35E+02 ");
  // Rounding carries into the exponent.
  EXPECT_EQ(fmt("##.##^^^^", {9.999}), " 1.00E+01");
  // Three carets are text.
  EXPECT_EQ(fmt("##^^^", {5.0}), " 5^^^");
}

TEST(PrintUsingStrings, Fields) {
  EXPECT_EQ(fmt("!", {"abc"}), "a");
  EXPECT_EQ(fmt("!", {""}), " ");
  EXPECT_EQ(fmt("!", {sjis("日本")}), sjis("日"));
  EXPECT_EQ(fmt("&  &", {"abcdef"}), "abcd");
  EXPECT_EQ(fmt("&  &", {"ab"}), "ab  ");
  EXPECT_EQ(fmt("&&", {"xyz"}), "xy");
  EXPECT_EQ(fmt("@", {sjis("全部 all")}), sjis("全部 all"));
  EXPECT_EQ(fmt("<@>", {""}), "<>");
}

TEST(PrintUsingStrings, FixedFieldNeverCutsADoubleByteCharacter) {
  EXPECT_EQ(fmt("&  &", {sjis("aあb")}), sjis("aあb"));
  EXPECT_EQ(fmt("&  &", {sjis("abcあ")}), "abc ");
  EXPECT_EQ(fmt("&&", {sjis("aあ")}), "a ");
  EXPECT_EQ(fmt("& &", {sjis("aあ")}), sjis("aあ"));
}

TEST(PrintUsingFormat, LiteralTextAroundFields) {
  EXPECT_EQ(fmt("Time ####", {5.0}), "Time    5");
  EXPECT_EQ(fmt("Level   #", {3.0}), "Level   3");
  EXPECT_EQ(fmt("##s", {5.0}), " 5s");
  EXPECT_EQ(fmt("a+b#", {5.0}), "a+b5");
  EXPECT_EQ(fmt("& #", {5.0}), "& 5");
  EXPECT_EQ(fmt("* \\ #", {5.0}), "* \\ 5");
}

TEST(PrintUsingFormat, ScoreTableLine) {
  const char* format = "  @       #       ###    #####";
  std::string name = "ABCDEFGHIJKL";
  std::string want = "  " + name + std::string(7, ' ') + "1" + std::string(7, ' ') + " 23" +
                     std::string(4, ' ') + "  456";
  EXPECT_EQ(fmt(format, {name, 1.0, 23.0, 456.0}), want);
  // A name of six double-byte characters is printed unchanged as well.
  std::string kana = sjis("ソフト表示名");
  ASSERT_EQ(kana.size(), 12u);
  EXPECT_EQ(fmt(format, {kana, 2.0, 5.0, 77777.0}), "  " + kana + std::string(7, ' ') + "2" +
                                                        std::string(7, ' ') + "  5" +
                                                        std::string(4, ' ') + "77777");
}

TEST(PrintUsingFormat, MoreItemsThanFieldsStartsTheFormatAgain) {
  EXPECT_EQ(fmt("A#", {1.0, 2.0, 3.0}), "A1A2A3");
  EXPECT_EQ(fmt("[##]", {1.0, 22.0}), "[ 1][22]");
  EXPECT_EQ(fmt("#B", {1.0, 2.0}), "1B2B");
  EXPECT_EQ(fmt("@=#;", {"x", 1.0, "y", 2.0}), "x=1;y=2;");
}

TEST(PrintUsingFormat, DoubleByteTextInTheFormatIsNeverAField) {
  // Trail bytes 0x5C (the currency sign) and 0x40 ('@').
  std::string so = sjis("ソ");
  ASSERT_EQ(so, "\x83\x5C");
  EXPECT_EQ(fmt(so + "#", {7.0}), so + "7");
  std::string space = sjis("　");
  ASSERT_EQ(space, "\x81\x40");
  EXPECT_EQ(fmt(space + "@", {"x"}), space + "x");
}

TEST(PrintUsingFormat, TheFormatterCarriesItsPositionAndResets) {
  rt::UsingFormatter f("(#)(@)!");
  EXPECT_EQ(f.next(1.0), "(1");
  EXPECT_EQ(f.next("ab"), ")(ab");
  EXPECT_EQ(f.finish(), ")");
  EXPECT_EQ(f.next(2.0), "(2");
}

TEST(PrintUsingErrors, NumberedErrors) {
  // No field anywhere in the format.
  EXPECT_EQ(error_of([] { fmt("abc", {1.0}); }), 5);
  EXPECT_EQ(error_of([] { fmt("", {"x"}); }), 5);
  // The next field does not suit the item.
  EXPECT_EQ(error_of([] { fmt("!", {1.0}); }), 13);
  EXPECT_EQ(error_of([] { fmt("##", {"x"}); }), 13);
  EXPECT_EQ(error_of([] { fmt("## @", {"x"}); }), 13);
  EXPECT_EQ(error_of([] { fmt("## @", {1.0, 2.0}); }), 13);
  // Numbers no SINGLE holds.
  EXPECT_EQ(error_of([] { fmt("##", {UsingItem::raw(std::numeric_limits<float>::infinity())}); }),
            6);
  EXPECT_EQ(error_of([] { fmt("##", {UsingItem::raw(std::nanf(""))}); }), 6);
  EXPECT_EQ(error_of([] { fmt("##", {1e39}); }), 6);
  // A format without items prints its text up to the first field.
  EXPECT_EQ(fmt("ab#c", {}), "ab");
}

TEST(PrintUsingFuzz, AnyFormatAndItemGivesTextOrANumberedError) {
  // Formats built from the field characters in many orders: the formatter
  // must never crash, and a numeric field must keep its width or mark '%'.
  const std::string alphabet = "#.,+-*\\^!&@ x\x83";
  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  const std::vector<UsingItem> items = {0.0, -1.5, 123456.0, 1e-20, -3e30, "", "abc", "\x82\xA0z"};
  for (int round = 0; round < 4000; ++round) {
    std::string format;
    int length = static_cast<int>(next() % 12);
    for (int i = 0; i < length; ++i) format += alphabet[next() % alphabet.size()];
    std::vector<UsingItem> some;
    int n = static_cast<int>(next() % 4);
    for (int i = 0; i < n; ++i) some.push_back(items[next() % items.size()]);
    try {
      std::string out = rt::format_using(format, some);
      EXPECT_LT(out.size(), 2000u) << format;
    } catch (const rt::RtError& e) {
      EXPECT_TRUE(e.number() == 5 || e.number() == 13) << format << " error " << e.number();
    }
  }
}

}  // namespace

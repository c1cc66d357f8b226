// PRINT USING rounds the SINGLE's exact binary value once, to the field.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/print_using.h"

namespace {

TEST(PrintUsingRounding, TheExactSingleValueIsRoundedOnceToTheField) {
  // Exact values of the floats: 12345.677734375, 2.6749999523..., 0.125,
  // 123456792, 0.1000000014901..., 0.4999999701...
  const struct {
    const char* format;
    float value;
    const char* want;
  } cases[] = {
      {"#######,.###", 12345.678f, "  12,345.678"},
      {"#.##", 2.675f, "2.67"},
      {"#.##", 0.125f, "0.13"},  // an exact half goes away from zero
      {"##########", 123456789.0f, " 123456792"},
      {"#.##########", 0.1f, "0.1000000015"},
      {"#", 0.49999997f, "0"},
      {"##.##^^^^", 2.675f, " 2.67E+00"},
  };
  for (const auto& c : cases) {
    std::vector<rt::UsingItem> items{rt::UsingItem::raw(c.value)};
    EXPECT_EQ(rt::format_using(c.format, items), c.want) << c.format << " " << c.value;
  }
}

}  // namespace

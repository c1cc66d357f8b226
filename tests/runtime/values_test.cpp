// Numbers, strings, arrays, DATA and READ.
#include "runtime/values.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "runtime/runtime.h"
#include "tests/runtime/harness.h"

namespace {

using namespace rt_test;
using rt::Array;
using rt::FixedStr;
using rt::Single;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int64_t kErr6 = std::numeric_limits<std::int64_t>::min();
// The largest double below one half: adding 0.5 in double precision would round it up.
constexpr double kBelowHalf = 0.49999999999999994;

TEST(Conversions, CintAndClngRoundHalfAwayFromZeroWithinTheirRanges) {
  const struct {
    bool is_long;
    double in;
    std::int64_t want;
  } cases[] = {{0, 2.5, 3},          {0, -2.5, -3},         {0, 0.49, 0},          {0, -0.5, -1},
               {0, kBelowHalf, 0},   {0, -kBelowHalf, 0},   {0, 32767.4, 32767},   {0, 32767.5, kErr6},
               {0, -32768.4, -32768}, {0, -32768.5, kErr6}, {0, kNaN, kErr6},      {0, -kInf, kErr6},
               {1, 32767.5, 32768},  {1, -70000.5, -70001}, {1, 2147483647.4, 2147483647},
               {1, 2147483647.5, kErr6}, {1, -2147483648.4, -2147483648LL},
               {1, -2147483648.5, kErr6}, {1, kInf, kErr6}};
  for (const auto& c : cases) {
    auto convert = [&] { return c.is_long ? std::int64_t{rt::CLNG(c.in)} : rt::CINT(c.in); };
    if (c.want == kErr6) {
      EXPECT_EQ(error_of([&] { convert(); }), 6) << c.in;
    } else {
      EXPECT_EQ(convert(), c.want) << c.in;
    }
  }
}

TEST(Conversions, ASingleRoundsOnceWhenStored) {
  // 2^24 + 1 has no float: the whole expression is exact, a stored step is not.
  Single big = 16777216.0, one = 1;
  Single once = big + one - big;
  Single step = big + one;
  EXPECT_EQ(static_cast<double>(once), 1.0);
  EXPECT_EQ(static_cast<double>(step - big), 0.0);
  Single s = 3e38;
  for (double bad : {1e39, -1e39, rt::POW(-8, 1.0 / 3.0)}) EXPECT_EQ(error_of([&] { s = bad; }), 6);
  EXPECT_EQ(error_of([&] { s *= 10; }), 6);
  EXPECT_EQ(s.bits(), 3e38f) << "a failed store leaves the variable";
  s = 1e-50;  // underflow is no error
  EXPECT_EQ(s.bits(), 0.0f);
}

TEST(Arithmetic, PowerIntegerDivisionModAndTruth) {
  const struct {
    double base, exponent, want;
  } powers[] = {{0, 0, 1},   {5, 0, 1},   {0, 3, 0},  {0, -1, 0},    {2, 10, 1024},
                {2, -1, .5}, {-2, 3, -8}, {-2, 2, 4}, {-2, -1, -.5}, {-2, -2, .25}};
  for (const auto& c : powers) EXPECT_EQ(rt::POW(c.base, c.exponent), c.want) << c.base << "^" << c.exponent;
  EXPECT_DOUBLE_EQ(rt::POW(2, 0.5), std::sqrt(2.0));
  EXPECT_EQ(error_of([] { rt::CINT(rt::POW(-8, 0.5)); }), 6);

  // Operands are rounded to LONG first; the quotient drops its fraction; MOD
  // takes the dividend's sign.
  const struct {
    double a, b;
    std::int64_t quotient, remainder;
  } divisions[] = {{-7, 2, -3, -1}, {7, -3, -2, 1}, {7.6, 2, 4, 0}, {10.5, 4, 2, 3},
                   {7, 1, 7, 0},    {-7, -1, 7, 0}, {-2147483648.0, -1, kErr6, 0}};
  for (const auto& d : divisions) {
    if (d.quotient == kErr6) {
      EXPECT_EQ(error_of([&] { rt::IDIV(d.a, d.b); }), 6);
    } else {
      EXPECT_EQ(rt::IDIV(d.a, d.b), d.quotient) << d.a << "\\" << d.b;
    }
    EXPECT_EQ(rt::MOD(d.a, d.b), d.remainder) << d.a << " MOD " << d.b;
  }
  for (double zero : {0.0, 0.4, -0.49}) {
    EXPECT_EQ(error_of([&] { rt::IDIV(1, zero); }), 11) << zero;
    EXPECT_EQ(error_of([&] { rt::MOD(1, zero); }), 11) << zero;
  }
  EXPECT_EQ(rt::truth(1 < 2), -1);
  EXPECT_EQ(rt::truth(2 < 1), 0);
}

TEST(Strings, CompareRightValAndFixedLength) {
  const struct {
    std::string a, b;
    int want;
  } compares[] = {{"AB", "ABC", -1}, {"ABC", "AB", 1},     {"", "", 0},         {"", "A", -1},
                  {"ABD", "ABC", 1}, {"\x7f", "\x80", -1}, {"\x82\xa0", "z", 1}};
  for (const auto& c : compares) {
    EXPECT_EQ(rt::str_compare(c.a, c.b), c.want) << c.a << " " << c.b;
    EXPECT_EQ(c.a < c.b, c.want < 0) << "std::string agrees, so game code may use it";
  }

  EXPECT_EQ(rt::RIGHT("12:34:56", 2), "56");
  EXPECT_EQ(rt::RIGHT("12:34:56", 0), "");
  EXPECT_EQ(rt::RIGHT("abc", 10), "abc");
  EXPECT_EQ(rt::RIGHT("abcdef", 2.5), "def");  // the count is rounded
  EXPECT_EQ(error_of([] { rt::RIGHT("abc", -1); }), 5);
  const std::pair<const char*, double> vals[] = {
      {"  12.5", 12.5}, {"\t\n-3e2xyz", -300}, {"1D2", 100}, {"+.5", .5}, {"9e", 9},
      {"07", 7},        {"abc", 0},            {"", 0},      {"-", 0},    {"1.5e-1", .15}};
  for (auto [text, want] : vals) EXPECT_DOUBLE_EQ(rt::VAL(text), want) << text;

  // Padded with spaces, cut without leaving half a double-byte character.
  const std::pair<std::string, std::string> fixed10[] = {
      {"ABC", "ABC       "},
      {"ABCDEFGHIJKLM", "ABCDEFGHIJ"},
      {"ABCDEFGHI" + sjis("名"), "ABCDEFGHI "},
      {sjis("スタートします"), sjis("スタートし")},
      {"\x81\x81\x81\x81\x81\x81\x81\x81\x81\x81\x81", "\x81\x81\x81\x81\x81\x81\x81\x81\x81\x81"}};
  for (const auto& [in, want] : fixed10) EXPECT_EQ(FixedStr<10>(in).view(), want) << in;
  FixedStr<12> name = "Name";
  EXPECT_TRUE(name == "Name        " && !(name == "Name"));
  EXPECT_EQ(FixedStr<10>(name).view(), "Name      ");
  EXPECT_EQ(FixedStr<12>().view(), std::string(12, ' '));
}

TEST(Arrays, SubscriptsBoundsAndDimensioning) {
  Array<Single, 1> a(10);
  for (int i = 0; i <= 10; ++i) a(i) = i;
  const std::pair<double, double> picks[] = {{3.5, 4}, {3.4, 3}, {2.5, 3}, {-0.4, 0}, {10.4, 10}};
  for (auto [index, want] : picks) EXPECT_EQ(a(index), want) << index;
  for (double bad : {-0.5, 10.5, -1.0, 11.0}) EXPECT_EQ(error_of([&] { a(bad); }), 9) << bad;
  EXPECT_EQ(error_of([&] { a(1e12); }), 6);
  EXPECT_EQ(error_of([&] { a.DIM(20); }), 10);

  Array<Single, 1> used;  // first use dimensions 0..10
  EXPECT_EQ(used(10), 0.0);
  EXPECT_EQ(error_of([&] { used(11); }), 9);
  EXPECT_EQ(error_of([&] { used.DIM(5); }), 10);
  Array<std::string, 2> grid;
  EXPECT_EQ(error_of([&] { grid(0, 11); }), 9);
  EXPECT_EQ(grid(10, 10), "");

  const std::pair<std::function<void(Array<Single, 2>&)>, int> dims[] = {
      {[](auto& g) { g.DIM(-1, 0); }, 5},      {[](auto& g) { g.DIM(3, 2147483647.0); }, 5},
      {[](auto& g) { g.DIM(1e10, 1); }, 6},    {[](auto& g) { g.DIM(100000, 100000); }, 7},
      {[](auto& g) { g.DIM(0, 2147483646); }, 7}};
  for (const auto& [dim, want] : dims) {
    Array<Single, 2> g;
    EXPECT_EQ(error_of([&] { dim(g); }), want);
    EXPECT_FALSE(g.dimensioned()) << "a failed DIM leaves the array undimensioned";
  }

  // Upper bounds (1, 4): the first subscript varies fastest.
  Array<Single, 2> g(1, 4);
  EXPECT_EQ(g.size(), 10u);
  EXPECT_EQ(&g(1, 0), &g(0, 0) + 1);
  EXPECT_EQ(&g(0, 1), &g(0, 0) + 2);
  EXPECT_EQ(&g(1, 4), &g(0, 0) + 9);
  EXPECT_EQ(error_of([&] { g(2, 0); }), 9);
  EXPECT_EQ(error_of([&] { g(0, 5); }), 9);
  g(1, 2) = 1.5;
  float f = 0;
  std::memcpy(&f, g.bytes().data() + 5 * 4, 4);
  EXPECT_EQ(f, 1.5f) << "the bytes are the elements";
  EXPECT_EQ((Array<Single, 1>().bytes().size()), 11 * 4u) << "auto-dimensioned";
}

// ---- DATA and READ ----

TEST(DataRecords, LinesParseAndMalformedOnesAreError2) {
  auto recs = rt::parse_data_records("' note\r\n83 DATA 0,3,9\r\n\n  99 data \"a, b\",2\n90 DATA\n65535 DATA 1\n");
  ASSERT_EQ(recs.size(), 4u);
  const std::pair<int, std::string> want[] = {{83, " 0,3,9"}, {99, " \"a, b\",2"}, {90, ""}, {65535, " 1"}};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ((std::pair<int, std::string>(recs[i].line, recs[i].text)), want[i]);
  for (const char* bad : {"DATA 1,2\n", "83 DAT 1,2\n", "83 DATA1,2\n", "0 DATA 1\n", "65536 DATA 1\n",
                          "99999999999999999999 DATA 1\n"}) {
    EXPECT_EQ(error_of([&] { rt::parse_data_records(bad); }), 2) << bad;
  }
}

class Data : public Started {
 protected:
  double num() {
    Single v;
    r().READ(v);
    return v;
  }
  std::string str() {
    std::string s;
    r().READ(s);
    return s;
  }
};

TEST_F(Data, ItemsAreReadInOrderAcrossRecords) {
  r().DATA_START("10 DATA 1, 2.5 ,\t-3\n20 DATA 4e2,.5,1D1,,\n30 DATA 1,2:  \n40 DATA 159,+7\n");
  for (double want : {1.0, 2.5, -3.0, 400.0, 0.5, 10.0, 0.0, 0.0, 1.0, 2.0}) EXPECT_EQ(num(), want);
  Single a, b;
  r().READ(a, b);  // one READ, two variables
  EXPECT_EQ(std::pair(double(a), double(b)), std::pair(159.0, 7.0));
  EXPECT_EQ(error_of([&] { num(); }), 4);

  r().DATA_START("10 DATA \"a, b\" , plain text  ,\"\",, \"x\":\n20 DATA \"open\n30 DATA  Player 1,7\n");
  for (const char* want : {"a, b", "plain text", "", "", "x", "open"}) EXPECT_EQ(str(), want);
  FixedStr<10> name;
  r().READ(name);
  EXPECT_EQ(name.view(), "Player 1  ");
  EXPECT_EQ(str(), "7");  // a number read as text
}

TEST_F(Data, EachBadItemRaisesItsError) {
  EXPECT_EQ(error_of([&] { num(); }), 4) << "no DATA started";
  const std::pair<const char*, int> cases[] = {
      {"10 DATA 1:2\n", 2}, {"10 DATA \"a\" b,1\n", 2}, {"10 DATA \"a\":b\n", 2}, {"10 DATA x\n", 13},
      {"10 DATA 12x\n", 13}, {"10 DATA 1 2\n", 13},     {"10 DATA 1e\n", 13},     {"10 DATA +\n", 13},
      {"10 DATA .\n", 13},   {"10 DATA \"1\"\n", 13},   {"10 DATA 1e39\n", 6},    {"10 DATA -1e999\n", 6},
      {"10 DATA 3e38\n", 0}, {"", 4}};
  for (auto [data, error] : cases) {
    r().DATA_START(data);
    EXPECT_EQ(error_of([&] { num(); }), error) << data;
  }
  r().DATA_START("10 DATA 3000000000,2147483647,32768,-32768.4\n");
  std::int32_t l = 0;
  std::int16_t i = 0;
  EXPECT_EQ(error_of([&] { r().READ(l); }), 6);
  r().READ(l);
  EXPECT_EQ(error_of([&] { r().READ(i); }), 6);
  r().READ(i);
  EXPECT_EQ(std::pair(l, int{i}), std::pair(2147483647, -32768));
}

TEST_F(Data, ASubHasNoDataAndTheCallersPositionComesBack) {
  r().DATA_START("10 DATA 1,2\n");
  EXPECT_EQ(num(), 1.0);
  {
    auto sub = r().SUB_ENTER();
    EXPECT_EQ(error_of([&] { num(); }), 4);
  }
  EXPECT_EQ(num(), 2.0);
}

TEST(DataReport, ReadPastTheEndIsError4InTheReadsLine) {
  Program p;
  unsigned read_line = 0;
  p.run([&](rt::Runtime& r) {
    r.DATA_START("10 DATA 1\n");
    Single x;
    r.STMT(), r.READ(x);
    r.STMT(), read_line = __LINE__, r.READ(x);
  });
  EXPECT_EQ(p.rt().last_error().number, 4);
  EXPECT_EQ(p.rt().last_error().line, read_line);
  auto func = p.registry().get(rt::Frame::kErrorKey, "FUNC");
  ASSERT_TRUE(func.has_value());
  EXPECT_EQ(std::get<std::uint32_t>(*func), static_cast<std::uint32_t>(rt::Op::Read));
}

}  // namespace

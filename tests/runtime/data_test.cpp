// DATA records and READ.
#include <gtest/gtest.h>

#include <string>

#include "runtime/runtime.h"
#include "tests/support/program.h"

namespace {

using rt::Single;
using testing_support::error_of;
using testing_support::Program;

class Data : public ::testing::Test {
 protected:
  void SetUp() override { p.start(); }
  rt::Runtime& r() { return p.rt(); }
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
  Program p;
};

TEST(DataRecords, ParseLinesAndRejectMalformedOnesWithError2) {
  auto recs =
      rt::parse_data_records("' a comment\r\n83 DATA 0,3,9\r\n\n  84 data \"a, b\",2\n90 DATA\n");
  ASSERT_EQ(recs.size(), 3u);
  EXPECT_EQ(recs[0].line, 83);
  EXPECT_EQ(recs[0].text, " 0,3,9");
  EXPECT_EQ(recs[1].line, 84);
  EXPECT_EQ(recs[1].text, " \"a, b\",2");
  EXPECT_EQ(recs[2].text, "");
  for (const char* bad : {"DATA 1,2\n", "83 DAT 1,2\n", "83 DATA1,2\n", "0 DATA 1\n",
                          "70000 DATA 1\n", "99999999999999999999 DATA 1\n"}) {
    EXPECT_EQ(error_of([&] { rt::parse_data_records(bad); }), 2) << bad;
  }
  EXPECT_EQ(error_of([] { rt::parse_data_records("65535 DATA 1\n"); }), 0);
}

TEST_F(Data, ReadsNumbersAcrossRecordsInOrder) {
  r().DATA_START("10 DATA 1, 2.5 ,\t-3\n20 DATA 4e2,.5,1D1,,\n30 DATA 150,+7\n");
  for (double want : {1.0, 2.5, -3.0, 400.0, 0.5, 10.0, 0.0, 0.0}) EXPECT_EQ(num(), want);
  Single a, b;
  r().READ(a, b);  // one READ, two variables
  EXPECT_EQ(a, 150.0);
  EXPECT_EQ(b, 7.0);
  EXPECT_EQ(error_of([&] { num(); }), 4);
  EXPECT_EQ(error_of([&] { num(); }), 4);
}

TEST_F(Data, StringItems) {
  r().DATA_START("10 DATA \"a, b\" , plain text  ,\"\",, \"x\":\n20 DATA \"open\n");
  for (const char* want : {"a, b", "plain text", "", "", "x", "open"}) EXPECT_EQ(str(), want);
  EXPECT_EQ(error_of([&] { str(); }), 4);

  r().DATA_START("10 DATA  Player 1,7\n");
  rt::FixedStr<10> name;
  r().READ(name);
  EXPECT_EQ(name.view(), "Player 1  ");
  EXPECT_EQ(str(), "7");  // a number read as text
}

TEST_F(Data, EachBadItemRaisesItsError) {
  // clang-format off
  const std::pair<const char*, int> cases[] = {
      {"10 DATA 1:2\n", 2}, {"10 DATA 1:,2\n", 2}, {"10 DATA \"a\" b,1\n", 2},
      {"10 DATA \"a\":b\n", 2}, {"10 DATA x\n", 13}, {"10 DATA 12x\n", 13}, {"10 DATA 1 2\n", 13},
      {"10 DATA 1e\n", 13}, {"10 DATA +\n", 13}, {"10 DATA .\n", 13}, {"10 DATA \"1\"\n", 13},
      {"10 DATA 1e39\n", 6}, {"10 DATA -1e999\n", 6}, {"10 DATA 3e38\n", 0}, {"", 4},
      {"' only a comment\n", 4}};
  // clang-format on
  EXPECT_EQ(error_of([&] { num(); }), 4) << "before DATA_START";
  for (auto [data, error] : cases) {
    r().DATA_START(data);
    EXPECT_EQ(error_of([&] { num(); }), error) << data;
  }
  // A colon closes a record, and only at its end.
  r().DATA_START("10 DATA 1,2:  \n20 DATA 3\n");
  for (double want : {1.0, 2.0, 3.0}) EXPECT_EQ(num(), want);
  r().DATA_START("10 DATA 1,2:3\n");
  EXPECT_EQ(num(), 1.0);
  EXPECT_EQ(error_of([&] { num(); }), 2);
}

TEST_F(Data, IntegerTargetsCheckTheirRanges) {
  r().DATA_START("10 DATA 3000000000,2147483647,32768,-32768.4\n");
  std::int32_t l = 0;
  EXPECT_EQ(error_of([&] { r().READ(l); }), 6);
  r().READ(l);
  EXPECT_EQ(l, 2147483647);
  std::int16_t i = 0;
  EXPECT_EQ(error_of([&] { r().READ(i); }), 6);
  r().READ(i);
  EXPECT_EQ(i, -32768);
}

TEST_F(Data, ASubHasNoDataPosition) {
  r().DATA_START("10 DATA 1,2\n");
  EXPECT_EQ(num(), 1.0);
  {
    auto sub = r().SUB_ENTER();
    EXPECT_EQ(error_of([&] { num(); }), 4);
  }
  EXPECT_EQ(num(), 2.0) << "the main program's position comes back";
}

TEST(DataReport, ReadPastTheEndReportsTheReadsLine) {
  Program p;
  unsigned read_line = 0;
  int code = p.run([&](rt::Runtime& r) {
    r.STMT();
    r.DATA_START("10 DATA 1\n");
    Single x;
    r.STMT();
    r.READ(x);
    r.STMT();
    read_line = __LINE__ - 1;
    platform::Event key;  // answers the report's key prompt
    key.type = platform::Event::Type::KeyDown;
    key.key = platform::Key::Enter;
    p.host().push_event(key);
    r.READ(x);
    ADD_FAILURE() << "READ past the end returned";
  });
  EXPECT_NE(code, 0);
  EXPECT_EQ(p.rt().last_error().number, 4);
  EXPECT_EQ(p.rt().last_error().line, read_line);
  auto logged = p.registry().get(rt::Frame::kErrorKey, "LINE");
  ASSERT_TRUE(logged.has_value());
  EXPECT_EQ(std::get<std::uint32_t>(*logged), read_line);
  auto func = p.registry().get(rt::Frame::kErrorKey, "FUNC");
  ASSERT_TRUE(func.has_value());
  EXPECT_EQ(std::get<std::uint32_t>(*func), static_cast<std::uint32_t>(rt::Op::Read));
}

}  // namespace

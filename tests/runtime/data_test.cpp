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
  double read_single() {
    Single v;
    r().READ(v);
    return v;
  }
  std::string read_string() {
    std::string s;
    r().READ(s);
    return s;
  }
  int read_error(const std::string& text) {
    r().DATA_START(text);
    return error_of([&] { read_single(); });
  }

  Program p;
};

TEST(DataRecords, ParseLinesAndSkipComments) {
  auto recs =
      rt::parse_data_records("' a comment\r\n83 DATA 0,3,9\r\n\n  84 data \"a, b\",2\n90 DATA\n");
  ASSERT_EQ(recs.size(), 3u);
  EXPECT_EQ(recs[0].line, 83);
  EXPECT_EQ(recs[0].text, " 0,3,9");
  EXPECT_EQ(recs[1].line, 84);
  EXPECT_EQ(recs[1].text, " \"a, b\",2");
  EXPECT_EQ(recs[2].line, 90);
  EXPECT_EQ(recs[2].text, "");
}

TEST(DataRecords, MalformedLinesAreError2) {
  EXPECT_EQ(error_of([] { rt::parse_data_records("DATA 1,2\n"); }), 2);
  EXPECT_EQ(error_of([] { rt::parse_data_records("83 DAT 1,2\n"); }), 2);
  EXPECT_EQ(error_of([] { rt::parse_data_records("83 DATA1,2\n"); }), 2);
  EXPECT_EQ(error_of([] { rt::parse_data_records("0 DATA 1\n"); }), 2);
  EXPECT_EQ(error_of([] { rt::parse_data_records("70000 DATA 1\n"); }), 2);
  EXPECT_EQ(error_of([] { rt::parse_data_records("99999999999999999999 DATA 1\n"); }), 2);
  EXPECT_EQ(error_of([] { rt::parse_data_records("65535 DATA 1\n"); }), 0);
}

TEST_F(Data, ReadsItemsAcrossRecordsInOrder) {
  r().DATA_START("10 DATA 1, 2.5 ,\t-3\n20 DATA 4e2,.5,1D1\n");
  EXPECT_EQ(read_single(), 1.0);
  EXPECT_EQ(read_single(), 2.5);
  EXPECT_EQ(read_single(), -3.0);
  EXPECT_EQ(read_single(), 400.0);
  EXPECT_EQ(read_single(), 0.5);
  EXPECT_EQ(read_single(), 10.0);
  EXPECT_EQ(error_of([&] { read_single(); }), 4);
  EXPECT_EQ(error_of([&] { read_single(); }), 4);
}

TEST_F(Data, SeveralVariablesInOneRead) {
  r().DATA_START("10 DATA 150,50\n11 DATA 50,7\n");
  Single red, green, blue;
  r().READ(red, green, blue);
  EXPECT_EQ(red, 150.0);
  EXPECT_EQ(green, 50.0);
  EXPECT_EQ(blue, 50.0);
  EXPECT_EQ(read_single(), 7.0);
}

TEST_F(Data, StringItems) {
  r().DATA_START("10 DATA \"a, b\" , plain text  ,\"\",, \"x\":\n20 DATA \"open\n");
  EXPECT_EQ(read_string(), "a, b");
  EXPECT_EQ(read_string(), "plain text");
  EXPECT_EQ(read_string(), "");
  EXPECT_EQ(read_string(), "");
  EXPECT_EQ(read_string(), "x");
  EXPECT_EQ(read_string(), "open");  // an unclosed quote runs to the end
  EXPECT_EQ(error_of([&] { read_string(); }), 4);

  r().DATA_START("10 DATA  Player 1,7\n");
  rt::FixedStr<10> name;
  r().READ(name);
  EXPECT_EQ(name.view(), "Player 1  ");
  std::string seven;
  r().READ(seven);  // a number read as text
  EXPECT_EQ(seven, "7");
}

TEST_F(Data, EmptyItemsAndTrailingCommaReadAsZero) {
  r().DATA_START("10 DATA 1,,3,\n20 DATA 5\n");
  EXPECT_EQ(read_single(), 1.0);
  EXPECT_EQ(read_single(), 0.0);
  EXPECT_EQ(read_single(), 3.0);
  EXPECT_EQ(read_single(), 0.0);  // after the last comma
  EXPECT_EQ(read_single(), 5.0);
}

TEST_F(Data, ColonOnlyClosesARecord) {
  r().DATA_START("10 DATA 1,2:  \n20 DATA 3\n");
  EXPECT_EQ(read_single(), 1.0);
  EXPECT_EQ(read_single(), 2.0);
  EXPECT_EQ(read_single(), 3.0);

  EXPECT_EQ(read_error("10 DATA 1:2\n"), 2);
  EXPECT_EQ(read_error("10 DATA 1:,2\n"), 2);
  r().DATA_START("10 DATA 1,2:3\n");
  EXPECT_EQ(read_single(), 1.0);
  EXPECT_EQ(error_of([&] { read_single(); }), 2);
  EXPECT_EQ(read_error("10 DATA \"a\" b,1\n"), 2);
  EXPECT_EQ(read_error("10 DATA \"a\":b\n"), 2);
}

TEST_F(Data, NonNumbersAreError13) {
  EXPECT_EQ(read_error("10 DATA x\n"), 13);
  EXPECT_EQ(read_error("10 DATA 12x\n"), 13);
  EXPECT_EQ(read_error("10 DATA 1 2\n"), 13);
  EXPECT_EQ(read_error("10 DATA 1e\n"), 13);
  EXPECT_EQ(read_error("10 DATA +\n"), 13);
  EXPECT_EQ(read_error("10 DATA .\n"), 13);
  EXPECT_EQ(read_error("10 DATA \"1\"\n"), 13);
  EXPECT_EQ(read_error("10 DATA +7\n"), 0);
}

TEST_F(Data, NumbersOutOfRangeAreError6) {
  EXPECT_EQ(read_error("10 DATA 1e39\n"), 6);
  EXPECT_EQ(read_error("10 DATA -1e999\n"), 6);
  EXPECT_EQ(read_error("10 DATA 3e38\n"), 0);

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

TEST_F(Data, NoDataIsError4) {
  EXPECT_EQ(error_of([&] { read_single(); }), 4);  // before DATA_START
  EXPECT_EQ(read_error(""), 4);
  EXPECT_EQ(read_error("' only a comment\n"), 4);
}

TEST_F(Data, ASubHasNoDataPosition) {
  r().DATA_START("10 DATA 1,2\n");
  EXPECT_EQ(read_single(), 1.0);
  {
    auto sub = r().SUB_ENTER();
    EXPECT_FALSE(r().context().data.valid());
    EXPECT_EQ(error_of([&] { read_single(); }), 4);
  }
  // The main program's position comes back with its context.
  EXPECT_EQ(read_single(), 2.0);
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

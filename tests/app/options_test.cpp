#include "app/options.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

namespace app {
namespace {

ParseResult parse(std::vector<std::string> args) {
  return parse_command_line(args);
}

TEST(CommandLine, ReadsEveryOption) {
  auto r = parse({"--headless", "--script", "s.txt", "--scale", "3", "--fullscreen", "--midi",
                  "none", "--soundfont", "gm.sf2", "--time", "12:34:56", "--date", "2017-03-05",
                  "--trace", "t.csv"});
  ASSERT_FALSE(r.exit_code) << r.message;
  EXPECT_TRUE(r.options.headless);
  EXPECT_EQ(r.options.script_path, "s.txt");
  EXPECT_EQ(r.options.scale, 3);
  EXPECT_TRUE(r.options.fullscreen);
  EXPECT_EQ(r.options.midi, MidiChoice::None);
  EXPECT_EQ(r.options.soundfont, "gm.sf2");
  EXPECT_EQ(r.options.trace_path, "t.csv");
  platform::LocalTime t;
  std::string err;
  ASSERT_TRUE(start_time(r.options, platform::LocalTime{1999, 1, 2, 3, 4, 5}, &t, &err));
  EXPECT_EQ(t.year, 2017);
  EXPECT_EQ(t.day, 5);
  EXPECT_EQ(t.hour, 12);
  EXPECT_EQ(t.second, 56);
  // The time alone keeps today's date.
  Options o;
  o.time = "08:00:00";
  ASSERT_TRUE(start_time(o, platform::LocalTime{2020, 6, 7, 1, 1, 1}, &t, &err));
  EXPECT_EQ(t.year, 2020);
  EXPECT_EQ(t.month, 6);
  EXPECT_EQ(t.hour, 8);
  EXPECT_EQ(t.minute, 0);
}

TEST(CommandLine, HelpAndVersionStopWithZero) {
  EXPECT_EQ(parse({"--help"}).exit_code, 0);
  EXPECT_NE(parse({"--help"}).message.find("--headless"), std::string::npos);
  auto v = parse({"--version"});
  EXPECT_EQ(v.exit_code, 0);
  EXPECT_EQ(v.message.rfind("peakwend ", 0), 0u);
}

TEST(CommandLine, BadOptionsStopWithTwoAndSayWhy) {
  for (const char* line :
       {"--bogus", "--scale", "--scale 0", "--scale x", "--scale 17", "--midi loud",
        "--time 25:00:00", "--time 1:2:3", "--date 2017-02-29", "--date 2017-13-01", "--script"}) {
    std::istringstream words(line);
    auto r = parse({std::istream_iterator<std::string>(words), {}});
    EXPECT_EQ(r.exit_code, 2) << line;
    EXPECT_NE(r.message.find("peakwend:"), std::string::npos) << line;
  }
  EXPECT_EQ(parse({"--trace", ""}).exit_code, 2);
  EXPECT_FALSE(parse({"--date", "2016-02-29"}).exit_code) << "a leap day";
}

}  // namespace
}  // namespace app

// The command line: the options, their values and what a bad one does.
#include "app/options.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

namespace app {
namespace {

ParseResult parse(const std::string& line) {
  std::istringstream words(line);
  return parse_command_line({std::istream_iterator<std::string>(words), {}});
}

TEST(CommandLine, ReadsEveryOption) {
  auto r = parse("--headless --script s.txt --scale 16 --fullscreen --midi fluidsynth --soundfont gm.sf2 "
                 "--time 23:59:59 --date 2000-02-29 --trace t.csv");
  ASSERT_FALSE(r.exit_code) << r.message;
  const Options& o = r.options;
  EXPECT_EQ(std::tuple(o.headless, o.script_path, o.scale, o.fullscreen, o.midi, o.soundfont, o.trace_path),
            std::tuple(true, "s.txt", 16, true, MidiChoice::FluidSynth, "gm.sf2", "t.csv"));
  EXPECT_EQ(parse("").options.midi, MidiChoice::Auto);
  EXPECT_EQ(parse("--midi none --midi auto --scale 1").options.midi, MidiChoice::Auto) << "the last one counts";
  EXPECT_EQ(parse("--midi none").options.midi, MidiChoice::None);
}

// The clock at start: --time and --date each replace their part of now.
TEST(CommandLine, TheStartTimeTakesTheGivenPartsAndKeepsTheRest) {
  const platform::LocalTime now{2020, 6, 7, 1, 2, 3};
  const struct {
    const char* line;
    platform::LocalTime want;
  } cases[] = {{"", {2020, 6, 7, 1, 2, 3}},
               {"--time 08:00:09", {2020, 6, 7, 8, 0, 9}},
               {"--date 2017-03-05", {2017, 3, 5, 1, 2, 3}},
               {"--date 2016-02-29 --time 00:00:00", {2016, 2, 29, 0, 0, 0}}};
  for (const auto& c : cases) {
    platform::LocalTime t;
    std::string err;
    ASSERT_TRUE(start_time(parse(c.line).options, now, &t, &err)) << c.line << ": " << err;
    EXPECT_EQ(std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second),
              std::tuple(c.want.year, c.want.month, c.want.day, c.want.hour, c.want.minute, c.want.second))
        << c.line;
  }
}

TEST(CommandLine, HelpAndVersionStopWithZero) {
  for (const char* line : {"--help", "-h", "--scale 2 --help --bogus"}) {
    auto r = parse(line);
    EXPECT_EQ(r.exit_code, 0) << line;
    EXPECT_EQ(r.message, usage()) << line;
  }
  EXPECT_NE(usage().find("--headless"), std::string::npos);
  auto v = parse("--version");
  EXPECT_EQ(v.exit_code, 0);
  EXPECT_EQ(v.message.rfind("peakwend ", 0), 0u);
  EXPECT_EQ(v.message.back(), '\n');
}

TEST(CommandLine, ABadOptionStopsWithTwoAndSaysWhy) {
  for (const char* line :
       {"--bogus", "-x", "--scale", "--scale 0", "--scale 17", "--scale x", "--scale 2x", "--midi",
        "--midi loud", "--soundfont", "--script", "--trace", "--time", "--date", "--time 24:00:00",
        "--time 23:60:00", "--time 23:59:60", "--time 1:2:3", "--time 12-34-56", "--time 12:34:5x",
        "--date 2017-02-29", "--date 2100-02-29", "--date 1969-12-31", "--date 2017-13-01",
        "--date 2017-04-31", "--date 2017-00-10", "--date 2017-01-00", "--date 17-01-01"}) {
    auto r = parse(line);
    EXPECT_EQ(r.exit_code, 2) << line;
    EXPECT_EQ(r.message.rfind("peakwend: ", 0), 0u) << line;
    EXPECT_NE(r.message.find("Try 'peakwend --help'."), std::string::npos) << line;
  }
  EXPECT_EQ(parse_command_line({"--trace", ""}).exit_code, 2);
  EXPECT_NE(parse("--midi loud").message.find("'loud'"), std::string::npos);
  for (const char* fine : {"--date 2000-02-29", "--date 2017-12-31", "--date 1970-01-01", "--date 9999-12-31"})
    EXPECT_FALSE(parse(fine).exit_code) << fine;
}

}  // namespace
}  // namespace app

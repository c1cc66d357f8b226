// The command line: the options, the clock they set, and what a bad one does.
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

TEST(CommandLine, ReadsEveryOptionAndTheClockItSets) {
  auto r = parse(
      "--headless --script s.txt --scale 16 --fullscreen --midi fluidsynth "
      "--soundfont gm.sf2 --trace t.csv --midi none --midi fluidsynth");
  const Options& o = r.options;
  EXPECT_EQ(
      std::tuple(r.exit_code, o.headless, o.script_path, o.scale, o.fullscreen, o.midi, o.soundfont,
                 o.trace_path),
      std::tuple(std::nullopt, true, "s.txt", 16, true, MidiChoice::FluidSynth, "gm.sf2", "t.csv"));
  EXPECT_EQ(std::pair(parse("").options.midi, parse("--midi none").options.midi),
            std::pair(MidiChoice::Auto, MidiChoice::None));
  // --time and --date each replace their part of the clock now.
  const std::pair<const char*, platform::LocalTime> cases[] = {
      {"", {2020, 6, 7, 1, 2, 3}},
      {"--time 08:00:09", {2020, 6, 7, 8, 0, 9}},
      {"--date 2017-03-05", {2017, 3, 5, 1, 2, 3}},
      {"--date 2000-02-29 --time 23:59:59", {2000, 2, 29, 23, 59, 59}}};
  for (const auto& [line, want] : cases) {
    platform::LocalTime t;
    std::string err;
    ASSERT_TRUE(start_time(parse(line).options, {2020, 6, 7, 1, 2, 3}, &t, &err))
        << line << ": " << err;
    EXPECT_EQ(std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second),
              std::tuple(want.year, want.month, want.day, want.hour, want.minute, want.second))
        << line;
  }
}

TEST(CommandLine, HelpAndVersionStopWithZeroABadOptionWithTwo) {
  for (const char* line : {"--help", "-h", "--scale 2 --help --bogus"})
    EXPECT_EQ(std::pair(parse(line).exit_code, parse(line).message),
              std::pair(std::optional(0), usage()))
        << line;
  EXPECT_NE(usage().find("--headless"), std::string::npos);
  EXPECT_EQ(parse("--version").exit_code, 0);
  EXPECT_EQ(parse("--version").message.rfind("peakwend ", 0), 0u);
  // clang-format off
  const char* bad[] = {
      "--bogus", "-x", "--scale", "--scale 0", "--scale 17", "--scale 2x", "--midi", "--midi loud",
      "--soundfont", "--script", "--trace", "--time", "--date", "--time 24:00:00", "--time 23:60:00",
      "--time 23:59:60", "--time 1:2:3", "--time 12-34-56", "--date 2017-02-29", "--date 2100-02-29",
      "--date 1969-12-31", "--date 2017-13-01", "--date 2017-04-31", "--date 2017-00-10",
      "--date 2017-01-00", "--date 17-01-01"};
  // clang-format on
  for (const char* line : bad) {
    auto r = parse(line);
    EXPECT_EQ(r.exit_code, 2) << line;
    EXPECT_TRUE(r.message.rfind("peakwend: ", 0) == 0 &&
                r.message.find("Try 'peakwend --help'.") != std::string::npos)
        << r.message;
  }
  EXPECT_EQ(parse_command_line({"--trace", ""}).exit_code, 2);
  EXPECT_NE(parse("--midi loud").message.find("'loud'"), std::string::npos);
  for (const char* fine :
       {"--date 2016-02-29", "--date 1970-01-01", "--date 9999-12-31", "--scale 1"})
    EXPECT_FALSE(parse(fine).exit_code) << fine;
}

}  // namespace
}  // namespace app

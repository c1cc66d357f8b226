// The command line and the settings file under it; what a bad option or line does.
#include "app/options.h"

#include <gtest/gtest.h>
#include <ini.h>

#include <iterator>
#include <sstream>

#include "app/settings.h"

namespace app {
namespace {

ParseResult parse(const std::string& line, const Options& base = {}) {
  std::istringstream words(line);
  return parse_command_line({std::istream_iterator<std::string>(words), {}}, base);
}
std::string summary(const Options& o) {
  const char* midi[] = {"auto", "fluidsynth", "none"};
  return std::to_string(o.scale) + (o.fullscreen ? " full " : " window ") +
         midi[static_cast<int>(o.midi)] + " " + o.soundfont.value_or("-") + " " +
         std::to_string(o.volume) + (o.keep_scores ? " keep" : " -");
}

TEST(CommandLine, OptionsTheClockHelpBadOnesAndTheSettingsFileUnderThem) {
  auto r = parse(
      "--headless --script s.txt --scale 16 --fullscreen --midi fluidsynth "
      "--soundfont gm.sf2 --trace t.csv --midi none --midi fluidsynth --volume 0");
  EXPECT_EQ(std::tuple(r.exit_code, r.options.headless, r.options.script_path, r.options.trace_path,
                       summary(r.options)),
            std::tuple(std::nullopt, true, "s.txt", "t.csv", "16 full fluidsynth gm.sf2 0 -"));
  // --time and --date each replace their part of the clock now.
  for (auto [line, want] : {std::pair{"--time 08:00:09", std::tuple{2020, 6, 7, 8, 0, 9}},
                            {"--date 2017-03-05", {2017, 3, 5, 1, 2, 3}}}) {
    platform::LocalTime t;
    std::string err;
    ASSERT_TRUE(start_time(parse(line).options, {2020, 6, 7, 1, 2, 3}, &t, &err)) << err;
    EXPECT_EQ(std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second), want) << line;
  }
  for (const char* line : {"--help", "-h", "--scale 2 --help --bogus"})
    EXPECT_EQ(std::pair(parse(line).exit_code, parse(line).message),
              std::pair(std::optional(0), usage()));
  // clang-format off
  const char* bad[] = {
      "--bogus", "--scale", "--scale 0", "--scale 17", "--scale 2x", "--midi", "--midi loud",
      "--time 24:00:00", "--time 23:60:00", "--time 23:59:60", "--time 1:2:3", "--date 2017-02-29",
      "--date 2100-02-29", "--date 1969-12-31", "--date 2017-13-01", "--date 2017-04-31",
      "--date 2017-00-10", "--date 2017-01-00", "--volume -1", "--volume 101", "--volume 5.5"};
  // clang-format on
  for (const char* line : bad) {
    auto r = parse(line);
    EXPECT_TRUE(r.exit_code == 2 && r.message.starts_with("peakwend: ") &&
                r.message.find("Try 'peakwend --help'.") != std::string::npos)
        << line << ": " << r.message;
  }
  EXPECT_FALSE(parse("--date 2016-02-29 --date 1970-01-01 --date 9999-12-31 --scale 1").exit_code);
  // A bad or too long line of the settings file changes nothing and gives one warning.
  const std::string all =
      "# mine\nscale = 3\nfullscreen = yes\nmidi = none\nsoundfont = /s.sf2\n"
      "volume = 30\nkeep_scores = yes\n";
  const std::string over = "--scale 5 --volume 70 --no-fullscreen --no-keep-scores --midi auto";
  const std::string font = "soundfont = /" + std::string(INI_MAX_LINE - 3 - 13, 'a');
  const std::string longer =
      "p.conf:1: longer than " + std::to_string(INI_MAX_LINE - 3) + " characters (line ignored)";
  const std::tuple<std::string, std::string, std::string, std::string> settings[] = {
      // clang-format off
      {all, "", "3 full none /s.sf2 30 keep", ""},
      {all, over + " --soundfont t.sf2", "5 window auto t.sf2 70 -", ""},
      {"scale = 2\nvolume = 101\n", "", "2 window auto - 80 -",
       "p.conf:2: volume takes a whole number from 0 to 100, not '101'"},
      {"\nkeep_scores = maybe\n", "", "0 window auto - 80 -",
       "p.conf:2: keep_scores takes yes or no, not 'maybe'"},
      {"volum = 3\n", "", "0 window auto - 80 -",
       "p.conf:1: unknown key 'volum'; the keys are scale, fullscreen, midi, soundfont, volume"},
      {"[sound]\nvolume = 3\n", "", "0 window auto - 80 -", "p.conf:2: "},
      {"scale 3\nvolume = 10\n", "", "0 window auto - 10 -", "p.conf:1: not 'key = value'"},
      {font + "\r\nvolume = 5\n", "", "0 window auto " + font.substr(12) + " 5 -", ""},
      {font + "a\r\nvolume = 5\n", "", "0 window auto - 5 -", longer}};
  // clang-format on
  for (const auto& [file, args, want, warning] : settings) {
    Options o;
    std::ostringstream warn;
    apply_settings(file, "/c/p.conf", o, warn);
    EXPECT_EQ(summary(parse(args, o).options), want) << file;
    const std::string w = warn.str();
    EXPECT_TRUE(warning.empty() ? w.empty()
                                : w.starts_with("peakwend: /c/p.conf:") &&
                                      w.find(warning) != w.npos && w.find('\n') == w.size() - 1)
        << file << w;
  }
  // A missing file is no error; one that cannot be read is reported.
  for (auto [path, reported] : {std::pair{"/nonexistent/peakwend.conf", false}, {"/", true}}) {
    Options o;
    std::ostringstream w;
    read_settings(path, o, w);
    EXPECT_EQ(w.str().starts_with("peakwend: cannot read " + std::string(path)), reported);
    EXPECT_EQ(w.str().empty(), !reported) << w.str();
  }
}

}  // namespace
}  // namespace app

// The settings file under the command line.
#include "app/settings.h"

#include <gtest/gtest.h>
#include <ini.h>

#include <algorithm>
#include <sstream>

namespace app {
namespace {

TEST(Settings, FileSetsDefaultsTheCommandLineOverridesAndBadLinesChangeNothing) {
  const std::string all =
      "# mine\nscale = 3\nfullscreen = yes\nmidi = none\nsoundfont = /s.sf2\nvolume = 30\n"
      "keep_scores = yes\n";
  const struct {
    std::string file;
    std::vector<std::string> args;
    int scale, volume;
    bool fullscreen, keep;
    MidiChoice midi;
    const char* soundfont;
    const char* warning;  // a part of the one warning expected
  } cases[] = {
      {"", {}, 0, 80, false, false, MidiChoice::Auto, "", ""},
      {all, {}, 3, 30, true, true, MidiChoice::None, "/s.sf2", ""},
      {all,
       {"--scale", "5", "--volume", "70", "--no-fullscreen", "--no-keep-scores", "--midi", "auto",
        "--soundfont", "t.sf2"},
       5, 70, false, false, MidiChoice::Auto, "t.sf2", ""},
      {"keep_scores = no\n", {"--keep-scores", "--fullscreen"}, 0, 80, true, true, MidiChoice::Auto, "", ""},
      {"scale = 2\nvolume = 101\n", {}, 2, 80, false, false, MidiChoice::Auto, "",
       "p.conf:2: volume takes a whole number from 0 to 100, not '101'"},
      {"volume = 20\nvolume = loud\n", {}, 0, 20, false, false, MidiChoice::Auto, "", "p.conf:2: volume"},
      {"\nkeep_scores = maybe\n", {}, 0, 80, false, false, MidiChoice::Auto, "",
       "p.conf:2: keep_scores takes yes or no, not 'maybe'"},
      {"midi = loud\n", {}, 0, 80, false, false, MidiChoice::Auto, "", "auto, fluidsynth or none"},
      {"scale = 0\n", {}, 0, 80, false, false, MidiChoice::Auto, "", "from 1 to 16"},
      {"volum = 3\n", {}, 0, 80, false, false, MidiChoice::Auto, "",
       "p.conf:1: unknown key 'volum'; the keys are scale, fullscreen, midi, soundfont, volume"},
      {"[sound]\nvolume = 3\n", {}, 0, 80, false, false, MidiChoice::Auto, "", "p.conf:2: "},
      {"scale 3\nvolume = 10\n", {}, 0, 10, false, false, MidiChoice::Auto, "", "p.conf:1: not 'key = value'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    Options o;
    std::ostringstream warn;
    apply_settings(c.file, "/c/p.conf", o, warn);
    ParseResult r = parse_command_line(c.args, o);
    ASSERT_FALSE(r.exit_code) << r.message;
    EXPECT_EQ(r.options.scale, c.scale);
    EXPECT_EQ(r.options.volume, c.volume);
    EXPECT_EQ(r.options.fullscreen, c.fullscreen);
    EXPECT_EQ(r.options.keep_scores, c.keep);
    EXPECT_EQ(r.options.midi, c.midi);
    EXPECT_EQ(r.options.soundfont.value_or(""), c.soundfont);
    std::string w = warn.str();
    if (*c.warning) {
      EXPECT_EQ(w.rfind("peakwend: /c/p.conf:", 0), 0u) << w;
      EXPECT_NE(w.find(c.warning), std::string::npos) << w;
      EXPECT_EQ(std::count(w.begin(), w.end(), '\n'), 1) << w;
    } else {
      EXPECT_EQ(w, "");
    }
  }
}

TEST(Settings, LinesLongerThanTheParserTakesAreIgnoredAndTheNextIsRead) {
  const std::string fits = "soundfont = /" + std::string(INI_MAX_LINE - 3 - 13, 'a');
  const std::string tail = "\r\nvolume = 5\n";
  const std::string warning = "peakwend: p.conf:1: longer than " + std::to_string(INI_MAX_LINE - 3) +
                              " characters (line ignored)\n";
  const struct {
    std::string text, soundfont, warning;
  } cases[] = {
      {fits + tail, fits.substr(12), ""},
      {fits + "a" + tail, "", warning},
      {"soundfont = /a" + std::string(INI_MAX_LINE, '\r') + tail, "", warning},
  };
  for (const auto& c : cases) {
    Options o;
    std::ostringstream warn;
    apply_settings(c.text, "p.conf", o, warn);
    EXPECT_EQ(o.volume, 5);
    EXPECT_EQ(o.soundfont.value_or(""), c.soundfont);
    EXPECT_EQ(warn.str(), c.warning);
  }
}

TEST(Settings, MissingFileMeansTheDefaultsAnUnreadableOneIsReported) {
  Options o;
  std::ostringstream warn;
  read_settings("/nonexistent/peakwend.conf", o, warn);
  EXPECT_EQ(warn.str(), "");
  EXPECT_EQ(o.volume, 80);
  EXPECT_FALSE(o.soundfont);
  for (const char* path : {"/etc/passwd/peakwend.conf", "/"}) {
    std::ostringstream w;
    read_settings(path, o, w);
    EXPECT_EQ(w.str().rfind(std::string("peakwend: cannot read ") + path, 0), 0u) << w.str();
  }
}

TEST(CommandLine, VolumeIsAWholeNumberFromZeroToAHundred) {
  for (const char* v : {"0", "100", "55"}) {
    auto r = parse_command_line({"--volume", v});
    ASSERT_FALSE(r.exit_code) << v;
    EXPECT_EQ(r.options.volume, std::stoi(v));
  }
  for (const char* v : {"-1", "101", "5.5", "x", ""}) {
    EXPECT_EQ(parse_command_line({"--volume", v}).exit_code, 2) << v;
  }
}

}  // namespace
}  // namespace app

// The command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/host_options.h"

namespace app {

enum class MidiChoice { Auto, FluidSynth, None };

struct Options {
  bool headless = false;
  std::optional<std::string> script_path;
  std::optional<std::string> trace_path;
  std::optional<std::string> soundfont;
  MidiChoice midi = MidiChoice::Auto;
  int scale = 0;
  bool fullscreen = false;
  int volume = platform::Volume::kDefault;  // 0..100
  bool keep_scores = false;
  std::optional<std::string> time;  // HH:MM:SS
  std::optional<std::string> date;  // YYYY-MM-DD
};

struct ParseResult {
  Options options;
  // Set when the program should stop at once: 0 after --help or --version,
  // 2 after a bad option; `message` goes to stdout (0) or stderr (2).
  std::optional<int> exit_code;
  std::string message;
};

// The command line over `base` (the settings file's options).
ParseResult parse_command_line(const std::vector<std::string>& args, Options base = {});
std::string usage();

// Values the command line and the settings file share; false when `text`
// is not one.
bool scale_value(const std::string& text, int* out);    // 1..16
bool volume_value(const std::string& text, int* out);   // 0..100
bool midi_value(const std::string& text, MidiChoice* out);

// The program's local clock at start from --time and --date, each part
// falling back to `now`. False with a message on a bad value.
bool start_time(const Options& o, const platform::LocalTime& now, platform::LocalTime* out,
                std::string* error);

}  // namespace app

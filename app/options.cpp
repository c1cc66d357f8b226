#include "app/options.h"

#include <charconv>
#include <cstdio>

#include "app/settings.h"

namespace app {

namespace {

bool to_int(const std::string& s, int* out) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
  return !s.empty() && ec == std::errc() && p == s.data() + s.size();
}

// Splits "a<sep>b<sep>c" into three numbers of the given widths.
bool three_fields(const std::string& s, char sep, int w0, int* a, int* b, int* c) {
  if (s.size() != static_cast<std::size_t>(w0 + 6) || s[w0] != sep || s[w0 + 3] != sep) return false;
  return to_int(s.substr(0, w0), a) && to_int(s.substr(w0 + 1, 2), b) && to_int(s.substr(w0 + 4, 2), c);
}

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

bool scale_value(const std::string& text, int* out) {
  int n = 0;
  if (!to_int(text, &n) || n < 1 || n > 16) return false;
  *out = n;
  return true;
}

bool volume_value(const std::string& text, int* out) {
  int n = 0;
  if (!to_int(text, &n) || n < 0 || n > 100) return false;
  *out = n;
  return true;
}

bool midi_value(const std::string& text, MidiChoice* out) {
  if (text == "auto") *out = MidiChoice::Auto;
  else if (text == "fluidsynth") *out = MidiChoice::FluidSynth;
  else if (text == "none") *out = MidiChoice::None;
  else return false;
  return true;
}

std::string usage() {
  return "usage: peakwend [options]\n"
         "  --scale N                 window scale (default: the largest that fits)\n"
         "  --fullscreen              start in fullscreen (F11 toggles; --no-fullscreen)\n"
         "  --midi auto|fluidsynth|none   notes through a synthesizer, or none\n"
         "  --soundfont FILE          General MIDI soundfont for the synthesizer\n"
         "  --volume N                sound level 0..100 (default 80; F7, F8 step it, F9 mutes)\n"
         "  --keep-scores             keep the Best 20 between runs (--no-keep-scores)\n"
         "  --time HH:MM:SS           the program's local clock at start\n"
         "  --date YYYY-MM-DD         the program's date at start\n"
         "  --headless                run without a window (needs --script)\n"
         "  --script FILE             drive the program from a script\n"
         "  --trace FILE              one CSV line per simulation step\n"
         "  --help, --version\n"
         "\n"
         "Settings file: " + settings_path() + "\n"
         "one 'key = value' a line, '#' or ';' for comments; the command line overrides it:\n" +
         settings_help();
}

ParseResult parse_command_line(const std::vector<std::string>& args, Options base) {
  ParseResult r;
  r.options = std::move(base);
  auto fail = [&](const std::string& why) {
    r.exit_code = 2;
    r.message = "peakwend: " + why + "\n" + "Try 'peakwend --help'.\n";
    return r;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= args.size() || args[i + 1].empty()) return false;
      *out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      r.exit_code = 0;
      r.message = usage();
      return r;
    } else if (a == "--version") {
      r.exit_code = 0;
      r.message = "peakwend " PEAKWEND_VERSION "\n";
      return r;
    } else if (a == "--headless") {
      r.options.headless = true;
    } else if (a == "--fullscreen" || a == "--no-fullscreen") {
      r.options.fullscreen = a == "--fullscreen";
    } else if (a == "--keep-scores" || a == "--no-keep-scores") {
      r.options.keep_scores = a == "--keep-scores";
    } else if (a == "--scale") {
      if (!value(&v) || !scale_value(v, &r.options.scale)) return fail("--scale needs a whole number from 1 to 16");
    } else if (a == "--volume") {
      if (!value(&v) || !volume_value(v, &r.options.volume)) return fail("--volume needs a whole number from 0 to 100");
    } else if (a == "--midi") {
      if (!value(&v)) return fail("--midi needs auto, fluidsynth or none");
      if (!midi_value(v, &r.options.midi)) return fail("--midi needs auto, fluidsynth or none, not '" + v + "'");
    } else if (a == "--soundfont") {
      if (!value(&v)) return fail("--soundfont needs a file");
      r.options.soundfont = v;
    } else if (a == "--time") {
      if (!value(&v)) return fail("--time needs HH:MM:SS");
      r.options.time = v;
    } else if (a == "--date") {
      if (!value(&v)) return fail("--date needs YYYY-MM-DD");
      r.options.date = v;
    } else if (a == "--script") {
      if (!value(&v)) return fail("--script needs a file");
      r.options.script_path = v;
    } else if (a == "--trace") {
      if (!value(&v)) return fail("--trace needs a file");
      r.options.trace_path = v;
    } else {
      return fail("unknown option '" + a + "'");
    }
  }
  platform::LocalTime probe;
  std::string why;
  if (!start_time(r.options, platform::LocalTime{}, &probe, &why)) return fail(why);
  return r;
}

bool start_time(const Options& o, const platform::LocalTime& now, platform::LocalTime* out,
                std::string* error) {
  platform::LocalTime t = now;
  if (o.time) {
    int h, m, s;
    if (!three_fields(*o.time, ':', 2, &h, &m, &s) || h > 23 || m > 59 || s > 59 || h < 0 || m < 0 || s < 0) {
      if (error) *error = "--time needs HH:MM:SS, not '" + *o.time + "'";
      return false;
    }
    t.hour = h, t.minute = m, t.second = s;
  }
  if (o.date) {
    int y, mo, d;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool ok = three_fields(*o.date, '-', 4, &y, &mo, &d) && y >= 1970 && y <= 9999 && mo >= 1 &&
              mo <= 12 && d >= 1 && d <= kDays[mo - 1] + (mo == 2 && leap(y) ? 1 : 0);
    if (!ok) {
      if (error) *error = "--date needs YYYY-MM-DD, not '" + *o.date + "'";
      return false;
    }
    t.year = y, t.month = mo, t.day = d;
  }
  *out = t;
  return true;
}

}  // namespace app

#include "app/settings.h"

#include <ini.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/xdg.h"

namespace app {

namespace {

bool yes_no(const std::string& v, bool* out) {
  if (v == "yes" || v == "true" || v == "on") *out = true;
  else if (v == "no" || v == "false" || v == "off") *out = false;
  else return false;
  return true;
}

std::string home_path(const std::string& v) {
  if (v.starts_with("~/")) {
    const char* home = std::getenv("HOME");
    if (home && *home) return home + v.substr(1);
  }
  return v;
}

struct Setting {
  const char* name;
  const char* accepts;
  bool (*apply)(const std::string& value, Options& o);
};

const Setting kSettings[] = {
    {"scale", "a whole number from 1 to 16",
     [](const std::string& v, Options& o) { return scale_value(v, &o.scale); }},
    {"fullscreen", "yes or no", [](const std::string& v, Options& o) { return yes_no(v, &o.fullscreen); }},
    {"midi", "auto, fluidsynth or none",
     [](const std::string& v, Options& o) { return midi_value(v, &o.midi); }},
    {"soundfont", "a soundfont file",
     [](const std::string& v, Options& o) {
       if (v.empty()) return false;
       o.soundfont = home_path(v);
       return true;
     }},
    {"volume", "a whole number from 0 to 100",
     [](const std::string& v, Options& o) { return volume_value(v, &o.volume); }},
    {"keep_scores", "yes or no",
     [](const std::string& v, Options& o) { return yes_no(v, &o.keep_scores); }},
};

std::string key_list() {
  std::string s;
  for (const Setting& k : kSettings) s += (s.empty() ? "" : ", ") + std::string(k.name);
  return s;
}

// Hands inih one line at a time and counts them, so that a warning can
// name the line.
struct Reading {
  std::string_view rest;
  int line = 0;
  const std::string& path;
  Options& options;
  std::ostream& warn;

  void say(const std::string& what) {
    warn << "peakwend: " << path << ":" << line << ": " << what << " (line ignored)\n";
  }
};

char* next_line(char* str, int size, void* stream) {
  auto* r = static_cast<Reading*>(stream);
  if (r->rest.empty()) return nullptr;
  std::size_t end = r->rest.find('\n');
  std::size_t len = end == std::string_view::npos ? r->rest.size() : end + 1;
  std::string_view line = r->rest.substr(0, len);
  r->rest.remove_prefix(len);
  ++r->line;
  // inih keeps room for "\r\n" and the terminating zero.
  std::string_view text = line;
  if (text.ends_with('\n')) text.remove_suffix(1);
  if (text.ends_with('\r')) text.remove_suffix(1);
  if (text.size() + 3 > static_cast<std::size_t>(size)) {
    r->say("longer than " + std::to_string(size - 3) + " characters");
    line = "\n";
  }
  std::memcpy(str, line.data(), line.size());
  str[line.size()] = '\0';
  return str;
}

int on_setting(void* user, const char* section, const char* name, const char* value) {
  auto* r = static_cast<Reading*>(user);
  if (*section) {
    r->say("settings come before any [section], not under [" + std::string(section) + "]");
    return 1;
  }
  for (const Setting& k : kSettings) {
    if (name != std::string_view(k.name)) continue;
    // A bad value leaves the option as it was.
    if (!k.apply(value, r->options)) {
      r->say(std::string(k.name) + " takes " + k.accepts + ", not '" + value + "'");
    }
    return 1;
  }
  r->say("unknown key '" + std::string(name) + "'; the keys are " + key_list());
  return 1;
}

}  // namespace

std::string settings_path() {
  return platform::xdg_base("XDG_CONFIG_HOME", ".config") + "/peakwend/peakwend.conf";
}

std::string settings_help() {
  std::string s;
  for (const Setting& k : kSettings) s += "  " + std::string(k.name) + " = " + k.accepts + "\n";
  return s;
}

void apply_settings(const std::string& text, const std::string& path, Options& options,
                    std::ostream& warn) {
  Reading r{text, 0, path, options, warn};
  // Lines inih cannot read as "key = value" reach no handler: it names the first.
  int bad = ini_parse_stream(&next_line, &r, &on_setting, &r);
  if (bad > 0) {
    r.line = bad;
    r.say("not 'key = value'");
  }
}

void read_settings(const std::string& path, Options& options, std::ostream& warn) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    if (errno != ENOENT) warn << "peakwend: cannot read " << path << ": " << std::strerror(errno) << "\n";
    return;
  }
  std::string text;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) {
    warn << "peakwend: cannot read " << path << "\n";
    return;
  }
  apply_settings(text, path, options, warn);
}

}  // namespace app

#include "runtime/form.h"

#include <charconv>

namespace rt {

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool to_int(std::string_view s, int* out) {
  s = trim(s);
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
  return !s.empty() && ec == std::errc() && p == s.data() + s.size();
}

bool two_ints(std::string_view s, int* a, int* b) {
  s = trim(s);
  std::size_t sp = s.find_first_of(" \t");
  if (sp == std::string_view::npos) return false;
  return to_int(s.substr(0, sp), a) && to_int(s.substr(sp), b);
}

}  // namespace

// Format: "key = value" lines, '#' comments. Keys: form, icon, caption,
// position (x y), size (outer width height), font, charset, event (repeated).
std::optional<Form> parse_form(std::string_view text, std::string* error) {
  Form f;
  bool have_pos = false, have_size = false, have_charset = false;
  int line_no = 0;
  auto bad = [&](const std::string& why) {
    if (error) *error = "form line " + std::to_string(line_no) + ": " + why;
    return std::nullopt;
  };
  while (!text.empty()) {
    ++line_no;
    std::size_t nl = text.find('\n');
    std::string_view line = trim(text.substr(0, nl));
    text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
    if (line.empty() || line.front() == '#') continue;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return bad("expected key = value");
    std::string_view key = trim(line.substr(0, eq));
    std::string_view value = trim(line.substr(eq + 1));
    if (value.empty()) return bad("empty value for " + std::string(key));
    if (key == "form") {
      f.name = value;
    } else if (key == "icon") {
      f.icon = value;
    } else if (key == "caption") {
      f.caption = value;
    } else if (key == "position") {
      if (!two_ints(value, &f.x, &f.y)) return bad("position needs two numbers");
      have_pos = true;
    } else if (key == "size") {
      if (!two_ints(value, &f.outer_width, &f.outer_height)) return bad("size needs two numbers");
      have_size = true;
    } else if (key == "font") {
      f.font = value;
    } else if (key == "charset") {
      if (!to_int(value, &f.charset) || f.charset < 0 || f.charset > 255) return bad("bad charset");
      have_charset = true;
    } else if (key == "event") {
      f.events.emplace_back(value);
    } else {
      return bad("unknown key " + std::string(key));
    }
  }
  ++line_no;
  if (f.name.empty()) return bad("no form name");
  if (f.caption.empty()) return bad("no caption");
  if (!have_pos || !have_size || !have_charset || f.font.empty()) return bad("incomplete form");
  if (f.client_width() < 1 || f.client_height() < 1 || f.outer_width > 16384 || f.outer_height > 16384)
    return bad("window size out of range");
  return f;
}

}  // namespace rt

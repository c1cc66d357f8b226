#include "runtime/input.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "platform/sjis.h"
#include "runtime/runtime.h"

namespace rt {

namespace {

using platform::Event;
using platform::Key;

constexpr std::uint8_t kShiftHeld = 1;
constexpr std::uint8_t kCtrlHeld = 2;

// What a poll asked, so that the frame can tell a waiting program.
constexpr std::uint32_t kAskKey = 0x100;
constexpr std::uint32_t kAskMouse = 0x200;
constexpr std::uint32_t kAskButton = 0x300;
constexpr std::uint32_t kAskLine = 0x400;

constexpr std::size_t kMaxLibArgs = 16;

int clamp16(long v) {
  return static_cast<int>(std::clamp(v, -32768L, 32767L));
}

std::string upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return u;
}

bool is_trail(std::uint8_t b) {
  return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// Byte length of the character that starts at `s[i]`.
std::size_t char_length(std::string_view s, std::size_t i) {
  auto b = static_cast<std::uint8_t>(s[i]);
  return platform::is_sjis_lead(b) && i + 1 < s.size() ? 2 : 1;
}

std::string_view trim_spaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// Splits a typed line into fields at commas outside double quotes (or not
// at all). A quoted field gives what stands between the quotes, an unquoted
// one loses its surrounding spaces. False when text follows a closing quote.
bool split_fields(std::string_view line, bool at_commas, std::vector<std::string>* out) {
  out->clear();
  std::size_t i = 0;
  for (;;) {
    while (i < line.size() && line[i] == ' ') ++i;
    if (i < line.size() && line[i] == '"') {
      std::size_t close = line.find('"', i + 1);
      if (close == std::string_view::npos) close = line.size();
      out->emplace_back(line.substr(i + 1, close - i - 1));
      i = std::min(close + 1, line.size());
      while (i < line.size() && line[i] == ' ') ++i;
      if (i < line.size() && !(at_commas && line[i] == ',')) return false;
    } else {
      std::size_t end = at_commas ? line.find(',', i) : std::string_view::npos;
      if (end == std::string_view::npos) end = line.size();
      out->emplace_back(trim_spaces(line.substr(i, end - i)));
      i = end;
    }
    if (i >= line.size()) return true;
    ++i;  // the comma
  }
}

// A typed number: an optional sign, digits with at most one point, and an
// optional exponent (E or D). An empty field is 0.
bool parse_number(std::string_view s, double* out) {
  s = trim_spaces(s);
  if (s.empty()) {
    *out = 0.0;
    return true;
  }
  std::string t(s);
  std::size_t i = 0;
  if (t[i] == '+' || t[i] == '-') ++i;
  std::size_t digits = 0;
  bool point = false;
  for (; i < t.size(); ++i) {
    if (t[i] >= '0' && t[i] <= '9') {
      ++digits;
    } else if (t[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
    t[i] = 'E';
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t exp_digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++exp_digits;
    if (exp_digits == 0) return false;
  }
  if (i != t.size()) return false;
  double v = std::strtod(t.c_str(), nullptr);
  if (!std::isfinite(v) || std::fabs(v) > FLT_MAX) return false;
  *out = v;
  return true;
}

const std::string& retry_text() {
  static const std::string text = platform::utf8_to_sjis("もう一度入力してください") + "\r\n";
  return text;
}

}  // namespace

std::optional<std::vector<InputField>> convert_input_line(std::string_view line,
                                                          std::span<const InputKind> kinds) {
  std::vector<InputField> out(kinds.size());
  if (kinds.empty()) return out;
  bool whole = kinds.size() == 1 && kinds[0] == InputKind::Text;
  std::vector<std::string> fields;
  if (!split_fields(line, !whole, &fields) || fields.size() != kinds.size()) return std::nullopt;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    if (kinds[i] == InputKind::Number) {
      if (!parse_number(fields[i], &out[i].number)) return std::nullopt;
    } else {
      out[i].text = std::move(fields[i]);
    }
  }
  return out;
}

void InputTarget::store_text(std::string_view sjis) const {
  if (text_) {
    text_->assign(sjis);
    return;
  }
  // Fixed length: whole characters that fit, then spaces.
  std::size_t n = 0;
  while (n < sjis.size()) {
    std::size_t len = char_length(sjis, n);
    if (n + len > length_) break;
    n += len;
  }
  std::copy_n(sjis.begin(), n, fixed_);
  std::fill(fixed_ + n, fixed_ + length_, ' ');
}

LibArg::LibArg(double v) {
  double r = std::round(v);  // half away from zero
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw RtError(6, location(Op::LibCall, 1));
  value_ = static_cast<std::uint32_t>(static_cast<std::int32_t>(r));
}

Input::Input() = default;
Input::~Input() = default;

void Input::start_input() {
  clear_key_buffer();
  shift_state_ = 0;
}

// ---- keys ----

void Input::push_key(std::uint8_t code) {
  if (static_cast<std::uint8_t>(key_write_ + 1) == key_read_) {
    rt().host().beep();  // full: the key is dropped
    return;
  }
  keys_[key_write_++] = code;
}

int Input::take_key() {
  if (key_read_ == key_write_) return -1;
  return keys_[key_read_++];
}

void Input::clear_key_buffer() {
  key_read_ = key_write_ = 0;
}

void Input::key_down(const Event& e) {
  bool shift = e.shift || (shift_state_ & kShiftHeld);
  bool ctrl = e.ctrl || (shift_state_ & kCtrlHeld);
  switch (e.key) {
    case Key::Shift:
      shift_state_ |= kShiftHeld;
      return;
    case Key::Ctrl:
      shift_state_ |= kCtrlHeld;
      return;
    case Key::Enter:
      push_key(ctrl ? 10 : 13);
      return;
    case Key::Execute:
      push_key(13);
      return;
    case Key::Backspace:
      push_key(ctrl ? 127 : 8);
      return;
    case Key::Tab:
      push_key(9);
      return;
    case Key::Escape:
      push_key(27);
      return;
    case Key::Right:
      push_key(28);
      return;
    case Key::Left:
      push_key(29);
      return;
    case Key::Up:
      push_key(30);
      return;
    case Key::Down:
      push_key(31);
      return;
    case Key::Home:
      push_key(shift ? 12 : 11);
      return;
    case Key::Clear:
      push_key(12);
      return;
    case Key::PageUp:
      push_key(19);
      return;
    case Key::PageDown:
      push_key(20);
      return;
    case Key::End:
      push_key(21);
      return;
    case Key::Insert:
      push_key(18);
      return;
    case Key::Delete:
      push_key(kDelete);
      return;
    case Key::Char:
      // Characters come as text; with Ctrl held a letter gives its control code.
      if (ctrl && !e.alt) {
        char32_t c = e.ch;
        if (c >= U'A' && c <= U'Z') c += U'a' - U'A';
        if ((c >= U'a' && c <= U'z') || c == U'[' || c == U'\\' || c == U']') {
          push_key(static_cast<std::uint8_t>(c & 0x1F));
        }
      }
      return;
    default:
      // Space arrives as text; function keys have no text assigned.
      return;
  }
}

void Input::on_input_event(const Event& e) {
  switch (e.type) {
    case Event::Type::Text:
      for (char c : platform::utf8_to_sjis(e.text)) push_key(static_cast<std::uint8_t>(c));
      break;
    case Event::Type::KeyDown:
      key_down(e);
      break;
    case Event::Type::KeyUp:
      if (e.key == Key::Shift) shift_state_ &= static_cast<std::uint8_t>(~kShiftHeld);
      if (e.key == Key::Ctrl) shift_state_ &= static_cast<std::uint8_t>(~kCtrlHeld);
      break;
    case Event::Type::MouseMove:
    case Event::Type::MouseDown:
    case Event::Type::MouseUp:
    case Event::Type::MouseDoubleClick:
      mouse_event(e);
      break;
    default:
      break;
  }
}

std::string Input::INKEY(int window) {
  rt().check_window(window, Op::Inkey);
  int k = take_key();
  rt().note_poll(kAskKey, k);
  if (k < 0) return {};
  if (k == kUserBreak) rt().user_break();
  if (k == kDelete) k = 127;
  return std::string(1, static_cast<char>(k));
}

int Input::ASC(std::string_view s) {
  if (s.empty()) throw RtError(5, location(Op::Asc, 1));
  return static_cast<std::uint8_t>(s[0]);
}

// ---- INPUT ----

void Input::INPUT(int window, int prompt_mode, std::string_view prompt,
                  std::initializer_list<InputTarget> targets) {
  rt().check_window(window, Op::Input);
  if (prompt_mode < 0 || prompt_mode > 2) throw RtError(5, location(Op::Input, 1));
  for (;;) {
    if (prompt_mode == 0) {
      rt().write_text("? ");
    } else {
      std::string p(prompt);
      if (prompt_mode == 1) p += "? ";
      rt().write_text(p);
    }
    std::string line = read_line();
    if (assign_line(line, targets)) return;
    rt().write_text(retry_text());
  }
}

std::string Input::read_line() {
  std::string line;
  // Where each typed character ends on the screen, so that Backspace can
  // blank exactly its cells: the row counted with the lines scrolled so far
  // (it moves up as the text scrolls), and the column.
  std::vector<std::pair<std::int64_t, int>> ends;
  for (;;) {
    rt().pump_messages();  // a closed window ends the program here
    int k = take_key();
    if (k < 0) {
      rt().note_poll(kAskLine, static_cast<std::int64_t>(line.size()));
      continue;
    }
    if (k == kUserBreak) rt().user_break();
    if (k == 13) {
      rt().write_text("\r\n");
      return line;
    }
    if (k == 8) {
      if (line.empty()) continue;
      std::size_t start = 0;
      for (std::size_t i = 0; i < line.size(); i += char_length(line, i)) start = i;
      int width = static_cast<int>(line.size() - start);
      line.resize(start);
      auto [counted_row, col] = ends.back();
      ends.pop_back();
      auto row = static_cast<int>(counted_row - rt().scrolled_lines());
      if (row >= 0 && col - width >= 0) {
        rt().LOCATE(0, col - width, row);
        rt().write_text(std::string(static_cast<std::size_t>(width), ' '));
        rt().LOCATE(0, col - width, row);
      }
      continue;
    }
    if (k < 0x20 || k == 0x7F || k == kDelete) continue;  // cursor and control keys
    std::string ch(1, static_cast<char>(k));
    if (platform::is_sjis_lead(static_cast<std::uint8_t>(k))) {
      // The trail byte came with it, unless the buffer overflowed.
      if (key_read_ == key_write_ || !is_trail(keys_[key_read_])) continue;
      ch += static_cast<char>(take_key());
    }
    if (line.size() + ch.size() > kLineLimit) {
      rt().host().beep();
      continue;
    }
    line += ch;
    rt().write_text(ch);
    ends.emplace_back(rt().cursor_row() + rt().scrolled_lines(), rt().cursor_column());
  }
}

bool Input::assign_line(std::string_view line, std::initializer_list<InputTarget> targets) {
  std::vector<InputKind> kinds;
  kinds.reserve(targets.size());
  for (const InputTarget& t : targets) {
    kinds.push_back(t.is_number() ? InputKind::Number : InputKind::Text);
  }
  auto fields = convert_input_line(line, kinds);
  if (!fields) return false;
  std::size_t i = 0;
  for (const InputTarget& t : targets) {
    const InputField& f = (*fields)[i++];
    if (t.is_number()) {
      t.store_number(static_cast<float>(f.number));
    } else {
      t.store_text(f.text);
    }
  }
  return true;
}

// ---- mouse ----

void Input::mouse_event(const Event& e) {
  // Scripts press and release "where the pointer is": (-1, -1).
  bool here = e.x == -1 && e.y == -1 && e.type != Event::Type::MouseMove;
  if (!here) {
    mouse_x_ = clamp16(e.x);
    mouse_y_ = clamp16(e.y);
  }
  if (e.type == Event::Type::MouseMove) return;
  Button& b = buttons_[e.button == platform::MouseButton::Right ? 1 : 0];
  auto count = [](int& c) { c = std::min(c + 1, 32767); };
  switch (e.type) {
    case Event::Type::MouseDown:
      b.down = true;
      count(b.presses);
      b.press_x = mouse_x_;
      b.press_y = mouse_y_;
      break;
    case Event::Type::MouseUp:
      b.down = false;
      count(b.releases);
      b.release_x = mouse_x_;
      b.release_y = mouse_y_;
      break;
    case Event::Type::MouseDoubleClick:
      count(b.doubles);
      b.double_x = mouse_x_;
      b.double_y = mouse_y_;
      break;
    default:
      break;
  }
}

int Input::MOUSE(int window, int n) {
  rt().check_window(window, Op::Mouse);
  int v = 0;
  switch (n) {
    case 0:
      v = mouse_x_;
      break;
    case 1:
      v = mouse_y_;
      break;
    case 9:
      v = clamp16(static_cast<long>(mouse_x_) - moved_from_x_);
      moved_from_x_ = mouse_x_;
      break;
    case 10:
      v = clamp16(static_cast<long>(mouse_y_) - moved_from_y_);
      moved_from_y_ = mouse_y_;
      break;
    default:
      throw RtError(5, location(Op::Mouse, 1));
  }
  rt().note_poll(kAskMouse + static_cast<std::uint32_t>(n), v);
  return v;
}

int Input::MOUSE(int window, int n, int button) {
  rt().check_window(window, Op::MouseButton);
  if (button != 0 && button != 1) throw RtError(5, location(Op::MouseButton, 1));
  Button& b = buttons_[static_cast<std::size_t>(button)];
  int v = 0;
  switch (n) {
    case 2:
      v = b.down ? -1 : 0;
      break;
    case 3:
      v = std::exchange(b.presses, 0);
      break;
    case 4:
      v = b.press_x;
      break;
    case 5:
      v = b.press_y;
      break;
    case 6:
      v = std::exchange(b.releases, 0);
      break;
    case 7:
      v = b.release_x;
      break;
    case 8:
      v = b.release_y;
      break;
    case 11:
      v = std::exchange(b.doubles, 0);
      break;
    case 12:
      v = b.double_x;
      break;
    case 13:
      v = b.double_y;
      break;
    default:
      throw RtError(5, location(Op::MouseButton, 2));
  }
  rt().note_poll(kAskButton + static_cast<std::uint32_t>(n * 2 + button), v);
  return v;
}

// ---- clock, random numbers, beep ----

std::string Input::TIME() {
  platform::LocalTime t = rt().host().local_time();
  char s[16];
  std::snprintf(s, sizeof s, "%02u:%02u:%02u", static_cast<unsigned>(t.hour) % 100,
                static_cast<unsigned>(t.minute) % 100, static_cast<unsigned>(t.second) % 100);
  return s;
}

std::string Input::DATE(std::string_view format) {
  platform::LocalTime t = rt().host().local_time();
  auto two = [](int v) {
    char s[8];
    std::snprintf(s, sizeof s, "%02d", v % 100);
    return std::string(s);
  };
  if (format.empty()) return two(t.year % 100) + "/" + two(t.month) + "/" + two(t.day);
  // YYYY, YY, MM and DD are replaced; double-byte characters are copied whole.
  std::string out;
  auto at = [&](std::size_t i, std::string_view word) {
    return upper(format.substr(i, word.size())) == word;
  };
  for (std::size_t i = 0; i < format.size();) {
    if (platform::is_sjis_lead(static_cast<std::uint8_t>(format[i])) && i + 1 < format.size()) {
      out.append(format.substr(i, 2));
      i += 2;
    } else if (at(i, "YYYY")) {
      char s[8];
      std::snprintf(s, sizeof s, "%04d", t.year % 10000);
      out += s;
      i += 4;
    } else if (at(i, "YY")) {
      out += two(t.year % 100);
      i += 2;
    } else if (at(i, "MM")) {
      out += two(t.month);
      i += 2;
    } else if (at(i, "DD")) {
      out += two(t.day);
      i += 2;
    } else {
      out += format[i++];
    }
  }
  return out;
}

Single Input::RND(double x) {
  auto advance = [this] { random_state_ = random_state_ * 2058568021u + 1276750819u; };
  if (x < 0) {
    float f = x < -FLT_MAX ? -INFINITY : static_cast<float>(x);
    auto bits = std::bit_cast<std::uint32_t>(f);
    random_state_ = (bits << 16) | (bits >> 16);
  }
  if (x != 0) advance();
  for (;;) {
    std::uint32_t f = (random_state_ >> 9) & 0x7FFFFFu;
    if (f != 0) return Single(f / 8388608.0);
    advance();  // 0 is never returned
  }
}

void Input::RANDOMIZE(std::int32_t seed) {
  random_state_ ^= static_cast<std::uint32_t>(seed);
}

void Input::BEEP() {
  rt().host().beep();
}

// ---- library calls ----

platform::SystemLibraries& Input::libraries() {
  if (!system_) system_ = std::make_unique<platform::SystemLibraries>(rt().host());
  return *system_;
}

std::int32_t Input::call_library(std::string_view library, std::string_view function,
                                 std::span<const LibArg> args) {
  platform::SystemLibraries& system = libraries();
  std::string name = upper(library);
  auto it = std::find_if(libraries_.begin(), libraries_.end(),
                         [&](const Library& l) { return l.name == name; });
  platform::ProcHandle proc = 0;
  if (it == libraries_.end()) {
    platform::LibraryHandle h = system.load(library);
    if (!h) throw RtError(5, location(Op::LibCall, 2));
    proc = system.find(h, function);
    if (!proc) {
      system.free(h);
      throw RtError(5, location(Op::LibCall, 3));
    }
    try {
      libraries_.push_back({h, std::move(name)});
    } catch (const std::bad_alloc&) {
      system.free(h);
      throw RtError(7, location(Op::LibCall, 4));
    }
  } else {
    proc = system.find(it->handle, function);
    if (!proc) throw RtError(5, location(Op::LibCall, 3));
  }
  if (args.size() > kMaxLibArgs) throw RtError(5, location(Op::LibCall, 5));
  std::array<platform::CallArg, kMaxLibArgs> list{};
  for (std::size_t i = 0; i < args.size(); ++i) list[i] = args[i].arg();
  auto result = system.call(proc, std::span<const platform::CallArg>(list.data(), args.size()));
  if (!result) throw RtError(5, location(Op::LibCall, 5));
  return static_cast<std::int32_t>(*result);
}

}  // namespace rt

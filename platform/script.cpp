#include "platform/script.h"

#include <charconv>
#include <cstdio>
#include <iostream>

#include "platform/sjis.h"

namespace platform {

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Splits off the first space-separated word of `s`.
std::string_view next_word(std::string_view& s) {
  s = trim(s);
  std::size_t end = s.find_first_of(" \t");
  std::string_view word = s.substr(0, end);
  s = end == std::string_view::npos ? std::string_view{} : s.substr(end);
  return word;
}

bool parse_int(std::string_view s, int* out) {
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
  return ec == std::errc() && p == s.data() + s.size();
}

// Decodes exactly one UTF-8 character; false if `s` is not one character.
bool single_char(std::string_view s, char32_t* out) {
  std::u32string u = utf8_to_utf32(s);
  if (u.size() != 1 || u[0] == 0xFFFD) return false;
  *out = u[0];
  return true;
}

struct KeyWord {
  const char* name;
  Key key;
};
constexpr KeyWord kKeyWords[] = {
    {"Enter", Key::Enter},     {"Up", Key::Up},           {"Down", Key::Down},
    {"Left", Key::Left},       {"Right", Key::Right},     {"Esc", Key::Escape},
    {"Space", Key::Space},     {"Backspace", Key::Backspace}, {"Delete", Key::Delete},
    {"Home", Key::Home},       {"End", Key::End},         {"PageUp", Key::PageUp},
    {"PageDown", Key::PageDown}, {"Insert", Key::Insert}, {"Tab", Key::Tab},
    {"F1", Key::F1},   {"F2", Key::F2},   {"F3", Key::F3},   {"F4", Key::F4},
    {"F5", Key::F5},   {"F6", Key::F6},   {"F7", Key::F7},   {"F8", Key::F8},
    {"F9", Key::F9},   {"F10", Key::F10}, {"F11", Key::F11}, {"F12", Key::F12},
};

bool parse_button(std::string_view s, MouseButton* out) {
  if (s == "left") *out = MouseButton::Left;
  else if (s == "right") *out = MouseButton::Right;
  else return false;
  return true;
}

}  // namespace

std::string key_name(Key key) {
  for (const KeyWord& k : kKeyWords) {
    if (k.key == key) return k.name;
  }
  return "key";
}

bool parse_key_name(std::string_view name, ScriptCommand* out) {
  out->key = Key::None;
  out->ch = 0;
  out->ctrl = false;
  if (name.size() > 5 && name.substr(0, 5) == "Ctrl+") {
    std::string_view rest = name.substr(5);
    if (rest.size() == 1 && ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z'))) {
      out->key = Key::Char;
      out->ch = static_cast<char32_t>(rest[0] | 0x20);
      out->ctrl = true;
      return true;
    }
    return false;
  }
  for (const KeyWord& k : kKeyWords) {
    if (name == k.name) {
      out->key = k.key;
      return true;
    }
  }
  char32_t c = 0;
  if (single_char(name, &c) && c > 0x20 && c != 0x7F) {
    out->key = Key::Char;
    out->ch = c;
    return true;
  }
  return false;
}

std::optional<std::vector<ScriptCommand>> parse_script(std::string_view text, std::string* error) {
  std::vector<ScriptCommand> out;
  int line_no = 0;
  while (!text.empty() || line_no == 0) {
    ++line_no;
    std::size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
    std::string_view rest = trim(line);
    if (rest.empty() || rest.front() == '#') {
      if (text.empty()) break;
      continue;
    }
    auto bad = [&](const std::string& why) {
      if (error) *error = "line " + std::to_string(line_no) + ": " + why + ": " + std::string(trim(line));
      return std::nullopt;
    };
    ScriptCommand cmd;
    cmd.line = line_no;
    std::string_view word = next_word(rest);
    auto ints = [&](int n) {
      int* slots[] = {&cmd.a, &cmd.b, &cmd.c, &cmd.d};
      for (int i = 0; i < n; ++i) {
        if (!parse_int(next_word(rest), slots[i])) return false;
      }
      return true;
    };
    auto no_more = [&] { return trim(rest).empty(); };
    if (word == "wait") {
      cmd.op = ScriptCommand::Op::Wait;
      if (!ints(1) || cmd.a < 0 || !no_more()) return bad("expected: wait MS");
    } else if (word == "idle") {
      cmd.op = ScriptCommand::Op::Idle;
      if (!no_more()) return bad("expected: idle");
    } else if (word == "key") {
      cmd.op = ScriptCommand::Op::Key;
      std::string_view name = next_word(rest);
      if (!no_more() || !parse_key_name(name, &cmd)) return bad("unknown key");
    } else if (word == "type") {
      cmd.op = ScriptCommand::Op::Type;
      std::string_view t = trim(rest);
      if (t.empty()) return bad("expected: type TEXT");
      if (!valid_utf8(t)) return bad("text is not UTF-8");
      cmd.arg = std::string(t);
    } else if (word == "move") {
      cmd.op = ScriptCommand::Op::Move;
      if (!ints(2) || !no_more()) return bad("expected: move X Y");
    } else if (word == "press" || word == "release") {
      cmd.op = word == "press" ? ScriptCommand::Op::Press : ScriptCommand::Op::Release;
      if (!parse_button(next_word(rest), &cmd.button) || !no_more())
        return bad("expected: " + std::string(word) + " left|right");
    } else if (word == "click") {
      cmd.op = ScriptCommand::Op::Click;
      if (!ints(2)) return bad("expected: click X Y [left|right]");
      std::string_view b = next_word(rest);
      if (!b.empty() && !parse_button(b, &cmd.button)) return bad("expected: click X Y [left|right]");
      if (!no_more()) return bad("expected: click X Y [left|right]");
    } else if (word == "drag") {
      cmd.op = ScriptCommand::Op::Drag;
      if (!ints(4) || !no_more()) return bad("expected: drag X0 Y0 X1 Y1");
    } else if (word == "shot" || word == "text" || word == "layout") {
      cmd.op = word == "shot"   ? ScriptCommand::Op::Shot
               : word == "text" ? ScriptCommand::Op::Text
                                : ScriptCommand::Op::Layout;
      std::string_view file = trim(rest);
      if (file.empty()) return bad("expected: " + std::string(word) + " FILE");
      cmd.arg = std::string(file);
    } else if (word == "expect") {
      cmd.op = ScriptCommand::Op::Expect;
      if (!ints(2)) return bad("expected: expect ROW COL TEXT");
      // The text starts after exactly one separating space and may hold spaces.
      std::string_view t = rest;
      if (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
      while (!t.empty() && (t.back() == '\r')) t.remove_suffix(1);
      if (t.empty() || !valid_utf8(t)) return bad("expected: expect ROW COL TEXT");
      if (cmd.a < 0 || cmd.a > 27 || cmd.b < 0 || cmd.b > 79) return bad("row or column outside the grid");
      cmd.arg = std::string(t);
    } else if (word == "close") {
      cmd.op = ScriptCommand::Op::Close;
      if (!no_more()) return bad("expected: close");
    } else {
      return bad("unknown command");
    }
    out.push_back(std::move(cmd));
    if (text.empty()) break;
  }
  return out;
}

ScriptRunner::ScriptRunner(std::vector<ScriptCommand> commands) : commands_(std::move(commands)) {}

void ScriptRunner::note_idle() {
  idle_fresh_ = true;
  idle_since_input_ = true;
  settled_ = true;
}

void ScriptRunner::fail(const ScriptCommand& cmd, const std::string& message) {
  std::cerr << "script line " << cmd.line << ": " << message << "\n";
  if (!failure_code_) failure_code_ = 1;
}

std::vector<std::vector<Event>> input_primitives(const ScriptCommand& cmd) {
  using T = Event::Type;
  using Op = ScriptCommand::Op;
  auto mouse = [](T t, int x, int y, MouseButton b) {
    Event e;
    e.type = t;
    e.x = x;
    e.y = y;
    e.button = b;
    return e;
  };
  auto ctrl_key = [](T t) {
    Event e;
    e.type = t;
    e.key = Key::Ctrl;
    e.ctrl = t == T::KeyDown;
    return e;
  };
  std::vector<std::vector<Event>> groups;
  switch (cmd.op) {
    case Op::Key: {
      std::vector<Event> g;
      if (cmd.ctrl) g.push_back(ctrl_key(T::KeyDown));
      Event down;
      down.type = T::KeyDown;
      down.key = cmd.key;
      down.ch = cmd.ch;
      down.ctrl = cmd.ctrl;
      g.push_back(down);
      if (!cmd.ctrl && (cmd.key == Key::Char || cmd.key == Key::Space)) {
        Event text;
        text.type = T::Text;
        text.text = cmd.key == Key::Space ? std::string(" ")
                                          : utf32_to_utf8(std::u32string(1, cmd.ch));
        g.push_back(text);
      }
      Event up = down;
      up.type = T::KeyUp;
      g.push_back(up);
      if (cmd.ctrl) g.push_back(ctrl_key(T::KeyUp));
      groups.push_back(std::move(g));
      break;
    }
    case Op::Type: {
      std::vector<Event> g;
      for (char32_t ch : utf8_to_utf32(cmd.arg)) {
        Event down;
        down.type = T::KeyDown;
        down.key = ch == U' ' ? Key::Space : Key::Char;
        down.ch = ch;
        g.push_back(down);
        Event text;
        text.type = T::Text;
        text.text = utf32_to_utf8(std::u32string(1, ch));
        g.push_back(text);
        Event up = down;
        up.type = T::KeyUp;
        g.push_back(up);
      }
      groups.push_back(std::move(g));
      break;
    }
    case Op::Move:
      groups.push_back({mouse(T::MouseMove, cmd.a, cmd.b, cmd.button)});
      break;
    case Op::Press:
      groups.push_back({mouse(T::MouseDown, -1, -1, cmd.button)});
      break;
    case Op::Release:
      groups.push_back({mouse(T::MouseUp, -1, -1, cmd.button)});
      break;
    case Op::Click:
      groups.push_back({mouse(T::MouseMove, cmd.a, cmd.b, cmd.button)});
      groups.push_back({mouse(T::MouseDown, cmd.a, cmd.b, cmd.button)});
      groups.push_back({mouse(T::MouseUp, cmd.a, cmd.b, cmd.button)});
      break;
    case Op::Drag:
      groups.push_back({mouse(T::MouseMove, cmd.a, cmd.b, MouseButton::Left)});
      groups.push_back({mouse(T::MouseDown, cmd.a, cmd.b, MouseButton::Left)});
      groups.push_back({mouse(T::MouseMove, cmd.c, cmd.d, MouseButton::Left)});
      groups.push_back({mouse(T::MouseUp, cmd.c, cmd.d, MouseButton::Left)});
      break;
    default:
      break;
  }
  return groups;
}


void ScriptRunner::step(std::uint32_t now, const Surface& picture, std::vector<Event>& out) {
  while (!failure_code_ && next_ < commands_.size()) {
    const ScriptCommand& cmd = commands_[next_];
    using Op = ScriptCommand::Op;
    bool done = true;
    bool snapshot = cmd.op == Op::Shot || cmd.op == Op::Text || cmd.op == Op::Layout ||
                    cmd.op == Op::Expect;
    // Not before the program has taken the last input and looked for more.
    if (snapshot && !settled_) return;
    switch (cmd.op) {
      case Op::Wait: {
        bool began = !deadline_;
        if (began) deadline_ = now + static_cast<std::uint32_t>(cmd.a);
        done = static_cast<std::int32_t>(now - *deadline_) >= 0;
        if (done) {
          deadline_.reset();
          // Only a wait that let the program run settles the last input.
          if (!began) settled_ = true;
        }
        break;
      }
      case Op::Idle:
        if (!expanded_) {
          idle_fresh_ = false;
          expanded_ = true;
        }
        done = idle_fresh_;
        break;
      case Op::Key:
      case Op::Type:
      case Op::Move:
      case Op::Press:
      case Op::Release:
      case Op::Click:
      case Op::Drag:
        if (!expanded_) {
          pending_ = input_primitives(cmd);
          pending_next_ = 0;
          expanded_ = true;
        }
        // One primitive per idle: the program must have looked in between.
        if (pending_next_ < pending_.size() && idle_since_input_) {
          for (Event e : pending_[pending_next_]) out.push_back(std::move(e));
          ++pending_next_;
          idle_since_input_ = false;
          input_sent_ = true;
          idle_fresh_ = false;
          settled_ = false;
        }
        done = pending_next_ >= pending_.size();
        break;
      case Op::Shot: {
        std::string err;
        if (!save_png(picture, cmd.arg, &err)) fail(cmd, err);
        break;
      }
      case Op::Text:
      case Op::Layout:
      case Op::Expect: {
        std::string err = "this command needs the running program";
        bool ok = false;
        if (hooks_) {
          ok = cmd.op == Op::Text     ? hooks_->save_text(cmd.arg, &err)
               : cmd.op == Op::Layout ? hooks_->save_layout(cmd.arg, &err)
                                      : hooks_->expect_text(cmd.a, cmd.b, cmd.arg, &err);
        }
        if (!ok) fail(cmd, err);
        break;
      }
      case Op::Close: {
        Event e;
        e.type = Event::Type::Close;
        out.push_back(e);
        close_sent_ = true;
        break;
      }
    }
    if (!done) return;
    expanded_ = false;
    ++next_;
  }
  // A script that runs out closes the window, as a player would: once the
  // program has seen the last input.
  if (next_ >= commands_.size() && !close_sent_ && (idle_since_input_ || !input_sent_)) {
    Event e;
    e.type = Event::Type::Close;
    out.push_back(e);
    close_sent_ = true;
  }
}

}  // namespace platform

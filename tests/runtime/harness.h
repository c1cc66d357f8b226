// Small helpers shared by the runtime's tests.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>
#include <tuple>
#include <utility>
#include <string>
#include <vector>

#include "platform/script.h"
#include "platform/sjis.h"
#include "runtime/runtime.h"
#include "tests/support/program.h"

namespace rt_test {

using testing_support::error_of;
using testing_support::Program;

inline std::string sjis(const char* utf8) { return platform::utf8_to_sjis(utf8); }

// A text row as UTF-8 without its trailing blanks.
inline std::string shown(rt::Runtime& r, int row) {
  std::string s = r.text_row_utf8(row);
  return s.substr(0, s.find_last_not_of(' ') + 1);
}

// The runtime operation named by the location of the error `body` raises.
inline rt::Op op_of(const std::function<void()>& body) {
  try {
    body();
  } catch (const rt::RtError& e) {
    return static_cast<rt::Op>(e.location() >> 8);
  }
  return rt::Op::None;
}

// Host options that play `script` (its last "idle" keeps the window open).
inline platform::HostOptions scripted(const std::string& script) {
  std::string why;
  auto commands = platform::parse_script(script + "idle\n", &why);
  EXPECT_TRUE(commands) << why;
  platform::HostOptions o;
  o.script = commands ? *commands : std::vector<platform::ScriptCommand>{};
  return o;
}

inline platform::Event key(platform::Key k, bool down = true, bool shift = false) {
  platform::Event e;
  e.type = down ? platform::Event::Type::KeyDown : platform::Event::Type::KeyUp;
  e.key = k;
  e.shift = shift;
  return e;
}

inline platform::Event ctrl_char(char32_t c) {
  platform::Event e = key(platform::Key::Char);
  e.ch = c;
  e.ctrl = true;
  return e;
}

inline platform::Event typed(const std::string& utf8) {
  platform::Event e;
  e.type = platform::Event::Type::Text;
  e.text = utf8;
  return e;
}

inline platform::Event mouse(platform::Event::Type t, int x, int y,
                             platform::MouseButton b = platform::MouseButton::Left) {
  platform::Event e;
  e.type = t;
  e.x = x;
  e.y = y;
  e.button = b;
  return e;
}

// A runtime with its window open, for single statements.
class Started : public ::testing::Test {
 protected:
  Started() { p.start(); }
  rt::Runtime& r() { return p.rt(); }
  Program p;
};

}  // namespace rt_test

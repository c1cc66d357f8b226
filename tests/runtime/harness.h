// Small helpers shared by the runtime's tests.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/script.h"
#include "platform/sjis.h"
#include "runtime/runtime.h"
#include "tests/support/program.h"

namespace rt_test {

using testing_support::error_of;
using testing_support::Program;

inline std::string sjis(const char* utf8) {
  return platform::utf8_to_sjis(utf8);
}

// A text row as UTF-8 without its trailing blanks.
inline std::string shown(rt::Runtime& r, int row) {
  std::string s = r.text_row_utf8(row);
  return s.substr(0, s.find_last_not_of(' ') + 1);
}

// Host options that play `script`; its last "idle" keeps the window open.
inline platform::HostOptions scripted(const std::string& script) {
  std::string why;
  auto commands = platform::parse_script(script + "idle\n", &why);
  EXPECT_TRUE(commands) << why;
  platform::HostOptions o;
  if (commands) o.script = *commands;
  return o;
}

// A runtime with its window open, for single statements.
class Started : public ::testing::Test {
 protected:
  Started() { p.start(); }
  rt::Runtime& r() { return p.rt(); }
  Program p;
};

}  // namespace rt_test

// The game module on a headless runtime, with its tables filled as the
// start-up fills them, for testing single procedures.
#pragma once

#include <functional>

#include "app/script_hooks.h"
#include "data/data_files.h"
#include "game/zided.h"
#include "platform/sjis.h"
#include "tests/support/program.h"

namespace testing_support {

inline platform::HostOptions script_options(std::string_view text) {
  platform::HostOptions o;
  std::string err;
  o.script = platform::parse_script(text, &err);
  if (!o.script) throw std::runtime_error("bad test script: " + err);
  return o;
}

class GameProgram {
 public:
  explicit GameProgram(platform::HostOptions options = {})
      : program_(std::move(options)), game_(program_.rt()), hooks_(program_.rt(), game_) {
    program_.host().set_script_hooks(&hooks_);
  }

  Program& program() { return program_; }
  platform::HeadlessHost& host() { return program_.host(); }
  rt::Runtime& rt() { return program_.rt(); }
  game::Zided& game() { return game_; }

  // Runs `body` as the main program after the start-up's table steps.
  int run(const std::function<void(game::Zided&)>& body) {
    return program_.run([&](rt::Runtime& r) {
      r.SET_MAIN_MODULE(game::kModule);
      r.SET_MODULE(game::kModule);
      fill_tables(r);
      body(game_);
    });
  }

  // Runs the whole program from its first statement; returns the exit code.
  int run_main() {
    return program_.run([&](rt::Runtime&) { game_.main_program(); });
  }

  // The grid row as UTF-8.
  std::string row(int r) { return platform::sjis_to_utf8(rt().text_row(r)); }

 private:
  void fill_tables(rt::Runtime& r) {
    r.DATA_START(data::constants_text());
    game_.init_arrays();
    game_.init_colours_and_notes();
    game_.init_menu_items();
    game_.init_speeds();
    game_.init_options();
    game_.init_scenery_tables();
    game_.init_best20();
  }

  Program program_;
  game::Zided game_;
  app::ScriptHooks hooks_;
};

}  // namespace testing_support

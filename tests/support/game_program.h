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

  platform::HeadlessHost& host() { return program_.host(); }
  rt::Runtime& rt() { return program_.rt(); }
  game::Zided& game() { return game_; }

  // Runs `body` as the main program after the start-up's table steps.
  int run(const std::function<void(game::Zided&)>& body) {
    return program_.run([&](rt::Runtime& r) {
      r.SET_MAIN_MODULE(game::kModule);
      r.SET_MODULE(game::kModule);
      r.DATA_START(data::constants_text());
      game_.init_arrays();
      game_.init_colours_and_notes();
      game_.init_menu_items();
      game_.init_speeds();
      game_.init_options();
      game_.init_scenery_tables();
      game_.init_best20();
      body(game_);
    });
  }

  // Runs the whole program from its first statement; returns the exit code.
  int run_main() {
    return program_.run([&](rt::Runtime&) { game_.main_program(); });
  }

  // The grid row as UTF-8; whether `text` stands on it from column `c` (all
  // cells before it single-width).
  std::string row(int r) { return platform::sjis_to_utf8(rt().text_row(r)); }
  bool shows(int r, int c, std::string_view text) {
    return row(r).compare(c, text.size(), text) == 0;
  }
  // The backing bitmap's pixel at world (x, y): y counts up from the bottom row.
  platform::Rgb at(int x, int y) { return rt().backing().get(x, rt().screen_height() - 1 - y); }

 private:
  Program program_;
  game::Zided game_;
  app::ScriptHooks hooks_;
};

// Script hooks that hand each "text NAME" command's NAME to the test, at
// that moment of the program's run.
class OnText : public app::ScriptHooks {
 public:
  OnText(GameProgram& g, std::function<void(const std::string&)> f)
      : app::ScriptHooks(g.rt(), g.game()), f_(std::move(f)) {
    g.host().set_script_hooks(this);
  }
  bool save_text(const std::string& name, std::string*) override {
    f_(name);
    return true;
  }

 private:
  std::function<void(const std::string&)> f_;
};

// Stored layout 1 into the live obstacle arrays, every obstacle standing, as
// a game starts.
inline void use_stored_layout(game::Zided& z) {
  for (int j = 1; j <= 100; ++j) {
    z.OX(j) = z.SAVED_OX(j, 1), z.OY(j) = z.SAVED_OY(j, 1), z.OR(j) = z.SAVED_OR(j, 1);
    z.OT(j) = z.SAVED_OT(j, 1), z.OGONE(j) = 0;
  }
}

// Pixels that differ between two pictures of the same size.
inline int differing(const platform::Surface& a, const platform::Surface& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) n += a.get(x, y) != b.get(x, y);
  }
  return n;
}

// The backing bitmap after `draw` ran on a fresh game screen.
inline platform::Surface reference_picture(const std::function<void(game::Zided&)>& draw) {
  GameProgram g;
  platform::Surface out(1, 1);
  g.run([&](game::Zided& z) {
    draw(z);
    out = g.rt().backing();
  });
  return out;
}

}  // namespace testing_support

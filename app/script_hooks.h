// The script commands that look into the running program.
#pragma once

#include "game/zided.h"
#include "platform/host.h"
#include "runtime/runtime.h"

namespace app {

class ScriptHooks : public platform::ScriptHooks {
 public:
  ScriptHooks(rt::Runtime& runtime, game::Zided& game) : runtime_(runtime), game_(game) {}

  bool save_text(const std::string& path, std::string* error) override;
  bool save_layout(const std::string& path, std::string* error) override;
  bool expect_text(int row, int col, const std::string& text, std::string* error) override;

 private:
  rt::Runtime& runtime_;
  [[maybe_unused]] game::Zided& game_;  // for the layout, once the game keeps one
};

}  // namespace app

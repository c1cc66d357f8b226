#include "app/script_hooks.h"

namespace app {

bool ScriptHooks::save_text(const std::string&, std::string* error) {
  *error = "text is not available yet";
  return false;
}

bool ScriptHooks::save_layout(const std::string&, std::string* error) {
  *error = "layout is not available yet";
  return false;
}

bool ScriptHooks::expect_text(int, int, const std::string&, std::string* error) {
  *error = "expect is not available yet";
  return false;
}

}  // namespace app

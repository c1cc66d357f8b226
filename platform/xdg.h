// The XDG base folders: $VAR when it holds an absolute path, else
// $HOME/HOME_SUB (the current folder when HOME is not set).
#pragma once

#include <cstdlib>
#include <string>

namespace platform {

inline std::string xdg_base(const char* var, const char* home_sub) {
  const char* xdg = std::getenv(var);
  if (xdg && *xdg == '/') return xdg;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/" + home_sub;
}

}  // namespace platform

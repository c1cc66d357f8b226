// Where the program's files go.
#pragma once

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

namespace platform {

// The XDG base folders: $VAR when it holds an absolute path, else
// $HOME/HOME_SUB (the current folder when HOME is not set).
inline std::string xdg_base(const char* var, const char* home_sub) {
  const char* xdg = std::getenv(var);
  if (xdg && *xdg == '/') return xdg;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/" + home_sub;
}

// PREFIX, the local time as YYYYMMDD-HHMMSS, then EXT; a name that is taken
// (two in one second) gets -2, -3 and so on before EXT.
inline std::string unused_stamped_path(const std::string& prefix, const std::string& ext) {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
  const std::string base = prefix + stamp;
  std::string path = base + ext;
  std::error_code ec;
  for (int n = 2; std::filesystem::exists(path, ec); ++n) path = base + "-" + std::to_string(n) + ext;
  return path;
}

}  // namespace platform

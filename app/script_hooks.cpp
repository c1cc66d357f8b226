#include "app/script_hooks.h"

#include <cstdio>
#include <fstream>

#include "platform/sjis.h"

namespace app {

bool ScriptHooks::save_text(const std::string& path, std::string* error) {
  std::ofstream out(path, std::ios::binary);
  for (int row = 0; row < runtime_.text_rows(); ++row) out << runtime_.text_row_utf8(row) << "\n";
  out.close();
  if (!out) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

bool ScriptHooks::save_layout(const std::string& path, std::string* error) {
  // A built layout always has its corner mountains; radius 0 means none yet.
  if (game_.SAVED_OR(1, 1) == 0) {
    *error = "no layout has been built yet";
    return false;
  }
  std::ofstream out(path, std::ios::binary);
  for (int j = 1; j <= 100; ++j) {
    char line[128];
    std::snprintf(
        line, sizeof line, "%d %.9g %.9g %.9g %.9g\n", j, static_cast<double>(game_.SAVED_OX(j, 1)),
        static_cast<double>(game_.SAVED_OY(j, 1)), static_cast<double>(game_.SAVED_OR(j, 1)),
        static_cast<double>(game_.SAVED_OT(j, 1)));
    out << line;
  }
  out.close();
  if (!out) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

bool ScriptHooks::expect_text(int row, int col, const std::string& text, std::string* error) {
  std::string want = platform::utf8_to_sjis(text);
  std::string line = runtime_.text_row(row);
  if (line.empty() || col < 0 || static_cast<std::size_t>(col) + want.size() > line.size()) {
    *error = "\"" + text + "\" does not fit in the grid at row " + std::to_string(row) +
             " column " + std::to_string(col);
    return false;
  }
  std::string seen = line.substr(static_cast<std::size_t>(col), want.size());
  if (seen == want) return true;
  *error = "expected \"" + text + "\" at row " + std::to_string(row) + " column " +
           std::to_string(col) + ", the grid shows \"" + platform::sjis_to_utf8(seen) + "\"";
  return false;
}

}  // namespace app

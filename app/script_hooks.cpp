#include "app/script_hooks.h"

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

bool ScriptHooks::save_layout(const std::string&, std::string* error) {
  *error = "layout is not available yet";
  return false;
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

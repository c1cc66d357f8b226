#include "runtime/text.h"

#include "runtime/runtime.h"

namespace rt {

void Text::start_text(int, int) {}

void Text::LOCATE(int window, std::optional<int> column, std::optional<int> row, std::optional<int>) {
  rt().check_window(window, Op::Locate);
  if (column) cursor_column_ = *column;
  if (row) cursor_row_ = *row;
}

void Text::PRINT(int window, std::string_view sjis, int) {
  rt().check_window(window, Op::Print);
  write_text(sjis);
}

void Text::write_text(std::string_view) {}

void Text::clear_text_layer() { cursor_column_ = cursor_row_ = 0; }

bool Text::print_report(const std::string&) { return false; }

void Text::repaint_text() {}

}  // namespace rt

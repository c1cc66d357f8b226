// The text grid over the picture: cursor, LOCATE, PRINT and PRINT USING.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rt {

class Runtime;

class Text {
 public:
  // Moves the cursor; parts not given stay (error 5 outside the grid).
  void LOCATE(int window, std::optional<int> column, std::optional<int> row,
              std::optional<int> cursor = std::nullopt);
  // One string item; separator 0 ends the line, 1 pads to the next zone, 2 nothing.
  void PRINT(int window, std::string_view sjis, int separator = 0);
  // Writes bytes at the cursor with the rules of PRINT (CR, LF, TAB, wrapping).
  void write_text(std::string_view sjis);
  int cursor_column() const { return cursor_column_; }
  int cursor_row() const { return cursor_row_; }

  // Empties the text layer: cursor home, scroll region the whole screen.
  void clear_text_layer();
  // Prints a report at the cursor (Shift-JIS); false when the text screen
  // cannot be used, so the frame shows a message box instead.
  bool print_report(const std::string& sjis);
  // Draws the text buffer over the picture (after a repaint).
  void repaint_text();

 protected:
  void start_text(int width, int height);
  Runtime& rt();

 private:
  int cursor_column_ = 0;
  int cursor_row_ = 0;
};

}  // namespace rt

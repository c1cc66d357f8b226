// The text grid over the picture: cursor, LOCATE, PRINT and PRINT USING.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/surface.h"
#include "runtime/print_using.h"

namespace rt {

class Runtime;

class Text {
 public:
  static constexpr int kCellWidth = 8;
  static constexpr int kCellHeight = 18;
  // Rows of a 16-pixel glyph start this far below the top of its cell.
  static constexpr int kGlyphTop = 1;

  // Moves the cursor; parts not given stay (error 5 outside the grid).
  void LOCATE(int window, std::optional<int> column, std::optional<int> row,
              std::optional<int> cursor = std::nullopt);
  // One string item; separator 0 ends the line, 1 pads to the next zone, 2 nothing.
  void PRINT(int window, std::string_view sjis, int separator = 0);
  // The items with the format; separator 0 after the last item ends the line.
  void PRINT_USING(int window, std::string_view format, std::span<const UsingItem> items,
                   int separator = 0);
  void PRINT_USING(int window, std::string_view format, std::initializer_list<UsingItem> items,
                   int separator = 0) {
    PRINT_USING(window, format, std::span<const UsingItem>(items.begin(), items.size()), separator);
  }
  // Writes bytes at the cursor with the rules of PRINT (CR, LF, TAB, wrapping).
  void write_text(std::string_view sjis);
  int cursor_column() const { return cursor_column_; }
  int cursor_row() const { return cursor_row_; }
  bool cursor_visible() const { return cursor_visible_; }
  // Lines the text has scrolled up since the window opened.
  std::int64_t scrolled_lines() const { return scrolled_lines_; }

  // Empties the text layer: cursor home, scroll region the whole screen.
  void clear_text_layer();
  // Prints a report at the cursor (Shift-JIS); false when the text screen
  // cannot be used, so the frame shows a message box instead.
  bool print_report(const std::string& sjis);
  // Draws the text buffer over the picture (after a repaint).
  void repaint_text();

  // Reading the grid back.
  int text_columns() const { return columns_; }
  int text_rows() const { return rows_; }
  // A row's bytes, one per cell (a double-byte character fills its two
  // cells with its two bytes); empty cells read as spaces.
  std::string text_row(int row) const;
  // The same row as UTF-8; a cell that shows no character of its own (a
  // control byte, a lone lead byte) reads as '?'.
  std::string text_row_utf8(int row) const;
  // The colour a cell was drawn in; nullopt for an empty cell.
  std::optional<platform::Rgb> text_colour(int column, int row) const;

 protected:
  void start_text(int width, int height);
  Runtime& rt();

 private:
  enum class CellKind : std::uint8_t { Empty, Single, Lead, Trail };
  struct Cell {
    CellKind kind = CellKind::Empty;
    std::uint8_t byte = 0;
    platform::Rgb colour = 0;
  };

  Cell& cell(int column, int row) {
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                  static_cast<std::size_t>(column)];
  }
  const Cell& cell(int column, int row) const {
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                  static_cast<std::size_t>(column)];
  }
  void put_char(const char* bytes, int length);
  void line_break();
  void scroll_up();
  // Empties a cell and shows the picture under it again.
  void erase_cell(int column, int row);
  void restore_cells(int column, int row, int count);
  void draw_cell(int column, int row);

  std::vector<Cell> cells_;
  int columns_ = 0;
  int rows_ = 0;
  int cursor_column_ = 0;
  int cursor_row_ = 0;
  bool cursor_visible_ = false;
  int scroll_top_ = 0;  // the rows that scroll
  int scroll_bottom_ = 0;
  std::int64_t scrolled_lines_ = 0;
};

}  // namespace rt

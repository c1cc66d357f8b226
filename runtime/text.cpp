#include "runtime/text.h"

#include <algorithm>
#include <cstring>

#include "platform/font.h"
#include "platform/sjis.h"
#include "runtime/runtime.h"

namespace rt {

namespace {

constexpr int kTabWidth = 8;
constexpr int kZoneWidth = 14;

// Checks inside LOCATE, logged with the error.
enum Check : std::uint8_t { kColumn = 1, kRow = 2, kCursor = 3 };

}  // namespace

void Text::start_text(int width, int height) {
  columns_ = std::max(0, width / kCellWidth);
  rows_ = std::max(0, height / kCellHeight);
  cells_.assign(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), Cell{});
  cursor_column_ = cursor_row_ = 0;
  cursor_visible_ = false;
  scroll_top_ = 0;
  scroll_bottom_ = std::max(0, rows_ - 1);
}

void Text::LOCATE(int window, std::optional<int> column, std::optional<int> row,
                  std::optional<int> cursor) {
  rt().check_window(window, Op::Locate);
  if (column && (*column < 0 || *column >= columns_))
    throw RtError(5, location(Op::Locate, kColumn));
  if (row && (*row < 0 || *row >= rows_)) throw RtError(5, location(Op::Locate, kRow));
  if (cursor && *cursor != 0 && *cursor != 1) throw RtError(5, location(Op::Locate, kCursor));
  if (column) cursor_column_ = *column;
  if (row) cursor_row_ = *row;
  if (cursor) cursor_visible_ = *cursor == 1;
}

void Text::PRINT(int window, std::string_view sjis, int separator) {
  rt().check_window(window, Op::Print);
  write_text(sjis);
  if (separator == 0) {
    write_text("\r\n");
  } else if (separator == 1) {
    int zone = (cursor_column_ / kZoneWidth + 1) * kZoneWidth;
    if (zone + kZoneWidth > columns_) {
      write_text("\r\n");
    } else {
      write_text(std::string(static_cast<std::size_t>(zone - cursor_column_), ' '));
    }
  }
}

void Text::PRINT_USING(int window, std::string_view format, std::span<const UsingItem> items,
                       int separator) {
  rt().check_window(window, Op::PrintUsing);
  UsingFormatter formatter(format);
  // Each item appears as it is formatted, so an error leaves the items before it.
  for (const UsingItem& item : items) write_text(formatter.next(item));
  write_text(formatter.finish());
  if (separator == 0) write_text("\r\n");
}

void Text::write_text(std::string_view sjis) {
  if (columns_ == 0 || rows_ == 0) return;
  for (std::size_t i = 0; i < sjis.size();) {
    auto b = static_cast<unsigned char>(sjis[i]);
    if (b == '\r') {
      cursor_column_ = 0;
      ++i;
    } else if (b == '\n') {
      if (cursor_row_ >= scroll_bottom_)
        scroll_up();
      else
        ++cursor_row_;
      ++i;
    } else if (b == '\t') {
      if (cursor_column_ >= columns_) line_break();
      int stop = (cursor_column_ / kTabWidth + 1) * kTabWidth;
      while (cursor_column_ < std::min(stop, columns_)) put_char(" ", 1);
      if (stop >= columns_) line_break();
      ++i;
    } else {
      int length = i + 1 < sjis.size() && platform::is_sjis_lead(b) &&
                           platform::is_sjis_trail(static_cast<unsigned char>(sjis[i + 1]))
                       ? 2
                       : 1;
      put_char(sjis.data() + i, length);
      i += static_cast<std::size_t>(length);
    }
  }
  rt().host().picture_changed();
}

void Text::put_char(const char* bytes, int length) {
  if (cursor_column_ >= columns_) line_break();
  // A double-byte character is never split over two lines.
  if (length == 2 && cursor_column_ == columns_ - 1) line_break();
  if (length > columns_) return;  // a grid too narrow for it
  int col = cursor_column_, row = cursor_row_;
  // Half of a double-byte character left behind is emptied.
  if (cell(col, row).kind == CellKind::Trail) erase_cell(col - 1, row);
  int last = col + length - 1;
  if (cell(last, row).kind == CellKind::Lead) erase_cell(last + 1, row);

  platform::Rgb colour = rt().palette_rgb(rt().foreground());
  for (int k = 0; k < length; ++k) {
    Cell& c = cell(col + k, row);
    c.kind = length == 1 ? CellKind::Single : k == 0 ? CellKind::Lead : CellKind::Trail;
    c.byte = static_cast<std::uint8_t>(bytes[k]);
    c.colour = colour;
  }
  restore_cells(col, row, length);
  draw_cell(col, row);
  cursor_column_ += length;
}

void Text::line_break() {
  cursor_column_ = 0;
  if (cursor_row_ >= scroll_bottom_)
    scroll_up();
  else
    ++cursor_row_;
}

void Text::scroll_up() {
  auto width = static_cast<std::size_t>(columns_);
  auto begin = cells_.begin() + static_cast<std::ptrdiff_t>(scroll_top_ * columns_);
  auto end = cells_.begin() + static_cast<std::ptrdiff_t>((scroll_bottom_ + 1) * columns_);
  std::move(begin + static_cast<std::ptrdiff_t>(width), end, begin);
  std::fill(end - static_cast<std::ptrdiff_t>(width), end, Cell{});
  // The text moves; the graphics under it stay.
  for (int row = scroll_top_; row <= scroll_bottom_; ++row) {
    restore_cells(0, row, columns_);
    for (int col = 0; col < columns_; ++col) draw_cell(col, row);
  }
  cursor_row_ = scroll_bottom_;
  ++scrolled_lines_;
}

void Text::erase_cell(int column, int row) {
  if (column < 0 || column >= columns_) return;
  cell(column, row) = Cell{};
  restore_cells(column, row, 1);
}

void Text::restore_cells(int column, int row, int count) {
  platform::Surface& picture = rt().picture();
  const platform::Surface& backing = rt().backing();
  int x0 = column * kCellWidth;
  int x1 = std::min({(column + count) * kCellWidth, picture.width(), backing.width()});
  if (x1 <= x0) return;
  int y1 = std::min({(row + 1) * kCellHeight, picture.height(), backing.height()});
  for (int y = row * kCellHeight; y < y1; ++y) {
    std::memcpy(picture.row(y) + x0, backing.row(y) + x0,
                static_cast<std::size_t>(x1 - x0) * sizeof(platform::Rgb));
  }
}

void Text::draw_cell(int column, int row) {
  const Cell& c = cell(column, row);
  platform::Glyph glyph;
  if (c.kind == CellKind::Single) {
    if (c.byte == ' ') return;
    glyph = platform::narrow_glyph(c.byte);
  } else if (c.kind == CellKind::Lead) {
    glyph = platform::wide_glyph(c.byte, cell(column + 1, row).byte);
  } else {
    return;
  }
  platform::draw_glyph(rt().picture(), column * kCellWidth, row * kCellHeight + kGlyphTop, glyph,
                       c.colour);
}

void Text::clear_text_layer() {
  std::fill(cells_.begin(), cells_.end(), Cell{});
  for (int row = 0; row < rows_; ++row) restore_cells(0, row, columns_);
  cursor_column_ = cursor_row_ = 0;
  scroll_top_ = 0;
  scroll_bottom_ = std::max(0, rows_ - 1);
  rt().host().picture_changed();
}

bool Text::print_report(const std::string& sjis) {
  if (columns_ == 0 || rows_ == 0) return false;
  write_text(sjis);
  return true;
}

void Text::repaint_text() {
  for (int row = 0; row < rows_; ++row) {
    for (int col = 0; col < columns_; ++col) draw_cell(col, row);
  }
}

std::string Text::text_row(int row) const {
  if (row < 0 || row >= rows_) return {};
  std::string out(static_cast<std::size_t>(columns_), ' ');
  for (int col = 0; col < columns_; ++col) {
    const Cell& c = cell(col, row);
    if (c.kind != CellKind::Empty) out[static_cast<std::size_t>(col)] = static_cast<char>(c.byte);
  }
  return out;
}

std::string Text::text_row_utf8(int row) const {
  std::string sjis = text_row(row);
  for (int col = 0; col < static_cast<int>(sjis.size()); ++col) {
    auto b = static_cast<unsigned char>(sjis[static_cast<std::size_t>(col)]);
    bool lone_lead = cell(col, row).kind == CellKind::Single && platform::is_sjis_lead(b);
    if (b < 0x20 || b == 0x7F || lone_lead) sjis[static_cast<std::size_t>(col)] = '?';
  }
  return platform::sjis_to_utf8(sjis);
}

std::optional<platform::Rgb> Text::text_colour(int column, int row) const {
  if (column < 0 || column >= columns_ || row < 0 || row >= rows_) return std::nullopt;
  const Cell& c = cell(column, row);
  if (c.kind == CellKind::Empty) return std::nullopt;
  return c.colour;
}

}  // namespace rt

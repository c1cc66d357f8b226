// The text grid: LOCATE, writing and wrapping, double-byte characters, the picture under the
// text, scrolling, repainting, PRINT and PRINT USING.
#include "runtime/text.h"

#include "platform/font.h"
#include "tests/runtime/harness.h"

namespace {

using namespace rt_test;
using platform::Rgb;

constexpr int kW = 8, kH = 18;  // the cell the game's screens are laid out for

// A picture and backing bitmap of one plain colour, unlike the ink.
class Text : public Started {
 protected:
  Text() { box(0, 0, 639, 503, ink ^ 0x406080u); }
  std::pair<int, int> cursor() { return {r().cursor_column(), r().cursor_row()}; }
  void at(int col, int row, const std::string& text) {
    r().LOCATE(0, col, row), r().write_text(text);
  }
  void box(int x0, int y0, int x1, int y1, Rgb c) {
    for (platform::Surface* s : {&r().backing(), &r().picture()})
      for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) s->set(x, y, c);
  }
  // The cells from `col` show the glyph's strokes in `colour` over the backing bitmap.
  bool shows(int col, int row, const std::optional<platform::Glyph>& g, Rgb colour = 0) {
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < (g ? g->width : kW); ++x) {
        int px = col * kW + x, py = row * kH + y;
        bool stroke = g && g->pixel(x, y - rt::Text::kGlyphTop);
        if (r().picture().get(px, py) != (stroke ? colour : r().backing().get(px, py)))
          return false;
      }
    }
    return true;
  }
  const Rgb ink = 0xFFFFFF;  // the foreground at the start
};

TEST_F(Text, LocateStaysInsideTheGrid) {
  r().LOCATE(0, 79, 26);
  r().LOCATE(0, std::nullopt, 27, 1);
  EXPECT_EQ(std::pair(cursor(), r().cursor_visible()), std::pair(std::pair(79, 27), true));
  r().LOCATE(0, 3, 4, 0);
  for (auto [col, row, show] : {std::tuple(80, 5, 0), {5, 28, 0}, {5, 5, 2}})
    EXPECT_EQ(error_of([&, c = col, w = row, s = show] { r().LOCATE(0, c, w, s); }), 5) << col;
  EXPECT_EQ(std::pair(cursor(), r().cursor_visible()), std::pair(std::pair(3, 4), false));
  EXPECT_EQ(std::tuple(error_of([&] { r().LOCATE(1, 0, 0); }), error_of([&] { r().PRINT(2, "x"); }),
                       error_of([&] { r().PRINT_USING(-1, "#", {1.0}); })),
            std::tuple(1000, 1000, 1000));
}

TEST_F(Text, WritingWrapsBeforeTheNextCharacterAndNeverSplitsADoubleByteOne) {
  const std::string a = sjis("あ");
  const struct {
    int col, row;
    std::string text, want;  // the grid from (col, row) on, rows joined
    std::pair<int, int> cursor;
  } cases[] = {
      {75, 1, "ABCDE", "ABCDE", {80, 1}},  // no line break after the string
      {75, 2, "ABCDEF", "ABCDEF", {1, 3}},
      {79, 5, a, " " + a, {2, 6}},  // from the last column to the next row
      {78, 7, a + "x", a + "x", {1, 8}},
      {0, 9, "ab\rc\nd", "cb" + std::string(79, ' ') + "d", {2, 10}},  // LF keeps the column
      {0, 11, "a\tb\tc", "a       b       c", {17, 11}},
      {75, 12, "\tz", "     z", {1, 13}},  // a tab past the last stop ends the line
      {75, 14, "ABCDE\tz", "ABCDE" + std::string(8, ' ') + "z", {9, 15}},
  };
  for (const auto& c : cases) {
    at(c.col, c.row, c.text);
    std::string grid;
    for (int row = c.row; row < 28; ++row) grid += r().text_row(row);
    EXPECT_EQ(grid.substr(static_cast<std::size_t>(c.col), c.want.size()), c.want) << c.text;
    EXPECT_EQ(cursor(), c.cursor) << c.text;
  }
  at(0, 20, "\x07Q" + sjis("漢") + "\x82");  // a control byte and a lone first byte show as '?'
  EXPECT_EQ(shown(r(), 20), "?Q漢?");
}

TEST_F(Text, GlyphsKeepTheInkOfTheirTimeAndComeBackOnRepaint) {
  at(3, 2, "A" + sjis("あ"));
  r().COLOR(0, 5);
  at(10, 2, "R");
  r().COLOR(0, 3);
  const platform::Surface drawn = r().picture();
  r().picture().fill(0xFF00FF);
  r().repaint_window();
  EXPECT_TRUE(r().picture() == drawn);
  EXPECT_TRUE(shows(3, 2, platform::narrow_glyph('A'), ink));
  EXPECT_TRUE(shows(4, 2, platform::wide_glyph(0x82, 0xA0), ink));
  EXPECT_TRUE(shows(10, 2, platform::narrow_glyph('R'), 0xFF0000) && shows(6, 2, std::nullopt));
  EXPECT_EQ(std::tuple(r().text_colour(3, 2), r().text_colour(10, 2), r().text_colour(11, 2)),
            std::tuple(ink, 0xFF0000u, std::nullopt));
  // Writing over half of a double-byte character empties its other half.
  const std::string kan = sjis("漢");
  at(10, 8, kan + kan);
  at(11, 8, "x");
  at(13, 8, "y");
  EXPECT_EQ(r().text_row(8).substr(10, 5), " x y ");
  EXPECT_TRUE(shows(10, 8, std::nullopt) && shows(12, 8, std::nullopt));
  EXPECT_EQ(r().text_colour(12, 8), std::nullopt);
  // Clearing the text layer leaves the picture under it.
  r().LOCATE(0, 20, 10);
  r().clear_text_layer();
  EXPECT_TRUE(r().picture() == r().backing() && cursor() == std::pair(0, 0));
  EXPECT_EQ(r().text_row(2), std::string(80, ' '));
}

TEST_F(Text, PrintAndPrintUsingSeparatorsEndTheLinePadToAZoneOrDoNothing) {
  const std::tuple<int, const char*, int, std::pair<int, int>> cases[] = {
      {0, "ab", 2, {2, 3}}, {2, "cd", 1, {14, 3}},         {50, "e", 1, {56, 3}},
      {60, "e", 1, {0, 4}}, {70, "0123456789", 0, {0, 4}}, {5, "", 0, {0, 4}}};
  for (auto [col, text, separator, want] : cases) {
    r().LOCATE(0, col, 3);
    r().PRINT(0, text, separator);
    EXPECT_EQ(cursor(), want) << col << " " << text;
  }
  EXPECT_EQ(r().text_row(3).substr(0, 4) + r().text_row(3).substr(50, 6), "abcde     ");
  // PRINT USING writes at the cursor and ends the line the same way.
  r().LOCATE(0, 4, 2);
  r().PRINT_USING(0, "Time ####", {37.0});
  EXPECT_EQ(std::pair(r().text_row(2).substr(4, 9), cursor()),
            std::pair(std::string("Time   37"), std::pair(0, 3)));
  r().PRINT_USING(0, "Level   #", {2.0}, 2);
  EXPECT_EQ(cursor(), std::pair(9, 3));
  r().LOCATE(0, 0, 5);
  EXPECT_EQ(error_of([&] { r().PRINT_USING(0, "## ", {1.0, "x"}); }), 13);
  EXPECT_EQ(r().text_row(5).substr(0, 4), " 1  ") << "the items before the error stay";
}

TEST_F(Text, ALineBreakPastTheLastRowScrollsTheTextNotTheGraphics) {
  for (int y = 0; y < 504; y += 6) box(0, y, 639, y + 2, 0x00FF00);  // stripes
  at(0, 0, "top");
  r().LOCATE(0, 0, 26);
  r().PRINT(0, "above");
  r().PRINT(0, "bottom");  // on row 27; its line break scrolls
  EXPECT_EQ(cursor(), std::pair(0, 27));
  EXPECT_EQ(shown(r(), 0) + "|" + shown(r(), 25) + "|" + shown(r(), 26) + "|" + shown(r(), 27),
            "|above|bottom|");
  EXPECT_TRUE(shows(0, 26, platform::narrow_glyph('b'), ink));
  for (int col = 0; col < 80; ++col)
    ASSERT_TRUE(shows(col, 27, std::nullopt) && shows(col, 0, std::nullopt)) << col;
  at(78, 27, "xyz");  // wrapping on the last row scrolls as well
  EXPECT_EQ(shown(r(), 25) + "|" + r().text_row(26).substr(78) + "|" + shown(r(), 27),
            "bottom|xy|z");
}

}  // namespace

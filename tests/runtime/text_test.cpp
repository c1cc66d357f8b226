// The text grid: LOCATE, writing and wrapping, the picture under the text,
// scrolling, repainting, PRINT and PRINT USING, the error report.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/font.h"
#include "platform/sjis.h"
#include "tests/support/program.h"

namespace {

using platform::Rgb;
using testing_support::error_of;
using testing_support::Program;

constexpr int kW = rt::Text::kCellWidth, kH = rt::Text::kCellHeight;

void fill_rect(platform::Surface& s, int x0, int y0, int x1, int y1, Rgb c) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) s.set(x, y, c);
}

// A started program whose picture and backing bitmap are one plain colour,
// different from the colour text is drawn in.
class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p.start();
    ink = r().palette_rgb(r().foreground());
    paper = ink ^ 0x406080u;
    r().backing().fill(paper);
    r().picture().fill(paper);
  }
  rt::Runtime& r() { return p.rt(); }
  std::string row(int n) { return r().text_row(n); }
  // Fills a box on both layers, as a filled LINE does.
  void box(int x0, int y0, int x1, int y1, Rgb c) {
    fill_rect(r().backing(), x0, y0, x1, y1, c);
    fill_rect(r().picture(), x0, y0, x1, y1, c);
  }
  // The picture inside one cell equals the backing bitmap there.
  bool cell_is_backing(int col, int line) {
    for (int y = line * kH; y < (line + 1) * kH; ++y)
      for (int x = col * kW; x < (col + 1) * kW; ++x)
        if (r().picture().get(x, y) != r().backing().get(x, y)) return false;
    return true;
  }
  // The cells from `col` show the glyph in `colour` over the backing bitmap.
  bool cell_shows(int col, int line, const platform::Glyph& g, Rgb colour) {
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < g.width; ++x) {
        int px = col * kW + x, py = line * kH + y;
        Rgb want = g.pixel(x, y - rt::Text::kGlyphTop) ? colour : r().backing().get(px, py);
        if (r().picture().get(px, py) != want) return false;
      }
    }
    return true;
  }

  Program p;
  Rgb ink = 0, paper = 0;
};

TEST_F(TextTest, LocateChecksTheGridAndKeepsTheCursorOnError) {
  EXPECT_EQ(r().text_columns(), 80);
  EXPECT_EQ(r().text_rows(), 28);
  r().LOCATE(0, 79, 26);
  EXPECT_EQ(r().cursor_column(), 79);
  EXPECT_EQ(r().cursor_row(), 26);
  r().LOCATE(0, std::nullopt, 27);
  EXPECT_EQ(r().cursor_column(), 79);
  EXPECT_EQ(r().cursor_row(), 27);
  r().LOCATE(0, 3, 4);
  EXPECT_EQ(error_of([&] { r().LOCATE(0, 80, 5); }), 5);
  EXPECT_EQ(error_of([&] { r().LOCATE(0, -1, std::nullopt); }), 5);
  EXPECT_EQ(error_of([&] { r().LOCATE(0, 5, 28); }), 5);
  EXPECT_EQ(error_of([&] { r().LOCATE(0, std::nullopt, -1); }), 5);
  EXPECT_EQ(error_of([&] { r().LOCATE(0, 5, 5, 2); }), 5);
  EXPECT_EQ(r().cursor_column(), 3);
  EXPECT_EQ(r().cursor_row(), 4);
  r().LOCATE(0, std::nullopt, std::nullopt, 1);
  EXPECT_TRUE(r().cursor_visible());
  EXPECT_EQ(error_of([&] { r().LOCATE(1, 0, 0); }), 1000);
  EXPECT_EQ(error_of([&] { r().PRINT(2, "x"); }), 1000);
  EXPECT_EQ(error_of([&] { r().PRINT_USING(3, "#", {1.0}); }), 1000);
  EXPECT_EQ(row(0), std::string(80, ' '));
}

TEST_F(TextTest, GlyphsSitInTheirCellsInTheForegroundColour) {
  r().LOCATE(0, 3, 2);
  r().write_text("A");
  EXPECT_TRUE(cell_shows(3, 2, platform::narrow_glyph('A'), ink));
  EXPECT_EQ(r().text_colour(3, 2), ink);
  EXPECT_EQ(r().text_colour(4, 2), std::nullopt);
  EXPECT_TRUE(cell_is_backing(4, 2));
  EXPECT_EQ(row(2).substr(0, 6), "   A  ");
  EXPECT_GT(p.host().changes(), 0);
}

TEST_F(TextTest, AStringReachingTheLastColumnWrapsBeforeTheNextCharacter) {
  r().LOCATE(0, 75, 3);
  r().write_text("ABCDE");
  EXPECT_EQ(row(3).substr(75), "ABCDE");
  EXPECT_EQ(r().cursor_row(), 3) << "no line break after the string";
  EXPECT_EQ(row(4), std::string(80, ' '));
  r().write_text("F");
  EXPECT_EQ(row(4)[0], 'F');
  EXPECT_EQ(r().cursor_column(), 1);
  EXPECT_EQ(r().cursor_row(), 4);
  // PRINT's own line break after a full line makes one break, not two.
  r().LOCATE(0, 70, 6);
  r().PRINT(0, "0123456789");
  EXPECT_EQ(r().cursor_row(), 7);
  EXPECT_EQ(r().cursor_column(), 0);
}

TEST_F(TextTest, DoubleByteCharactersTakeTwoCellsAndAreNeverSplit) {
  std::string a = platform::utf8_to_sjis("あ");
  r().LOCATE(0, 10, 1);
  r().write_text(a + "x");
  EXPECT_EQ(row(1).substr(10, 3), a + "x");
  EXPECT_TRUE(cell_shows(10, 1, platform::wide_glyph(0x82, 0xA0), ink));
  EXPECT_EQ(r().cursor_column(), 13);
  // Starting in the last column it goes to column 0 of the next row.
  r().LOCATE(0, 79, 2);
  r().write_text(a);
  EXPECT_EQ(row(2)[79], ' ');
  EXPECT_EQ(row(3).substr(0, 2), a);
  EXPECT_EQ(r().cursor_column(), 2);
  EXPECT_EQ(r().cursor_row(), 3);
  // In column 78 it still fits.
  r().LOCATE(0, 78, 5);
  r().write_text(a);
  EXPECT_EQ(row(5).substr(78), a);
}

TEST_F(TextTest, OverwritingHalfADoubleByteCharacterEmptiesTheOtherHalf) {
  std::string kan = platform::utf8_to_sjis("漢");
  r().LOCATE(0, 10, 1);
  r().write_text(kan + kan);
  r().LOCATE(0, 11, 1);
  r().write_text("x");
  EXPECT_EQ(row(1).substr(10, 4), " x" + kan);
  EXPECT_TRUE(cell_is_backing(10, 1));
  r().LOCATE(0, 13, 1);
  r().write_text("y");
  EXPECT_EQ(row(1).substr(10, 5), " x y ");
  EXPECT_TRUE(cell_is_backing(12, 1));
  EXPECT_EQ(r().text_colour(12, 1), std::nullopt);
}

TEST_F(TextTest, TextOverAFilledBoxShowsTheBoxAndSpacesRestoreIt) {
  const Rgb blue = platform::rgb(0, 0, 255) ^ (ink == platform::rgb(0, 0, 255) ? 1u : 0u);
  box(80, 90, 199, 125, blue);  // columns 10..24, rows 5..6
  platform::Surface before = r().picture();
  r().LOCATE(0, 10, 5);
  r().PRINT(0, "WWWWW");
  int inked = 0, boxed = 0;
  for (int y = 5 * kH; y < 6 * kH; ++y) {
    for (int x = 10 * kW; x < 15 * kW; ++x) {
      Rgb c = r().picture().get(x, y);
      inked += c == ink;
      boxed += c == blue;
    }
  }
  EXPECT_GT(inked, 20);
  EXPECT_GT(boxed, 300) << "the box shows between the strokes";
  EXPECT_EQ(inked + boxed, 5 * kW * kH);
  r().LOCATE(0, 10, 5);
  r().PRINT(0, "     ");
  EXPECT_TRUE(r().picture() == before);
  // Text drawn only on the picture: the backing bitmap never has glyphs.
  for (int y = 5 * kH; y < 6 * kH; ++y)
    for (int x = 10 * kW; x < 15 * kW; ++x) ASSERT_EQ(r().backing().get(x, y), blue);
}

TEST_F(TextTest, ControlCharacters) {
  r().LOCATE(0, 0, 1);
  r().write_text("ab\rc");
  EXPECT_EQ(row(1).substr(0, 2), "cb");
  r().write_text("\nd");  // LF keeps the column
  EXPECT_EQ(row(2).substr(0, 2), " d");
  r().LOCATE(0, 0, 4);
  r().write_text("a\tb\tc");
  EXPECT_EQ(row(4).substr(0, 17), "a       b       c");
  // A tab past the last stop ends the line.
  r().LOCATE(0, 75, 6);
  r().write_text("\tz");
  EXPECT_EQ(row(7)[0], 'z');
  EXPECT_EQ(row(6).substr(75), "     ");
}

TEST_F(TextTest, PrintSeparators) {
  r().LOCATE(0, 0, 1);
  r().PRINT(0, "ab", 2);
  EXPECT_EQ(r().cursor_column(), 2);
  r().PRINT(0, "cd", 1);
  EXPECT_EQ(r().cursor_column(), 14);
  EXPECT_EQ(r().cursor_row(), 1);
  r().LOCATE(0, 60, 1);
  r().PRINT(0, "e", 1);  // the zone at 70 would not fit
  EXPECT_EQ(r().cursor_column(), 0);
  EXPECT_EQ(r().cursor_row(), 2);
  r().PRINT(0, "line");
  EXPECT_EQ(r().cursor_row(), 3);
  EXPECT_EQ(row(1).substr(0, 4), "abcd");
  EXPECT_EQ(row(2).substr(0, 4), "line");
}

TEST_F(TextTest, ALineBreakPastTheLastRowScrollsTheTextNotTheGraphics) {
  // A stripe pattern in the graphics, so moved graphics would show.
  for (int y = 0; y < r().backing().height(); ++y) {
    Rgb c = (y / 3) % 2 ? paper : (paper ^ 0x00FF00u);
    fill_rect(r().backing(), 0, y, 639, y, c);
    fill_rect(r().picture(), 0, y, 639, y, c);
  }
  r().LOCATE(0, 0, 0);
  r().PRINT(0, "top");
  r().LOCATE(0, 0, 26);
  r().PRINT(0, "above");
  r().PRINT(0, "bottom");  // on row 27; its line break scrolls
  EXPECT_EQ(r().cursor_row(), 27);
  EXPECT_EQ(r().cursor_column(), 0);
  EXPECT_EQ(row(0).substr(0, 3), "   ");
  EXPECT_EQ(row(25).substr(0, 5), "above");
  EXPECT_EQ(row(26).substr(0, 6), "bottom");
  EXPECT_EQ(row(27), std::string(80, ' '));
  EXPECT_TRUE(cell_shows(0, 26, platform::narrow_glyph('b'), ink));
  for (int col = 0; col < 80; ++col) {
    EXPECT_TRUE(cell_is_backing(col, 27)) << col;
    EXPECT_TRUE(cell_is_backing(col, 0)) << col;
  }
  // Wrapping on the last row scrolls as well.
  r().LOCATE(0, 78, 27);
  r().write_text("xyz");
  EXPECT_EQ(row(26).substr(78), "xy");
  EXPECT_EQ(row(27).substr(0, 1), "z");
  EXPECT_EQ(row(25).substr(0, 6), "bottom");
}

TEST_F(TextTest, RepaintDrawsTheTextAgainInItsColour) {
  box(0, 0, 300, 40, paper ^ 0xFFFFFFu);
  r().LOCATE(0, 2, 1);
  r().PRINT(0, platform::utf8_to_sjis("Peakwend 山頂"));
  platform::Surface shown = r().picture();
  r().picture().fill(platform::rgb(255, 0, 255));
  r().repaint_window();
  EXPECT_TRUE(r().picture() == shown);
}

TEST_F(TextTest, ClearingTheTextLayerShowsTheGraphicsAndHomesTheCursor) {
  box(0, 0, 639, 100, paper ^ 0x0000FFu);
  r().LOCATE(0, 5, 3);
  r().PRINT(0, "some text");
  r().LOCATE(0, 20, 10);
  r().clear_text_layer();
  EXPECT_TRUE(r().picture() == r().backing());
  EXPECT_EQ(r().cursor_column(), 0);
  EXPECT_EQ(r().cursor_row(), 0);
  for (int n = 0; n < r().text_rows(); ++n) EXPECT_EQ(row(n), std::string(80, ' '));
  r().repaint_window();
  EXPECT_TRUE(r().picture() == r().backing()) << "nothing left to repaint";
}

TEST_F(TextTest, PrintUsingWritesAtTheCursorAndEndsTheLine) {
  r().LOCATE(0, 4, 2);
  r().PRINT_USING(0, "Time ####", {37.0});
  EXPECT_EQ(row(2).substr(4, 9), "Time   37");
  EXPECT_EQ(r().cursor_row(), 3);
  EXPECT_EQ(r().cursor_column(), 0);
  r().PRINT_USING(0, "Level   #", {2.0}, 2);
  EXPECT_EQ(r().cursor_row(), 3);
  EXPECT_EQ(r().cursor_column(), 9);
  // An error leaves the items before it on the screen.
  r().LOCATE(0, 0, 5);
  EXPECT_EQ(error_of([&] { r().PRINT_USING(0, "## ", {1.0, "x"}); }), 13);
  EXPECT_EQ(row(5).substr(0, 4), " 1  ");
}

TEST(TextReport, AnErrorReportAppearsInTheWindow) {
  Program p;
  unsigned line = 0;
  p.run([&](rt::Runtime& r) {
    r.SET_MAIN_MODULE("zideD.BAS");
    r.SET_MODULE("zideD.BAS");
    r.STMT();
    line = r.context().line;
    platform::Event key;
    key.type = platform::Event::Type::KeyDown;
    key.key = platform::Key::Enter;
    p.host().push_event(key);  // the key that ends the report
    r.LOCATE(0, 80, 0);
  });
  char header[64];
  std::snprintf(header, sizeof header, "zideD.BAS [%u行]:エラー[5]", line);
  std::string want = platform::utf8_to_sjis(header);
  std::string press = platform::utf8_to_sjis("任意のキーを押してください");
  int header_row = -1, press_row = -1;
  for (int n = 0; n < p.rt().text_rows(); ++n) {
    std::string text = p.rt().text_row(n);
    if (text.compare(0, want.size(), want) == 0) header_row = n;
    if (text.compare(0, press.size(), press) == 0) press_row = n;
  }
  EXPECT_EQ(header_row, 1) << "after the report's leading line break";
  EXPECT_GT(press_row, header_row);
}

TEST_F(TextTest, ScreenshotWithJapaneseAndAsciiText) {
  // A picture to look at: boxes under text, both scripts, wrapping.
  box(0, 0, 639, 503, platform::rgb(40, 40, 90) ^ (ink == platform::rgb(40, 40, 90)));
  box(60, 60, 420, 200, platform::rgb(0, 128, 0));
  box(300, 150, 600, 300, platform::rgb(128, 0, 0));
  r().LOCATE(0, 10, 4);
  r().PRINT(0, platform::utf8_to_sjis("Peakwend/T  ピークウェンド 山頂への道"));
  r().LOCATE(0, 10, 6);
  r().PRINT(0, platform::utf8_to_sjis("1. ゲーム開始     Start 1-Game"));
  r().LOCATE(0, 10, 7);
  r().PRINT(0, platform::utf8_to_sjis("2. レベル         Level"));
  r().LOCATE(0, 36, 9);
  r().PRINT_USING(0, platform::utf8_to_sjis("Time ####  \\\\#,###  ｱｲｳｴｵ"), {42.0, 1234.0});
  r().LOCATE(0, 0, 12);
  r().PRINT_USING(0, "  @       #       ###    #####",
                  {platform::utf8_to_sjis("ＡＢＣ太郎　"), 1.0, 50.0, 1234.0});
  r().LOCATE(0, 74, 14);
  r().PRINT(0, platform::utf8_to_sjis("wrap 折り返し ok"));
  r().LOCATE(0, 0, 27);
  r().write_text(platform::utf8_to_sjis("最下行 bottom row ¥\\ 記号 ①②③ ＡＢＣ"));

  auto dir = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  std::string path = (dir / "text_screenshot.png").string();
  std::string why;
  ASSERT_TRUE(platform::save_png(r().picture(), path, &why)) << why;
  platform::Surface back;
  ASSERT_TRUE(platform::load_png(path, &back, &why)) << why;
  EXPECT_TRUE(back == r().picture());
  EXPECT_EQ(row(15).substr(0, 8), platform::utf8_to_sjis("折り返し"));
}

}  // namespace

// The text grid: LOCATE, writing and wrapping, the picture under the text,
// scrolling, repainting, PRINT and PRINT USING.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/font.h"
#include "platform/sjis.h"
#include "tests/support/program.h"

namespace {

using platform::Rgb;
using testing_support::error_of;
using testing_support::Program;

constexpr int kW = rt::Text::kCellWidth, kH = rt::Text::kCellHeight;

std::string sjis(const char* utf8) {
  return platform::utf8_to_sjis(utf8);
}

// A started program whose picture and backing bitmap are one plain colour,
// different from the colour text is drawn in.
class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p.start();
    ink = r().palette_rgb(r().foreground());
    box(0, 0, 639, 503, ink ^ 0x406080u);
  }
  rt::Runtime& r() { return p.rt(); }
  std::string row(int n) { return r().text_row(n); }
  std::pair<int, int> cursor() { return {r().cursor_column(), r().cursor_row()}; }
  void at(int col, int line, const std::string& text) {
    r().LOCATE(0, col, line);
    r().write_text(text);
  }
  // Fills a box on both layers, as a filled LINE does.
  void box(int x0, int y0, int x1, int y1, Rgb c) {
    for (platform::Surface* s : {&r().backing(), &r().picture()}) {
      for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) s->set(x, y, c);
    }
  }
  // The cells from `col` show the glyph (or, without one, the backing bitmap).
  bool cell_shows(int col, int line, const std::optional<platform::Glyph>& g) {
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < (g ? g->width : kW); ++x) {
        int px = col * kW + x, py = line * kH + y;
        bool stroke = g && g->pixel(x, y - rt::Text::kGlyphTop);
        if (r().picture().get(px, py) != (stroke ? ink : r().backing().get(px, py))) return false;
      }
    }
    return true;
  }

  Program p;
  Rgb ink = 0;
};

TEST_F(TextTest, LocateChecksTheGridAndKeepsTheCursorOnError) {
  r().LOCATE(0, 79, 26);
  r().LOCATE(0, std::nullopt, 27);
  EXPECT_EQ(cursor(), std::pair(79, 27));
  r().LOCATE(0, 3, 4);
  const std::function<void()> bad[] = {
      [&] { r().LOCATE(0, 80, 5); }, [&] { r().LOCATE(0, -1, std::nullopt); },
      [&] { r().LOCATE(0, 5, 28); }, [&] { r().LOCATE(0, std::nullopt, -1); },
      [&] { r().LOCATE(0, 5, 5, 2); }};
  for (const auto& call : bad) EXPECT_EQ(error_of(call), 5);
  EXPECT_EQ(cursor(), std::pair(3, 4));
  r().LOCATE(0, std::nullopt, std::nullopt, 1);
  EXPECT_TRUE(r().cursor_visible());
  EXPECT_EQ(error_of([&] { r().LOCATE(1, 0, 0); }), 1000);
  EXPECT_EQ(error_of([&] { r().PRINT(2, "x"); }), 1000);
  EXPECT_EQ(error_of([&] { r().PRINT_USING(3, "#", {1.0}); }), 1000);
}

TEST_F(TextTest, GlyphsSitInTheirCellsAndWrapBeforeTheNextCharacter) {
  at(3, 2, "A");
  EXPECT_TRUE(cell_shows(3, 2, platform::narrow_glyph('A')));
  EXPECT_TRUE(cell_shows(4, 2, std::nullopt));
  EXPECT_EQ(r().text_colour(3, 2), ink);
  EXPECT_EQ(row(2).substr(0, 5), "   A ");
  EXPECT_GT(p.host().changes(), 0);

  at(75, 3, "ABCDE");
  EXPECT_EQ(row(3).substr(75), "ABCDE");
  EXPECT_EQ(cursor(), std::pair(80, 3)) << "no line break after the string";
  r().write_text("F");
  EXPECT_EQ(row(4).substr(0, 2), "F ");
  EXPECT_EQ(cursor(), std::pair(1, 4));
  // PRINT's own line break after a full line makes one break, not two.
  r().LOCATE(0, 70, 6);
  r().PRINT(0, "0123456789");
  EXPECT_EQ(cursor(), std::pair(0, 7));
}

TEST_F(TextTest, DoubleByteCharactersTakeTwoCellsAndAreNeverSplit) {
  std::string a = sjis("あ"), kan = sjis("漢");
  at(10, 1, a + "x");
  EXPECT_EQ(row(1).substr(10, 3), a + "x");
  EXPECT_TRUE(cell_shows(10, 1, platform::wide_glyph(0x82, 0xA0)));
  EXPECT_EQ(cursor(), std::pair(13, 1));
  at(79, 2, a);  // starting in the last column it goes to column 0 of the next row
  EXPECT_EQ(row(2)[79], ' ');
  EXPECT_EQ(row(3).substr(0, 2), a);
  EXPECT_EQ(cursor(), std::pair(2, 3));
  at(78, 5, a);  // in column 78 it still fits
  EXPECT_EQ(row(5).substr(78), a);

  // Overwriting half of one empties the other half.
  at(10, 8, kan + kan);
  at(11, 8, "x");
  EXPECT_EQ(row(8).substr(10, 4), " x" + kan);
  EXPECT_TRUE(cell_shows(10, 8, std::nullopt));
  at(13, 8, "y");
  EXPECT_EQ(row(8).substr(10, 5), " x y ");
  EXPECT_TRUE(cell_shows(12, 8, std::nullopt));
  EXPECT_EQ(r().text_colour(12, 8), std::nullopt);
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
      inked += r().picture().get(x, y) == ink;
      boxed += r().picture().get(x, y) == blue;
      ASSERT_EQ(r().backing().get(x, y), blue) << "text never reaches the backing bitmap";
    }
  }
  EXPECT_GT(inked, 20);
  EXPECT_EQ(inked + boxed, 5 * kW * kH) << "the box shows between the strokes";
  r().LOCATE(0, 10, 5);
  r().PRINT(0, "     ");
  EXPECT_TRUE(r().picture() == before);
}

TEST_F(TextTest, ControlCharactersAndPrintSeparators) {
  at(0, 1, "ab\rc\nd");  // CR returns, LF keeps the column
  EXPECT_EQ(row(1).substr(0, 2) + row(2).substr(0, 2), "cb d");
  at(0, 4, "a\tb\tc");
  EXPECT_EQ(row(4).substr(0, 17), "a       b       c");
  at(75, 6, "\tz");  // a tab past the last stop ends the line
  EXPECT_EQ(row(6).substr(75) + row(7).substr(0, 1), "     z");

  r().LOCATE(0, 0, 11);
  r().PRINT(0, "ab", 2);
  EXPECT_EQ(cursor(), std::pair(2, 11));
  r().PRINT(0, "cd", 1);
  EXPECT_EQ(cursor(), std::pair(14, 11));
  r().LOCATE(0, 60, 11);
  r().PRINT(0, "e", 1);  // the zone at 70 would not fit
  EXPECT_EQ(cursor(), std::pair(0, 12));
  EXPECT_EQ(row(11).substr(0, 4), "abcd");
}

TEST_F(TextTest, ALineBreakPastTheLastRowScrollsTheTextNotTheGraphics) {
  for (int y = 0; y < 504; y += 6) box(0, y, 639, y + 2, ink ^ 0x00FF00u);  // stripes
  at(0, 0, "top");
  r().LOCATE(0, 0, 26);
  r().PRINT(0, "above");
  r().PRINT(0, "bottom");  // on row 27; its line break scrolls
  EXPECT_EQ(cursor(), std::pair(0, 27));
  EXPECT_EQ(row(0).substr(0, 3), "   ");
  EXPECT_EQ(row(25).substr(0, 5), "above");
  EXPECT_EQ(row(26).substr(0, 6), "bottom");
  EXPECT_EQ(row(27), std::string(80, ' '));
  EXPECT_TRUE(cell_shows(0, 26, platform::narrow_glyph('b')));
  for (int col = 0; col < 80; ++col) {
    EXPECT_TRUE(cell_shows(col, 27, std::nullopt) && cell_shows(col, 0, std::nullopt)) << col;
  }
  at(78, 27, "xyz");  // wrapping on the last row scrolls as well
  EXPECT_EQ(row(25).substr(0, 6) + row(26).substr(78) + row(27).substr(0, 1), "bottomxyz");
}

TEST_F(TextTest, RepaintDrawsTheTextAgainAndClearingRemovesIt) {
  box(0, 0, 300, 40, ink ^ 0xFFFFFFu);
  r().LOCATE(0, 2, 1);
  r().PRINT(0, sjis("Peakwend 山頂"));
  platform::Surface shown = r().picture();
  r().picture().fill(platform::rgb(255, 0, 255));
  r().repaint_window();
  EXPECT_TRUE(r().picture() == shown);

  r().LOCATE(0, 20, 10);
  r().clear_text_layer();
  EXPECT_TRUE(r().picture() == r().backing());
  EXPECT_EQ(cursor(), std::pair(0, 0));
  EXPECT_EQ(row(1), std::string(80, ' '));
  r().repaint_window();
  EXPECT_TRUE(r().picture() == r().backing()) << "nothing left to repaint";
}

TEST_F(TextTest, PrintUsingWritesAtTheCursorAndEndsTheLine) {
  r().LOCATE(0, 4, 2);
  r().PRINT_USING(0, "Time ####", {37.0});
  EXPECT_EQ(row(2).substr(4, 9), "Time   37");
  EXPECT_EQ(cursor(), std::pair(0, 3));
  r().PRINT_USING(0, "Level   #", {2.0}, 2);
  EXPECT_EQ(cursor(), std::pair(9, 3));
  // An error leaves the items before it on the screen.
  r().LOCATE(0, 0, 5);
  EXPECT_EQ(error_of([&] { r().PRINT_USING(0, "## ", {1.0, "x"}); }), 13);
  EXPECT_EQ(row(5).substr(0, 4), " 1  ");
}

// A picture to look at, next to the test binary: boxes under text, both
// scripts, a score line, wrapping.
TEST_F(TextTest, ScreenshotWithJapaneseAndAsciiText) {
  box(60, 60, 420, 200, platform::rgb(0, 128, 0));
  at(10, 4, sjis("Peakwend/T  ピークウェンド 山頂への道"));
  at(10, 6, sjis("1. ゲーム開始     Start 1-Game"));
  r().LOCATE(0, 36, 9);
  r().PRINT_USING(0, sjis("Time ####  \\\\#,###  ｱｲｳｴｵ"), {42.0, 1234.0});
  r().PRINT_USING(0, "  @       #       ###    #####", {sjis("ＡＢＣ太郎　"), 1.0, 50.0, 1234.0});
  at(74, 14, sjis("wrap 折り返し ok"));
  EXPECT_EQ(row(15).substr(0, 8), sjis("折り返し"));

  auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "text_screenshot.png";
  std::string why;
  ASSERT_TRUE(platform::save_png(r().picture(), path.string(), &why)) << why;
}

}  // namespace

// The graphics statements (world coordinates, both layers, the palette, raster operations,
// GET/PUT blocks, CLS) and the text grid over them. The shapes' pixels are the surface's tests.
#include "runtime/screen.h"

#include "platform/font.h"
#include "runtime/text.h"
#include "tests/runtime/harness.h"
#include "tests/support/pixels.h"

namespace {

using namespace rt_test;
using platform::rgb;
using platform::Rgb;
using platform::Surface;
using rt::Box;
using rt::Coord;
using rt::STEP;
using testing_support::count;

constexpr int kBottom = 503;  // pixel row of world y = 0
constexpr Rgb kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF, kSilver = 0xC0C0C0;

class Screen : public Started {
 protected:
  Surface& picture() { return p.host().picture(); }
  Surface& backing() { return r().backing(); }
  Rgb at(int x, int world_y) { return picture().get(x, kBottom - world_y); }
  void dot(double x, double y, int colour) { r().LINE(0, Coord{x, y}, Coord{x, y}, colour); }
};

TEST_F(Screen, CoordinatesRoundHalfAwayFromZeroAndStepStartsFromTheLastPoint) {
  dot(10.5, 20.4, 15);  // pixel (11, round(482.6))
  EXPECT_EQ(std::pair(at(11, 20), count(picture(), kWhite)), std::pair(kWhite, 1));
  const std::tuple<double, int, double> maps[] = {{123, 2, 123},       {0, 3, 503},  {503, 3, 0},
                                                  {100.25, 3, 402.75}, {7.5, 0, 8},  {-7.5, 0, -8},
                                                  {10, 1, 493},        {-20, 1, 523}};
  for (auto [v, direction, want] : maps) EXPECT_EQ(r().PMAP(0, v, direction), want) << direction;
  r().CIRCLE(0, Coord{200.5f, 100.25f}, 5, 15);
  r().CIRCLE(0, STEP(-100, 20), 0.5, 15);  // CIRCLE's centre is the last point
  EXPECT_EQ(std::pair(r().last_x(), r().last_y()), std::pair(100.5f, 120.25f));
}

// A window that comes up painted shows the background colour once the program starts.
TEST(ScreenStart, ThePictureStartsInTheBackgroundColour) {
  Program p;
  std::string why;
  ASSERT_TRUE(p.host().create_window({"Peakwend/T", 640, 504}, &why)) << why;
  p.host().picture().fill(0x123456);
  p.rt().start_areas();
  EXPECT_EQ(count(p.host().picture(), 0), 640 * 504);
}

TEST_F(Screen, PaletteDefaultsAndTheCodeFormsTwoSets) {
  const Rgb defaults[16] = {0x000000, 0x808080, 0x000080, 0x0000FF, 0x800000, 0xFF0000,
                            0x800080, 0xFF00FF, 0x008000, 0x00FF00, 0x008080, 0x00FFFF,
                            0x808000, 0xFFFF00, 0xC0C0C0, 0xFFFFFF};
  const Rgb standard[16] = {0x808080, 0x000080, 0x800000, 0x800080, 0x008000, 0x008080,
                            0x808000, 0xC0C0C0, 0x000000, 0x0000FF, 0xFF0000, 0xFF00FF,
                            0x00FF00, 0x00FFFF, 0xFFFF00, 0xFFFFFF};
  for (int n = 0; n < 16; ++n) EXPECT_EQ(r().palette_rgb(n), defaults[n]) << n;
  // The code form takes the bright set in colour mode 4 (the default) and 5, else the dark set.
  for (int mode : {4, 0}) {
    if (mode != 4) r().COLOR(0, std::nullopt, std::nullopt, std::nullopt, mode);
    for (int code = 0; code < 8; ++code) {
      r().PALETTE(0, 15 - code, code);
      EXPECT_EQ(r().palette_rgb(15 - code), standard[code + (mode == 4 ? 8 : 0)]) << mode << code;
    }
  }
}

TEST_F(Screen, FunctionsSelectTheRasterOperationAndStylesThePen) {
  r().LINE(0, Coord{0, 0}, Coord{99, 99}, 14, Box::BF);
  // Colour, function and pen style, and what a line leaves over silver: XOR, NOT, AND, OR, copy
  // (0 and any other number), the defaults, the null pen (5) and inside-frame (6, solid).
  // clang-format off
  for (auto [colour, function, style, want] : {std::tuple(5, 4, 0, 0x3FC0C0u), {0, 5, 0, 0x3F3F3F},
       {3, 2, 0, 0x0000C0}, {5, 3, 0, 0xFFC0C0}, {5, 0, 0, kRed}, {5, 9, 0, kRed},
       {5, -1, -1, kRed}, {5, 0, 5, kSilver}, {5, 0, 6, kRed}}) {
    // clang-format on
    r().LINE(0, Coord{0, 50}, Coord{99, 50}, 14);
    r().LINE(0, Coord{0, 50}, Coord{99, 50}, colour, Box::None, std::nullopt, function, style);
    EXPECT_EQ(std::pair(at(60, 50), backing().get(60, kBottom - 50)), std::pair(want, want))
        << function << " " << style;
  }
  r().COLOR(0, 15, 3);  // PRESET without a colour draws in the background colour
  r().LINE(0, Coord{0, 90}, Coord{99, 90}, std::nullopt, Box::None, std::nullopt, 1);
  r().LINE(0, Coord{200, 100}, Coord{209, 109}, 5, Box::BF, 3);  // BF in its own fill colour
  EXPECT_EQ(count(picture(), kBlue), 100 + 100);
}

TEST_F(Screen, GetStoresABitmapThatPutDrawsBack) {
  r().LINE(0, Coord{0, 0}, Coord{639, 503}, 14, Box::BF);
  dot(0, 0, 5);    // bottom-left pixel of the block
  dot(39, 19, 3);  // top-right
  r().CIRCLE(0, Coord{20, 10}, 12, 13, 0.5, 0, 0, true);
  const Surface before = picture();
  std::vector<std::uint8_t> block(40 + 12 + 40 * 20 * 4, 0xAA);
  ASSERT_EQ(rt::Screen::block_bytes(40, 20), block.size());
  r().GET(0, Coord{0, 0}, STEP(39, 19), block);
  r().PUT(0, Coord{0, 0}, STEP(39, 19), block, 0);
  EXPECT_TRUE(picture() == before && backing() == before) << "put back in place: no change";
  r().PUT(0, Coord{600, 19}, STEP(39, 19), block);
  EXPECT_EQ(std::tuple(at(600, 19), at(601, 19), at(639, 38), backing().get(639, kBottom - 38)),
            std::tuple(kRed, kSilver, kBlue, kBlue));
  // The red pixel put over silver in each mode.
  for (auto [mode, want] : {std::pair(4, 0x3FC0C0u), {5, 0x00FFFF}, {2, 0xC00000}, {3, 0xFFC0C0}}) {
    r().LINE(0, Coord{100, 100}, Coord{139, 119}, 14, Box::BF);
    r().PUT(0, Coord{100, 100}, STEP(39, 19), block, mode);
    EXPECT_EQ(at(100, 100), want) << mode;
  }
  auto changed = [&](std::size_t at, std::uint8_t v) {
    auto b = block;
    b[at] = v;
    return b;
  };
  // clang-format off
  const std::vector<std::uint8_t> bad[] = {{}, {block.begin(), block.end() - 4},
      {block.begin(), block.begin() + 48}, changed(0, 41), changed(5, 0x7F), changed(8, 0),
      changed(12, 2), changed(14, 24), changed(16, 1), changed(42, 0), changed(45, 0),
      changed(48, 0)};
  // clang-format on
  for (std::size_t i = 0; i < std::size(bad); ++i)
    EXPECT_EQ(error_of([&] { r().PUT(0, Coord{0, 0}, STEP(39, 19), bad[i]); }), 5) << i;
}

TEST_F(Screen, ExposeRepaintsFromTheBackingAndClsClearsItsLayers) {
  r().LINE(0, Coord{10, 10}, Coord{60, 40}, 5, Box::BF);
  picture().fill(rgb(1, 2, 3));  // the window was covered
  platform::Event expose;
  expose.type = platform::Event::Type::Expose;
  p.host().push_event(expose);
  r().pump_messages();
  EXPECT_TRUE(picture() == backing() && count(picture(), kRed) == 51 * 31);
  // Mode, then whether it clears the graphics and the text; 0 fills with the background colour.
  // clang-format off
  for (auto [mode, graphics_go, text_goes] : {std::tuple(1, true, false), {2, false, true},
       {3, true, true}, {4, false, true}, {5, true, false}, {0, true, true}}) {
    // clang-format on
    r().COLOR(0, std::nullopt, mode == 0 ? 2 : 0);
    r().LINE(0, Coord{10, 10}, Coord{60, 40}, 5, Box::BF);
    r().LOCATE(0, 5, 7);
    r().PRINT(0, "TEXT");
    r().CLS(0, mode);
    bool text_gone = r().text_row(7) == std::string(80, ' ') && r().cursor_row() == 0;
    EXPECT_EQ(
        std::tuple(count(backing(), kRed) == 0, text_gone, text_gone && picture() != backing()),
        std::tuple(graphics_go, text_goes, false))
        << mode;
  }
  EXPECT_EQ(count(picture(), 0x000080), 640 * 504);
}

TEST_F(Screen, BadArgumentsRaiseTheirErrorsBeforeAnyDrawing) {
  const Coord o{0, 0}, c{50, 50}, n{9, 9}, k{39, 19};
  std::vector<std::uint8_t> block(rt::Screen::block_bytes(40, 20)), small(block.size() - 1, 0x5A);
  rt::Runtime& s = r();
  s.GET(0, o, k, block);  // a good block, so that PUT fails on its corners alone
  s.LINE(0, Coord{7, 7}, Coord{8, 8}, 2);
  const Surface before = picture();
  // clang-format off
  const std::pair<int, std::function<void()>> cases[] = {
      {1000, [&] { s.CLS(1, 0); }}, {1000, [&] { s.PALETTE_RGB(-1, 1, 1, 1, 1); }},
      {1000, [&] { s.LINE(1, o, n); }}, {1000, [&] { s.CIRCLE(1, c, 3); }},
      {1000, [&] { s.PUT(1, o, k, block); }}, {1000, [&] { s.PRINT(2, "x"); }},
      {1000, [&] { s.COLOR(1, 15); }},
      {5, [&] { s.CLS(0, 6); }}, {5, [&] { s.COLOR(0, 16); }}, {5, [&] { s.COLOR(0, 1, 16); }},
      {5, [&] { s.COLOR(0, 1, 1, 16); }}, {5, [&] { s.COLOR(0, 1, 1, 1, 3); }},
      {5, [&] { s.COLOR(0, 1, 1, 1, 6); }}, {5, [&] { s.PALETTE(0, 16, 1); }},
      {5, [&] { s.PALETTE(0, 1, 8); }}, {5, [&] { s.PALETTE_RGB(0, 1, 256, 1, 1); }},
      {5, [&] { s.LINE(0, o, n, 16); }}, {5, [&] { s.LINE(0, o, n, 1, Box::BF, 16); }},
      {5, [&] { s.LINE(0, o, n, 1, Box::None, std::nullopt, -1, 7); }},
      {6, [&] { s.LINE(0, Coord{-3e9, 0}, n); }}, {5, [&] { s.CIRCLE(0, c, -1, 1); }},
      {5, [&] { s.CIRCLE(0, c, 5, 1, -0.5); }}, {5, [&] { s.CIRCLE(0, c, 5, 1, 1, 7, 1); }},
      {5, [&] { s.GET(0, o, k, small); }}, {6, [&] { s.CIRCLE(0, c, 3e9, 1); }},
      {6, [&] { s.GET(0, o, Coord{4e9, 19}, block); }}, {5, [&] { s.PMAP(0, 1, 4); }},
      {5, [&] { s.GET(0, Coord{-1, 0}, k, block); }}, {6, [&] { s.PMAP(0, -3e9, 1); }},
      {5, [&] { s.GET(0, o, Coord{39, 504}, block); }}, {5, [&] { s.LOCATE(0, 80, 5); }},
      {5, [&] { s.PUT(0, Coord{0, -1}, k, block); }}, {5, [&] { s.LOCATE(0, 5, 28); }}};
  // clang-format on
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(error_of(cases[i].second), cases[i].first) << "case " << i;
    ASSERT_TRUE(picture() == before && backing() == before && s.last_x() == 8) << "case " << i;
    ASSERT_EQ(std::pair(s.cursor_column(), s.cursor_row()), std::pair(0, 0)) << "case " << i;
  }
  EXPECT_EQ(std::count(small.begin(), small.end(), 0x5A), static_cast<long>(small.size()));
  EXPECT_EQ(
      std::tuple(s.foreground(), s.background(), s.border(), s.color_mode(), s.palette_rgb(1)),
      std::tuple(15, 0, 0, 4, 0x808080u));
  EXPECT_EQ(error_of([&] { s.CIRCLE(0, c, 5, 1, 1, 0, 6.2831855f); }), 0) << "2 pi as a SINGLE";
}

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

TEST_F(Text, WritingWrapsBeforeTheNextCharacterAndNeverSplitsADoubleByteOne) {
  const std::string a = sjis("あ"), k = sjis("漢");
  const struct {
    int col, row;
    std::string text, want;  // the grid from (col, row) on, rows joined
    std::pair<int, int> cursor;
  } cases[] = {
      {75, 1, "ABCDE", "ABCDE", {80, 1}},  // no line break after the string
      {75, 2, "ABCDEF", "ABCDEF", {1, 3}},
      {79, 5, a, " " + a, {2, 6}},  // from the last column to the next row
      {78, 7, a + "x", a + "x", {1, 8}},
      {0, 9, "ab\rc\nd", "cb" + std::string(79, ' ') + "d", {2, 10}},      // LF keeps the column
      {75, 14, "ABCDE\tz", "ABCDE" + std::string(8, ' ') + "z", {9, 15}},  // past the last stop
      {0, 16, k + k, k + k, {4, 16}},
      {1, 16, "x", "x", {2, 16}},  // over half of a double-byte character: the other half empties
      {3, 16, "y", "y", {4, 16}},
  };
  for (const auto& c : cases) {
    at(c.col, c.row, c.text);
    std::string grid;
    for (int row = c.row; row < 28; ++row) grid += r().text_row(row);
    EXPECT_EQ(grid.substr(static_cast<std::size_t>(c.col), c.want.size()), c.want) << c.text;
    EXPECT_EQ(cursor(), c.cursor) << c.text;
  }
  at(0, 20, "\x07Q" + k + "\x82");  // a control byte and a lone first byte show as '?'
  EXPECT_EQ(shown(r(), 20) + "|" + r().text_row(16).substr(0, 5), "?Q漢?| x y ");
}

TEST_F(Text, GlyphsKeepTheInkOfTheirTimeAndComeBackOnRepaint) {
  at(3, 2, "A");
  r().COLOR(0, 5);
  at(4, 2, sjis("あ"));
  const platform::Surface drawn = r().picture();
  r().picture().fill(0xFF00FF);
  r().repaint_window();
  EXPECT_TRUE(r().picture() == drawn && shows(3, 2, platform::narrow_glyph('A'), ink) &&
              shows(4, 2, platform::wide_glyph(0x82, 0xA0), 0xFF0000) && shows(6, 2, std::nullopt));
}

TEST_F(Text, PrintSeparatorsEndTheLinePadToAZoneOrDoNothing) {
  const std::tuple<int, const char*, int, std::pair<int, int>> cases[] = {
      {0, "ab", 2, {2, 3}}, {2, "cd", 1, {14, 3}},         {50, "e", 1, {56, 3}},
      {60, "e", 1, {0, 4}}, {70, "0123456789", 0, {0, 4}}, {5, "", 0, {0, 4}}};
  for (auto [col, text, separator, want] : cases) {
    r().LOCATE(0, col, 3);
    r().PRINT(0, text, separator);
    EXPECT_EQ(cursor(), want) << col << " " << text;
  }
  EXPECT_EQ(r().text_row(3).substr(0, 4) + r().text_row(3).substr(50, 6), "abcde     ");
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

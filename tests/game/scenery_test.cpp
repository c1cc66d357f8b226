// The field and its walls, the random layout, the drawing of the field and its obstacles (at
// pixels whose places follow from the drawing rules), the tree ending and the palettes.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/field.h"
#include "tests/support/pixels.h"

namespace {

using testing_support::GameProgram;
using Circles = std::vector<std::array<float, 4>>;  // x, y, radius, kind
using platform::Rgb;
using testing_support::Circle;

// The runtime's generator, from its definition: a 32-bit linear congruence
// whose bits 9..31 are the fraction; 0 is skipped.
struct Generator {
  std::uint32_t state;
  double next() {
    for (;;) {
      state = state * 2058568021u + 1276750819u;
      if (std::uint32_t f = (state >> 9) & 0x7FFFFFu) return f / 8388608.0;
    }
  }
};

// Makes the runtime's generator state `target`.
void set_generator(rt::Runtime& r, std::uint32_t target) {
  r.RANDOMIZE(static_cast<std::int32_t>(r.random_state() ^ target));
}

// Whether circles of radius sum `r` at these centres overlap (touching is fine).
bool overlap(double r, double x1, double y1, double x2, double y2) {
  return r * r > (x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2);
}

// A layout by the building rules, drawing from `gen`, with the zone tables
// of `z` (zones 1 and 2 the corner mountains).
Circles by_the_rules(Generator& gen, game::Zided& z) {
  // A centre for radius r: x in 81 + r .. 539 - r, then y in y0 + r .. y0 + 430 - r.
  auto centre = [&](double r, double y0) {
    auto x = static_cast<float>(81 + r + (458 - 2 * r) * gen.next());
    return std::pair{x, static_cast<float>(y0 + r + (430 - 2 * r) * gen.next())};
  };
  std::vector<float> px(31), py(31);
  px[1] = -50, py[1] = 600, px[2] = 670, py[2] = 600;
  for (int k = 3; k <= 30; ++k) {  // zones keep a walker's width (20) apart
    for (bool fits = false; !fits;) {
      std::tie(px[k], py[k]) = centre(z.ZONE_A(k), 17);
      fits = true;
      for (int j = 1; j < k; ++j)
        fits = fits && !overlap(z.ZONE_A(k) + z.ZONE_A(j) + 20, px[j], py[j], px[k], py[k]);
    }
  }
  Circles out;
  for (int k = 1; k <= 30; ++k) {
    double a = z.ZONE_A(k);
    const auto kind = static_cast<float>(z.ZONE_B(k));
    if (a != 50 && a != 40 && a != 30) {
      out.push_back({px[k], py[k], static_cast<float>(a), kind});
      continue;
    }
    // A cluster: 5 x 16, 3 x 16 or 2 x 14, centres at least r apart; pi a SINGLE.
    const double r = a == 30 ? 14 : 16;
    const std::size_t first = out.size(), m = a == 50 ? 5 : a == 40 ? 3 : 2;
    while (out.size() < first + m) {
      auto d = static_cast<float>((a - r) * gen.next());
      auto angle = static_cast<float>(2 * double(float(3.14159)) * gen.next());
      auto x = static_cast<float>(px[k] + d * std::cos(double(angle)));
      auto y = static_cast<float>(py[k] + d * std::sin(double(angle)));
      bool fits = true;
      for (std::size_t i = first; i < out.size(); ++i)
        fits = fits && !overlap(r, out[i][0], out[i][1], x, y);
      if (fits) out.push_back({x, y, static_cast<float>(r), kind});
    }
  }
  for (int k = 1; k <= 57; ++k) {  // snow patches overlap nothing placed before
    const double r = k <= 20 ? 14 : 10;
    for (bool fits = false; !fits;) {
      auto [x, y] = centre(r, 33);
      fits = true;
      for (const auto& c : out) fits = fits && !overlap(r + c[2], c[0], c[1], x, y);
      if (fits) out.push_back({x, y, static_cast<float>(r), 15});
    }
  }
  return out;
}

// Two layouts built one after the other: the second of the clock after the wait is XORed into
// the generator, which goes on. Each shows its message for a second on the walled field.
TEST(Setfd, BuildsLayoutsByTheRulesFromTheGeneratorAndTheSecond) {
  platform::HostOptions o;
  o.start_time = platform::LocalTime{2024, 3, 9, 14, 27, 33};
  GameProgram g(o);
  const std::uint32_t state = 0x9E3779B9u;  // zones 1 and 2 as level 1 has them
  std::vector<Circles> built;
  g.run([&](game::Zided& z) {
    z.ZONE_A(1) = z.ZONE_A(2) = 330;
    z.DFWALL();
    set_generator(z.runtime(), state);
    for (int b = 0; b < 2; ++b) {
      game::Single n = 0;
      const std::uint32_t t0 = g.host().now();
      z.SETFD(1, n);
      EXPECT_TRUE(g.host().now() - t0 > 1000u && g.host().now() - t0 < 1010u);
      EXPECT_EQ(n, 100);
      Circles c;
      for (int j = 1; j <= 100; ++j)
        c.push_back({float(z.SAVED_OX(j, 1)), float(z.SAVED_OY(j, 1)), float(z.SAVED_OR(j, 1)),
                     float(z.SAVED_OT(j, 1))});
      built.push_back(c);
    }
  });
  EXPECT_TRUE(g.shows(20, 28, " Lay out Mountains "));
  EXPECT_EQ(g.rt().text_colour(29, 20), g.rt().palette_rgb(15));
  EXPECT_EQ(g.rt().foreground(), 7);
  EXPECT_EQ(g.rt().cursor_row(), 21) << "the message ends its line";
  Generator gen{state ^ 34u};
  EXPECT_EQ(built[0], by_the_rules(gen, g.game()));
  gen.state ^= 35u;
  EXPECT_EQ(built[1], by_the_rules(gen, g.game()));
}

// A candidate exactly touching is kept, one overlapping drawn again: zone 3
// against zone 1 with the walker's gap, a snow patch against a circle.
TEST(Layout, TouchingIsAcceptedAndOverlappingRedrawn) {
  for (bool touching : {true, false}) {
    SCOPED_TRACE(touching);
    Generator zone{0x0BADF00Du}, snow{0x13579BDFu};
    const auto x = static_cast<float>(131 + 358 * zone.next()),
               y = static_cast<float>(67 + 330 * zone.next());
    const auto sx = static_cast<float>(95 + 430 * snow.next()),
               sy = static_cast<float>(47 + 402 * snow.next());
    GameProgram g;
    g.run([&](game::Zided& z) {
      z.DFWALL();
      z.ZONE_A(1) = 10;  // 50 + 10 + 20 = 80 from zone 3's first candidate, or 79
      z.ZONE_PX(1) = x + (touching ? 80.0f : 79.0f), z.ZONE_PY(1) = y, z.ZONE_PX(2) = -5000;
      set_generator(z.runtime(), 0x0BADF00Du);
      z.DZONE(3);
      z.WX(1) = sx + 24.0f, z.WY(1) = sy, z.WR(1) = touching ? 10 : 10.25;  // 14 + 10 = 24
      set_generator(z.runtime(), 0x13579BDFu);
      z.SNOW(1, 1);
    });
    game::Zided& z = g.game();
    EXPECT_EQ(z.ZONE_PX(3) == x && z.ZONE_PY(3) == y, touching);
    EXPECT_EQ(z.WX(2) == sx && z.WY(2) == sy, touching);
    EXPECT_EQ((std::vector<double>{z.WR(2), z.WT(2)}), (std::vector<double>{14, 15}));
  }
}

constexpr Rgb rgb(int r, int g, int b) {
  return static_cast<Rgb>((r << 16) | (g << 8) | b);
}

// A game's picture before a launch: mountain 1 where level 2 has it,
// mountain 2 out of sight, cluster circle 3, zone circle 20 (radius 25,
// kind 11), patch 44 and a removed patch 70.
TEST(Field, FrameFloorGoalLineSkyAndObstaclesInTheLandscapeColours) {
  constexpr Rgb kFloor = rgb(0, 80, 0), kFrame = rgb(0, 140, 0), kGrey = rgb(150, 150, 150);
  constexpr Rgb kWhite = rgb(255, 255, 255), kGreen = rgb(0, 255, 75);  // entry 11
  for (auto [left, sky] : {std::pair{10, rgb(120, 120, 50)}, {1, rgb(150, 50, 50)}}) {
    SCOPED_TRACE(left);
    GameProgram g;
    g.run([&, left = left](game::Zided& z) {
      testing_support::standard_walls(z);
      z.PALET2();
      z.FRESH();
      // clang-format off
      testing_support::place(z, {{1, {-50, 600, 300, 1}}, {2, {-1000, -1000, 10, 1}},
                                 {3, {450, 100, 16, 14}}, {20, {300, 200, 25, 11}},
                                 {44, {400, 300, 14}}, {70, {200, 300, 14, 15, 1, -1}}});
      // clang-format on
      z.TRIES_LEFT = left;
      z.FRESH1();
    });
    const std::tuple<int, int, Rgb> at[] = {
        {40, 100, kFrame},  {63, 100, kFrame},  {64, 100, kFrame},  {79, 100, kFrame},
        {80, 100, kFloor},  {540, 100, kFloor}, {541, 100, kFrame}, {556, 100, kFrame},
        {639, 100, kFrame}, {300, 464, kGrey},  {528, 464, kGrey},  {529, 464, kFloor},
        {300, 465, sky},    {528, 503, sky},    {529, 470, kFloor}, {150, 400, sky},
        {180, 400, kFloor}, {450, 100, kGrey},  {300, 200, kGreen}, {276, 200, kGreen},
        {275, 200, kFloor}, {300, 222, kGreen}, {316, 216, kGreen}, {400, 300, kWhite},
        {387, 300, kWhite}, {200, 300, kFloor}};
    for (auto [x, y, c] : at) EXPECT_EQ(g.at(x, y), c) << x << "," << y;
    // Mountain 1's grey outline crosses the row y = 400 at -50 + sqrt(299^2 - 200^2) = 172.3.
    const platform::Surface& s = g.rt().backing();
    EXPECT_GE(testing_support::count_in(s, kGrey, 168, 503 - 400, 176, 503 - 400), 1);
  }
}

// Trees on a screen of their own, every palette entry a colour of its own.
TEST(Ending, TreesAndTheirRingsForZoneCirclesAndPatchesOnly) {
  auto colour = [](int e) { return rgb(16 * e, 255 - 16 * e, 8 * e + 1); };
  GameProgram g;
  std::uint32_t took = 0;
  g.run([&](game::Zided& z) {
    for (int e = 0; e <= 15; ++e) z.runtime().PALETTE_RGB(0, e, 255 - 16 * e, 16 * e, 8 * e + 1);
    z.runtime().CLS(0, 0);
    // clang-format off
    testing_support::place(z, {{1, {100, 400, 5, 1}}, {5, {200, 400, 16, 14}},
                               {10, {300, 400, 16, 13}}, {43, {120, 200, 10, 10}},
                               {25, {230, 200, 25, 4}}, {44, {340, 200, 14, 15}},
                               {52, {440, 200, 10, 15}}, {64, {500, 400, 10, 15, 1, -1}}});
    // clang-format on
    took = g.host().now();
    z.ENDING();
    took = g.host().now() - took;
  });
  // Distances 0..32 from (x, y), left along the row or up the column, in entry e.
  auto found = [&](int x, int y, int dx, int dy, int e) {
    std::set<int> s;
    for (int d = 0; d <= 32; ++d) {
      if (g.at(x - d * dx, y - d * dy) == colour(e)) s.insert(d);
    }
    return s;
  };
  // A tree: circles 9, 8, 6, 4 and a round dot of 4; then rings 11, 13, ...
  // up to the obstacle's radius - 1 + 6; in its kind, or TREE_TAB(k - 43)
  // for a snow patch k. Each: x, y, entry, last ring.
  const std::array<int, 4> trees[] = {
      {120, 200, 10, 15}, {230, 200, 4, 29}, {340, 200, 4, 19}, {440, 200, 12, 15}};
  for (auto [x, y, entry, last] : trees) {
    std::set<int> want = {0, 1, 2, 3, 4, 6, 8, 9};
    for (int r = 11; r <= last; r += 2) want.insert(r);
    EXPECT_EQ(found(x, y, 1, 0, entry), want) << x;
    EXPECT_EQ(found(x, y, 0, -1, entry), want) << x;
  }
  const platform::Surface& s = g.rt().backing();
  for (int e : {1, 13, 14, 15}) EXPECT_EQ(testing_support::count(s, colour(e)), 0) << e;
  EXPECT_EQ(testing_support::count_in(s, colour(0), 470, 503 - 430, 530, 503 - 370), 61 * 61)
      << "the removed patch";
  EXPECT_EQ(took, 20u * (200 + 2)) << "twenty steps of WAIT1(200), a reading a millisecond";
}

// Each set changes its entries (as RRGGBB, "-" where unchanged) and nothing else.
TEST(Palettes, EachSetChangesItsEntriesAndNothingElse) {
  const std::pair<std::function<void(game::Zided&)>, const char*> cases[] = {
      {[](game::Zided& z) { z.PALET0(); },
       "- - - 0000FF - FF0000 - FF00FF - 00FF00 - 00FFFF - FFFF00 - FFFFFF"},
      // Colour number i (entry COLMAP(i)) takes the colour of number i + n, 8 as 1.
      {[](game::Zided& z) { z.PALET1(8); },
       "- - - 00FF00 - FF00FF - FFFF00 - 00FFFF - FF0000 - FFFFFF - 0000FF"},
      {[](game::Zided& z) { z.PALET1(2); },
       "- - - 00FFFF - FFFF00 - FFFFFF - FF0000 - FF00FF - 0000FF - 00FF00"},
      // The landscape: sky (1) and snow (15) are left alone.
      {[](game::Zided& z) { z.PALET2(); },
       "005000 - 008C00 C8C814 00FF00 00E600 00CD00 00B400 4BFF00 4BFF4B 4BFF96 00FF4B 4BFF4B "
       "008796 969696 -"},
      {[](game::Zided& z) { z.PALETS(); },
       "- - - - - - - - FAC8FA FABEFA FAB4FA FAAAFA FAA0FA - - -"},
      {[](game::Zided& z) { z.PALETM(); },
       "- - - - FF3700 FF5000 FF6900 FF8200 FF9B00 FFB400 FFCD00 FFE600 FFFF00 - - -"},
  };
  for (const auto& [set, want] : cases) {
    GameProgram g;
    std::string out;
    g.run([&, set = set](game::Zided& z) {  // every entry a marker of its own first
      Rgb before[16];
      for (int e = 0; e < 16; ++e) z.runtime().PALETTE_RGB(0, e, 7, 3 * e + 1, 9);
      for (int e = 0; e < 16; ++e) before[e] = g.rt().palette_rgb(e);
      set(z);
      for (int e = 0; e < 16; ++e) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%06X", g.rt().palette_rgb(e));
        out += std::string(e ? " " : "") + (g.rt().palette_rgb(e) == before[e] ? "-" : hex);
      }
    });
    EXPECT_EQ(out, want);
  }
}

}  // namespace

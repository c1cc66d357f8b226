// The game loop: single simulation steps on fields of the test's making, and
// whole games on a field where a walker going straight up meets nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/midi.h"
#include "tests/support/field.h"

namespace {

using testing_support::Circle;

constexpr float kDt = 0.06f;
constexpr int kScale[8] = {0, 2, 4, 5, 7, 9, 11, 12};

// A coordinate after one step's move, as SINGLE.
float moved(double p, double v) {
  return static_cast<float>(p + v * double(kDt));
}

struct Walker {
  double x, y, vx, vy;
  double active = 1;  // WACTIVE
};

struct Row {
  const char* what;
  Walker w;  // before the step's move; active 0 stands still
  std::map<int, Circle> obstacles;
  int hit, index;  // the contact answered
  double wall_e = 1;
  bool midi = true;
};

// Everything a step does follows from the contact it answers: the rebound,
// the note, the pause at a zone circle, the wear of a snow patch.
TEST(SimulationStep, AnswersTheNearestContactTheWalkerMovesInto) {
  // clang-format off
  const Row rows[] = {
      {"nothing in reach", {300, 200, 20, 15}, {}, 0, 0},
      {"side wall 1, moving in", {86, 200, -20, 5}, {}, 1, 1},
      {"side wall 1, moving away", {86, 200, 20, 5}, {}, 0, 0},
      {"side wall 2, moving in", {534, 200, 20, -5}, {}, 1, 2, 0.5},
      {"start edge, moving in", {300, 6, 3, -20}, {}, 1, 3, 0.5},
      {"start edge, moving away", {300, 6, 0, 20}, {}, 0, 0},
      {"goal edge", {300, 455, 0, 20}, {}, 1, 4},
      {"a wall one radius away", {90, 200, -20, 0, 0}, {}, 0, 0},
      {"side wall 1 grazed", {85, 200, -0.5, 20, 0}, {}, 1, 1},
      {"start edge grazed", {300, 5, 20, -0.5, 0}, {}, 1, 3},
      {"an obstacle grazed", {300, 200, 20, 0.05, 0}, {{42, {300, 215, 10, 4}}}, 2, 42},
      {"a walker out of the contact tests", {85, 200, -20, 0, -1}, {}, 0, 0},
      {"obstacle 42 ahead", {300, 200, 0, 20}, {{42, {300, 216, 10, 4}}}, 2, 42},
      {"42 overlapped, moving away", {300, 200, 0, -20}, {{42, {300, 216, 10, 4}}}, 0, 0},
      {"moving along an obstacle", {300, 200, 20, 0, 0}, {{42, {300, 215, 10, 4}}}, 0, 0},
      {"an obstacle just touching", {300, 200, 0, 20, 0}, {{42, {300, 220, 10, 4}}}, 0, 0},
      {"a removed patch", {300, 200, 0, 20}, {{50, {300, 210, 10, 15, 1, -1}}}, 0, 0},
      {"oblique, e = (1 + 0.5) / 2", {300, 200, 20, 0}, {{8, {307.2, 208, 10, 8, 0.5}}}, 2, 8},
      {"tie: lower number", {300, 200, 0, 20, 0}, {{5, {306, 208, 10, 8}}, {7, {294, 208, 10, 8}}},
       2, 5},
      {"a tie goes to the wall", {300, 455, 0, 20, 0}, {{9, {300, 474, 10, 4}}}, 1, 4},
      {"a tie of two walls goes to the lower number", {85, 5, -20, -20, 0}, {}, 1, 1},
      {"wall at (10 + 5)^2, obstacle 16", {85, 200, -20, 0, 0}, {{11, {69, 200, 10, 4}}}, 1, 1},
      {"obstacle at 14, side wall at 5", {85, 200, -20, 0, 0}, {{11, {71, 200, 10, 4}}}, 2, 11},
      {"obstacle at 14, start edge at 5", {300, 5, 0, -20, 0}, {{12, {300, -9, 10, 4}}}, 2, 12},
      {"a mountain's edge at 15 before an obstacle at 17",
       {300, 200, 0, 20, 0}, {{1, {300, 505, 300, 1}}, {20, {312, 212, 10, 4}}}, 2, 1},
      {"an obstacle at 11.3 before a mountain's edge at 15",
       {300, 200, 0, 20, 0}, {{1, {300, 505, 300, 1}}, {20, {308, 208, 10, 4}}}, 2, 20},
      {"edge at 44.727: 2000.5 > 2000", {300, 200, 0, 20, 0}, {{2, {300, 445.273, 300, 1}}}, 0, 0},
      {"edge at 44.72: 1999.9", {300, 200, 0, 20, 0}, {{2, {300, 445.28, 300, 1}}}, 2, 2},
      {"cluster circle 3", {300, 200, 0, 20}, {{3, {300, 224, 16, 14}}}, 2, 3},
      {"zone circle 43", {300, 200, 0, 20}, {{43, {300, 216, 10, 4}}}, 2, 43},
      {"snow patch 44 of 14", {300, 200, 0, 20}, {{44, {300, 220, 14}}}, 2, 44},
      {"snow patch 100 of 10", {300, 200, 0, 20}, {{100, {300, 216, 10}}}, 2, 100},
      {"no MIDI device, obstacle", {300, 200, 0, 20}, {{44, {300, 220, 14}}}, 2, 44, 1, false},
      {"no MIDI device, wall", {86, 200, -20, 5}, {}, 1, 1, 1, false},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const Walker& w = row.w;
    testing_support::GameProgram g;
    bool goal = false;
    std::uint32_t ms = 0;
    g.run([&](game::Zided& z) {  // walker 1 drawn at `w`, then one step
      testing_support::standard_walls(z);
      for (int k = 1; k <= 4; ++k) z.WALL_E(k) = row.wall_e;
      z.MOPEN();
      if (!row.midi) z.MIDI_OK = -1;
      testing_support::place(z, row.obstacles);
      z.WR(1) = z.WALK_RADIUS;
      z.WX(1) = w.x, z.WY(1) = w.y, z.WVX(1) = w.vx, z.WVY(1) = w.vy, z.WACTIVE(1) = w.active;
      z.KAO();
      ms = g.host().now();
      goal = z.simulation_step(0);
      ms = g.host().now() - ms;
    });
    game::Zided& z = g.game();
    EXPECT_EQ(z.HIT, row.hit);
    EXPECT_EQ(row.hit ? double(z.HIT_K) : 0, row.index);
    const double x = w.active == 1 ? moved(w.x, w.vx) : w.x;
    const double y = w.active == 1 ? moved(w.y, w.vy) : w.y;
    EXPECT_EQ(z.WX(1), x);
    EXPECT_EQ(z.WY(1), y);
    EXPECT_EQ(goal, row.hit == 1 && row.index == 4);
    double vx = w.vx, vy = w.vy;
    if (row.hit == 1 && row.index < 4) (row.index <= 2 ? vx : vy) *= -row.wall_e;
    if (row.hit == 2) {  // the part along the line of centres turns, scaled
      const Circle& c = row.obstacles.at(row.index);
      const double d = std::hypot(c.x - x, c.y - y), nx = (c.x - x) / d, ny = (c.y - y) / d;
      const double vn = vx * nx + vy * ny, e = (1 + c.coef) / 2;
      vx -= (1 + e) * vn * nx;
      vy -= (1 + e) * vn * ny;
    }
    EXPECT_NEAR(z.WVX(1), vx, 1e-4);
    EXPECT_NEAR(z.WVY(1), vy, 1e-4);
    // Note on, then off; the key is 60 for a wall, 60 + the scale step of the obstacle's number.
    const bool sounds = row.hit && row.midi;
    const std::uint32_t key = (60u + (row.hit == 2 ? kScale[(row.index - 1) % 8] : 0)) << 8;
    using Midi = std::vector<std::uint32_t>;
    EXPECT_EQ(g.host().recorder()->messages(),
              (sounds ? Midi{0x7F0090u + key, 0x90u + key} : Midi{}));
    // ANIM_DELAY, the note's millisecond, 0.2 s at a zone circle: each wait
    // ends at the first reading beyond its time, and a reading takes 1 ms.
    const bool hold = row.hit == 2 && row.index > 2 && row.index < 44;
    EXPECT_EQ(ms, (5 + 2) + (sounds ? 1 + 2 : 0) + (hold ? 200 + 2 : 0));
    const bool wears = row.hit == 2 && row.obstacles.at(row.index).kind == 15;
    if (!wears) {  // the walker's ring, where it stands now, and nothing else
      const auto ring = testing_support::reference_picture([&](game::Zided& r) {
        r.WX(1) = x, r.WY(1) = y;
        r.KAO();
      });
      EXPECT_EQ(testing_support::differing(g.rt().backing(), ring), 0);
    }
    for (const auto& [j, c] : row.obstacles) {
      const bool worn = wears && j == row.index;
      EXPECT_EQ(z.OR(j), worn && c.r > 10 ? c.r - 4 : c.r) << j;
      EXPECT_EQ(z.OGONE(j), worn && c.r <= 10 ? -1 : c.gone) << j;
    }
  }
}

// A walker launched straight up from y = 10: the clock of the step that reaches the goal edge;
// for a try that runs out, the first clock value beyond the limit and the last within it.
struct Clock {
  float at, last;
};
Clock up_to_goal() {
  for (float c = 0, y = moved(10, 20);; y = moved(y, 20)) {
    if (464 - y < 10) return {c, c};
    c = static_cast<float>(c + double(kDt));
  }
}
Clock time_out(double limit) {
  float c = 0, last = 0;
  while (c <= limit) last = c, c = static_cast<float>(c + double(kDt));
  return {c, last};
}

std::string number(const char* format, double v) {
  char s[16];
  std::snprintf(s, sizeof s, format, std::round(v));
  return s;
}

// Each try aimed up (U) or sideways (S) from a start at x = 310, or the
// right button (R) where the next click was due.
std::string play(const std::string& aims) {
  std::string s = aims[0] == 'R' ? "" : "idle\nclick 310 493\n";
  for (char a : aims) {
    s += a == 'U'   ? "idle\ndrag 300 400 300 300\n"
         : a == 'S' ? "idle\ndrag 300 300 400 300\n"
                    : "idle\nclick 300 300 right\n";
  }
  return s + "idle\nkey Space\nidle\nkey Space\nidle\nkey Space\nidle\nkey Space\n";
}

TEST(Game, TriesTimeOutWinOrAreAbandonedWithTheirTotals) {
  const Clock goal = up_to_goal(), out50 = time_out(50);
  const struct {
    std::string aims;
    double tries, limit;
    double total;  // 0: no total (abandoned)
    bool won;
  } cases[] = {
      {"U", 10, 100, goal.at, true},
      {"SSU", 10, 50, goal.at + (10 - 1 - 7) * 50, true},
      {"SS", 2, 50, out50.at + (2 - 1 - 0) * 50, false},
      {"R", 10, 50, 0, false},
      {"SR", 10, 50, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.aims);
    testing_support::GameProgram g(testing_support::script_options(play(c.aims)));
    bool returned = false;
    g.run([&](game::Zided& z) {
      testing_support::standard_walls(z);
      z.MSPIC();
      for (int j = 1; j <= 100; ++j) z.OX(j) = -2000, z.OY(j) = -2000 - 30 * j, z.OR(j) = 1;
      // Patch 44 lies on the sideways path; the rest are dots far outside.
      // clang-format off
      testing_support::place(z, {{1, {-50, 600, 300, 1}}, {2, {670, 600, 300, 1}},
          {3, {150, 300, 16, 13}}, {10, {450, 300, 20, 4}}, {44, {450, 10, 14}},
          {50, {200, 150, 14, 15}}});
      // clang-format on
      for (int j = 1; j <= 100; ++j) {  // stored as layout 1
        z.SAVED_OX(j, 1) = z.OX(j), z.SAVED_OY(j, 1) = z.OY(j), z.SAVED_OR(j, 1) = z.OR(j);
        z.SAVED_OT(j, 1) = z.OT(j);
      }
      z.TRIES = c.tries, z.TIME_LIMIT = c.limit, z.PLAY_COUNT = 5, z.PLAYER_NAME = "Abc";
      z.play_game();
      returned = true;
    });
    game::Zided& z = g.game();
    const auto launches = static_cast<double>(std::min(c.aims.find('R'), c.aims.size()));
    const bool lost = c.total && !c.won;
    EXPECT_TRUE(returned);
    EXPECT_EQ(z.TRY_NO, launches);
    EXPECT_EQ(z.TRIES_LEFT, c.tries - launches);
    EXPECT_EQ(z.PLAY_COUNT, c.won ? 5 : 4);
    EXPECT_EQ(z.BEST_TIME(1), c.won ? static_cast<float>(c.total) : 10000);
    EXPECT_EQ(g.host().beeps(), c.won ? 1 : 0);
    EXPECT_EQ(g.row(25).substr(30, 15), lost ? " <<TIME OVER>> " : std::string(15, ' '));
    EXPECT_EQ(g.row(1).substr(69) + g.row(2).substr(69), "Player:    Abc        ");
    EXPECT_EQ(g.row(14).substr(0, 10) + g.row(14).substr(69), "Level   2 Total time ");
    // A sideways try wears the patch away in two hits; the stored layout keeps it.
    const bool sideways = c.aims.find('S') != std::string::npos;
    EXPECT_EQ((std::vector<double>{z.OGONE(44), z.OR(44), z.SAVED_OR(44, 1)}),
              (std::vector<double>{sideways ? -1.0 : 0.0, sideways ? 10.0 : 14.0, 14}));
    if (c.total) {
      EXPECT_FLOAT_EQ(z.TOTAL_TIME, static_cast<float>(c.total));
      EXPECT_EQ(g.row(15).substr(69, 10), "     " + number("%5.0f", c.total)) << "the panel";
      const Clock& last = c.won ? goal : out50;
      EXPECT_EQ(g.row(17).substr(0, 9), "Time " + number("%4.0f", c.limit - last.last));
    }
    if (c.won) {  // the goal clears single zone circles and patches before the trees
      auto rgb = [](int r, int gr, int b) { return platform::Rgb((r << 16) | (gr << 8) | b); };
      EXPECT_EQ(g.at(150, 300), rgb(0, 135, 150)) << "cluster circle 3 stays";
      EXPECT_EQ(g.at(440, 300), rgb(0, 80, 0)) << "circle 10 erased between tree and rings";
      EXPECT_EQ(g.at(439, 300), rgb(255, 55, 0)) << "its ring 11 in the last stage's entry 4";
      EXPECT_EQ(g.at(190, 150), rgb(0, 80, 0)) << "patch 50 erased";
      EXPECT_EQ(g.at(189, 150), rgb(255, 205, 0)) << "its ring 11 in TREE_TAB(7) = 10";
    }
  }
}

}  // namespace

// Whole games through the real main program, driven by scripts with a fixed
// clock so that the layout, and so every bounce, is the same on every run.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

#include "tests/support/game_program.h"

namespace {

using testing_support::at_time;
using testing_support::GameProgram;

// At 09:00:23 a walker started at x = 310 and aimed straight up every try
// reaches the goal in its third try; at 08:15:07 it never does.
const platform::LocalTime kWinning{2026, 12, 6, 9, 0, 23};
const platform::LocalTime kLosing{2026, 12, 6, 8, 15, 7};

std::string start_game() {
  return "idle\nkey Enter\nidle\nclick 310 493\n";
}
std::string aim_up(int tries) {
  std::string s;
  for (int i = 0; i < tries; ++i) s += "idle\ndrag 300 400 300 300\n";
  return s;
}
// From the menu cursor on item `from` to item `to`, then Enter.
std::string choose(int from, int to) {
  std::string s = "idle\n";
  for (int i = from; i < to; ++i) s += "key Down\n";
  for (int i = from; i > to; --i) s += "key Up\n";
  return s + "key Enter\n";
}

struct Row {
  int try_no = 0;
  long step = 0;
  double clock = 0, x = 0, y = 0, vx = 0, vy = 0;
  int hit = 0, index = 0;
};

std::vector<Row> read_trace(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "try,step,clock,x,y,vx,vy,hit,index");
  std::vector<Row> rows;
  while (std::getline(in, line)) {
    Row r;
    EXPECT_EQ(std::sscanf(line.c_str(), "%d,%ld,%lf,%lf,%lf,%lf,%lf,%d,%d", &r.try_no, &r.step,
                          &r.clock, &r.x, &r.y, &r.vx, &r.vy, &r.hit, &r.index),
              9)
        << line;
    rows.push_back(r);
  }
  return rows;
}

// Zone 3's centre in the layout the start-up builds at `t`.
double first_zone_x(const platform::LocalTime& t) {
  GameProgram once(at_time(t, choose(1, 9)));
  once.run_main();
  return once.game().SAVED_OX(3, 1);
}

// A won game goes through the ending into the Best 20; then "Delete Best 20"
// empties the list and "Change Layout" builds a new layout.
TEST(Game, AWonGameGoesThroughTheEndingIntoTheBest20) {
  std::string script = start_game() + aim_up(3) +
                       "idle\nshot ending1.png\nkey Space\n"    // first ending stage
                       "idle\nkey Space\n"                      // second
                       "idle\nexpect 15 74   205\nkey Space\n"  // third, then the end screens
                       + choose(1, 5) + "idle\nexpect 3 21 2       100      205\nkey Space\n" +
                       choose(5, 7) + choose(7, 4) + choose(4, 9);
  GameProgram g(at_time(kWinning, script));
  std::string trace = ::testing::TempDir() + "won.csv";
  g.game().open_trace(trace);
  EXPECT_EQ(g.run_main(), 0);
  game::Zided& z = g.game();
  EXPECT_EQ(z.TRY_NO, 3);
  EXPECT_EQ(z.TRIES_LEFT, 7);
  // The total is the winning try's clock plus a full limit for each try before.
  std::vector<Row> rows = read_trace(trace);
  ASSERT_FALSE(rows.empty());
  const Row& last = rows.back();
  EXPECT_EQ(last.try_no, 3);
  EXPECT_EQ(last.hit, 1);
  EXPECT_EQ(last.index, 4) << "the goal edge";
  EXPECT_FLOAT_EQ(z.TOTAL_TIME, static_cast<float>(last.clock + 200));
  std::remove(trace.c_str());
  EXPECT_EQ(z.PLAY_COUNT, 0);
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(z.BEST_TIME(i), 10000) << i;
  EXPECT_NE(z.SAVED_OX(3, 1), first_zone_x(kWinning)) << "Change Layout built a new one";
  EXPECT_EQ(z.MENU_CHOICE, 9);
}

TEST(Game, TheTraceShowsWallsReversingOneComponentAndBouncesKeepingTheSpeed) {
  GameProgram g(at_time(kLosing, start_game() + aim_up(1) + "idle\nclose\n"));
  std::string trace = ::testing::TempDir() + "bounces.csv";
  g.game().open_trace(trace);
  g.run_main();
  std::vector<Row> rows = read_trace(trace);
  ASSERT_GT(rows.size(), 1600u) << "a whole try of 100 game-seconds";
  int walls = 0, obstacles = 0;
  for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
    const Row& a = rows[i];
    const Row& b = rows[i + 1];
    EXPECT_NEAR(b.clock - a.clock, 0.06, 1e-4);
    if (a.hit == 1) {
      ++walls;
      if (a.index <= 2) {
        EXPECT_FLOAT_EQ(b.vx, -a.vx) << "side wall at step " << a.step;
        EXPECT_FLOAT_EQ(b.vy, a.vy) << "side wall at step " << a.step;
      } else {
        EXPECT_FLOAT_EQ(b.vy, -a.vy) << "start edge at step " << a.step;
        EXPECT_FLOAT_EQ(b.vx, a.vx);
      }
    } else if (a.hit == 2) {
      ++obstacles;
      EXPECT_NEAR(std::hypot(b.vx, b.vy), std::hypot(a.vx, a.vy), 1e-3) << "step " << a.step;
    } else {
      EXPECT_EQ(b.vx, a.vx) << "no contact, no change, step " << a.step;
      EXPECT_EQ(b.vy, a.vy);
    }
  }
  EXPECT_GT(walls, 0);
  EXPECT_GT(obstacles, 0);
  EXPECT_NEAR(std::hypot(rows[0].vx, rows[0].vy), 20, 1e-4) << "launched at 200 / 10";
  std::remove(trace.c_str());
}

TEST(Game, TenTriesWithoutTheGoalEndInTimeOverAndEnterNothing) {
  std::string script = start_game() + aim_up(10) +
                       "idle\nexpect 25 30  <<TIME OVER>>\nkey Space\n" + choose(1, 5) +
                       "idle\nexpect 2 0 -- Name\nkey Space\n" + choose(5, 9);
  GameProgram g(at_time(kLosing, script));
  EXPECT_EQ(g.run_main(), 0);
  game::Zided& z = g.game();
  EXPECT_EQ(z.TRY_NO, 10);
  EXPECT_EQ(z.TRIES_LEFT, 0);
  EXPECT_EQ(z.PLAY_COUNT, 0) << "the lost game is taken back";
  EXPECT_EQ(z.BEST_TIME(1), 10000);
  // Ten full tries: the first value of the clock beyond the limit, plus nine limits.
  EXPECT_GT(z.TOTAL_TIME, 1000);
  EXPECT_LT(z.TOTAL_TIME, 1000.07);
}

// The right button at the start point, or while aiming a later try, goes
// back to the menu with nothing recorded.
TEST(Game, TheRightButtonAbandonsTheGame) {
  for (int tries : {0, 4}) {
    SCOPED_TRACE(tries);
    std::string play = tries ? start_game() + aim_up(tries) : "idle\nkey Enter\n";
    GameProgram g(at_time(kLosing, play + "idle\nclick 300 300 right\n" + choose(1, 5) +
                                       "idle\nexpect 2 0 -- Name\nkey Space\n" + choose(5, 9)));
    EXPECT_EQ(g.run_main(), 0);
    EXPECT_EQ(g.game().TRY_NO, tries);
    EXPECT_EQ(g.game().PLAY_COUNT, 0);
    EXPECT_EQ(g.game().BEST_TIME(1), 10000);
    EXPECT_EQ(g.row(3), std::string(80, ' ')) << "no place shown";
  }
}

TEST(Menu, OptionScreensChangeTheirValuesAndReturn) {
  std::string script =
      choose(1, 2) + "idle\nexpect 17 26 ( High --------- Low )\nkey Right\nkey Enter\n" +
      choose(2, 3) + "idle\nkey Left\nkey Enter\n" +  // time limit 50
      choose(3, 8) + "idle\nexpect 18 27 ( Fast <-----> Slow )\nkey Left\nkey Enter\n" +
      choose(8, 6) + "idle\ntype Abcdefghijklm\nkey Enter\n" + choose(6, 9);
  GameProgram g(at_time(kLosing, script));
  EXPECT_EQ(g.run_main(), 0);
  game::Zided& z = g.game();
  EXPECT_EQ(z.LEVEL, 3);
  EXPECT_EQ(z.ZONE_A(1), 270);
  EXPECT_EQ(z.ZONE_A(2), 270);
  EXPECT_EQ(z.SAVED_OR(1, 1), 270) << "the level rebuilt the layout";
  EXPECT_EQ(z.TIME_SEL, 1);
  EXPECT_EQ(z.TIME_LIMIT, 50);
  EXPECT_EQ(z.ANIM_SEL, 1);
  EXPECT_EQ(z.ANIM_DELAY, 2);
  EXPECT_EQ(z.PLAYER_NAME.view(), "Abcdefghij") << "cut to 10 bytes";
  EXPECT_EQ(z.MENU_CHOICE, 9) << "the cursor stays on the item chosen last";
}

TEST(Menu, ConfirmingTheLevelWithoutMovingStillBuildsANewLayout) {
  GameProgram g(at_time(kLosing, choose(1, 2) + "idle\nkey Enter\n" + choose(2, 9)));
  g.run_main();
  game::Zided& z = g.game();
  EXPECT_EQ(z.LEVEL, 2);
  EXPECT_EQ(z.ZONE_A(1), 300);
  // The second build continues the generator, so the zone centres differ.
  EXPECT_NE(z.SAVED_OX(3, 1), first_zone_x(kLosing));
}

TEST(Menu, EndExitsWithZeroAtOnce) {
  GameProgram g(at_time(kLosing, choose(1, 9) + "wait 100000\n"));
  EXPECT_EQ(g.run_main(), 0);
  EXPECT_LT(g.host().now(), 100000u);
}

// Script hooks whose "text" command notes the moment the window is closed
// (the script's next line) instead of writing a file.
class CloseWatch : public app::ScriptHooks {
 public:
  explicit CloseWatch(GameProgram& g) : app::ScriptHooks(g.rt(), g.game()), g_(g) {
    g.host().set_script_hooks(this);
  }

  bool save_text(const std::string&, std::string*) override {
    marked = true;
    statements = g_.rt().statements();
    changes = g_.host().changes();
    grid = rows();
    clock = g_.game().CLOCK;
    walker_active = g_.game().WACTIVE(1) == 1;
    return true;
  }

  std::string rows() const {
    std::string all;
    for (int r = 0; r < 28; ++r) all += g_.row(r) + "\n";
    return all;
  }

  bool marked = false;
  std::uint64_t statements = 0;
  long changes = 0;
  std::string grid;
  double clock = 0;
  bool walker_active = false;

 private:
  GameProgram& g_;
};

// Closing the window ends the program at any wait with exit code 0, within
// one pump: at most the 11 statements between two pumps run after it.
TEST(Close, FromEveryKindOfWaitExitsWithZero) {
  const std::string close = "text mark\nclose\n";
  const std::string lost_try = "idle\ndrag 300 400 300 300\n";
  struct Case {
    const char* where;
    platform::LocalTime clock;
    std::string script;
    // Where a case closes at a moment found by timing, make sure it is that moment.
    std::function<void(const CloseWatch&)> check;
  };
  const std::vector<Case> cases = {
      {"title", kWinning, "wait 500\n" + close, {}},
      {"layout", kWinning, "wait 3000\n" + close, {}},
      {"menu", kWinning, "idle\n" + close, {}},
      {"level screen", kWinning, choose(1, 2) + "idle\n" + close, {}},
      {"time limit screen", kWinning, choose(1, 3) + "idle\nkey Left\nidle\n" + close, {}},
      {"layout change", kWinning, choose(1, 4) + "wait 20\n" + close, {}},
      {"best 20", kWinning, choose(1, 5) + "idle\n" + close, {}},
      {"name entry", kWinning, choose(1, 6) + "idle\ntype Ab\nidle\n" + close, {}},
      {"speed screen", kWinning, choose(1, 8) + "idle\nkey Right\nidle\n" + close, {}},
      {"start point", kWinning, "idle\nkey Enter\nidle\n" + close, {}},
      {"aiming", kWinning, start_game() + "idle\n" + close, {}},
      {"running try", kWinning, start_game() + "idle\ndrag 300 400 300 300\nwait 2000\n" + close,
       [](const CloseWatch& w) { EXPECT_TRUE(w.walker_active && w.clock < 100); }},
      // At 08:15:07 a try lasts about 15.7 s of the clock, then the game pauses 1 s.
      {"pause after a try", kLosing, start_game() + lost_try + "wait 16100\n" + close,
       [](const CloseWatch& w) {
         EXPECT_GT(w.clock, 100) << "the try is over";
         EXPECT_TRUE(w.walker_active) << "the next try has not begun";
       }},
      {"aiming a later try", kLosing, start_game() + lost_try + "idle\n" + close, {}},
      {"time over key", kLosing, start_game() + aim_up(10) + "idle\n" + close,
       [](const CloseWatch& w) {
         EXPECT_NE(w.grid.find("<<TIME OVER>>"), std::string::npos);
         EXPECT_NE(w.grid.find("* Push any key *"), std::string::npos);
       }},
      {"ending", kWinning, start_game() + aim_up(3) + "wait 1500\n" + close, {}},
      {"ending key", kWinning, start_game() + aim_up(3) + "idle\n" + close, {}},
      {"second ending key",
       kWinning,
       start_game() + aim_up(3) + "idle\nkey Space\nidle\n" + close,
       {}},
      {"last key of a won game", kWinning,
       start_game() + aim_up(3) + "idle\nkey Space\nidle\nkey Space\nidle\n" + close,
       [](const CloseWatch& w) { EXPECT_NE(w.grid.find("* Push any key *"), std::string::npos); }},
      {"user break report", kWinning, "idle\nkey Ctrl+C\nidle\n" + close,
       [](const CloseWatch& w) { EXPECT_NE(w.grid.find("中断しました"), std::string::npos); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    GameProgram g(at_time(c.clock, c.script));
    CloseWatch watch(g);
    EXPECT_EQ(g.run_main(), 0);
    EXPECT_EQ(g.rt().last_error().number, 0);
    ASSERT_TRUE(watch.marked) << "the script did not reach the close";
    EXPECT_LE(g.rt().statements() - watch.statements, 11u);
    if (c.check) c.check(watch);
  }
}

// A run-time error is reported in the window, which then waits for a key;
// closing the window there ends the program at once, printing nothing more,
// with the error's exit code.
TEST(Close, DuringAnErrorReportEndsWithoutPrintingMore) {
  GameProgram g(testing_support::script_options("idle\ntext mark\nclose\n"));
  CloseWatch watch(g);
  int code = g.run([](game::Zided& z) {
    z.LOCATE1(3, 1);
    z.runtime().PRINT(0, "before the fault");
    z.MENU_ITEM(11) = "out of range";
  });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(g.rt().last_error().number, 9);
  ASSERT_TRUE(watch.marked) << "the report did not wait";
  EXPECT_NE(watch.grid.find("[9]"), std::string::npos) << watch.grid;
  EXPECT_EQ(g.rt().statements(), watch.statements);
  EXPECT_EQ(g.host().changes(), watch.changes) << "drawn after the close";
  EXPECT_EQ(watch.rows(), watch.grid);
}

}  // namespace

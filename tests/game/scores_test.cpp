// The Best-20 table and the ranking screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/game_program.h"

namespace {

using testing_support::GameProgram;

// One place: time, time limit, level, obstacles, name.
using Place = std::tuple<double, double, double, double, std::string>;

std::vector<Place> table(game::Zided& z) {
  std::vector<Place> t;
  for (int k = 1; k <= 20; ++k)
    t.emplace_back(z.BEST_TIME(k), z.BEST_TLIM(k), z.BEST_LEVEL(k), z.BEST_NOBJ(k),
                   z.BEST_NAME(k).str());
  return t;
}

// Twenty places 10, 20, ..., 200 with values that tell them apart.
void fill(game::Zided& z) {
  for (int k = 1; k <= 20; ++k) {
    z.BEST_TIME(k) = 10 * k, z.BEST_NAME(k) = "P" + std::to_string(k);
    z.BEST_TLIM(k) = k % 2 ? 50 : 100, z.BEST_LEVEL(k) = 1 + k % 3, z.BEST_NOBJ(k) = 80 + k;
  }
}

TEST(Bst20, InsertsAfterEqualTimesMovesTheRestDownAndDropsTheLast) {
  const struct {
    double total;
    bool full;
    int place;  // 0: not entered
  } cases[] = {{57.3, false, 1}, {200, true, 0}, {250, true, 0},  {9999, true, 0},
               {30, true, 4},    {9.5, true, 1}, {195, true, 20}, {10, true, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.total << (c.full ? " full" : " empty"));
    GameProgram g;
    std::vector<Place> before, after;
    g.run([&](game::Zided& z) {
      if (c.full) fill(z);
      z.PLAYER_NAME = "Abc", z.TIME_LIMIT = 50, z.LEVEL = 3, z.NOBJ_SET = 99;
      before = table(z);
      z.BST20(c.total);
      after = table(z);
    });
    if (c.place) {
      before.insert(before.begin() + c.place - 1,
                    {static_cast<float>(c.total), 50, 3, 99, "Abc         "});
      before.pop_back();
    }
    EXPECT_EQ(after, before);
  }
}

// The ranking with `count` games won, on the full table with place 1 "Abc"
// at 57.3 and place 20 at 1234.4.
TEST(Sranks, ShowsDateCaptionHeaderAndThePlacesOfWonGamesUpToTwenty) {
  auto line = [](const std::string& s) { return s + std::string(80 - s.size(), ' '); };
  for (int count : {0, 25}) {
    SCOPED_TRACE(count);
    platform::HostOptions o;
    o.start_time = platform::LocalTime{2024, 3, 7, 12, 0, 0};
    GameProgram g(o);
    g.run([&](game::Zided& z) {
      z.runtime().LOCATE(0, 0, 10);
      z.runtime().PRINT(0, "left over");
      fill(z);
      z.BEST_NAME(1) = "Abc", z.BEST_TIME(1) = 57.3, z.BEST_TIME(20) = 1234.4;
      z.PLAY_COUNT = count;
      z.SRANKS();
    });
    const int shown = std::min(count, 20);
    EXPECT_EQ(g.row(0), line(""));
    EXPECT_EQ(g.row(1), line("         Peakwend/T          24/03/07"));
    EXPECT_EQ(g.row(2), line("-- Name -------------Level---Time---Total time --"));
    if (count) {  // "  @       #       ###    #####"
      EXPECT_EQ(g.row(3), line("  Abc                2        50       57"));
      EXPECT_EQ(g.row(4), line("  P2                 3       100       20"));
      EXPECT_EQ(g.row(22), line("  P20                3       100     1234"));
    } else {
      EXPECT_EQ(g.row(10), line("")) << "the screen was cleared";
    }
    EXPECT_EQ(g.row(3 + shown), line("")) << "nothing after the last place";
  }
}

}  // namespace

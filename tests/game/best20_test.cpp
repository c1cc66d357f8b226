// The Best-20 table, the ranking screen and the score panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/game_program.h"

namespace {

using testing_support::GameProgram;

// One place of the table, all five arrays.
struct Place {
  double time, tlim, level, nobj;
  std::string name;
  bool operator==(const Place&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Place& p) {
  return os << p.time << " '" << p.name << "' " << p.tlim << " " << p.level << " " << p.nobj;
}

std::vector<Place> table(game::Zided& z) {
  std::vector<Place> t;
  for (int k = 1; k <= 20; ++k) {
    t.push_back(
        {z.BEST_TIME(k), z.BEST_TLIM(k), z.BEST_LEVEL(k), z.BEST_NOBJ(k), z.BEST_NAME(k).str()});
  }
  return t;
}

// Twenty real places: times 10, 20, ..., 200 and values that tell them apart.
void fill_table(game::Zided& z) {
  for (int k = 1; k <= 20; ++k) {
    z.BEST_TIME(k) = 10 * k;
    z.BEST_NAME(k) = "P" + std::to_string(k);
    z.BEST_TLIM(k) = k % 2 ? 50 : 100;
    z.BEST_LEVEL(k) = 1 + k % 3;
    z.BEST_NOBJ(k) = 80 + k;
  }
}

// Runs BST20(total) for a player "Abc" at time limit 50, level 3, 99
// obstacles, on a full or an empty table; gives the table before and after.
std::pair<std::vector<Place>, std::vector<Place>> enter(double total, bool full) {
  GameProgram g;
  std::pair<std::vector<Place>, std::vector<Place>> t;
  g.run([&](game::Zided& z) {
    if (full) fill_table(z);
    z.PLAYER_NAME = "Abc";
    z.TIME_LIMIT = 50;
    z.LEVEL = 3;
    z.NOBJ_SET = 99;
    t.first = table(z);
    z.BST20(total);
    t.second = table(z);
  });
  return t;
}

TEST(Bst20, InsertsAfterEqualTimesMovesTheRestDownAndDropsTheLast) {
  // {total, table full, place it takes (0: none)}
  const struct {
    double total;
    bool full;
    int place;
  } cases[] = {{57.3, false, 1}, {200, true, 0}, {250, true, 0},  {9999, true, 0},
               {30, true, 4},    {9.5, true, 1}, {195, true, 20}, {10, true, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.total << (c.full ? " full" : " empty"));
    auto [before, after] = enter(c.total, c.full);
    std::vector<Place> want = before;
    if (c.place) {
      want.insert(want.begin() + c.place - 1,
                  {static_cast<float>(c.total), 50, 3, 99, "Abc         "});
      want.pop_back();
    }
    EXPECT_EQ(after, want);
  }
}

platform::HostOptions on_date() {
  platform::HostOptions o;
  o.start_time = platform::LocalTime{2024, 3, 7, 12, 0, 0};
  return o;
}

// The ranking screen with `count` games won, on the full table with place
// 1 "Abc" at 57.3 and place 20 at 1234.4.
void ranking(GameProgram& g, double count) {
  g.run([&](game::Zided& z) {
    z.runtime().LOCATE(0, 0, 10);
    z.runtime().PRINT(0, "left over");
    fill_table(z);
    z.BEST_NAME(1) = "Abc";
    z.BEST_TIME(1) = 57.3;
    z.BEST_TIME(20) = 1234.4;
    z.PLAY_COUNT = count;
    z.SRANKS();
  });
}

TEST(Sranks, ShowsDateCaptionHeaderAndThePlacesOfWonGamesUpToTwenty) {
  const std::string blank(80, ' ');
  for (int count : {0, 3, 25}) {
    SCOPED_TRACE(count);
    GameProgram g(on_date());
    ranking(g, count);
    EXPECT_EQ(g.row(0), blank);
    EXPECT_EQ(g.row(1), std::string(9, ' ') + "Peakwend/T" + std::string(10, ' ') + "24/03/07" +
                            std::string(43, ' '));
    EXPECT_EQ(g.row(2), "-- Name -------------Level---Time---Total time --" + std::string(31, ' '));
    int shown = std::min(count, 20);
    if (count > 0) {
      //                  "  @       #       ###    #####"
      EXPECT_EQ(g.row(3), "  Abc                2        50       57" + std::string(39, ' '));
      EXPECT_EQ(g.row(4), "  P2                 3       100       20" + std::string(39, ' '));
      EXPECT_EQ(g.row(2).find("Level"), g.row(3).find('2')) << "under its heading";
      EXPECT_NE(g.row(2 + shown).find("P" + std::to_string(shown)), std::string::npos);
    }
    if (count == 25) {
      EXPECT_EQ(g.row(22), "  P20                3       100     1234" + std::string(39, ' '));
    }
    EXPECT_EQ(g.row(3 + shown), blank) << "nothing after the last place";
    if (shown < 7) {
      EXPECT_EQ(g.row(10), blank) << "the screen was cleared";
    }
  }
}

TEST(Score, PanelShowsPlayerLevelAndRoundedTotal) {
  GameProgram g;
  g.run([&](game::Zided& z) {
    z.PLAYER_NAME = "Abc";
    z.LEVEL = 3;
    z.TOTAL_TIME = 242.3;
    z.SCORE();
  });
  EXPECT_EQ(g.row(1).substr(69), "Player:    ");
  EXPECT_EQ(g.row(2).substr(69), "Abc        ");
  EXPECT_EQ(g.row(14).substr(0, 10), "Level   3 ");
  EXPECT_EQ(g.row(14).substr(69), "Total time ");
  EXPECT_EQ(g.row(15).substr(69), "       242 ");
}

}  // namespace

// The Best-20 table, the ranking screen and the score panel.
#include <gtest/gtest.h>

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

// The game's settings for the next entry.
void new_player(game::Zided& z) {
  z.PLAYER_NAME = "New";
  z.TIME_LIMIT = 50;
  z.LEVEL = 3;
  z.NOBJ_SET = 99;
}

const Place kNew{0, 50, 3, 99, "New         "};

Place with_time(Place p, double t) {
  p.time = static_cast<float>(t);
  return p;
}

TEST(Bst20, FirstGameTakesPlaceOneOfAnEmptyTable) {
  GameProgram g;
  std::vector<Place> t;
  g.run([&](game::Zided& z) {
    new_player(z);
    z.PLAYER_NAME = "Abc       ";  // three letters and seven spaces
    z.BST20(game::Single(57.3));
    t = table(z);
  });
  EXPECT_EQ(t[0].time, static_cast<float>(57.3));
  EXPECT_EQ(t[0].name, "Abc         ") << "padded to 12 bytes: nine spaces";
  EXPECT_EQ(t[0].tlim, 50);
  EXPECT_EQ(t[0].level, 3);
  EXPECT_EQ(t[0].nobj, 99);
  for (int k = 1; k < 20; ++k) EXPECT_EQ(t[static_cast<std::size_t>(k)].time, 10000) << k + 1;
}

TEST(Bst20, AFullTableIgnoresATotalNoBetterThanItsLastPlace) {
  for (double total : {200.0, 250.0, 9999.0}) {
    GameProgram g;
    std::vector<Place> before, after;
    g.run([&](game::Zided& z) {
      fill_table(z);
      new_player(z);
      before = table(z);
      z.BST20(total);
      after = table(z);
    });
    EXPECT_EQ(after, before) << total;
  }
}

TEST(Bst20, AnEqualTimeGoesAfterTheStoredOneAndTheRestMoveDown) {
  GameProgram g;
  std::vector<Place> before, after;
  g.run([&](game::Zided& z) {
    fill_table(z);
    new_player(z);
    before = table(z);
    z.BST20(30);
    after = table(z);
  });
  for (int k = 0; k < 3; ++k) EXPECT_EQ(after[k], before[k]) << "place " << k + 1;
  EXPECT_EQ(after[3], with_time(kNew, 30));
  for (int k = 4; k < 20; ++k) EXPECT_EQ(after[k], before[k - 1]) << "place " << k + 1;
}

TEST(Bst20, ABestTimeMovesEveryPlaceDownAndDropsTheLast) {
  GameProgram g;
  std::vector<Place> before, after;
  g.run([&](game::Zided& z) {
    fill_table(z);
    new_player(z);
    before = table(z);
    z.BST20(9.5);
    after = table(z);
  });
  EXPECT_EQ(after[0], with_time(kNew, 9.5));
  for (int k = 1; k < 20; ++k) EXPECT_EQ(after[k], before[k - 1]) << "place " << k + 1;
}

TEST(Bst20, BetweenTheLastTwoPlacesReplacesPlaceTwenty) {
  GameProgram g;
  std::vector<Place> before, after;
  g.run([&](game::Zided& z) {
    fill_table(z);
    new_player(z);
    before = table(z);
    z.BST20(195);
    after = table(z);
  });
  for (int k = 0; k < 19; ++k) EXPECT_EQ(after[k], before[k]);
  EXPECT_EQ(after[19], with_time(kNew, 195));
}

platform::HostOptions on_date() {
  platform::HostOptions o;
  o.start_time = platform::LocalTime{2024, 3, 7, 12, 0, 0};
  return o;
}

TEST(Sranks, NoGamesWonShowsDateCaptionAndHeaderOnly) {
  GameProgram g(on_date());
  g.run([&](game::Zided& z) {
    z.runtime().LOCATE(0, 0, 10);
    z.runtime().PRINT(0, "left over");
    fill_table(z);
    z.PLAY_COUNT = 0;
    z.SRANKS();
  });
  EXPECT_EQ(g.row(1), std::string(9, ' ') + "Peakwend/T" + std::string(10, ' ') + "24/03/07" +
                          std::string(43, ' '));
  EXPECT_EQ(g.row(2), "-- Name -------------Level---Time---Total time --" + std::string(31, ' '));
  for (int r : {0, 3, 10}) EXPECT_EQ(g.row(r), std::string(80, ' ')) << "row " << r;
}

TEST(Sranks, PrintsAtMostTwentyPlacesInTableOrder) {
  GameProgram g(on_date());
  g.run([&](game::Zided& z) {
    fill_table(z);
    z.BEST_NAME(1) = "Abc";
    z.BEST_TIME(1) = 57.3;
    z.BEST_TIME(20) = 1234.4;
    z.PLAY_COUNT = 25;
    z.SRANKS();
  });
  //                  "  @       #       ###    #####"
  EXPECT_EQ(g.row(3), "  Abc                2        50       57" + std::string(39, ' '));
  EXPECT_EQ(g.row(4), "  P2                 3       100       20" + std::string(39, ' '));
  EXPECT_EQ(g.row(22), "  P20                3       100     1234" + std::string(39, ' '));
  EXPECT_EQ(g.row(23), std::string(80, ' '));
  // The level stands under the start of its heading.
  EXPECT_EQ(g.row(2).find("Level"), g.row(3).find('2'));
}

TEST(Sranks, PrintsOnlyThePlacesOfWonGames) {
  GameProgram g(on_date());
  g.run([&](game::Zided& z) {
    fill_table(z);
    z.PLAY_COUNT = 3;
    z.SRANKS();
  });
  EXPECT_NE(g.row(5).find("P3"), std::string::npos);
  EXPECT_EQ(g.row(6), std::string(80, ' '));
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

// The Best-20 table of the run, its ranking screen and the score panel.
#include <algorithm>

#include "game/zided.h"

namespace game {

namespace {

constexpr int kPlaces = 20;

}  // namespace

// Puts TOTAL before the first place with a greater time, so equal times keep
// the earlier game ahead. The places below move down one, all five arrays
// together; place 20 drops out. A total no place beats is not entered.
void Zided::BST20(double total) {
  Sub sub(rt);
  Single k, m;
  bool found = false;
  for (k = 1; k <= kPlaces; k += 1) {
    st(); if (BEST_TIME(k) > total) { found = true; break; }
  }
  st(); if (!found) return;
  if (k < kPlaces) {
    for (m = kPlaces - 1; m >= k; m += -1) {
      st(); BEST_TIME(m + 1) = BEST_TIME(m);
      st(); BEST_NAME(m + 1) = BEST_NAME(m);
      st(); BEST_TLIM(m + 1) = BEST_TLIM(m);
      st(); BEST_NOBJ(m + 1) = BEST_NOBJ(m);
      st(); BEST_LEVEL(m + 1) = BEST_LEVEL(m);
    }
  }
  st(); BEST_TIME(k) = total;
  st(); BEST_NAME(k) = PLAYER_NAME;
  st(); BEST_TLIM(k) = TIME_LIMIT;
  st(); BEST_NOBJ(k) = NOBJ_SET;
  st(); BEST_LEVEL(k) = LEVEL;
}

// The ranking screen: date, caption, header and the first PLAY_COUNT places
// (at most 20), unnumbered.
void Zided::SRANKS() {
  Sub sub(rt);
  Single n, k;
  st(); rt.CLS(0, 0);
  st(); LOCATE1(1, 30);
  st(); rt.PRINT(0, rt.DATE());
  st(); LOCATE1(1, 10);
  st(); rt.PRINT(0, "Peakwend/T");
  st(); rt.PRINT(0, "-- Name -------------Level---Time---Total time --");
  st(); if (PLAY_COUNT < 1) return;
  st(); if (PLAY_COUNT > kPlaces) n = kPlaces; else n = PLAY_COUNT;
  for (k = 1; k <= n; k += 1) {
    st(); rt.PRINT_USING(0, "  @       #       ###    #####", {BEST_NAME(k).view(), BEST_LEVEL(k), BEST_TLIM(k), BEST_TIME(k)});
  }
}

// The score panel: the player at the top right, the level at the left, the
// total time at the right.
void Zided::SCORE() {
  Sub sub(rt);
  st(); LOCATE1(1, 70);
  st(); rt.PRINT(0, "Player:");
  st(); LOCATE1(2, 70);
  st(); rt.PRINT(0, PLAYER_NAME.view());
  st(); LOCATE1(14, 1);
  st(); rt.PRINT_USING(0, "Level   #", {LEVEL});
  st(); LOCATE1(14, 70);
  st(); rt.PRINT(0, "Total time");
  st(); LOCATE1(15, 75);
  st(); rt.PRINT_USING(0, "#####", {TOTAL_TIME});
}

Best20Table Zided::best20_table() {
  Best20Table t;
  t.play_count = PLAY_COUNT.bits();
  for (int k = 1; k <= kPlaces && BEST_TIME(k) < 10000; ++k) {
    Best20Place p{BEST_TIME(k).bits(), {}, BEST_LEVEL(k).bits(), BEST_TLIM(k).bits(),
                  BEST_NOBJ(k).bits()};
    std::ranges::copy(BEST_NAME(k).view(), p.name.begin());
    t.places.push_back(p);
  }
  return t;
}

void Zided::put_best20_table(const Best20Table& table) {
  PLAY_COUNT = table.play_count;
  for (int k = 1; k <= kPlaces; ++k) BEST_TIME(k) = 10000;
  int k = 1;
  for (const Best20Place& p : table.places) {
    if (k > kPlaces) break;
    BEST_TIME(k) = p.time;
    std::ranges::copy(p.name, BEST_NAME(k).span().begin());
    BEST_LEVEL(k) = p.level;
    BEST_TLIM(k) = p.time_limit;
    BEST_NOBJ(k) = p.objects;
    ++k;
  }
}

void Zided::best20_changed() {
  if (best20_store_) best20_store_->save(best20_table());
}

}  // namespace game

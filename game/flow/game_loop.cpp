// One game: from "Start 1-Game" through the tries and the fixed-step
// simulation to the goal, the time-over or the abandon, back to the menu.
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "game/zided.h"

namespace game {

void Zided::open_trace(const std::string& path) {
  trace_.reset(std::fopen(path.c_str(), "w"));
  if (!trace_) throw std::runtime_error("cannot write the trace file " + path);
  std::setvbuf(trace_.get(), nullptr, _IOLBF, 1 << 12);  // whole lines, even if the program is closed
  std::fputs("try,step,clock,x,y,vx,vy,hit,index\n", trace_.get());
}

void Zided::trace_step(long step) {
  if (!trace_) return;
  std::fprintf(trace_.get(), "%.9g,%ld,%.9g,%.9g,%.9g,%.9g,%.9g,%.9g,%.9g\n", double(TRY_NO), step,
               double(CLOCK), double(WX(1)), double(WY(1)), double(WVX(1)), double(WVY(1)),
               double(HIT), HIT == 0 ? 0.0 : double(HIT_K));
}

void Zided::play_game() {
  Single i, j;
  // Start of a game.
  st(); WR(1) = WALK_RADIUS;
  st(); NOBJ = NOBJ_SET;
  st(); TRIES_LEFT = TRIES;
  for (j = 1; j <= 20; j += 1) {
    st(); TRY_LOG(j) = 0;
  }
  st(); TOTAL_TIME = 0;
  st(); COURSE = 0;
  st(); COURSE = COURSE + 1;
  st(); TRY_NO = 0;
  st(); if (COURSE == 1) PALET2();
  st(); FRESH();
  for (j = 1; j <= NOBJ; j += 1) {
    st(); OX(j) = SAVED_OX(j, COURSE);
    st(); OY(j) = SAVED_OY(j, COURSE);
    st(); OR(j) = SAVED_OR(j, COURSE);
    st(); OT(j) = SAVED_OT(j, COURSE);
    st(); OGONE(j) = 0;
  }

  for (;;) {
    // Start of a try: a later try starts where the walker stopped.
    for (i = 1; i <= NWALK; i += 1) {
      st(); WVX(i) = 0;
      st(); WVY(i) = 0;
      st(); WACTIVE(i) = 0;
    }
    st(); rt.CLS(0, 4);
    st(); FRESH1();
    st(); SCORE();
    st(); LOCATE1(17, 1);
    st(); rt.PRINT_USING(0, "Time ####", {TIME_LIMIT});
    st(); MSDISP();
    if (TRY_NO == 0) {
      st(); FMVEL1(INPUT_FLAG);
      if (INPUT_FLAG == -1) {
        st(); PLAY_COUNT = PLAY_COUNT - 1;
        return;
      }
    }
    st(); KAO();
    st(); FMVEL2(LAUNCH_VX, LAUNCH_VY, INPUT_FLAG);
    if (INPUT_FLAG == -1) {
      st(); PLAY_COUNT = PLAY_COUNT - 1;
      return;
    }
    st(); TRY_NO = TRY_NO + 1;
    st(); MSADD(-1, 0);
    st(); TRIES_LEFT = TRIES_LEFT - 1;
    st(); WVX(1) = LAUNCH_VX / 10;
    st(); WVY(1) = LAUNCH_VY / 10;
    st(); WACTIVE(1) = 1;

    if (run_try()) {
      goal();
      break;
    }
    // Time out: CLOCK is the first value beyond the limit.
    st(); TOTAL_TIME = CLOCK + (TRIES - 1 - TRIES_LEFT) * TIME_LIMIT;
    st(); WAIT1(1000);
    if (TRIES_LEFT < 1) {
      st(); PLAY_COUNT = PLAY_COUNT - 1;
      st(); LOCATE1(25, 31);
      st(); rt.PRINT(0, " <<TIME OVER>> ");
      break;
    }
  }
  // End screens.
  st(); MSDISP();
  st(); SCORE();
  st(); ANYKEY();
}

bool Zided::run_try() {
  // FOR CLOCK = 0 TO TIME_LIMIT STEP DT: limit and step are read once.
  Single limit = TIME_LIMIT;
  Single step = DT;
  long n = 0;
  for (CLOCK = 0; CLOCK <= limit; CLOCK += step, ++n) {
    if (simulation_step(n)) return true;
  }
  return false;
}

// One pass of the loop body: move, find the contacts, answer the nearest.
// True when the walker moved into the goal edge.
bool Zided::simulation_step(long n) {
  Single i, j, k, d, dx, dy;
  st(); LOCATE1(17, 6);
  st(); rt.PRINT_USING(0, "####", {TIME_LIMIT - CLOCK});
  // Clear the contact flags.
  for (i = 1; i <= NWALK; i += 1) {
    for (k = 1; k <= 4; k += 1) {
      st(); HITW(i, k) = 0;
    }
    for (j = 1; j <= NOBJ; j += 1) {
      st(); HITO(i, j) = 0;
    }
  }
  // Move.
  for (i = 1; i <= NWALK; i += 1) {
    st(); if (WACTIVE(i) != 1) continue;
    st(); DKAO();
    st(); WX(i) = WX(i) + WVX(i) * DT;
    st(); WY(i) = WY(i) + WVY(i) * DT;
    st(); KAO();
  }
  find_contacts();
  st(); DMIN = 2000;
  st(); WAIT1(ANIM_DELAY);
  st(); HIT = 0;
  // Answer one contact: the smallest metric, the first found on a tie.
  for (i = 1; i <= NWALK; i += 1) {
    for (k = 1; k <= NWALL; k += 1) {
      st(); if (HITW(i, k) == 1 && WDIST(i, k) < DMIN) { HIT = 1; HIT_I = i; HIT_K = k; DMIN = WDIST(i, k); }
    }
    for (j = 1; j <= NOBJ; j += 1) {
      st(); if (HITO(i, j) == 1 && ODIST(i, j) < DMIN) { HIT = 2; HIT_I = i; HIT_K = j; DMIN = ODIST(i, j); }
    }
  }
  trace_step(n);
  if (HIT == 1) {
    st(); if (MIDI_OK == 1) MON(0);
    st(); if (HIT_K == 4) return true;  // the goal edge
    st(); if (HIT_K > 2) WVY(HIT_I) = -WVY(HIT_I) * WALL_E(HIT_K);
    st(); if (HIT_K < 3) WVX(HIT_I) = -WVX(HIT_I) * WALL_E(HIT_K);
  } else if (HIT == 2) {
    st(); if (MIDI_OK == 1) MON(rt::CINT(NOTE(HIT_K)));
    // A zone circle holds the game for 0.2 seconds.
    st(); if (HIT_K > 2 && HIT_K < 44) WAIT1(200);
    st(); dx = OX(HIT_K) - WX(HIT_I);
    st(); dy = OY(HIT_K) - WY(HIT_I);
    st(); d = std::sqrt(rt::POW(dx, 2) + rt::POW(dy, 2));
    st(); NBPCNV(HIT_I, HIT_K, dx, dy, d);
    st(); if (OGONE(HIT_K) == 0 && OT(HIT_K) == 15) DSTONE(HIT_K);
  }
  return false;
}

// The contact search of one pass: flags every wall and obstacle a walker
// moves into, with the metric of that contact. Squared distances only;
// KASOC for the obstacles larger than the walker.
void Zided::find_contacts() {
  Single i, j, k, d, v, dx, dy, s, r, cx, cy;
  for (i = 1; i <= NWALK; i += 1) {
    st(); if (WACTIVE(i) < 0) continue;
    for (k = 1; k <= 2; k += 1) {
      st(); d = std::abs(WALL_X1(k) - WX(i));
      st(); v = WVX(i) * WALL_N(k);
      if (d < WR(i) && v > 0) {
        st(); HITW(i, k) = 1;
        st(); WDIST(i, k) = rt::POW(WALL_PAD + d, 2);
      }
    }
    for (k = 3; k <= 4; k += 1) {
      st(); d = std::abs(WALL_Y1(k) - WY(i));
      st(); v = WVY(i) * WALL_N(k);
      if (d < WR(i) && v > 0) {
        st(); HITW(i, k) = 1;
        st(); WDIST(i, k) = rt::POW(WR(i) + d, 2);
      }
    }
    for (j = 1; j <= NOBJ; j += 1) {
      st(); if (OGONE(j) < 0) continue;
      st(); dx = OX(j) - WX(i);
      st(); dy = OY(j) - WY(i);
      st(); s = rt::POW(dx, 2) + rt::POW(dy, 2);
      st(); r = WR(i) + OR(j);
      st(); if (!(s < rt::POW(r, 2))) continue;
      st(); v = WVX(i) * dx + WVY(i) * dy;
      st(); if (!(v > 0)) continue;
      st(); HITO(i, j) = 1;
      if (OR(j) > WR(1)) {
        st(); KASOC(i, j, cx, cy);
        st(); ODIST(i, j) = rt::POW(cx - WX(i), 2) + rt::POW(cy - WY(i), 2);
      } else {
        st(); ODIST(i, j) = s;
      }
    }
  }
}

void Zided::goal() {
  Single j;
  st(); rt.BEEP();
  st(); WAIT1(1000);
  st(); TOTAL_TIME = CLOCK + (TRIES - 1 - TRIES_LEFT) * TIME_LIMIT;
  st(); BST20(TOTAL_TIME);
  best20_changed();
  st(); DKAO();
  // The single zone circles and the remaining snow patches vanish.
  for (j = 3; j <= NOBJ; j += 1) {
    st(); if (OGONE(j) >= 0 && (OT(j) < 13 || OT(j) == 15)) rt.CIRCLE(0, rt::Coord{OX(j), OY(j)}, OR(j) - 1, 0, 1, 0, 0, true);
  }
  st(); PALETS();
  st(); ENDING();
  st(); ANYKEY();
  st(); PALET2();
  st(); ENDING();
  st(); ANYKEY();
  st(); PALETM();
  st(); ENDING();
}

}  // namespace game

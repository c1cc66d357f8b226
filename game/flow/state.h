// The global state of module zideD: options, progress, field, walkers,
// obstacles, stored layouts, tables, texts and sound, and the working
// variables of the main program and the game loop.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/values.h"

namespace game {

using rt::Array;
using rt::FixedStr;
using rt::Single;
using rt::operator""_sng;

using Vec = Array<Single, 1>;
using Grid = Array<Single, 2>;
using Long = std::int32_t;

struct State {
  State() {
    for (int i = 1; i <= 20; ++i) BEST_TIME(i) = 10000;
    WCOEF(1) = 1;
    WCOLOR(1) = 15;
    for (int j = 1; j <= 100; ++j) OCOEF(j) = 1;
  }

  // Options and player.
  Single LEVEL = 2;     // 1 "High" .. 3 "Low"
  Single TIME_SEL = 2;  // 1: 50, 2: 100 game-seconds
  Single TIME_LIMIT = 100;
  Single ANIM_SEL = 2;  // 1 fast .. 3 slow
  Long ANIM_DELAY = 5;  // ms per simulation step: 2, 5 or 8
  Single DT = 0.06_sng; // game-seconds per simulation step
  FixedStr<10> PLAYER_NAME;

  // Game progress and results.
  Single TRIES = 10;
  Single TRIES_LEFT;
  Single TOTAL_TIME = 0;
  Single PLAY_COUNT = 0;  // Best-20 places shown
  Vec BEST_TIME{20};      // 10000 marks an empty place
  Array<FixedStr<12>, 1> BEST_NAME{20};
  Vec BEST_TLIM{20};
  Vec BEST_NOBJ{20};
  Vec BEST_LEVEL{20};
  Vec TRY_LOG{20};    // 0 still to take, -1 spent
  Single COURSE = 0;  // stored layout a game plays

  // Field and walls, set by DFWALL.
  Single FIELD_X;
  Single FIELD_Y;
  Single FIELD_W;
  Single FIELD_H;
  Single NWALL;
  Vec WALL_X1{20};
  Vec WALL_Y1{20};
  Vec WALL_X2{20};
  Vec WALL_Y2{20};
  Vec WALL_N{20};  // sign of the outward normal
  Vec WALL_E{20};  // factor on the reflected component
  Vec WALL_ATTR{20};

  // Walkers; WX, WY, WR double as the layout builder's work list.
  Single NWALK = 1;
  Single WALK_RADIUS = 10;
  Vec WX{101};
  Vec WY{101};
  Vec WR{101};
  Vec WVX{20};
  Vec WVY{20};
  Vec WACTIVE{20};  // 1 moving; negative: out of contact tests
  Vec WCOEF{20};
  Vec WCOLOR{20};

  // Obstacles: 1, 2 corner mountains, 3..43 zone circles, 44..100 snow.
  Single NOBJ_SET = 100;
  Single NOBJ;
  Single LAYOUT_COUNT = 1;
  Vec OX{100};
  Vec OY{100};
  Vec OR{100};
  Vec OT{100};     // kind, also its palette entry
  Vec OGONE{100};  // -1 once a snow patch is worn away
  Vec OCOEF{100};
  Grid SAVED_OX{100, 4};  // (obstacle, layout)
  Grid SAVED_OY{100, 4};
  Grid SAVED_OR{100, 4};
  Grid SAVED_OT{100, 4};

  // Layout builder's scratch.
  Vec WT{101};  // kind of work-list entry k
  Vec PZX{20};  // centres of the current cluster
  Vec PZY{20};

  // Scenery tables.
  Vec ZONE_A{40};  // radius of zone k
  Vec ZONE_B{40};  // kind of zone k
  Vec ZONE_PX{40};
  Vec ZONE_PY{40};
  Vec SKY_R{10};
  Vec SKY_G{10};
  Vec SKY_B{10};
  Vec SNOW_TAB{60};
  Vec TREE_TAB{60};

  // Colours, texts and presentation.
  Vec COLMAP{15};  // palette entry of colour number 0..15
  Vec PALORD{7};   // basic colour code of colour number 0..7
  Single TITLE_COLOR = 15;
  Long TITLE_DELAY = 15;
  Long DEMO_DELAY = 5;
  Array<std::string, 1> MENU_ITEM{10};
  Array<std::string, 1> OPT_ITEM{10};

  // Try icons: a 40x20 picture block each (GET/PUT).
  Vec ICON_BLANK{900};
  Vec ICON_TRY{900};

  // Sound.
  Single MIDI_OK;  // 1 device open, -1 none
  Long MIDI_HANDLE = 0;
  Vec NOTE;  // scale step per obstacle, dimensioned at start-up

  // Main program.
  Single MENU_CHOICE = 1;
  Single SEL;

  // Game loop; the contact arrays are dimensioned at start-up (walker, wall
  // or obstacle).
  Single TRY_NO;
  Single INPUT_FLAG;  // -1: the player abandoned the game
  Single LAUNCH_VX;
  Single LAUNCH_VY;
  Single CLOCK;
  Single WALL_PAD = 10;
  Grid HITW;
  Grid WDIST;
  Grid HITO;
  Grid ODIST;
  Single DMIN;
  Single HIT;  // 0 none, 1 wall, 2 obstacle
  Single HIT_I;
  Single HIT_K;
};

}  // namespace game

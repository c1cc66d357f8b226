#include <array>

#include "data/data_files.h"
#include "game/zided.h"
#include "platform/sjis.h"

namespace game {

int Zided::run() {
  return rt.run(data::mainform_text(), rt::CompileOptions{10}, [this] { main_program(); });
}

void Zided::main_program() {
  rt.SET_MAIN_MODULE(kModule);
  rt.SET_MODULE(kModule);
  rt.DATA_START(data::constants_text());
  Single k;

  init_arrays();
  // MOPEN: open the MIDI output.
  init_colours_and_notes();
  init_menu_items();
  // CLS 0.
  init_speeds();
  // Title screen: FZMMS, "Version 4.1", DEMOS, WAIT1(1000), CLS.
  init_options();
  init_scenery_tables();
  st(); DFWALL();
  for (k = 1; k <= NWALL; k += 1) {
    st(); WALL_E(k) = 1;
    st(); WALL_ATTR(k) = 2;
  }
  st(); LAYOUT_COUNT = 1;
  st(); TRIES = 10;
  st(); SETFD(LAYOUT_COUNT, NOBJ);
  init_best20();
  // CLS; MSPIC; CLS; then the menu loop.

  // Until the menu exists: wait for the window to close.
  for (;;) {
    st(); rt.INKEY(0);
  }
}

void Zided::init_arrays() {
  st(); HITW.DIM(1, 4);
  st(); WDIST.DIM(1, 4);
  st(); HITO.DIM(1, 100);
  st(); ODIST.DIM(1, 100);
  st(); NOTE.DIM(100);
}

void Zided::init_colours_and_notes() {
  for (int l = 0; l <= 15; ++l) {
    st(); rt.READ(COLMAP(l));
  }
  for (int l = 0; l <= 7; ++l) {
    st(); rt.READ(PALORD(l));
  }
  st(); WCOLOR(1) = 15;
  for (int j = 1; j <= 100; ++j) {
    st(); rt.READ(NOTE(j));
  }
}

void Zided::init_menu_items() {
  static constexpr std::array<const char*, 9> kItems = {
      " A  スタート      :  Start 1-Game      ",     " B  レベル        :  Level             ",
      " C  時 間 制 限   :  Time Limit        ",     " D  レイアウト変更:  Change Layout     ",
      " E  スコア記録\u3000  :  Best 20           ", " F  プレーヤー名  :  Player's Name     ",
      " G  スコア破棄    :  Delete Best 20    ",     " H  アニメスピード:  Animation Speed   ",
      " I  終  了        :  End               ",
  };
  for (std::size_t k = 0; k < kItems.size(); ++k) {
    st(); MENU_ITEM(static_cast<double>(k + 1)) = platform::utf8_to_sjis(kItems[k]);
  }
}

void Zided::init_speeds() {
  st(); ANIM_SEL = 2;
  st(); DT = 0.06;
  st(); ANIM_DELAY = 5;
  st(); TITLE_DELAY = 15;
  st(); DEMO_DELAY = 5;
  st(); TITLE_COLOR = COLMAP(7);
}

void Zided::init_options() {
  st(); LEVEL = 2;
  st(); PLAYER_NAME = "          ";
  st(); NOBJ_SET = 100;
  st(); TIME_SEL = 2;
  st(); TIME_LIMIT = 100;
  st(); NWALK = 1;
  st(); WALK_RADIUS = 10;
  for (int i = 1; i <= NWALK; ++i) {
    st(); WCOEF(i) = 1;
  }
  st(); WALL_PAD = 10;
  for (int j = 1; j <= 100; ++j) {
    st(); OCOEF(j) = 1;
  }
}

void Zided::init_scenery_tables() {
  for (int k = 1; k <= 40; ++k) {
    st(); rt.READ(ZONE_A(k));
  }
  for (int k = 1; k <= 40; ++k) {
    st(); rt.READ(ZONE_B(k));
  }
  st(); ZONE_PX(1) = -50;
  st(); ZONE_PY(1) = 600;
  st(); ZONE_PX(2) = 670;
  st(); ZONE_PY(2) = 600;
  for (int band = 10; band >= 1; --band) {
    st(); rt.READ(SKY_R(band), SKY_G(band), SKY_B(band));
  }
  for (int k = 1; k <= 60; ++k) {
    st(); rt.READ(SNOW_TAB(k));
  }
  for (int k = 1; k <= 60; ++k) {
    st(); rt.READ(TREE_TAB(k));
  }
}

void Zided::init_best20() {
  for (int i = 1; i <= 20; ++i) {
    st(); BEST_TIME(i) = 10000;
  }
  st(); PLAY_COUNT = 0;
  st(); MENU_CHOICE = 1;
}

}  // namespace game

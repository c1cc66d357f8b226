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

  init_arrays();
  st(); MOPEN();
  init_colours_and_notes();
  init_menu_items();
  st(); rt.CLS(0, 0);
  init_speeds();
  title_screen();
  init_options();
  init_scenery_tables();
  st(); DFWALL();
  for (Single k = 1; k <= NWALL; k += 1) {
    st(); WALL_E(k) = 1;
    st(); WALL_ATTR(k) = 2;
  }
  st(); LAYOUT_COUNT = 1;
  st(); TRIES = 10;
  st(); SETFD(LAYOUT_COUNT, NOBJ);
  init_best20();
  st(); rt.CLS(0, 0);
  st(); MSPIC();
  st(); rt.CLS(0, 0);
  menu_loop();
}

void Zided::title_screen() {
  st(); FZMMS(TITLE_COLOR, "Peakwend");
  st(); LOCATE1(17, 33);
  st(); rt.PRINT(0, "Version 4.1");
  st(); LOCATE1(25, 26);
  st(); rt.PRINT(0, "Rebuilt for Linux by Peakwend");
  st(); DEMOS();
  st(); WAIT1(1000);
  st(); rt.CLS(0, 0);
}

void Zided::menu_loop() {
  for (;;) {
    st(); PALET0();
    st(); FMENU1(19, 5, 39, 9, MENU_CHOICE);
    switch (rt::CINT(MENU_CHOICE)) {
      case 1:
        st(); PLAY_COUNT = PLAY_COUNT + 1;
        st(); play_game();
        break;
      case 2:
        level_screen();
        break;
      case 3:
        time_limit_screen();
        break;
      case 4:
        st(); SETFD(LAYOUT_COUNT, NOBJ);
        break;
      case 5:
        st(); SRANKS();
        st(); ANYKEY();
        st(); rt.CLS(0, 0);
        break;
      case 6:
        name_screen();
        break;
      case 7:
        st(); PLAY_COUNT = 0;
        for (Single i = 1; i <= 20; i += 1) {
          st(); BEST_TIME(i) = 10000;
        }
        best20_changed();
        break;
      case 8:
        animation_speed_screen();
        break;
      case 9:
        st(); rt.END(0);
      default:
        break;
    }
  }
}

void Zided::level_screen() {
  st(); LOCATE1(17, 27);
  st(); rt.PRINT(0, "( High --------- Low )");
  st(); OPT_ITEM(1) = "  1  ";
  st(); OPT_ITEM(2) = "  2  ";
  st(); OPT_ITEM(3) = "  3  ";
  st(); HMENU(29, 18, 6, 3, LEVEL, SEL);
  st(); LEVEL = SEL;
  st(); ZONE_A(1) = 270 + 30 * (3 - SEL);
  st(); ZONE_A(2) = ZONE_A(1);
  st(); SETFD(LAYOUT_COUNT, NOBJ);
}

void Zided::time_limit_screen() {
  st(); OPT_ITEM(1) = "   50  ";
  st(); OPT_ITEM(2) = "  100  ";
  st(); HMENU(31, 18, 7, 2, TIME_SEL, SEL);
  st(); TIME_SEL = SEL;
  st(); TIME_LIMIT = 50 * rt::POW(2, SEL - 1);
}

void Zided::animation_speed_screen() {
  st(); LOCATE1(18, 28);
  st(); rt.PRINT(0, "( Fast <-----> Slow )");
  st(); OPT_ITEM(1) = " 1 ";
  st(); OPT_ITEM(2) = " 2 ";
  st(); OPT_ITEM(3) = " 3 ";
  st(); HMENU(32, 19, 4, 3, ANIM_SEL, SEL);
  st(); ANIM_SEL = SEL;
  st(); ANIM_DELAY = rt::CLNG(5 + 3 * (SEL - 2));
  st(); TITLE_DELAY = 15;
  st(); DEMO_DELAY = 5;
  st(); DT = 0.06_sng;
}

void Zided::name_screen() {
  st(); rt.COLOR(0, 15);
  st(); LOCATE1(18, 30);
  st(); rt.PRINT(0, "                 ");
  st(); LOCATE1(18, 30);
  st(); rt.INPUT(0, 2, " Name", {PLAYER_NAME.span()});
  st(); rt.COLOR(0, 7);
  st(); rt.CLS(0, 0);
  st(); MSPIC();
  st(); rt.CLS(0, 0);
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
  st(); DT = 0.06_sng;
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
  if (best20_store_) {
    if (auto kept = best20_store_->load()) put_best20_table(*kept);
  }
}

}  // namespace game

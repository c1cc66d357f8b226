// Module zideD: the game's main program and procedures, with the global
// state they share. Every statement passes the statement yield (st()).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "game/flow/state.h"
#include "game/scores/best20_store.h"
#include "runtime/runtime.h"

namespace game {

inline constexpr const char* kModule = "zideD.bas";

// Procedures take their arguments by reference in the original; here the
// ones they only read are passed by value and the ones they set by reference.
class Zided : public State {
 public:
  explicit Zided(rt::Runtime& runtime) : rt(runtime) {}
  Zided(const Zided&) = delete;
  Zided& operator=(const Zided&) = delete;

  // Starts the program in its window; returns the exit code.
  int run();
  void main_program();

  // The main program's own start-up steps, in the order it runs them
  // (flow/main_program.cpp); they read the module's DATA in turn.
  void init_arrays();             // contact arrays and NOTE
  void init_colours_and_notes();  // COLMAP, PALORD, WCOLOR(1), NOTE
  void init_menu_items();         // the nine MENU_ITEM texts
  void init_speeds();             // animation speed, delays, title colour
  void init_options();            // level, name, time limit, walker, factors
  void init_scenery_tables();     // zones, mountain centres, sky, snow, trees
  void init_best20();             // empty Best-20 list, menu cursor

  // The main program's screens (flow/main_program.cpp).
  void title_screen();
  void menu_loop();
  void level_screen();
  void time_limit_screen();
  void animation_speed_screen();
  void name_screen();

  // Menus and prompts (flow/menus.cpp).
  void LOCATE1(double row, double col);
  void WAIT1(std::int32_t ms);
  void ANYKEY();
  void FMENU1(double left, double top, double width, double n, Single& ch);
  void HMENU(double x, double y, double w, double n, double cur, Single& sel);

  // One game, from "Start 1-Game" back to the menu (flow/game_loop.cpp):
  // the tries, the simulation loop of one try (true at the goal), the goal.
  void play_game();
  bool run_try();
  bool simulation_step(long n);  // step n of a try (true at the goal)
  void find_contacts();          // the contact search of one simulation step
  void goal();
  // One CSV line per simulation step to `path` (--trace).
  void open_trace(const std::string& path);

  // Landscape layout (scenery/layout.cpp).
  void DFWALL();
  void SETFD(double count, Single& n);
  void DZONE(double n);
  void PZONE(double mode, double z, double r, double m);
  void SNOW(double first, double count);

  // Scenery objects (scenery/objects.cpp).
  void FRESH();
  void FRESH1();
  void SKY(double n);
  void STONE(double k);
  void DSTONE(double k);
  void ENDING();
  void TREE(double k);
  void GROW2();

  // Palettes (scenery/palettes.cpp).
  void PALET0();
  void PALET1(double n);
  void PALET2();
  void PALETS();
  void PALETM();

  // Walker marker, try figure and try icons (walker/marker.cpp).
  void KAO();
  void DKAO();
  void MOSX(double col, double x, double y, double r);
  void MOSX1(double col, double x, double y, double r);
  void MOSX2(double col, double x, double y, double r);
  void MSPIC();
  void MSDISP();
  void MSADD(double op, double kind);

  // Mouse input, launch and rebound (walker/mouse.cpp).
  void FMVEL1(Single& flag);
  void FMVEL2(Single& vx, Single& vy, Single& flag);
  void KASOC(double i, double j, Single& cx, Single& cy);
  void NBPCNV(double i, double j, double dx, double dy, double dist);

  // Title animation (walker/title.cpp).
  void FZMMS(double col, const std::string& text);
  void DEMOS();

  // MIDI notes (sound/midi_notes.cpp).
  void MOPEN();
  void MON(std::int16_t n);

  // Score panel and Best-20 table (scores/best20.cpp).
  void BST20(double total);
  void SRANKS();
  void SCORE();
  // Keeps the table and PLAY_COUNT between runs: init_best20 loads them,
  // best20_changed hands them over after every change. None by default.
  void set_best20_store(Best20Store* store) { best20_store_ = store; }
  Best20Table best20_table();
  void put_best20_table(const Best20Table& table);
  void best20_changed();

  rt::Runtime& runtime() { return rt; }

 protected:
  // A statement boundary with the caller's line.
  void st(rt::SourceLine loc = rt::SourceLine::current()) { rt.STMT(loc); }

  // The frame of one SUB call: a fresh unit context in module zideD.
  struct Sub : rt::Frame::SubFrame {
    explicit Sub(rt::Runtime& r) : rt::Frame::SubFrame(r) { r.SET_MODULE(kModule); }
  };

  rt::Runtime& rt;

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  void trace_step(long step);
  std::unique_ptr<std::FILE, FileCloser> trace_;
  Best20Store* best20_store_ = nullptr;
};

}  // namespace game

// A soak: the real program (runtime, module and headless host, as the
// peakwend executable puts them together) run again and again with the random
// player at the keys and the mouse, until the events are spent. Any run-time
// error report, message box, stall or exit code other than 0 is a failure.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "tools/soak/player.h"

namespace game {
class Zided;
}
namespace rt {
class Runtime;
}

namespace soak {

struct Options {
  std::uint64_t seed = 1;
  std::uint64_t events = 20000;  // commands to hand out in all
  std::uint64_t games = 0;       // stop once this many games have started; 0: no limit
  bool stay = false;             // never choose "End": everything in one program run
  std::string rss_log;           // CSV, a line at the start of every game (its memory)
  std::string script_out;        // each run as a script that replays it (the last one stays)
  std::string work_dir;          // where the runs keep their registry file
  // Pumps without an input poll before the program counts as stalled.
  std::uint64_t stall_pumps = 20'000'000;
  // What one run does; empty: the game's main program (tests put others here).
  std::function<int(rt::Runtime&, game::Zided&)> program;
};

// Where the soak is: kept in memory a watching process can read after a crash.
struct Progress {
  std::uint64_t events = 0;      // commands handed out so far
  std::uint64_t run = 0;         // program runs begun
  std::uint64_t run_events = 0;  // commands handed out in the current run
  platform::LocalTime start;     // the current run's clock at start
  bool reported = false;         // the soak reported its failure itself
};

// Memory at the start of a game.
struct MemorySample {
  std::uint64_t game = 0;  // games begun in the run, this one included
  long rss_kb = 0;         // resident set
  long anon_kb = 0;        // its anonymous part: heap, stacks, the program's data
  long heap_bytes = 0;     // heap in use
};

struct Stats {
  std::uint64_t events = 0;
  std::uint64_t runs = 0;
  std::uint64_t games = 0;  // games started
  std::uint64_t won = 0;    // games that reached the goal
  std::uint64_t tries = 0;
  std::uint64_t statements = 0;
  std::uint64_t last_run_statements = 0;
  double seconds = 0;
  long peak_rss_kb = 0;
  // The run with the most games: its first game, its tenth (memory has
  // settled by then) and its last.
  std::uint64_t session_games = 0;
  MemorySample session_first, session_settled, session_last;
  long session_peak_rss_kb = 0;  // the largest sample of that run
};

class Session {
 public:
  // `progress` may be null; otherwise it is kept up to date.
  Session(Options options, Progress* progress);
  ~Session();

  // Runs programs until the events (or games) are spent, or one fails.
  // True when every run ended well; otherwise failure() says what happened.
  bool run();
  // Set when a signal stopped the soak early.
  bool interrupted() const { return interrupted_; }
  const Stats& stats() const { return stats_; }
  const std::string& failure() const { return failure_; }
  // The clock the current (or last) run started with, as --time/--date.
  std::string clock_args() const;

  class Driver;  // the player's side of one program run

 private:
  int run_program(Driver& driver);

  Options options_;
  Progress own_progress_;
  Progress* progress_;
  Stats stats_;
  std::string failure_;
  bool interrupted_ = false;
  Random random_;
};

// This process's memory now: resident set, its anonymous part, heap in use;
// and its peak resident set.
long resident_kb();
long anonymous_kb();
long heap_in_use();
long peak_resident_kb();

}  // namespace soak

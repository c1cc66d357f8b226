// A seeded random player. Whenever the program waits for input it picks one
// command, weighted by what the program waits for, and hands it out as a
// script would: one group of events per idle. Its commands are script
// commands, so any run can be written out as a script and replayed.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/events.h"
#include "platform/script.h"

namespace soak {

// xoshiro256** seeded through splitmix64: the same numbers on every machine.
class Random {
 public:
  explicit Random(std::uint64_t seed);
  std::uint64_t next();
  // 0 <= r < n, for n > 0.
  int below(int n);
  // lo <= r <= hi.
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  // An index into `weights`, each chosen with probability weight / sum.
  std::size_t pick(std::span<const int> weights);

 private:
  std::uint64_t s_[4];
};

// What the program waits for, as far as the player can tell.
enum class Wait : std::uint8_t {
  Keys,   // a menu, an option screen or a key prompt
  Mouse,  // the start point or the aim
  Line,   // a typed line (the player's name)
  Other,  // anything else
};

// The wait of a program whose polling statement lies in `source_file`.
Wait wait_of(std::string_view source_file);

// What the player knows when the program waits.
struct Situation {
  Wait wait = Wait::Other;
  int menu_choice = 1;  // the menu cursor, 9 being "End"
  bool stay = false;    // never choose "End"
};

// One random command for the situation: key, type, move, press, release,
// click or drag. Never Ctrl+C; when staying, never Enter or Ctrl+M (13) with
// the menu cursor on "End", nor Ctrl+M anywhere.
platform::ScriptCommand choose_command(Random& random, const Situation& s);

// `cmd` as a script line (without the newline).
std::string script_line(const platform::ScriptCommand& cmd);

}  // namespace soak

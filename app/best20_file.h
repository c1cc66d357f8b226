// The Best-20 table kept between runs (keep_scores): a small text file,
// $XDG_DATA_HOME/peakwend/best20, replaced whole at every save.
//
//   peakwend-best20 1                      the format's version
//   played 3                               PLAY_COUNT
//   57.3 2 100 100 416263202020202020202020
//                                          a place, best first: total time,
//                                          level, time limit, obstacles, and
//                                          the 12 name bytes in hex
#pragma once

#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "game/scores/best20_store.h"

namespace app {

std::string format_best20(const game::Best20Table& table);
// Nullopt with the reason for anything but a table in the format above.
std::optional<game::Best20Table> parse_best20(std::string_view text, std::string* why);

class Best20File : public game::Best20Store {
 public:
  explicit Best20File(std::string path, std::ostream& log = std::cerr)
      : path_(std::move(path)), log_(log) {}

  // $XDG_DATA_HOME/peakwend/best20, else ~/.local/share/peakwend/best20.
  static std::string default_path();
  const std::string& path() const { return path_; }

  // A file that cannot be used is moved aside as best20.bad-DATE and
  // reported; the game starts empty. If it cannot be moved or read, this run
  // saves nothing, so that it is never overwritten.
  std::optional<game::Best20Table> load() override;
  // Writes a new file beside the old one, flushes it to disk and renames it
  // over the old one: the file holds the old table or the new, never a mix.
  // A failure is reported and the game goes on.
  void save(const game::Best20Table& table) override;

  // Called when the new table is on disk and has not yet replaced the old.
  std::function<void()> before_replace;

 private:
  void move_aside(const std::string& why);

  std::string path_;
  std::ostream& log_;
  bool may_save_ = true;
};

}  // namespace app

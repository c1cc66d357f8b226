// The Best-20 table and play count as they are kept between runs, and the
// interface of whatever keeps them.
#pragma once

#include <array>
#include <optional>
#include <vector>

namespace game {

struct Best20Place {
  float time = 0;
  std::array<char, 12> name{};  // the Shift-JIS bytes as the table holds them
  float level = 0;
  float time_limit = 0;
  float objects = 0;
  bool operator==(const Best20Place&) const = default;
};

struct Best20Table {
  std::vector<Best20Place> places;  // the filled places, best first; at most 20
  float play_count = 0;
  bool operator==(const Best20Table&) const = default;
};

class Best20Store {
 public:
  virtual ~Best20Store() = default;
  // The table kept; nullopt when there is none to use.
  virtual std::optional<Best20Table> load() = 0;
  virtual void save(const Best20Table& table) = 0;
};

}  // namespace game

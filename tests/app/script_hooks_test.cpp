// The script commands that look into the running program: text, expect and
// layout.
#include "app/script_hooks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/sjis.h"
#include "tests/support/program.h"

namespace {

std::vector<std::string> read_lines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::remove(path.c_str());
  return lines;
}

std::string temp(const std::string& name) { return ::testing::TempDir() + "script-hooks-" + name; }

TEST(ScriptHooks, TheTextGridAsTwentyEightLinesOfEightyCellsAndExpectOnIt) {
  testing_support::Program p;
  p.start();
  game::Zided z(p.rt());
  app::ScriptHooks hooks(p.rt(), z);
  for (auto [col, row, text] : {std::tuple{0, 0, "Best 20"}, {10, 3, "山田太郎 ok"}, {79, 27, "z"}}) {
    p.rt().LOCATE(0, col, row);
    p.rt().write_text(platform::utf8_to_sjis(text));
  }
  p.rt().LOCATE(0, 0, 1);
  p.rt().write_text("a\x07" "b\x81");  // a control byte, a lone lead byte,
  p.rt().write_text("A");              // and an 'A' that could pass for a trail byte
  std::string error;
  ASSERT_TRUE(hooks.save_text(temp("grid.txt"), &error)) << error;
  auto lines = read_lines(temp("grid.txt"));
  ASSERT_EQ(lines.size(), 28u);
  EXPECT_EQ(lines[0], "Best 20" + std::string(73, ' '));
  EXPECT_EQ(lines[1], "a?b?A" + std::string(75, ' ')) << "cells without a character of their own";
  EXPECT_EQ(lines[3], std::string(10, ' ') + "山田太郎 ok" + std::string(59, ' '));
  EXPECT_EQ(lines[27], std::string(79, ' ') + "z");
  EXPECT_EQ(lines[26], std::string(80, ' '));
  EXPECT_FALSE(hooks.save_text("/nonexistent-dir/grid.txt", &error));
  EXPECT_EQ(error, "cannot write /nonexistent-dir/grid.txt");

  for (auto [row, col, text] : {std::tuple{3, 10, "山田太郎"}, {3, 16, "郎 ok "}, {0, 75, "     "}, {27, 78, " z"}})
    EXPECT_TRUE(hooks.expect_text(row, col, text, &error)) << error;
  const struct {
    int row, col;
    const char* text;
    const char* error;
  } misses[] = {{3, 11, "山田", "expected \"山田\" at row 3 column 11, the grid shows \"R田?\""},
                {0, 0, "Best 2!", "expected \"Best 2!\" at row 0 column 0, the grid shows \"Best 20\""},
                {0, 78, "abc", "\"abc\" does not fit in the grid at row 0 column 78"},
                {28, 0, "a", "\"a\" does not fit in the grid at row 28 column 0"},
                {-1, 0, "a", "\"a\" does not fit in the grid at row -1 column 0"},
                {0, -1, "a", "\"a\" does not fit in the grid at row 0 column -1"}};
  for (const auto& m : misses) {
    EXPECT_FALSE(hooks.expect_text(m.row, m.col, m.text, &error)) << m.text;
    EXPECT_EQ(error, m.error);
  }
}

// Stored layout 1 of a program started at the given second, saved once the
// program waits for input.
std::vector<std::string> layout_at(int second, std::vector<std::array<float, 4>>* saved = nullptr) {
  platform::HostOptions o;
  o.start_time = platform::LocalTime{2023, 11, 2, 8, 15, second};
  o.script = platform::parse_script("idle\nlayout " + temp("layout.txt") + "\nclose\n", nullptr);
  testing_support::Program p(std::move(o));
  game::Zided z(p.rt());
  app::ScriptHooks hooks(p.rt(), z);
  p.host().set_script_hooks(&hooks);
  EXPECT_EQ(p.run([&](rt::Runtime&) { z.main_program(); }), 0);
  for (int j = 1; saved && j <= 100; ++j)
    saved->push_back({z.SAVED_OX(j, 1).bits(), z.SAVED_OY(j, 1).bits(), z.SAVED_OR(j, 1).bits(), z.SAVED_OT(j, 1).bits()});
  return read_lines(temp("layout.txt"));
}

// One line "j x y r kind" per obstacle; nine digits give every value back.
TEST(ScriptHooks, TheLayoutReadsBackExactlyAndDependsOnTheSecondOnly) {
  std::vector<std::array<float, 4>> saved;
  auto lines = layout_at(42, &saved);
  ASSERT_EQ(lines.size(), 100u);
  for (std::size_t j = 0; j < 100; ++j) {
    std::istringstream in(lines[j]);
    std::size_t n = 0;
    std::array<std::string, 4> v;
    ASSERT_TRUE(in >> n >> v[0] >> v[1] >> v[2] >> v[3]) << lines[j];
    EXPECT_EQ(n, j + 1);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(std::strtof(v[k].c_str(), nullptr), saved[j][k]) << lines[j];
  }
  // The corner mountains at level 2 (radius 270 + 30), the last snow patch.
  EXPECT_EQ(lines[0], "1 -50 600 300 1");
  EXPECT_EQ(lines[1], "2 670 600 300 1");
  EXPECT_EQ(lines[99].substr(lines[99].size() - 6), " 10 15");
  EXPECT_EQ(layout_at(42), lines);
  EXPECT_NE(layout_at(43), lines);

  testing_support::Program p;
  p.start();
  game::Zided z(p.rt());
  app::ScriptHooks hooks(p.rt(), z);
  std::string error;
  EXPECT_FALSE(hooks.save_layout(temp("none.txt"), &error));
  EXPECT_EQ(error, "no layout has been built yet");
  z.SAVED_OR(1, 1) = 300;
  EXPECT_FALSE(hooks.save_layout("/nonexistent-dir/layout.txt", &error));
  EXPECT_EQ(error, "cannot write /nonexistent-dir/layout.txt");
}

}  // namespace

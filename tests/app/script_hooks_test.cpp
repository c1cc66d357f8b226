// The script commands that look into the running program: text, expect and
// layout.
#include "app/script_hooks.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/sjis.h"
#include "tests/support/program.h"

namespace {

std::vector<std::string> lines_of(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::remove(path.c_str());
  return lines;
}

TEST(ScriptHooks, TheTextGridAsTwentyEightLinesOfEightyCellsAndExpectOnIt) {
  testing_support::Program p;
  p.start();
  game::Zided z(p.rt());
  app::ScriptHooks hooks(p.rt(), z);
  for (auto [col, row, text] :
       {std::tuple{0, 0, "Best 20"}, {10, 3, "山田太郎 ok"}, {79, 27, "z"}}) {
    p.rt().LOCATE(0, col, row);
    p.rt().write_text(platform::utf8_to_sjis(text));
  }
  p.rt().LOCATE(0, 0, 1);
  p.rt().write_text(
      "a\x07"
      "b\x81");            // a control byte, a lone lead byte,
  p.rt().write_text("A");  // and an 'A' that could pass for its trail byte
  const std::string path = ::testing::TempDir() + "script-hooks-grid.txt";
  std::string error;
  ASSERT_TRUE(hooks.save_text(path, &error)) << error;
  const std::vector<std::string> want = {
      "Best 20" + std::string(73, ' '), "a?b?A" + std::string(75, ' '), std::string(80, ' '),
      std::string(10, ' ') + "山田太郎 ok" + std::string(59, ' ')};
  auto lines = lines_of(path);
  ASSERT_EQ(lines.size(), 28u);
  EXPECT_EQ(std::vector(lines.begin(), lines.begin() + 4), want);
  EXPECT_EQ(lines[27], std::string(79, ' ') + "z");
  EXPECT_FALSE(hooks.save_text("/nonexistent-dir/grid.txt", &error));
  EXPECT_EQ(error, "cannot write /nonexistent-dir/grid.txt");

  for (auto [row, col, text] :
       {std::tuple{3, 10, "山田太郎"}, {3, 16, "郎 ok "}, {0, 75, "     "}, {27, 78, " z"}})
    EXPECT_TRUE(hooks.expect_text(row, col, text, &error)) << error;
  const std::tuple<int, int, const char*, const char*> misses[] = {
      {3, 11, "山田", "expected \"山田\" at row 3 column 11, the grid shows \"R田?\""},
      {0, 78, "abc", "\"abc\" does not fit in the grid at row 0 column 78"},
      {28, 0, "a", "\"a\" does not fit in the grid at row 28 column 0"},
      {0, -1, "a", "\"a\" does not fit in the grid at row 0 column -1"}};
  for (auto [row, col, text, message] : misses) {
    EXPECT_FALSE(hooks.expect_text(row, col, text, &error)) << text;
    EXPECT_EQ(error, message);
  }
}

// Stored layout 1 of the program started at a given second, saved once it
// waits for input: "j x y r kind" a line, nine digits giving every value back.
TEST(ScriptHooks, TheLayoutReadsBackExactlyAndDependsOnTheSecondOnly) {
  const std::string path = ::testing::TempDir() + "script-hooks-layout.txt";
  auto layout_at = [&](int second, std::vector<float>* saved) {
    platform::HostOptions o;
    o.start_time = platform::LocalTime{2023, 11, 2, 8, 15, second};
    o.script = platform::parse_script("idle\nlayout " + path + "\nclose\n", nullptr);
    testing_support::Program p(std::move(o));
    game::Zided z(p.rt());
    app::ScriptHooks hooks(p.rt(), z);
    p.host().set_script_hooks(&hooks);
    EXPECT_EQ(p.run([&](rt::Runtime&) { z.main_program(); }), 0);
    for (int j = 1; j <= 100; ++j) {
      for (auto v : {z.SAVED_OX(j, 1), z.SAVED_OY(j, 1), z.SAVED_OR(j, 1), z.SAVED_OT(j, 1)})
        saved->push_back(v.bits());
    }
    return lines_of(path);
  };
  std::vector<float> saved, again;
  auto lines = layout_at(42, &saved);
  ASSERT_EQ(lines.size(), 100u);
  for (std::size_t j = 0; j < 100; ++j) {
    std::istringstream in(lines[j]);
    float v[5];
    ASSERT_TRUE(in >> v[0] >> v[1] >> v[2] >> v[3] >> v[4] && in.eof()) << lines[j];
    EXPECT_EQ(std::vector(v, v + 5), (std::vector{j + 1.0f, saved[4 * j], saved[4 * j + 1],
                                                  saved[4 * j + 2], saved[4 * j + 3]}));
  }
  // The corner mountains at level 2 (radius 270 + 30 x 1), the last snow patch.
  EXPECT_EQ(std::tuple(lines[0], lines[1], lines[99].substr(lines[99].size() - 6)),
            std::tuple("1 -50 600 300 1", "2 670 600 300 1", " 10 15"));
  EXPECT_EQ(layout_at(42, &again), lines);
  EXPECT_NE(layout_at(43, &again), lines);
  testing_support::Program fresh;  // before any layout: refused
  fresh.start();
  game::Zided none(fresh.rt());
  std::string error;
  EXPECT_FALSE(app::ScriptHooks(fresh.rt(), none).save_layout(path, &error));
  EXPECT_EQ(error, "no layout has been built yet");
}

}  // namespace

// The script commands that read the text grid: text FILE and expect.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/script_hooks.h"
#include "platform/sjis.h"
#include "tests/support/program.h"

namespace {

class GridHooks : public ::testing::Test {
 protected:
  void SetUp() override { p.start(); }
  void print_at(int col, int row, const char* utf8) {
    p.rt().LOCATE(0, col, row);
    p.rt().write_text(platform::utf8_to_sjis(utf8));
  }
  std::vector<std::string> saved_lines() {
    auto path = std::filesystem::path(::testing::TempDir()) /
                (std::string("peakwend-grid-") +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
    std::string error;
    EXPECT_TRUE(hooks.save_text(path.string(), &error)) << error;
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    std::filesystem::remove(path);
    return lines;
  }

  testing_support::Program p;
  game::Zided game{p.rt()};
  app::ScriptHooks hooks{p.rt(), game};
};

TEST_F(GridHooks, TextFileHasTwentyEightLinesOfEightyCells) {
  print_at(0, 0, "Best 20");
  print_at(10, 3, "山田太郎 ok");
  print_at(79, 27, "z");
  auto lines = saved_lines();
  ASSERT_EQ(lines.size(), 28u);
  EXPECT_EQ(lines[0], "Best 20" + std::string(73, ' '));
  // Each double-byte character covers two cells and is written once.
  EXPECT_EQ(lines[3], std::string(10, ' ') + "山田太郎 ok" + std::string(59, ' '));
  EXPECT_EQ(lines[27], std::string(79, ' ') + "z");
  for (int n : {1, 2, 4, 26}) EXPECT_EQ(lines[static_cast<std::size_t>(n)], std::string(80, ' '));
}

TEST_F(GridHooks, CellsWithoutACharacterOfTheirOwnReadAsQuestionMarks) {
  p.rt().LOCATE(0, 0, 1);
  p.rt().write_text(
      "a\x07"
      "b\x81");            // a control byte, a lone lead byte
  p.rt().write_text("A");  // 'A' could pass for a trail byte: it must not
  auto lines = saved_lines();
  ASSERT_EQ(lines.size(), 28u);
  EXPECT_EQ(lines[1].substr(0, 6), "a?b?A ");
}

TEST_F(GridHooks, ExpectComparesShiftJisBytesAtTheCell) {
  print_at(5, 2, "レベル  Level");
  std::string error;
  EXPECT_TRUE(hooks.expect_text(2, 5, "レベル", &error)) << error;
  EXPECT_TRUE(hooks.expect_text(2, 11, "  Level", &error)) << error;
  EXPECT_TRUE(hooks.expect_text(2, 0, "     レ", &error)) << error;
  EXPECT_TRUE(hooks.expect_text(9, 70, "          ", &error)) << error;

  EXPECT_FALSE(hooks.expect_text(2, 6, "レベル", &error));
  EXPECT_NE(error.find("row 2 column 6"), std::string::npos) << error;
  EXPECT_FALSE(hooks.expect_text(2, 5, "Level", &error));
  EXPECT_NE(error.find("レベ"), std::string::npos) << "names what the grid shows: " << error;
  // Text running past the row's end, rows outside the grid.
  EXPECT_FALSE(hooks.expect_text(2, 78, "abc", &error));
  EXPECT_FALSE(hooks.expect_text(28, 0, "a", &error));
  EXPECT_FALSE(hooks.expect_text(-1, 0, "a", &error));
}

}  // namespace

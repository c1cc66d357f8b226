// The script command that writes stored layout 1: layout FILE.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/script_hooks.h"
#include "tests/support/program.h"

namespace {

std::filesystem::path temp_file(const std::string& tag) {
  return std::filesystem::path(::testing::TempDir()) /
         ("peakwend-layout-" + tag + "-" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
}

std::vector<std::string> lines_of(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// The whole program started at `second` with a script that saves the layout
// once the program waits for input.
struct StartUp {
  explicit StartUp(int second, const std::filesystem::path& path) {
    platform::HostOptions o;
    o.start_time = platform::LocalTime{2023, 11, 2, 8, 15, second};
    std::string why;
    o.script = platform::parse_script("idle\nlayout " + path.string() + "\nclose\n", &why);
    EXPECT_TRUE(o.script) << why;
    p = std::make_unique<testing_support::Program>(std::move(o));
    game = std::make_unique<game::Zided>(p->rt());
    hooks = std::make_unique<app::ScriptHooks>(p->rt(), *game);
    p->host().set_script_hooks(hooks.get());
    code = p->run([&](rt::Runtime&) { game->main_program(); });
    lines = lines_of(path);
    std::filesystem::remove(path);
  }
  std::unique_ptr<testing_support::Program> p;
  std::unique_ptr<game::Zided> game;
  std::unique_ptr<app::ScriptHooks> hooks;
  int code = -1;
  std::vector<std::string> lines;
};

TEST(LayoutHook, WritesOneLinePerObstacleThatReadsBackExactlyAndDependsOnTheSecondOnly) {
  StartUp run(42, temp_file("a"));
  EXPECT_EQ(run.code, 0);
  ASSERT_EQ(run.lines.size(), 100u);
  game::Zided& z = *run.game;
  for (int j = 1; j <= 100; ++j) {
    std::istringstream in(run.lines[static_cast<std::size_t>(j - 1)]);
    std::string fields[5], extra;
    in >> fields[0] >> fields[1] >> fields[2] >> fields[3] >> fields[4];
    EXPECT_FALSE(in >> extra) << "line " << j;
    EXPECT_EQ(fields[0], std::to_string(j));
    // Nine significant digits give every SINGLE back unchanged.
    const float want[] = {z.SAVED_OX(j, 1).bits(), z.SAVED_OY(j, 1).bits(), z.SAVED_OR(j, 1).bits(),
                          z.SAVED_OT(j, 1).bits()};
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(std::strtof(fields[k + 1].c_str(), nullptr), want[k]) << "line " << j;
  }
  EXPECT_EQ(run.lines[0], "1 -50 600 300 1");
  EXPECT_EQ(run.lines[1], "2 670 600 300 1");
  EXPECT_EQ(run.lines[99].substr(run.lines[99].size() - 6), " 10 15");

  StartUp same(42, temp_file("b"));
  StartUp next(43, temp_file("c"));
  EXPECT_EQ(run.lines, same.lines);
  EXPECT_NE(run.lines, next.lines);
}

TEST(LayoutHook, RefusesBeforeAnyLayoutAndReportsAFileItCannotWrite) {
  testing_support::Program p;
  p.start();
  game::Zided z(p.rt());
  app::ScriptHooks hooks(p.rt(), z);
  std::string error;
  auto path = temp_file("none");
  EXPECT_FALSE(hooks.save_layout(path.string(), &error));
  EXPECT_EQ(error, "no layout has been built yet");
  EXPECT_FALSE(std::filesystem::exists(path));
  z.SAVED_OR(1, 1) = 300;
  error.clear();
  EXPECT_FALSE(hooks.save_layout("/nonexistent-dir/layout.txt", &error));
  EXPECT_EQ(error, "cannot write /nonexistent-dir/layout.txt");
}

}  // namespace

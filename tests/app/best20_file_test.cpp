// The Best 20 kept between runs: the file, its failures and the game's hook.
#include "app/best20_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/game_program.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using game::Best20Table;

struct Folder {
  fs::path dir;
  Folder() {
    char t[] = "/tmp/peakwend-best20-XXXXXX";
    dir = mkdtemp(t);
  }
  ~Folder() { fs::remove_all(dir); }
  std::string file() const { return (dir / "best20").string(); }
};

std::string read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

game::Best20Place place(float time, std::string_view name) {
  game::Best20Place p{time, {}, 2, 100, 100};
  std::ranges::copy(rt::FixedStr<12>(name).view(), p.name.begin());
  return p;
}

const std::string kHead = "peakwend-best20 1\nplayed 1\n";
const std::string kAbc = "416263202020202020202020";  // "Abc" and nine spaces

TEST(Best20Format, TextWithAVersionLineThatKeepsEveryNameByteAndTime) {
  EXPECT_EQ(format_best20({{place(57.3f, "Abc")}, 1}), kHead + "57.3 2 100 100 " + kAbc + "\n");
  Best20Table t{{place(0.1f, "\x8e\x52\x93\x63"), place(57.3f, std::string("\x81\x40\0\xff", 4)),
                 place(57.3f, "Abc"), place(999.94f, "ABCDEFGHIJKL")},
                25};
  t.places[3].level = 3, t.places[3].time_limit = 50, t.places[3].objects = 99;
  EXPECT_EQ(parse_best20(format_best20(t), nullptr), t);
}

TEST(Best20File, AFileThatCannotBeUsedIsMovedAsideAndNeverOverwritten) {
  const std::string a = "57.3 2 100 100 " + kAbc + "\n";
  std::string full = "peakwend-best20 1\nplayed 21\n";
  for (int k = 0; k < 21; ++k) full += a;
  const struct {
    std::string text, why;
  } cases[] = {
      {"", "not a Best-20 file"},
      {"PK\x03\x04", "not a Best-20 file"},
      {"peakwend-best20 2\nplayed 1\n", "a later version (2)"},
      {"peakwend-best20 1\nplayed -1\n", "line 2"},
      {"peakwend-best20 1\n", "line 2"},
      {kHead + "57.3 4 100 100 " + kAbc + "\n", "line 3 is not a place"},
      {kHead + "57.3 2 60 100 " + kAbc + "\n", "line 3 is not a place"},
      {kHead + "10000 2 100 100 " + kAbc + "\n", "line 3 is not a place"},
      {kHead + "nan 2 100 100 " + kAbc + "\n", "line 3 is not a place"},
      {kHead + "57.3 2 100 100 4162632020202020202020\n", "line 3 is not a place"},
      {kHead + "57.3 2 100 100 41626320202020202020202x\n", "line 3 is not a place"},
      {kHead + "57.3 2 100 100 " + kAbc + " 1\n", "line 3 is not a place"},
      {kHead + a + "\n", "line 4 is not a place"},
      {kHead + "60 2 100 100 " + kAbc + "\n" + a, "line 4 is out of order"},
      {full, "more than 20 places"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    Folder f;
    std::ofstream(f.file(), std::ios::binary) << c.text;
    std::ostringstream log;
    Best20File file(f.file(), log);
    EXPECT_FALSE(file.load());
    ASSERT_FALSE(fs::exists(f.file()));
    auto bad = fs::directory_iterator(f.dir)->path();
    EXPECT_EQ(bad.filename().string().rfind("best20.bad-2", 0), 0u) << bad;
    EXPECT_NE(log.str().find(c.why), std::string::npos) << log.str();
    EXPECT_NE(log.str().find("moved aside as " + bad.string()), std::string::npos) << log.str();
    file.save({{place(1, "New")}, 1});
    EXPECT_EQ(read(bad), c.text);
    EXPECT_EQ(Best20File(f.file()).load(), Best20Table({{place(1, "New")}, 1}));
  }
}

TEST(Best20File, AGameEnteredIsRankedAfterARestart) {
  Folder f;
  {
    testing_support::GameProgram g;
    Best20File file(f.file());
    g.game().set_best20_store(&file);
    g.run([](game::Zided& z) {
      z.PLAYER_NAME = "Abc";
      z.PLAY_COUNT = 1;
      z.BST20(57.3);
      z.best20_changed();
    });
  }
  testing_support::GameProgram g;
  Best20File file(f.file());
  g.game().set_best20_store(&file);
  g.run([](game::Zided& z) { z.SRANKS(); });
  //                  "  @       #       ###    #####"
  EXPECT_EQ(g.row(3), "  Abc                2       100       57" + std::string(39, ' '));
  EXPECT_EQ(g.row(4), std::string(80, ' '));
}

TEST(Best20File, DeleteBest20EmptiesTheFile) {
  Folder f;
  Best20File file(f.file());
  file.save({{place(57.3f, "Abc")}, 1});
  // Item 7 of the menu, "Delete Best 20".
  testing_support::GameProgram g(testing_support::script_options(
      "idle\nkey Down\nkey Down\nkey Down\nkey Down\nkey Down\nkey Down\nkey Enter\nidle\nclose\n"));
  g.game().set_best20_store(&file);
  g.run_main();
  EXPECT_EQ(read(f.file()), "peakwend-best20 1\nplayed 0\n");
}

TEST(Best20FileDeathTest, ASaveKilledBeforeTheRenameLeavesTheOldTable) {
  Folder f;
  Best20File file(f.file());
  const Best20Table old{{place(57.3f, "Abc")}, 1}, next{{place(40, "New"), place(57.3f, "Abc")}, 2};
  file.save(old);
  EXPECT_EXIT(
      {
        file.before_replace = [] { std::raise(SIGKILL); };
        file.save(next);
      },
      testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(Best20File(f.file()).load(), old);
  file.save(next);
  EXPECT_EQ(Best20File(f.file()).load(), next);
}

}  // namespace
}  // namespace app

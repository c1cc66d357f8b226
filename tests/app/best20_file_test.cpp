// The Best-20 file: its format, a file that cannot be used, an atomic save.
#include "app/best20_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/values.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using game::Best20Table;

struct Folder {
  fs::path dir = mkdtemp(std::string("/tmp/peakwend-best20-XXXXXX").data());
  ~Folder() { fs::remove_all(dir); }
  std::string file() const { return (dir / "best20").string(); }
};

game::Best20Place place(float time, std::string_view name, float level = 2, float limit = 100,
                        float objects = 100) {
  game::Best20Place p{time, {}, level, limit, objects};
  std::ranges::copy(rt::FixedStr<12>(name).view(), p.name.begin());
  return p;
}

const std::string kHead = "peakwend-best20 1\nplayed 1\n";
const std::string kAbc = "57.3 2 100 100 416263202020202020202020";  // "Abc" and nine spaces

TEST(Best20FileDeathTest, ABadFileIsMovedAsideASaveIsWholeOrNotAtAll) {
  std::string full = "peakwend-best20 1\nplayed 21\n";
  for (int k = 0; k < 21; ++k) full += kAbc + "\n";
  const std::pair<std::string, std::string> cases[] = {
      {"", "not a Best-20 file"},
      {"peakwend-best20 2\nplayed 1\n", "a later version (2)"},
      {"peakwend-best20 1\nplayed -1\n", "line 2"},
      {kHead + "57.3 4 100 100 416263202020202020202020\n", "line 3 is not a place"},
      {kHead + "nan 2 100 100 416263202020202020202020\n", "line 3 is not a place"},
      {kHead + "57.3 2 100 100 4162632020202020202020\n", "line 3 is not a place"},
      {kHead + "60 2 100 100 416263202020202020202020\n" + kAbc + "\n", "line 4 is out of order"},
      {full, "more than 20 places"}};
  for (const auto& [text, why] : cases) {
    SCOPED_TRACE(why);
    Folder f;
    std::ofstream(f.file(), std::ios::binary) << text;
    std::ostringstream log;
    Best20File file(f.file(), log);
    EXPECT_FALSE(file.load());
    ASSERT_FALSE(fs::exists(f.file()));
    const fs::path bad = fs::directory_iterator(f.dir)->path();
    EXPECT_EQ(bad.filename().string().rfind("best20.bad-2", 0), 0u) << bad;
    EXPECT_NE(log.str().find(why), std::string::npos) << log.str();
    EXPECT_NE(log.str().find("moved aside as " + bad.string()), std::string::npos) << log.str();
    file.save({{place(1, "New")}, 1});
    std::ostringstream kept;
    kept << std::ifstream(bad, std::ios::binary).rdbuf();
    EXPECT_EQ(kept.str(), text);
    EXPECT_EQ(Best20File(f.file()).load(), Best20Table({{place(1, "New")}, 1}));
  }
  // Every name byte and time is kept; a save is written beside the old file and renamed over.
  Folder f;
  Best20File file(f.file());
  const Best20Table old{{place(57.3f, "Abc")}, 1};
  const Best20Table next{
      {place(0.1f, "\x8e\x52\x93\x63"), place(57.3f, std::string("\x81\x40\0\xff", 4)),
       place(57.3f, "Abc"), place(999.94f, "ABCDEFGHIJKL", 3, 50, 40)},
      25};
  EXPECT_EQ(format_best20(old), kHead + kAbc + "\n");
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

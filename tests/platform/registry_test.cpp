// The registry file: what survives a save, a corrupt file, a place that
// cannot be written, where the file lives.
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/env.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using V = std::optional<Registry::Value>;

fs::path scratch() {
  fs::path dir =
      fs::path(::testing::TempDir()) /
      ("registry-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  fs::remove_all(dir);
  return dir;
}

// Separators and line breaks in names and texts become spaces.
TEST(Registry, ValuesOfBothKindsSurviveASaveAndALoad) {
  const std::string path = (scratch() / "sub" / "registry").string();
  const std::tuple<std::string, std::string, Registry::Value, V> cases[] = {
      {"Software\\A", "MODL", std::string("zideD.bas"), std::string("zideD.bas")},
      {"Software\\A", "LINE", 4294967295u, 4294967295u},
      {"Software\\A", "CODE", 0u, 0u},
      {"Software\\B", "TEXT", std::string("with|bar\nand\rbreaks"),
       std::string("with bar and breaks")},
      {"", "", std::string("nameless"), std::string("nameless")}};
  Registry r(path);
  for (const auto& [key, name, value, want] : cases) r.set(key, name, value);
  r.set("K|1", "N\n", std::string(""));
  std::string err;
  ASSERT_TRUE(r.save(&err)) << err;
  const Registry again(path);
  EXPECT_EQ(again.get("K 1", "N "), V(std::string("")));
  for (const auto& [key, name, value, want] : cases) EXPECT_EQ(again.get(key, name), want) << name;
  EXPECT_EQ(again.get("Software\\A", "NONE"), std::nullopt);
  EXPECT_FALSE(fs::exists(path + ".tmp"));
  fs::remove_all(scratch());
}

TEST(Registry, ACorruptFileCountsAsEmptyAndIsReplaced) {
  const fs::path dir = scratch();
  fs::create_directories(dir);
  const std::string path = (dir / "registry").string();
  for (const char* bad : {"garbage\n", "K|N|dword|\n", "K|N|dword|12x\n", "K|N|dword|4294967296\n",
                          "K|N|qword|1\n", "K|N\n"}) {
    std::ofstream(path) << "K|M|sz|kept\n" << bad;
    Registry r(path);
    EXPECT_EQ(r.get("K", "M"), std::nullopt) << bad;
    r.set("K", "N", std::uint32_t{5});
    std::string err;
    ASSERT_TRUE(r.save(&err)) << err;
    EXPECT_EQ(Registry(path).get("K", "N"), V(5u)) << bad;
  }
  fs::remove_all(dir);
}

TEST(Registry, APlaceThatCannotBeWrittenIsReportedAndLeavesNothingBehind) {
  const fs::path dir = scratch();
  fs::create_directories(dir / "folder");
  std::ofstream(dir / "file") << "x";
  for (const fs::path& p : {dir / "file" / "registry", dir / "folder"}) {
    Registry r(p.string());
    r.set("K", "N", std::uint32_t{1});
    std::string err;
    EXPECT_FALSE(r.save(&err)) << p;
    EXPECT_NE(err.find(p.string()), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(p.string() + ".tmp")) << p;
  }
  fs::remove_all(dir);
}

TEST(Registry, TheFileLivesUnderTheXdgConfigHomeElseHome) {
  testing_support::ScopedEnv home("HOME", "/home/someone");
  for (const char* xdg : std::initializer_list<const char*>{"/tmp/xdg", "relative", "", nullptr}) {
    testing_support::ScopedEnv config("XDG_CONFIG_HOME", xdg);
    EXPECT_EQ(Registry().path(), xdg && *xdg == '/' ? "/tmp/xdg/peakwend/registry"
                                                    : "/home/someone/.config/peakwend/registry");
  }
}

}  // namespace
}  // namespace platform

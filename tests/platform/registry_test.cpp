// The registry file: values that survive, files that are corrupt or cannot
// be written, and where it lives.
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/env.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

struct RegistryTest : ::testing::Test {
  fs::path dir = fs::path(::testing::TempDir()) /
                 ("registry-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  void SetUp() override { fs::remove_all(dir); }
  void TearDown() override { fs::remove_all(dir); }
};

TEST_F(RegistryTest, ValuesOfBothTypesSurviveASaveAndALoad) {
  const std::string path = (dir / "sub" / "registry").string();
  Registry r(path);
  r.set("Software\\A", "MODL", std::string("zideD.bas"));
  r.set("Software\\A", "LINE", std::uint32_t{4294967295u});
  r.set("Software\\A", "CODE", std::uint32_t{0});
  r.set("Software\\B", "TEXT", std::string("with|bar\nand\rbreaks"));
  r.set("", "", std::string("nameless"));
  r.set("K", "", std::string(""));
  std::string err;
  ASSERT_TRUE(r.save(&err)) << err;
  const Registry again(path);
  const struct {
    const char *key, *name;
    std::optional<Registry::Value> want;
  } cases[] = {{"Software\\A", "MODL", std::string("zideD.bas")}, {"Software\\A", "LINE", 4294967295u},
               {"Software\\A", "CODE", 0u}, {"Software\\B", "TEXT", std::string("with bar and breaks")},
               {"", "", std::string("nameless")}, {"K", "", std::string("")},
               {"Software\\A", "NONE", std::nullopt}, {"Software\\C", "MODL", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(again.get(c.key, c.name), c.want) << c.key << " " << c.name;
  EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(RegistryTest, ACorruptFileCountsAsEmptyAndIsReplaced) {
  fs::create_directories(dir);
  const std::string path = (dir / "registry").string();
  for (const char* bad : {"garbage\n", "K|N|dword|\n", "K|N|dword|12x\n", "K|N|dword|4294967296\n",
                          "K|N|qword|1\n", "K|N\n"}) {
    std::ofstream(path) << "K|M|sz|kept\n" << bad;
    Registry r(path);
    EXPECT_FALSE(r.get("K", "M")) << bad;
    r.set("K", "N", std::uint32_t{5});
    std::string err;
    ASSERT_TRUE(r.save(&err)) << err;
    EXPECT_EQ(Registry(path).get("K", "N"), Registry::Value(5u)) << bad;
  }
}

TEST_F(RegistryTest, APlaceThatCannotBeWrittenIsReportedAndLeavesNothingBehind) {
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
}

TEST(RegistryPath, UnderTheXdgConfigHomeElseHome) {
  using testing_support::ScopedEnv;
  ScopedEnv home("HOME", "/home/someone");
  for (const char* xdg : std::initializer_list<const char*>{"/tmp/xdg-test", "relative/ignored", "", nullptr}) {
    ScopedEnv config("XDG_CONFIG_HOME", xdg);
    EXPECT_EQ(Registry().path(), xdg && *xdg == '/' ? "/tmp/xdg-test/peakwend/registry"
                                                    : "/home/someone/.config/peakwend/registry");
  }
}

}  // namespace
}  // namespace platform

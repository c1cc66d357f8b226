#include "platform/registry.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace platform {
namespace {

namespace fs = std::filesystem;

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("peakwend-reg-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

// Empty names once wrote a file that read back as corrupt, losing it all.
TEST_F(RegistryTest, ValuesAndEmptyNamesSurviveASaveAndALoad) {
  std::string path = (dir / "sub" / "registry").string();
  {
    Registry r(path);
    r.set("Software\\A", "MODL", std::string("zideD.bas"));
    r.set("Software\\A", "LINE", std::uint32_t{4000000000u});
    r.set("Software\\B", "TEXT", std::string("with|bar\nand newline"));
    r.set("", "", std::string("nameless"));
    r.set("K", "", std::uint32_t{7});
    r.set("K", "N", std::string(""));
    std::string err;
    ASSERT_TRUE(r.save(&err)) << err;
  }
  Registry again(path);
  EXPECT_EQ(std::get<std::string>(*again.get("Software\\A", "MODL")), "zideD.bas");
  EXPECT_EQ(std::get<std::uint32_t>(*again.get("Software\\A", "LINE")), 4000000000u);
  EXPECT_EQ(std::get<std::string>(*again.get("Software\\B", "TEXT")), "with bar and newline");
  EXPECT_FALSE(again.get("Software\\A", "NONE").has_value());
  EXPECT_FALSE(again.get("Software\\C", "MODL").has_value());
  ASSERT_TRUE(again.get("", "").has_value()) << "the whole file was taken as corrupt";
  EXPECT_EQ(std::get<std::string>(*again.get("", "")), "nameless");
  EXPECT_EQ(std::get<std::uint32_t>(*again.get("K", "")), 7u);
  EXPECT_EQ(std::get<std::string>(*again.get("K", "N")), "");
}

TEST_F(RegistryTest, ACorruptFileIsReplacedNotFatal) {
  fs::create_directories(dir);
  std::string path = (dir / "registry").string();
  std::ofstream(path) << "K|N|dword|12\ngarbage without separators\n";
  Registry r(path);
  EXPECT_FALSE(r.get("K", "N").has_value()) << "a corrupt file is taken as empty";
  r.set("K", "N", std::uint32_t{5});
  std::string err;
  ASSERT_TRUE(r.save(&err)) << err;
  EXPECT_EQ(std::get<std::uint32_t>(*Registry(path).get("K", "N")), 5u);
}

TEST_F(RegistryTest, AnUnwritablePlaceIsReportedNotFatal) {
  fs::create_directories(dir);
  std::ofstream(dir / "file") << "x";
  Registry r((dir / "file" / "registry").string());  // a file where a folder should be
  r.set("K", "N", std::uint32_t{1});
  std::string err;
  EXPECT_FALSE(r.save(&err));
  EXPECT_FALSE(err.empty());
}

TEST(RegistryPath, FollowsXdgConfigHome) {
  const char* old = std::getenv("XDG_CONFIG_HOME");
  std::string saved = old ? old : "";
  setenv("XDG_CONFIG_HOME", "/tmp/xdg-test", 1);
  EXPECT_EQ(Registry::default_path(), "/tmp/xdg-test/peakwend/registry");
  setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  EXPECT_NE(Registry::default_path().find("/.config/peakwend/registry"), std::string::npos);
  if (old)
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace platform

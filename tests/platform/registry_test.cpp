// The registry file: names and texts that could break its lines, a corrupt
// file, a place that cannot be written, where it lives.
#include "platform/registry.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/support/env.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using V = std::optional<Registry::Value>;

struct RegistryFile : ::testing::Test {
  // One folder per test process: CTest runs the tests side by side.
  fs::path dir = fs::path(::testing::TempDir()) / ("registry-test-" + std::to_string(getpid()));
  std::string path = (dir / "sub" / "registry").string();
  void SetUp() override { fs::remove_all(dir); }
  void TearDown() override { fs::remove_all(dir); }
};

TEST_F(RegistryFile, WhatCouldBreakALineACorruptFileAnUnwritablePlaceTheDefaultPlace) {
  Registry r(path);
  r.set("", "", std::string("nameless"));
  r.set("K|1", "N\n", std::string("with|bar\nand\rbreaks"));
  r.set("K", "", 4294967295u);
  std::string err;
  ASSERT_TRUE(r.save(&err)) << err;
  const Registry again(path);
  EXPECT_EQ(std::tuple(again.get("", ""), again.get("K 1", "N "), again.get("K", ""),
                       again.get("K", "N")),
            std::tuple(V(std::string("nameless")), V(std::string("with bar and breaks")),
                       V(4294967295u), std::nullopt));
  EXPECT_FALSE(fs::exists(path + ".tmp"));
  // A corrupt file counts as empty and is replaced; a place that cannot be written is reported and
  // left as it was.
  for (const char* bad : {"garbage\n", "K|N|dword|12x\n", "K|N|dword|4294967296\n", "K|N\n"}) {
    std::ofstream(path) << "K|M|sz|kept\n" << bad;
    Registry r(path);
    EXPECT_EQ(r.get("K", "M"), std::nullopt) << bad;
    r.set("K", "N", std::uint32_t{5});
    std::string err;
    ASSERT_TRUE(r.save(&err)) << err;
    EXPECT_EQ(Registry(path).get("K", "N"), V(5u)) << bad;
  }
  std::ofstream(dir / "file") << "x";
  for (const fs::path& p : {dir / "file" / "registry", dir / "sub"}) {
    Registry r(p.string());
    r.set("K", "N", std::uint32_t{1});
    std::string err;
    EXPECT_FALSE(r.save(&err)) << p;
    EXPECT_NE(err.find(p.string()), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(p.string() + ".tmp")) << p;
  }
  // The file lives under $XDG_CONFIG_HOME when that is absolute, else under ~/.config.
  testing_support::ScopedEnv home("HOME", "/home/someone");
  for (const char* xdg : std::initializer_list<const char*>{"/tmp/xdg", "relative", "", nullptr}) {
    testing_support::ScopedEnv config("XDG_CONFIG_HOME", xdg);
    EXPECT_EQ(Registry().path(), xdg && *xdg == '/' ? "/tmp/xdg/peakwend/registry"
                                                    : "/home/someone/.config/peakwend/registry");
  }
}

}  // namespace
}  // namespace platform

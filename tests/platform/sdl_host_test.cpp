// The SDL window where no real one is needed: without a display, and the
// pointer on SDL's offscreen driver (keys, the picture and the window keys
// are the real-window e2e tests' business).
#include "platform/sdl_host.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "tests/support/env.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

struct Sink : EventSink {
  void on_event(const Event& e) override { got.push_back(e); }
  std::vector<Event> got;
};

TEST(SdlHost, WithoutADisplayTheWindowIsRefusedWithAWayOut) {
  testing_support::ScopedEnv video("SDL_VIDEODRIVER", "no-such-driver");
  SdlHost host;
  std::string error;
  EXPECT_FALSE(host.create_window({"Peakwend/T", 640, 504}, &error));
  EXPECT_EQ(error.rfind("no display available (", 0), 0u) << error;
  EXPECT_NE(error.find("use --headless --script FILE"), std::string::npos) << error;
}

// Window pixels at scale 2 are picture pixels, also beyond the window (a
// held button keeps reporting there); only the left and right buttons count.
TEST(SdlHost, PointerPositionsArePicturePixels) {
  testing_support::ScopedEnv video("SDL_VIDEODRIVER", "offscreen");
  HostOptions o;
  o.scale = 2;
  SdlHost host(o);
  std::string error;
  ASSERT_TRUE(host.create_window({"Peakwend/T", 640, 504}, &error)) << error;
  // clang-format off
  const std::array<int, 5> pushed[] = {  // type, x, y, button, clicks
      {SDL_MOUSEMOTION, 201, 101, 0, 0}, {SDL_MOUSEMOTION, -3, -1, 0, 0}, {SDL_MOUSEMOTION, 1279, 1007, 0, 0},
      {SDL_MOUSEBUTTONDOWN, 41, 20, SDL_BUTTON_MIDDLE, 1}, {SDL_MOUSEBUTTONDOWN, 41, 20, SDL_BUTTON_RIGHT, 1},
      {SDL_MOUSEBUTTONUP, 0, 3, SDL_BUTTON_RIGHT, 1},      {SDL_MOUSEBUTTONDOWN, 9, 9, SDL_BUTTON_LEFT, 2}};
  // clang-format on
  for (auto [type, x, y, button, clicks] : pushed) {
    SDL_Event e{};
    e.type = static_cast<Uint32>(type);
    if (type == SDL_MOUSEMOTION) {
      e.motion.x = x;
      e.motion.y = y;
    } else {
      e.button.x = x;
      e.button.y = y;
      e.button.button = static_cast<Uint8>(button);
      e.button.clicks = static_cast<Uint8>(clicks);
    }
    SDL_PushEvent(&e);
  }
  Sink sink;
  for (int i = 0; i < 5000 && sink.got.size() < 7 && host.pump(sink); ++i) host.input_idle();
  using T = Event::Type;
  // clang-format off
  const std::vector<std::tuple<T, int, int, MouseButton>> want = {
      {T::MouseMove, 100, 50, {}}, {T::MouseMove, -2, -1, {}}, {T::MouseMove, 639, 503, {}},
      {T::MouseDown, 20, 10, MouseButton::Right}, {T::MouseUp, 0, 1, MouseButton::Right},
      {T::MouseDown, 4, 4, MouseButton::Left}, {T::MouseDoubleClick, 4, 4, MouseButton::Left}};
  // clang-format on
  std::vector<std::tuple<T, int, int, MouseButton>> got;
  for (const Event& e : sink.got) got.emplace_back(e.type, e.x, e.y, e.button);
  EXPECT_EQ(got, want);
}

TEST(SdlHost, ScreenshotsGoToTheFirstPicturesFolderThatIsThere) {
  const fs::path home = fs::path(::testing::TempDir()) / ("pictures-" + std::to_string(getpid()));
  for (const char* d : {".config", "Pictures", "Shots", "Mine"}) fs::create_directories(home / d);
  const std::string h = home.string(), mine = "XDG_PICTURES_DIR=\"" + h + "/Mine\"\n";
  testing_support::ScopedEnv env_home("HOME", h.c_str());
  const struct {
    const char* xdg;
    std::string user_dirs, want;
  } cases[] = {{"/proc", mine, "/proc"},
               {"Shots", "", h + "/Pictures"},
               {"/nonexistent", "XDG_PICTURES_DIR=\"$HOME/Shots\"\n", h + "/Shots"},
               {nullptr, "# XDG_PICTURES_DIR=\"$HOME/Shots\"\n" + mine, h + "/Mine"},
               {nullptr, mine + "XDG_PICTURES_DIR=\"$HOME/Shots\"\n", h + "/Shots"},
               {"", "XDG_PICTURES_DIR=\"$HOME/Gone\"\nXDG_MUSIC_DIR=\"$HOME/Shots\"\n",
                h + "/Pictures"}};
  for (const auto& c : cases) {
    testing_support::ScopedEnv xdg("XDG_PICTURES_DIR", c.xdg);
    std::ofstream(home / ".config" / "user-dirs.dirs") << c.user_dirs;
    EXPECT_EQ(pictures_dir(), c.want) << c.user_dirs;
  }
  fs::remove_all(home / "Pictures");
  EXPECT_EQ(pictures_dir(), ".");
  fs::remove_all(home);
}

// F12 saves what the window shows and says where, or why it could not.
TEST(SdlHost, F12SavesAScreenshotOrSaysWhyNot) {
  testing_support::ScopedEnv video("SDL_VIDEODRIVER", "offscreen");
  const std::string dir = ::testing::TempDir() + "shots-" + std::to_string(getpid());
  fs::create_directories(dir);
  for (const std::string& pictures : {dir, std::string("/proc")}) {
    testing_support::ScopedEnv xdg("XDG_PICTURES_DIR", pictures.c_str());
    SdlHost host;
    std::string error;
    ASSERT_TRUE(host.create_window({"Peakwend/T", 64, 32}, &error)) << error;
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_F12;
    SDL_PushEvent(&e);
    e.type = SDL_MOUSEMOTION;  // handled after the key: the screenshot is done
    SDL_PushEvent(&e);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Sink sink;
    for (int i = 0; i < 5000 && sink.got.empty() && host.pump(sink); ++i) host.input_idle();
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(sink.got.size(), 1u);
    const std::string start = pictures + "/peakwend-";
    if (pictures == dir) {
      ASSERT_EQ(out.rfind("screenshot: " + start, 0), 0u) << out;
      Surface shot;
      ASSERT_TRUE(load_png(out.substr(12, out.size() - 13), &shot, &error)) << error;
      EXPECT_EQ(shot, Surface(64, 32));
    } else {
      EXPECT_EQ(err.rfind("peakwend: cannot write " + start, 0), 0u) << err;
    }
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace platform

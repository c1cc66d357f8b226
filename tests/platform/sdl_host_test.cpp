// The SDL host without a real window: no display, the offscreen driver, key translation.
#include "platform/sdl_host.h"

#include <SDL.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/support/env.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using testing_support::ScopedEnv;

// Without a display the window is refused with a way out. Window pixels at
// scale 2 are picture pixels, also beyond the window (a held button keeps
// reporting there); only the left and right buttons count. F12 is the
// window's: a screenshot, here one that cannot be written.
TEST(SdlHost, NoDisplayPointerPositionsInPicturePixelsAndF12) {
  std::string error;
  {
    ScopedEnv video("SDL_VIDEODRIVER", "no-such-driver");
    EXPECT_FALSE(SdlHost().create_window({"Peakwend/T", 640, 504}, &error));
    EXPECT_TRUE(error.starts_with("no display available (") &&
                error.find("use --headless --script FILE") != std::string::npos)
        << error;
  }
  ScopedEnv video("SDL_VIDEODRIVER", "offscreen"), pictures("XDG_PICTURES_DIR", "/proc");
  HostOptions o;
  o.scale = 2;
  SdlHost host(o);
  ASSERT_TRUE(host.create_window({"Peakwend/T", 640, 504}, &error)) << error;
  SDL_Event f12{};
  f12.type = SDL_KEYDOWN;
  f12.key.keysym.sym = SDLK_F12;
  SDL_PushEvent(&f12);
  // clang-format off
  const std::array<int, 5> pushed[] = {  // type, x, y, button, clicks
      {SDL_MOUSEMOTION, 201, 101, 0, 0}, {SDL_MOUSEMOTION, -3, -1, 0, 0},
      {SDL_MOUSEMOTION, 1279, 1007, 0, 0}, {SDL_MOUSEBUTTONDOWN, 41, 20, SDL_BUTTON_MIDDLE, 1},
      {SDL_MOUSEBUTTONDOWN, 41, 20, SDL_BUTTON_RIGHT, 1},
      {SDL_MOUSEBUTTONUP, 0, 3, SDL_BUTTON_RIGHT, 1},
      {SDL_MOUSEBUTTONDOWN, 9, 9, SDL_BUTTON_LEFT, 2}};
  // clang-format on
  for (auto [type, x, y, button, clicks] : pushed) {
    SDL_Event e{};
    e.type = static_cast<Uint32>(type);
    (type == SDL_MOUSEMOTION ? e.motion.x : e.button.x) = x;
    (type == SDL_MOUSEMOTION ? e.motion.y : e.button.y) = y;
    if (type != SDL_MOUSEMOTION) e.button.button = static_cast<Uint8>(button);
    if (type != SDL_MOUSEMOTION) e.button.clicks = static_cast<Uint8>(clicks);
    SDL_PushEvent(&e);
  }
  struct Sink : EventSink {
    void on_event(const Event& e) override { got.emplace_back(e.type, e.x, e.y, e.button); }
    std::vector<std::tuple<Event::Type, int, int, MouseButton>> got;
  } sink;
  testing::internal::CaptureStderr();
  for (int i = 0; i < 5000 && sink.got.size() < 7 && host.pump(sink); ++i) host.input_idle();
  const std::string err = testing::internal::GetCapturedStderr();
  // Named after the time, with a suffix only when that name is taken.
  EXPECT_THAT(err, testing::MatchesRegex("peakwend: cannot write /proc/peakwend-[0-9]{8}-[0-9]{6}"
                                         "\\.png: .*\n"));
  using T = Event::Type;
  // clang-format off
  const decltype(sink.got) want = {
      {T::MouseMove, 100, 50, {}}, {T::MouseMove, -2, -1, {}}, {T::MouseMove, 639, 503, {}},
      {T::MouseDown, 20, 10, MouseButton::Right}, {T::MouseUp, 0, 1, MouseButton::Right},
      {T::MouseDown, 4, 4, MouseButton::Left}, {T::MouseDoubleClick, 4, 4, MouseButton::Left}};
  // clang-format on
  EXPECT_EQ(sink.got, want);
}

// Screenshots go to the first of these that is a folder: an absolute
// $XDG_PICTURES_DIR, the last entry for it in user-dirs.dirs, ~/Pictures, ".".
TEST(SdlHost, ScreenshotsGoToTheFirstPicturesFolderThatIsThere) {
  const fs::path home = fs::path(::testing::TempDir()) / ("pictures-" + std::to_string(getpid()));
  for (const char* d : {".config", "Pictures", "Shots", "Mine"}) fs::create_directories(home / d);
  const std::string h = home.string(), mine = "XDG_PICTURES_DIR=\"" + h + "/Mine\"\n";
  const std::string shots = "XDG_PICTURES_DIR=\"$HOME/Shots\"\n";
  ScopedEnv env_home("HOME", h.c_str());
  const std::tuple<const char*, std::string, std::string> cases[] = {
      {"Shots", "", h + "/Pictures"},
      {"/nonexistent", shots, h + "/Shots"},
      {nullptr, "# " + shots + mine, h + "/Mine"},
      {nullptr, mine + shots, h + "/Shots"},
      {"", "XDG_PICTURES_DIR=\"$HOME/Gone\"\nXDG_MUSIC_DIR=\"$HOME/Shots\"\n", h + "/Pictures"}};
  for (const auto& [xdg, user_dirs, want] : cases) {
    ScopedEnv pictures("XDG_PICTURES_DIR", xdg);
    std::ofstream(home / ".config" / "user-dirs.dirs") << user_dirs;
    EXPECT_EQ(pictures_dir(), want) << user_dirs;
  }
  fs::remove_all(home / "Pictures");
  EXPECT_EQ(pictures_dir(), ".");
  fs::remove_all(home);
}

TEST(Keypad, CursorKeysWithoutNumLockAndTypedDigitsWithIt) {
  const std::tuple<SDL_Keycode, SDL_Keycode, Key> rows[] = {
      {SDLK_KP_7, SDLK_HOME, Key::Home},         {SDLK_KP_8, SDLK_UP, Key::Up},
      {SDLK_KP_9, SDLK_PAGEUP, Key::PageUp},     {SDLK_KP_4, SDLK_LEFT, Key::Left},
      {SDLK_KP_5, SDLK_CLEAR, Key::Clear},       {SDLK_KP_6, SDLK_RIGHT, Key::Right},
      {SDLK_KP_1, SDLK_END, Key::End},           {SDLK_KP_2, SDLK_DOWN, Key::Down},
      {SDLK_KP_3, SDLK_PAGEDOWN, Key::PageDown}, {SDLK_KP_0, SDLK_INSERT, Key::Insert},
      {SDLK_KP_PERIOD, SDLK_DELETE, Key::Delete}};
  // NumLock on with Shift held: the window system gives the cursor key. With
  // either alone the digit comes as text, and the key is no cursor key.
  const std::pair<int, bool> mods[] = {{KMOD_NONE, true},
                                       {KMOD_NUM | KMOD_LSHIFT, true},
                                       {KMOD_NUM, false},
                                       {KMOD_NUM | KMOD_CAPS, false},
                                       {KMOD_RSHIFT, false}};
  for (auto [keypad, main_block, key] : rows) {
    for (auto [mod, cursor] : mods) {
      SCOPED_TRACE(std::string(SDL_GetKeyName(keypad)) + " " + std::to_string(mod));
      EXPECT_EQ(translate_sdl_key(keypad, mod), cursor ? key : Key::Other);
      EXPECT_EQ(translate_sdl_key(main_block, mod), key);
    }
  }
  for (Uint16 mod : {KMOD_NONE, KMOD_NUM, KMOD_LSHIFT})
    EXPECT_EQ(translate_sdl_key(SDLK_KP_ENTER, mod), Key::Enter) << mod;
  for (SDL_Keycode printable : {'!', 'a', '~'})
    EXPECT_EQ(translate_sdl_key(printable, KMOD_NONE), Key::Char) << printable;
}

}  // namespace
}  // namespace platform

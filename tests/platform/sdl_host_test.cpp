// The SDL window where no real one is needed: without a display, and the
// pointer on SDL's offscreen driver (keys, the picture and the window keys
// are the real-window e2e tests' business).
#include "platform/sdl_host.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>

#include "tests/support/env.h"

namespace platform {
namespace {

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

}  // namespace
}  // namespace platform

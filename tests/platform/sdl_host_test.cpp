// The SDL window on SDL's offscreen video driver: the keys and pointer
// positions that reach the program, and the scale of a new window. (The
// window keys, the icon and the picture shown are the e2e tests' business.)
#include "platform/sdl_host.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/env.h"

namespace platform {
namespace {

struct SdlHostTest : ::testing::Test, EventSink {
  testing_support::ScopedEnv video{"SDL_VIDEODRIVER", "offscreen"};
  std::unique_ptr<SdlHost> host;
  std::vector<Event> got;

  void on_event(const Event& e) override { got.push_back(e); }
  void SetUp() override {
    HostOptions o;
    o.scale = 2;
    host = std::make_unique<SdlHost>(o);
    std::string err;
    ASSERT_TRUE(host->create_window({"Peakwend/T", 640, 504}, &err)) << err;
    EXPECT_EQ(host->scale(), 2);
  }
  // Pushes window-system events; pumps until `n` events reached the program.
  void deliver(std::vector<SDL_Event> events, std::size_t n) {
    got.clear();
    for (SDL_Event& e : events) SDL_PushEvent(&e);
    for (int i = 0; i < 5000 && got.size() < n && host->pump(*this); ++i) host->input_idle();
    ASSERT_EQ(got.size(), n);
  }
};

SDL_Event key(SDL_Keycode sym, bool down, Uint16 mod = KMOD_NONE) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.keysym.sym = sym;
  e.key.keysym.mod = mod;
  return e;
}

TEST_F(SdlHostTest, KeysArriveAsTheProgramsKeysWithTheirModifiers) {
  const std::pair<SDL_Keycode, Key> cases[] = {
      {SDLK_RETURN, Key::Enter}, {SDLK_KP_ENTER, Key::Enter}, {SDLK_ESCAPE, Key::Escape},
      {SDLK_BACKSPACE, Key::Backspace}, {SDLK_TAB, Key::Tab}, {SDLK_SPACE, Key::Space},
      {SDLK_LEFT, Key::Left}, {SDLK_RIGHT, Key::Right}, {SDLK_UP, Key::Up}, {SDLK_DOWN, Key::Down},
      {SDLK_HOME, Key::Home}, {SDLK_END, Key::End}, {SDLK_PAGEUP, Key::PageUp},
      {SDLK_PAGEDOWN, Key::PageDown}, {SDLK_INSERT, Key::Insert}, {SDLK_DELETE, Key::Delete},
      {SDLK_CLEAR, Key::Clear}, {SDLK_EXECUTE, Key::Execute}, {SDLK_F1, Key::F1}, {SDLK_F10, Key::F10},
      {SDLK_LSHIFT, Key::Shift}, {SDLK_RCTRL, Key::Ctrl}, {SDLK_LALT, Key::Alt}, {'!', Key::Char},
      {'a', Key::Char}, {'~', Key::Char}, {SDLK_CAPSLOCK, Key::Other}, {SDLK_KP_5, Key::Other}};
  for (auto [sym, want] : cases) {
    deliver({key(sym, true), key(sym, false)}, 2);
    EXPECT_EQ(std::tuple(got[0].type, got[0].key, got[1].type, got[1].key),
              std::tuple(Event::Type::KeyDown, want, Event::Type::KeyUp, want)) << sym;
    EXPECT_EQ(got[0].ch, want == Key::Char ? static_cast<char32_t>(sym) : 0) << sym;
  }
  deliver({key('c', true, KMOD_LCTRL | KMOD_RSHIFT), key(SDLK_UP, true, KMOD_RALT)}, 2);
  EXPECT_EQ(std::tuple(got[0].shift, got[0].ctrl, got[0].alt), std::tuple(true, true, false));
  EXPECT_EQ(std::tuple(got[1].shift, got[1].ctrl, got[1].alt), std::tuple(false, false, true));
  SDL_Event text{};
  text.type = SDL_TEXTINPUT;
  std::strcpy(text.text.text, "é");
  deliver({text}, 1);
  EXPECT_EQ(std::pair(got[0].type, got[0].text), std::pair(Event::Type::Text, std::string("é")));
}

// Window pixels at scale 2 become picture pixels; outside the picture they
// run on (a held button keeps reporting beyond the window).
TEST_F(SdlHostTest, PointerPositionsArePicturePixelsAndOnlyTwoButtonsCount) {
  auto mouse = [](Uint32 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT, Uint8 clicks = 1) {
    SDL_Event e{};
    e.type = type;
    (type == SDL_MOUSEMOTION ? e.motion.x : e.button.x) = x;
    (type == SDL_MOUSEMOTION ? e.motion.y : e.button.y) = y;
    e.button.button = type == SDL_MOUSEMOTION ? 0 : button;
    e.button.clicks = clicks;
    return e;
  };
  deliver({mouse(SDL_MOUSEMOTION, 201, 101), mouse(SDL_MOUSEMOTION, -3, -1), mouse(SDL_MOUSEMOTION, 1279, 1007),
           mouse(SDL_MOUSEBUTTONDOWN, 41, 20, SDL_BUTTON_MIDDLE), mouse(SDL_MOUSEBUTTONDOWN, 41, 20, SDL_BUTTON_RIGHT),
           mouse(SDL_MOUSEBUTTONUP, 0, 3, SDL_BUTTON_RIGHT), mouse(SDL_MOUSEBUTTONDOWN, 9, 9, SDL_BUTTON_LEFT, 2)}, 7);
  using T = Event::Type;
  const std::tuple<T, int, int, MouseButton> want[] = {
      {T::MouseMove, 100, 50, {}}, {T::MouseMove, -2, -1, {}}, {T::MouseMove, 639, 503, {}},
      {T::MouseDown, 20, 10, MouseButton::Right}, {T::MouseUp, 0, 1, MouseButton::Right},
      {T::MouseDown, 4, 4, MouseButton::Left}, {T::MouseDoubleClick, 4, 4, MouseButton::Left}};
  for (std::size_t i = 0; i < 7; ++i)
    EXPECT_EQ(std::tuple(got[i].type, got[i].x, got[i].y, got[i].button), want[i]) << i;
}

TEST_F(SdlHostTest, ClosingTheWindowEndsThePumping) {
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  deliver({quit}, 1);
  EXPECT_EQ(got[0].type, Event::Type::Close);
  EXPECT_FALSE(host->pump(*this));
}

TEST(SdlHostScale, TheLargestWholeScaleThatFitsTheUsableArea) {
  const struct {
    int w, h, frame_w, frame_h, scale;
  } cases[] = {{1920, 1080, 0, 0, 2},  {1920, 1048, 2, 37, 2}, {1920, 1036, 2, 30, 1},
               {1282, 1045, 2, 37, 2}, {1281, 1045, 2, 37, 1}, {1282, 1044, 2, 37, 1},
               {2560, 1600, 8, 40, 3}, {3840, 2160, 8, 40, 4}, {600, 400, 0, 0, 1}, {0, 0, 16, 40, 1}};
  for (const auto& c : cases)
    EXPECT_EQ(SdlHost::fitting_scale(c.w, c.h, c.frame_w, c.frame_h, 640, 504), c.scale) << c.w << "x" << c.h;
  EXPECT_EQ(SdlHost::fitting_scale(1920, 1080, 0, 0, 0, 504), 1);
}

}  // namespace
}  // namespace platform

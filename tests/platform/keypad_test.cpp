// Keys through the SDL key translation. The keypad's keys are the cursor and
// editing keys of the main block unless they type their digit as text.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/sdl_host.h"

namespace platform {
namespace {

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
  const std::pair<int, bool> mods[] = {{KMOD_NONE, true},  {KMOD_NUM | KMOD_LSHIFT, true},
                                       {KMOD_NUM, false},  {KMOD_NUM | KMOD_CAPS, false},
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

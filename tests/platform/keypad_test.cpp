// The keypad through the SDL key translation: with NumLock off its keys are
// the cursor and editing keys of the main block, with NumLock on they type.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/sdl_host.h"

namespace platform {
namespace {

struct Row {
  SDL_Keycode keypad, main_block;
  Key key;
};

const Row kRows[] = {
    {SDLK_KP_7, SDLK_HOME, Key::Home},
    {SDLK_KP_8, SDLK_UP, Key::Up},
    {SDLK_KP_9, SDLK_PAGEUP, Key::PageUp},
    {SDLK_KP_4, SDLK_LEFT, Key::Left},
    {SDLK_KP_5, SDLK_CLEAR, Key::Clear},
    {SDLK_KP_6, SDLK_RIGHT, Key::Right},
    {SDLK_KP_1, SDLK_END, Key::End},
    {SDLK_KP_2, SDLK_DOWN, Key::Down},
    {SDLK_KP_3, SDLK_PAGEDOWN, Key::PageDown},
    {SDLK_KP_0, SDLK_INSERT, Key::Insert},
    {SDLK_KP_PERIOD, SDLK_DELETE, Key::Delete},
};

TEST(Keypad, WithoutNumLockTheKeysAreTheMainBlocksCursorAndEditingKeys) {
  for (const Row& r : kRows) {
    SCOPED_TRACE(SDL_GetKeyName(r.keypad));
    EXPECT_EQ(translate_sdl_key(r.keypad, KMOD_NONE), r.key);
    EXPECT_EQ(translate_sdl_key(r.main_block, KMOD_NONE), r.key);
    // NumLock on with Shift held: the window system gives the cursor key too.
    EXPECT_EQ(translate_sdl_key(r.keypad, KMOD_NUM | KMOD_LSHIFT), r.key);
    // The main block does not care about NumLock.
    EXPECT_EQ(translate_sdl_key(r.main_block, KMOD_NUM), r.key);
  }
}

TEST(Keypad, WithNumLockTheKeysTypeDigitsAsText) {
  for (const Row& r : kRows) {
    SCOPED_TRACE(SDL_GetKeyName(r.keypad));
    // The digit arrives as typed text; the key itself is no cursor key.
    EXPECT_EQ(translate_sdl_key(r.keypad, KMOD_NUM), Key::Other);
    EXPECT_EQ(translate_sdl_key(r.keypad, KMOD_NUM | KMOD_CAPS), Key::Other);
    // Shift without NumLock types the digit as well.
    EXPECT_EQ(translate_sdl_key(r.keypad, KMOD_RSHIFT), Key::Other);
  }
}

TEST(Keypad, EnterIsEnterWhateverNumLockSays) {
  for (Uint16 mod : {KMOD_NONE, KMOD_NUM, KMOD_LSHIFT}) {
    EXPECT_EQ(translate_sdl_key(SDLK_KP_ENTER, mod), Key::Enter) << mod;
  }
}

}  // namespace
}  // namespace platform

// F7, F8 and F9: the sound level, kept by the window like F11 and F12.
#pragma once

#include <ostream>

#include "platform/events.h"
#include "platform/volume.h"

namespace platform {

// True when `key` is a sound key: it is the window's and must not reach the
// program, pressed or released. A press changes `volume` and says how on
// `log`: F7 and F8 step the level down and up (and turn the sound back on),
// F9 turns the sound off and on. Held down, F7 and F8 repeat; F9 does not.
bool sound_key(Key key, bool down, bool repeat, Volume& volume, std::ostream& log);

}  // namespace platform

// MIDI notes on wall and obstacle contacts, through the multimedia library.
#include "game/zided.h"

namespace game {

void Zided::MOPEN() {
  Sub sub(rt);
  Long devices = 0;
  st(); devices = rt.LIBCALL("WINMM", "midiOutGetNumDevs");
  if (devices == 0) {
    st(); rt.PRINT(0, "midi---no");
    st(); MIDI_OK = -1;
    return;
  }
  st(); MIDI_OK = 1;
  // Device 0xFFFFFFFF is the MIDI mapper; the result is not examined.
  st(); rt.LIBCALL("winmm.dll", "midiOutOpen", &MIDI_HANDLE, -1, 0, 0, 0);
}

void Zided::MON(std::int16_t n) {
  Sub sub(rt);
  // Note on and note off of key 60 + N on channel 1, velocity 127.
  st(); rt.LIBCALL("winmm.dll", "midiOutShortMsg", MIDI_HANDLE, 0x7F3C90 + 256 * static_cast<Long>(n));
  st(); WAIT1(1);
  st(); rt.LIBCALL("winmm.dll", "midiOutShortMsg", MIDI_HANDLE, 0x003C90 + 256 * static_cast<Long>(n));
}

}  // namespace game

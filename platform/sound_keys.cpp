#include "platform/sound_keys.h"

namespace platform {

bool sound_key(Key key, bool down, bool repeat, Volume& volume, std::ostream& log) {
  if (key != Key::F7 && key != Key::F8 && key != Key::F9) return false;
  if (!down) return true;
  if (key == Key::F9) {
    if (repeat) return true;
    volume.set_muted(!volume.muted());
    log << (volume.muted() ? "sound off" : "sound on") << std::endl;
    return true;
  }
  volume.set(volume.percent() + (key == Key::F8 ? Volume::kStep : -Volume::kStep));
  volume.set_muted(false);
  log << "volume " << volume.percent() << std::endl;
  return true;
}

}  // namespace platform

#include "platform/midi.h"

#include <fluidsynth.h>

#include <filesystem>

#include "platform/synth.h"

namespace platform {

void MidiRecorder::send(std::uint32_t message) {
  if (messages_.size() >= kKeep) messages_.erase(messages_.begin(), messages_.begin() + kKeep / 2);
  messages_.push_back(message);
}

MidiOut& LazyMidi::device() const {
  if (!device_) {
    if (open_) device_ = open_();
    open_ = nullptr;
    if (!device_) device_ = std::make_shared<NoMidi>();
  }
  return *device_;
}

const std::vector<std::string>& default_soundfonts() {
  static const std::vector<std::string> paths = {"/usr/share/sounds/sf2/default-GM.sf2",
                                                 "/usr/share/sounds/sf2/TimGM6mb.sf2"};
  return paths;
}

std::optional<std::string> find_soundfont(const std::optional<std::string>& named,
                                          const std::vector<std::string>& candidates,
                                          std::string* why) {
  quiet_fluid_logs();
  std::error_code ec;
  if (named) {
    if (!std::filesystem::is_regular_file(*named, ec)) {
      if (why) *why = "no soundfont file " + *named;
      return std::nullopt;
    }
    if (!fluid_is_soundfont(named->c_str())) {
      if (why) *why = *named + " is not a soundfont";
      return std::nullopt;
    }
    return named;
  }
  for (const std::string& p : candidates) {
    if (std::filesystem::is_regular_file(p, ec) && fluid_is_soundfont(p.c_str())) return p;
  }
  if (why) {
    *why = "no General MIDI soundfont found (looked for";
    for (const std::string& p : candidates) *why += " " + p;
    *why += "; install timgm6mb-soundfont or give --soundfont FILE)";
  }
  return std::nullopt;
}

std::shared_ptr<MidiOut> open_midi(const MidiOptions& options, std::string* note) {
  switch (options.mode) {
    case MidiMode::None:
      return std::make_shared<NoMidi>();
    case MidiMode::Recorder:
      return std::make_shared<MidiRecorder>();
    case MidiMode::Auto:
      // Headless runs stay silent unless the synthesizer is asked for.
      if (options.headless) return std::make_shared<MidiRecorder>();
      break;
    case MidiMode::FluidSynth:
      break;
  }
  std::string why;
  std::shared_ptr<MidiOut> synth;
  if (auto sf = find_soundfont(options.soundfont, default_soundfonts(), &why)) {
    synth = SynthMidi::open(*sf, &why, AudioOut::kBufferFrames, options.volume);
  }
  if (synth) return synth;
  if (note) *note = why;
  if (options.mode == MidiMode::FluidSynth) return nullptr;
  return std::make_shared<NoMidi>();
}

}  // namespace platform

// MIDI output devices behind the multimedia stand-in: a software
// synthesizer (synth.h), a recorder for tests, or none at all.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class Volume;

// A MIDI output as the program sees it through midiOutGetNumDevs and
// midiOutShortMsg. Also the owner of the audio device, if any.
class MidiOut {
 public:
  virtual ~MidiOut() = default;
  // Devices reported to the program: 0 or 1.
  virtual int device_count() const = 0;
  // A short message with its status byte: status in bits 0..7, the data
  // bytes in bits 8..15 and 16..23.
  virtual void send(std::uint32_t message) = 0;
  // Silences every note (the device is closed).
  virtual void reset() {}
  // Plays a short tone; false when no audio device is open.
  virtual bool beep() { return false; }
  // What the device is, for messages: "none", "recorder", "fluidsynth ...".
  virtual std::string describe() const = 0;
};

// No device: midiOutGetNumDevs reports 0.
class NoMidi : public MidiOut {
 public:
  int device_count() const override { return 0; }
  void send(std::uint32_t) override {}
  std::string describe() const override { return "none"; }
};

// One silent device that keeps what it was sent, for tests and headless runs.
class MidiRecorder : public MidiOut {
 public:
  static constexpr std::size_t kKeep = 4096;  // the most recent messages kept

  int device_count() const override { return 1; }
  void send(std::uint32_t message) override;
  void reset() override { ++resets_; }
  std::string describe() const override { return "recorder"; }

  const std::vector<std::uint32_t>& messages() const { return messages_; }
  int resets() const { return resets_; }

 private:
  std::vector<std::uint32_t> messages_;
  int resets_ = 0;
};

// A device opened when the program first uses it (midiOutGetNumDevs), so
// that the window can appear before the audio device and the synthesizer
// are set up. Used from the program's thread only.
class LazyMidi : public MidiOut {
 public:
  using Open = std::function<std::shared_ptr<MidiOut>()>;
  explicit LazyMidi(Open open) : open_(std::move(open)) {}

  int device_count() const override { return device().device_count(); }
  void send(std::uint32_t message) override { device().send(message); }
  void reset() override {
    if (device_) device_->reset();
  }
  bool beep() override { return device().beep(); }
  std::string describe() const override { return device().describe(); }

  bool opened() const { return device_ != nullptr; }
  // The device behind it, opening it first if need be (none when the
  // opening gives nothing).
  MidiOut& device() const;

 private:
  mutable Open open_;
  mutable std::shared_ptr<MidiOut> device_;
};

enum class MidiMode : std::uint8_t {
  Auto,        // the synthesizer when it can be had, else none (headless: recorder)
  FluidSynth,  // the synthesizer or a clear failure
  None,
  Recorder,
};

struct MidiOptions {
  MidiMode mode = MidiMode::Auto;
  std::optional<std::string> soundfont;
  bool headless = false;
  std::shared_ptr<const Volume> volume;  // the synthesizer's level
};

// The General MIDI soundfonts looked for when none is named.
const std::vector<std::string>& default_soundfonts();

// The soundfont to load: `named` when given (it must be a soundfont), else
// the first soundfont among `candidates`. Nullopt with a reason otherwise.
std::optional<std::string> find_soundfont(const std::optional<std::string>& named,
                                          const std::vector<std::string>& candidates,
                                          std::string* why);

// The device the options ask for. Null with a message in `note` when the
// synthesizer was insisted on and cannot be had; otherwise never null, and
// `note` may say why a quieter device was chosen.
std::shared_ptr<MidiOut> open_midi(const MidiOptions& options, std::string* note);

}  // namespace platform

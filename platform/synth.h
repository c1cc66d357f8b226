// A FluidSynth synthesizer with a General MIDI soundfont that loads in the
// background, and the MIDI device that plays it through the audio device.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/audio.h"
#include "platform/midi.h"
#include "platform/volume.h"

namespace platform {

// FluidSynth's own messages are dropped; ours say what went wrong.
void quiet_fluid_logs();

// Renders into memory; needs no audio device.
class Synth {
 public:
  enum class State : std::uint8_t { Empty, Loading, Ready, Failed };

  // Null with a message when FluidSynth cannot make a synthesizer.
  static std::unique_ptr<Synth> create(double sample_rate, std::string* error);
  ~Synth();
  Synth(const Synth&) = delete;
  Synth& operator=(const Synth&) = delete;

  // Starts loading `path` on a thread of its own; notes sent before it is
  // loaded are dropped.
  void load_in_background(const std::string& path);
  State state() const { return state_.load(std::memory_order_acquire); }
  // Waits until the soundfont is loaded or failed; true when loaded.
  bool wait_loaded(std::chrono::milliseconds timeout);

  // A short message with its status byte; channel messages only.
  void send(std::uint32_t message);
  // Every note on every channel off.
  void reset();
  // Writes `frames` stereo frames, interleaved; silence until loaded.
  void render(float* out, int frames);

  double sample_rate() const { return rate_; }
  // The level the output follows; without one it plays as tuned. Set before
  // rendering starts.
  void set_volume(std::shared_ptr<const Volume> volume) { volume_ = std::move(volume); }

 private:
  struct Fluid;
  explicit Synth(std::unique_ptr<Fluid> fluid, double rate);

  static constexpr double kTailSeconds = 4.0;  // rendered after the last voice ends

  std::unique_ptr<Fluid> fluid_;
  double rate_;
  long quiet_frames_ = 0;  // frames rendered since no voice sounded
  std::shared_ptr<const Volume> volume_;
  GainRamp ramp_;
  std::atomic<State> state_{State::Empty};
  std::thread loader_;
  std::mutex mutex_;
  std::condition_variable loaded_;
};

// The synthesizer as the program's one MIDI output device.
class SynthMidi : public MidiOut {
 public:
  // Opens the audio device with a buffer of `buffer_frames` (the device may
  // choose another) and starts loading `soundfont`; the notes follow
  // `volume` when one is given. Null with a message when there is no audio
  // device or no synthesizer.
  static std::unique_ptr<SynthMidi> open(const std::string& soundfont, std::string* error,
                                         int buffer_frames = AudioOut::kBufferFrames,
                                         std::shared_ptr<const Volume> volume = nullptr);
  ~SynthMidi() override;

  int device_count() const override { return 1; }
  void send(std::uint32_t message) override { synth_->send(message); }
  void reset() override { synth_->reset(); }
  bool beep() override;
  std::string describe() const override;

  Synth& synth() { return *synth_; }
  const AudioOut& audio() const { return *audio_; }
  AudioOut& audio() { return *audio_; }

 private:
  SynthMidi() = default;

  std::string soundfont_;
  std::shared_ptr<const Volume> volume_;
  std::unique_ptr<Synth> synth_;
  std::unique_ptr<AudioOut> audio_;  // after synth_: closes first
};

}  // namespace platform

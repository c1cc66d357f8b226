// The audio device: a small SDL output buffer filled from a render
// function (the synthesizer), with a short tone mixed in for BEEP.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

class AudioOut {
 public:
  // Writes `frames` stereo frames of interleaved floats into `out`.
  using Render = std::function<void(float* out, int frames)>;

  // 256 frames: under 6 ms at 44.1 kHz, so a note starts within 15 ms.
  static constexpr int kBufferFrames = 256;
  static constexpr int kRate = 44100;
  static constexpr int kBeepMillis = 120;
  static constexpr double kBeepHz = 880.0;

  AudioOut() = default;
  ~AudioOut();
  AudioOut(const AudioOut&) = delete;
  AudioOut& operator=(const AudioOut&) = delete;

  // Opens the default output device (SDL_AUDIODRIVER chooses the driver),
  // paused. False with a message when there is none.
  bool open(int buffer_frames, std::string* error);
  // Starts playing what `render` gives; before this, silence.
  void start(Render render);
  void close();

  bool is_open() const { return device_ != 0; }
  int rate() const { return rate_; }
  int buffer_frames() const { return frames_; }
  const std::string& driver() const { return driver_; }

  // When the device last asked for sound, and how often it has: a message
  // sent before that moment is in the buffer it got, which plays after the
  // buffer before it (measurements of the note latency).
  std::chrono::steady_clock::time_point last_render() const {
    return std::chrono::steady_clock::time_point(
        std::chrono::steady_clock::duration(last_render_.load(std::memory_order_acquire)));
  }
  std::uint64_t renders() const { return renders_.load(std::memory_order_acquire); }

  // A short tone over whatever plays; returns at once.
  void beep();
  // Mixes the pending tone into `out` (interleaved stereo); used by the
  // device and by tests.
  void mix_beep(float* out, int frames);

 private:
  static void callback(void* self, std::uint8_t* stream, int len);

  std::uint32_t device_ = 0;
  int rate_ = kRate;
  int frames_ = kBufferFrames;
  std::string driver_;
  Render render_;
  std::atomic<int> beep_left_{0};  // frames of tone still to play
  std::atomic<std::chrono::steady_clock::rep> last_render_{0};
  std::atomic<std::uint64_t> renders_{0};
  double beep_phase_ = 0.0;
  bool subsystem_ = false;
};

}  // namespace platform

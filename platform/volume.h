// The sound level the player sets (--volume, F7, F8, F9), and the gain ramp
// that takes the synthesizer's output to it without a click.
#pragma once

#include <atomic>

namespace platform {

// Set from the window thread, read by the audio thread.
class Volume {
 public:
  static constexpr int kDefault = 80;  // the synthesizer as it is tuned
  static constexpr int kStep = 10;

  explicit Volume(int percent = kDefault) { set(percent); }

  int percent() const { return percent_.load(std::memory_order_relaxed); }
  bool muted() const { return muted_.load(std::memory_order_relaxed); }
  // Clamped to 0..100.
  void set(int percent);
  void set_muted(bool muted) { muted_.store(muted, std::memory_order_relaxed); }
  // The factor on the synthesizer's output: 0 when muted.
  float gain() const { return muted() ? 0.0f : gain_of(percent()); }

  // (percent / 80)^2: loudness follows the level roughly evenly, and the
  // default leaves the output as it is.
  static float gain_of(int percent);

 private:
  std::atomic<int> percent_{kDefault};
  std::atomic<bool> muted_{false};
};

// Multiplies stereo frames by a gain that moves to a new target in a
// straight line over kRampMillis.
class GainRamp {
 public:
  static constexpr double kRampMillis = 5.0;

  explicit GainRamp(double sample_rate, float gain = 1.0f);
  // Scales `frames` interleaved stereo frames in place, heading for `target`.
  void apply(float* out, int frames, float target);
  // Takes `gain` at once (while nothing sounds).
  void jump(float gain) { gain_ = target_ = gain; }
  float gain() const { return gain_; }

 private:
  int ramp_frames_;
  float gain_;
  float target_;
  float step_ = 0.0f;
};

}  // namespace platform

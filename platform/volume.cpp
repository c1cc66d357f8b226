#include "platform/volume.h"

#include <algorithm>
#include <cmath>

namespace platform {

void Volume::set(int percent) { percent_.store(std::clamp(percent, 0, 100), std::memory_order_relaxed); }

float Volume::gain_of(int percent) {
  float r = static_cast<float>(std::clamp(percent, 0, 100)) / kDefault;
  return r * r;
}

GainRamp::GainRamp(double sample_rate, float gain)
    : ramp_frames_(std::max(1, static_cast<int>(std::lround(sample_rate * kRampMillis / 1000.0)))),
      gain_(gain),
      target_(gain) {}

void GainRamp::apply(float* out, int frames, float target) {
  if (target != target_) {
    target_ = target;
    step_ = std::abs(target_ - gain_) / static_cast<float>(ramp_frames_);
  }
  for (int i = 0; i < frames; ++i) {
    if (gain_ != target_) {
      gain_ = gain_ < target_ ? std::min(target_, gain_ + step_) : std::max(target_, gain_ - step_);
    }
    out[2 * i] *= gain_;
    out[2 * i + 1] *= gain_;
  }
}

}  // namespace platform

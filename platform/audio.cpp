#include "platform/audio.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace platform {

AudioOut::~AudioOut() {
  close();
}

bool AudioOut::open(int buffer_frames, std::string* error) {
  close();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    if (error) *error = std::string("no audio: ") + SDL_GetError();
    return false;
  }
  subsystem_ = true;
  SDL_AudioSpec want{};
  want.freq = kRate;
  want.format = AUDIO_F32SYS;
  want.channels = 2;
  want.samples = static_cast<Uint16>(buffer_frames);
  want.callback = &AudioOut::callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  // SDL converts the format and channels; the rate and buffer may differ.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
  if (device_ == 0) {
    if (error) *error = std::string("no audio device: ") + SDL_GetError();
    close();
    return false;
  }
  rate_ = have.freq;
  frames_ = have.samples;
  const char* d = SDL_GetCurrentAudioDriver();
  driver_ = d ? d : "";
  return true;
}

void AudioOut::start(Render render) {
  if (device_ == 0) return;
  SDL_LockAudioDevice(device_);
  render_ = std::move(render);
  SDL_UnlockAudioDevice(device_);
  SDL_PauseAudioDevice(device_, 0);
}

void AudioOut::close() {
  if (device_ != 0) {
    SDL_CloseAudioDevice(device_);  // waits for a running callback
    device_ = 0;
  }
  render_ = nullptr;
  if (subsystem_) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    subsystem_ = false;
  }
}

void AudioOut::beep() {
  beep_left_.store(rate_ * kBeepMillis / 1000, std::memory_order_relaxed);
}

void AudioOut::mix_beep(float* out, int frames) {
  int left = beep_left_.load(std::memory_order_relaxed);
  if (left <= 0) {
    beep_phase_ = 0.0;
    return;
  }
  const int total = rate_ * kBeepMillis / 1000;
  const int fade = std::max(1, rate_ / 200);  // 5 ms edges, no clicks
  const double step = 2.0 * std::numbers::pi * kBeepHz / rate_;
  int n = std::min(left, frames);
  for (int i = 0; i < n; ++i) {
    int done = total - left + i;
    double env =
        std::min({1.0, static_cast<double>(done) / fade, static_cast<double>(total - done) / fade});
    float v = static_cast<float>(0.2 * env * std::sin(beep_phase_));
    out[2 * i] += v;
    out[2 * i + 1] += v;
    beep_phase_ += step;
  }
  // A new beep may have been asked for meanwhile; it restarts the tone.
  beep_left_.compare_exchange_strong(left, left - n, std::memory_order_relaxed);
}

void AudioOut::callback(void* self, std::uint8_t* stream, int len) {
  auto* a = static_cast<AudioOut*>(self);
  a->last_render_.store(std::chrono::steady_clock::now().time_since_epoch().count(),
                        std::memory_order_release);
  auto* out = reinterpret_cast<float*>(stream);
  int frames = len / static_cast<int>(2 * sizeof(float));
  std::memset(stream, 0, static_cast<std::size_t>(len));
  if (a->render_) a->render_(out, frames);
  a->mix_beep(out, frames);
  a->renders_.fetch_add(1, std::memory_order_release);
}

}  // namespace platform

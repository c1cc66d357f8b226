#include "platform/synth.h"

#include <fluidsynth.h>

#include <cstring>
#include <iostream>

namespace platform {

void quiet_fluid_logs() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level : {FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
      fluid_set_log_function(level, nullptr, nullptr);
    }
  });
}

struct Synth::Fluid {
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  ~Fluid() {
    if (synth) delete_fluid_synth(synth);
    if (settings) delete_fluid_settings(settings);
  }
};

Synth::Synth(std::unique_ptr<Fluid> fluid, double rate)
    : fluid_(std::move(fluid)), rate_(rate), ramp_(rate) {}

std::unique_ptr<Synth> Synth::create(double sample_rate, std::string* error) {
  quiet_fluid_logs();
  auto f = std::make_unique<Fluid>();
  f->settings = new_fluid_settings();
  if (!f->settings) {
    if (error) *error = "FluidSynth cannot make its settings";
    return nullptr;
  }
  fluid_settings_setnum(f->settings, "synth.sample-rate", sample_rate);
  fluid_settings_setint(f->settings, "synth.threadsafe-api", 1);
  // The program's notes last about 2 ms; the synthesizer holds each for at
  // least this long so that it is heard.
  fluid_settings_setint(f->settings, "synth.min-note-length", 10);
  // FluidSynth's default gain (0.2) leaves one note some 28 dB below full
  // scale; the program plays one note at a time, so there is room.
  fluid_settings_setnum(f->settings, "synth.gain", 0.5);
  f->synth = new_fluid_synth(f->settings);
  if (!f->synth) {
    if (error) *error = "FluidSynth cannot make a synthesizer";
    return nullptr;
  }
  return std::unique_ptr<Synth>(new Synth(std::move(f), sample_rate));
}

Synth::~Synth() {
  if (loader_.joinable()) loader_.join();
}

void Synth::load_in_background(const std::string& path) {
  if (loader_.joinable()) loader_.join();
  state_.store(State::Loading, std::memory_order_release);
  loader_ = std::thread([this, path] {
    int id = fluid_synth_sfload(fluid_->synth, path.c_str(), 1);
    State s = id == FLUID_FAILED ? State::Failed : State::Ready;
    if (s == State::Failed) std::cerr << "peakwend: cannot load the soundfont " << path << "\n";
    {
      std::lock_guard<std::mutex> lock(mutex_);
      state_.store(s, std::memory_order_release);
    }
    loaded_.notify_all();
  });
}

bool Synth::wait_loaded(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  loaded_.wait_for(lock, timeout, [this] {
    State s = state();
    return s == State::Ready || s == State::Failed || s == State::Empty;
  });
  return state() == State::Ready;
}

void Synth::send(std::uint32_t message) {
  if (state() != State::Ready) return;
  fluid_synth_t* s = fluid_->synth;
  int status = static_cast<int>(message & 0xFF);
  int ch = status & 0x0F;
  int d1 = static_cast<int>((message >> 8) & 0x7F);
  int d2 = static_cast<int>((message >> 16) & 0x7F);
  switch (status & 0xF0) {
    case 0x80:
      fluid_synth_noteoff(s, ch, d1);
      break;
    case 0x90:
      fluid_synth_noteon(s, ch, d1, d2);
      break;  // velocity 0 ends the note
    case 0xA0:
      fluid_synth_key_pressure(s, ch, d1, d2);
      break;
    case 0xB0:
      fluid_synth_cc(s, ch, d1, d2);
      break;
    case 0xC0:
      fluid_synth_program_change(s, ch, d1);
      break;
    case 0xD0:
      fluid_synth_channel_pressure(s, ch, d1);
      break;
    case 0xE0:
      fluid_synth_pitch_bend(s, ch, d1 | (d2 << 7));
      break;
    default:
      if (status == 0xFF) fluid_synth_system_reset(s);
      break;
  }
}

void Synth::reset() {
  if (state() != State::Ready) return;
  fluid_synth_all_notes_off(fluid_->synth, -1);
}

void Synth::render(float* out, int frames) {
  // Nothing loaded, or nothing sounding for a while (the reverb has died
  // away): silence without the synthesizer's work.
  bool quiet = state() != State::Ready;
  if (!quiet && fluid_synth_get_active_voice_count(fluid_->synth) == 0) {
    quiet = quiet_frames_ >= static_cast<long>(rate_ * kTailSeconds);
    quiet_frames_ += frames;
  } else {
    quiet_frames_ = 0;
  }
  const float gain = volume_ ? volume_->gain() : 1.0f;
  if (quiet) {
    std::memset(out, 0, sizeof(float) * 2 * static_cast<std::size_t>(frames));
    ramp_.jump(gain);
    return;
  }
  fluid_synth_write_float(fluid_->synth, frames, out, 0, 2, out, 1, 2);
  ramp_.apply(out, frames, gain);
}

std::unique_ptr<SynthMidi> SynthMidi::open(const std::string& soundfont, std::string* error,
                                           int buffer_frames, std::shared_ptr<const Volume> volume) {
  std::unique_ptr<SynthMidi> m(new SynthMidi());
  m->soundfont_ = soundfont;
  m->volume_ = volume;
  m->audio_ = std::make_unique<AudioOut>();
  if (!m->audio_->open(buffer_frames, error)) return nullptr;
  m->synth_ = Synth::create(m->audio_->rate(), error);
  if (!m->synth_) return nullptr;
  m->synth_->set_volume(std::move(volume));
  m->synth_->load_in_background(soundfont);
  Synth* synth = m->synth_.get();
  m->audio_->start([synth](float* out, int frames) { synth->render(out, frames); });
  return m;
}

SynthMidi::~SynthMidi() {
  if (audio_) audio_->close();
}

bool SynthMidi::beep() {
  if (!audio_ || !audio_->is_open()) return false;
  if (!volume_ || volume_->gain() > 0) audio_->beep();
  return true;
}

std::string SynthMidi::describe() const {
  std::string d = "fluidsynth with " + soundfont_;
  if (audio_) {
    d += " on " + audio_->driver() + " at " + std::to_string(audio_->rate()) + " Hz, " +
         std::to_string(audio_->buffer_frames()) + " frames";
  }
  return d;
}

}  // namespace platform

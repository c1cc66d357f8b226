// How soon a contact's note is heard. The game sends note on, waits about
// 2 ms and sends note off (MON); the synthesizer renders the note into the
// first buffer the audio device asks for after the note on, and that buffer
// plays once the one before it has played: heard = (next request - sent) +
// one buffer. Notes are sent at random moments against the device's clock,
// as contacts are. Target: heard within 15 ms.
//
// Uses the audio driver SDL_AUDIODRIVER names (dummy when unset: it asks for
// buffers on its own timer, like a device) and the default soundfont.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "platform/midi.h"
#include "platform/synth.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

void BM_NoteOnToSound(benchmark::State& state) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  std::string why;
  auto font = platform::find_soundfont(std::nullopt, platform::default_soundfonts(), &why);
  if (!font) {
    state.SkipWithError(why.c_str());
    return;
  }
  auto midi = platform::SynthMidi::open(*font, &why, static_cast<int>(state.range(0)));
  if (!midi || !midi->synth().wait_loaded(30s)) {
    state.SkipWithError(("no synthesizer: " + why).c_str());
    return;
  }
  const platform::AudioOut& audio = midi->audio();
  std::mt19937 random(7);
  std::uniform_int_distribution<int> gap_us(2000, 20000);
  double sum = 0, worst = 0;
  int notes = 0;
  Clock::time_point first_request{};
  std::uint64_t first_count = 0;
  for (auto _ : state) {
    std::this_thread::sleep_for(50ms);
    first_request = audio.last_render();
    first_count = audio.renders();
    for (int n = 0; n < 200; ++n) {
      std::this_thread::sleep_for(std::chrono::microseconds(gap_us(random)));
      const std::uint32_t key = 0x3C + static_cast<std::uint32_t>(n % 13);
      Clock::time_point sent = Clock::now();
      midi->send(0x7F0090 | (key << 8));
      while (audio.last_render() <= sent && Clock::now() - sent < 1s)
        std::this_thread::sleep_for(50us);
      double wait = ms(audio.last_render() - sent);
      std::this_thread::sleep_for(2ms);
      midi->send(0x000090 | (key << 8));
      sum += wait;
      worst = std::max(worst, wait);
      ++notes;
    }
  }
  // The device's own period, measured over the run.
  double period = ms(audio.last_render() - first_request) /
                  static_cast<double>(std::max<std::uint64_t>(1, audio.renders() - first_count));
  double buffer_ms = 1000.0 * audio.buffer_frames() / audio.rate();
  state.counters["buffer_frames"] = audio.buffer_frames();
  state.counters["buffer_ms"] = buffer_ms;
  state.counters["period_ms"] = period;
  state.counters["to_render_mean_ms"] = sum / notes;
  state.counters["to_render_max_ms"] = worst;
  state.counters["heard_mean_ms"] = sum / notes + buffer_ms;
  state.counters["heard_max_ms"] = worst + buffer_ms;
  state.SetLabel(audio.driver());
}
BENCHMARK(BM_NoteOnToSound)
    ->Arg(128)
    ->Arg(256)
    ->Arg(512)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

// How soon a contact's note is heard. The game sends note on, waits about
// 2 ms and sends note off (MON); the synthesizer renders the note into the
// first buffer the audio device asks for after the note on, and that buffer
// plays once the one before it has played: heard = (next request - sent) +
// one buffer. Notes are sent at random moments against the device's clock,
// as contacts are. Target: heard within 15 ms.
//
// BM_ContactNoteInGame plays a try in a real window (it needs DISPLAY) at
// each animation speed and times each contact's note against the program's
// drawing of the walker touching (the note follows it by the step's wait,
// delay + 1 ms, as the game loop is written) and against the moment the
// window showed that picture.
//
// Uses the audio driver SDL_AUDIODRIVER names (dummy when unset: it asks for
// buffers on its own timer, like a device) and the default soundfont.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "app/script_hooks.h"
#include "game/zided.h"
#include "platform/midi.h"
#include "platform/registry.h"
#include "platform/sdl_host.h"
#include "platform/synth.h"
#include "runtime/runtime.h"

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

// The window host, noting when the program last drew.
class TimedHost : public platform::SdlHost {
 public:
  using SdlHost::SdlHost;
  void picture_changed() override {
    SdlHost::picture_changed();
    last_drawn = Clock::now();
    if (bounce_pending) {
      bounces.push_back(last_drawn);
      bounce_pending = false;
    }
  }
  Clock::time_point last_drawn{};
  // The first drawing after each note: the bounce (the rebound's picture).
  bool bounce_pending = false;
  std::vector<Clock::time_point> bounces;
};

// The synthesizer, noting when each note on is sent and when the program
// last drew before it: the walker drawn touching what it bounces off.
class TimedMidi : public platform::MidiOut {
 public:
  explicit TimedMidi(platform::SynthMidi& synth) : synth_(synth) {}
  int device_count() const override { return 1; }
  void send(std::uint32_t message) override {
    if ((message & 0xF0) == 0x90 && ((message >> 16) & 0x7F) != 0) {
      sent.push_back(Clock::now());
      drawn.push_back(host ? host->last_drawn : Clock::time_point{});
      if (host) host->bounce_pending = true;
    }
    synth_.send(message);
  }
  void reset() override { synth_.reset(); }
  std::string describe() const override { return synth_.describe(); }
  TimedHost* host = nullptr;
  std::vector<Clock::time_point> sent, drawn;

 private:
  platform::SynthMidi& synth_;
};

// The first moment in `times` (sorted) after `t`.
std::optional<Clock::time_point> first_after(const std::vector<Clock::time_point>& times, Clock::time_point t) {
  auto next = std::upper_bound(times.begin(), times.end(), t);
  if (next == times.end()) return std::nullopt;
  return *next;
}

// Argument: the animation delay, 2, 5 or 8 ms a step.
void BM_ContactNoteInGame(benchmark::State& state) {
  if (!std::getenv("DISPLAY")) {
    state.SkipWithError("no DISPLAY: run under Xvfb (tools/measure_pace.sh does)");
    return;
  }
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  std::string why;
  auto font = platform::find_soundfont(std::nullopt, platform::default_soundfonts(), &why);
  std::shared_ptr<platform::SynthMidi> synth;
  if (font) synth = platform::SynthMidi::open(*font, &why);
  if (!synth || !synth->synth().wait_loaded(30s)) {
    state.SkipWithError(("no synthesizer: " + why).c_str());
    return;
  }
  const platform::AudioOut& audio = synth->audio();
  // The speed from the menu, then a try aimed straight up from x = 310:
  // some twenty contacts with walls, mountains, zone circles and snow.
  const long delay = state.range(0);
  std::string script = "idle\nkey Up\nkey Up\nkey Enter\nidle\n";
  if (delay == 2) script += "key Left\n";
  if (delay == 8) script += "key Right\n";
  script += "key Enter\nidle\nkey Down\nkey Down\nkey Enter\n";
  script += "idle\nclick 310 493\nidle\ndrag 300 400 300 300\nidle\nclose\n";
  auto timed = std::make_shared<TimedMidi>(*synth);
  std::vector<Clock::time_point> requests, offers, presents, bounces;
  for (auto _ : state) {
    platform::HostOptions options;
    options.script = platform::parse_script(script, &why);
    options.start_time = platform::LocalTime{2024, 1, 1, 9, 0, 7};
    options.midi = timed;
    options.scale = 1;
    TimedHost host(options);
    timed->host = &host;
    // The audio device's requests and the window's pictures, as they come.
    std::atomic<bool> done{false};
    std::thread watch([&] {
      Clock::time_point last{};
      long offered = 0, presented = 0;
      while (!done.load()) {
        Clock::time_point t = audio.last_render();
        if (t != last) requests.push_back(last = t);
        platform::SdlHost::Stats s = host.stats();
        if (s.frames_offered != offered) offers.push_back(Clock::now()), offered = s.frames_offered;
        if (s.frames_presented != presented) presents.push_back(Clock::now()), presented = s.frames_presented;
        std::this_thread::sleep_for(100us);
      }
    });
    auto dir = std::filesystem::temp_directory_path() / "peakwend-bench-registry";
    platform::Registry registry(dir.string());
    rt::Runtime runtime(host, registry);
    game::Zided game(runtime);
    app::ScriptHooks hooks(runtime, game);
    host.set_script_hooks(&hooks);
    game.run();
    bounces.insert(bounces.end(), host.bounces.begin(), host.bounces.end());
    done.store(true);
    watch.join();
    timed->host = nullptr;
  }
  const auto buffer = std::chrono::microseconds(1000000L * audio.buffer_frames() / audio.rate());
  double after_sent = 0, after_drawn = 0, after_shown = 0, worst_sent = 0, worst_drawn = 0, worst_shown = 0;
  double after_bounce = 0, worst_bounce = 0;
  int bounced = 0, paused = 0;
  int counted = 0;
  for (std::size_t i = 0; i < timed->sent.size(); ++i) {
    auto request = first_after(requests, timed->sent[i]);
    // The picture with the contact: the first one handed over after the
    // drawing, shown by the first present after that.
    auto offer = first_after(offers, timed->drawn[i]);
    auto shown = offer ? first_after(presents, *offer) : std::nullopt;
    // The rebound drawn: the first drawing after the note was sent.
    auto bounce = first_after(bounces, timed->sent[i] - std::chrono::nanoseconds(1));
    if (!request || !shown || !bounce) continue;
    Clock::time_point heard = *request + buffer;
    after_sent += ms(heard - timed->sent[i]);
    after_drawn += ms(heard - timed->drawn[i]);
    after_shown += ms(heard - *shown);
    worst_sent = std::max(worst_sent, ms(heard - timed->sent[i]));
    worst_drawn = std::max(worst_drawn, ms(heard - timed->drawn[i]));
    worst_shown = std::max(worst_shown, ms(heard - *shown));
    // A zone circle holds the game 0.2 s between its note and its rebound.
    if (*bounce - timed->sent[i] > 100ms) {
      ++paused;
    } else {
      after_bounce += ms(heard - *bounce);
      worst_bounce = std::max(worst_bounce, ms(heard - *bounce));
      ++bounced;
    }
    ++counted;
  }
  if (counted == 0) {
    state.SkipWithError("no contact was timed");
    return;
  }
  state.counters["notes"] = counted;
  state.counters["buffer_frames"] = audio.buffer_frames();
  state.counters["heard_after_sent_mean_ms"] = after_sent / counted;
  state.counters["heard_after_sent_max_ms"] = worst_sent;
  state.counters["heard_after_drawn_mean_ms"] = after_drawn / counted;
  state.counters["heard_after_drawn_max_ms"] = worst_drawn;
  state.counters["heard_after_shown_mean_ms"] = after_shown / counted;
  state.counters["heard_after_shown_max_ms"] = worst_shown;
  state.counters["heard_after_bounce_mean_ms"] = bounced ? after_bounce / bounced : 0;
  state.counters["paused_notes"] = paused;
  state.counters["heard_after_bounce_max_ms"] = worst_bounce;
  state.SetLabel(audio.driver());
}
BENCHMARK(BM_ContactNoteInGame)->Arg(2)->Arg(5)->Arg(8)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

// Input, clock and sound costs.
//
// Targets: a busy wait of 5 ms on the SDL host's clock (the game's WAIT1)
// overshoots by at most 1.2 ms on average and 2 ms at worst over 1000
// waits, while its clock polls sleep (little CPU time); one poll that sleeps
// returns within 0.2 ms of the next millisecond; the
// synthesizer renders a 256-frame buffer (5.8 ms of sound) in a small
// fraction of that time. BM_BusyWait5ms needs a display (DISPLAY=:99 with
// Xvfb); without one it is skipped.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <cstdlib>
#include <filesystem>

#include "data/data_files.h"
#include "platform/clock_pacer.h"
#include "platform/sdl_host.h"
#include "platform/synth.h"
#include "runtime/runtime.h"
#include "tests/support/program.h"

namespace {

using Clock = std::chrono::steady_clock;

// WAIT1: statements that read timeGetTime until it moved on by more than ms.
void wait1(rt::Runtime& r, std::int32_t ms) {
  std::int32_t t0 = r.LIBCALL("WINMM", "timeGetTime");
  for (;;) {
    r.STMT();
    if (r.LIBCALL("WINMM", "timeGetTime") - t0 > ms) return;
  }
}

void BM_BusyWait5ms(benchmark::State& state) {
  if (!std::getenv("DISPLAY")) {
    state.SkipWithError("no DISPLAY: run under Xvfb");
    return;
  }
  auto dir = std::filesystem::temp_directory_path() / "peakwend-bench-registry";
  platform::Registry registry(dir.string());
  platform::SdlHost host;
  rt::Runtime r(host, registry);
  double total = 0, worst = 0;
  long waits = 0;
  for (auto _ : state) {
    r.run(data::mainform_text(), rt::CompileOptions{}, [&] {
      for (int i = 0; i < 1000; ++i) {
        // Poll the keys between waits, as the game loop polls the mouse.
        r.INKEY(0);
        auto start = Clock::now();
        wait1(r, 5);
        double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        total += ms - 5.0;
        worst = std::max(worst, ms - 5.0);
        ++waits;
      }
    });
  }
  state.counters["mean_overshoot_ms"] = total / static_cast<double>(waits);
  state.counters["max_overshoot_ms"] = worst;
}
BENCHMARK(BM_BusyWait5ms)->Unit(benchmark::kMillisecond)->Iterations(1);

// One clock poll that sleeps until the next millisecond, as the window
// host's does: how late after the millisecond starts it returns.
void BM_ClockPollSleepsToNextMillisecond(benchmark::State& state) {
  std::mutex m;
  std::condition_variable cv;
  const auto zero = Clock::now();
  platform::ClockPacer pacer;
  auto since_start = [&] { return Clock::now() - zero; };
  auto sleep_until = [&](platform::ClockPacer::Duration until) {
    platform::use_tight_timer_slack();
    std::unique_lock<std::mutex> lock(m);
    cv.wait_until(lock, zero + until, [] { return false; });
  };
  double total = 0, worst = 0;
  long polls = 0;
  for (auto _ : state) {
    std::uint32_t first = pacer.read(since_start, sleep_until);
    pacer.read(since_start, sleep_until);
    std::uint32_t next = pacer.read(since_start, sleep_until);  // sleeps
    auto late = since_start() - std::chrono::milliseconds(next);
    double ms = std::chrono::duration<double, std::milli>(late).count();
    if (next == first + 1) {
      total += ms;
      worst = std::max(worst, ms);
      ++polls;
    }
  }
  state.counters["mean_late_ms"] = polls ? total / static_cast<double>(polls) : 0;
  state.counters["max_late_ms"] = worst;
}
BENCHMARK(BM_ClockPollSleepsToNextMillisecond)->Unit(benchmark::kMicrosecond)->Iterations(5000);

void BM_TimeGetTimeCall(benchmark::State& state) {
  testing_support::Program p;
  p.start();
  for (auto _ : state) benchmark::DoNotOptimize(p.rt().LIBCALL("WINMM", "timeGetTime"));
}
BENCHMARK(BM_TimeGetTimeCall);

void BM_InkeyWithKeys(benchmark::State& state) {
  testing_support::Program p;
  p.start();
  platform::Event e;
  e.type = platform::Event::Type::Text;
  e.text = "a";
  for (auto _ : state) {
    p.rt().on_input_event(e);
    benchmark::DoNotOptimize(p.rt().INKEY(0));
  }
}
BENCHMARK(BM_InkeyWithKeys);

void BM_SynthRender256(benchmark::State& state) {
  std::string why;
  auto synth = platform::Synth::create(44100, &why);
  if (!synth) {
    state.SkipWithError(why.c_str());
    return;
  }
  synth->load_in_background("/usr/share/sounds/sf2/TimGM6mb.sf2");
  if (!synth->wait_loaded(std::chrono::seconds(30))) {
    state.SkipWithError("no soundfont");
    return;
  }
  std::vector<float> buf(2 * 256);
  int n = 0;
  for (auto _ : state) {
    // A note every 20 buffers, as a bouncing walker might play them.
    if (n++ % 20 == 0) synth->send(0x7F3C90 + 256 * (n % 12));
    synth->render(buf.data(), 256);
    benchmark::DoNotOptimize(buf.data());
  }
  state.counters["buffer_ms"] = 256.0 * 1000.0 / 44100.0;
}
BENCHMARK(BM_SynthRender256)->Unit(benchmark::kMicrosecond);

}  // namespace

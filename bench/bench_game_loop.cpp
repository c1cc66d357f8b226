// The cost of the game loop: one simulation step's contact search over 100
// obstacles as the game runs it (statement yields, SINGLE rounding, checked
// arrays), the same search as bare arithmetic on plain floats (its ideal),
// and a whole headless game of ten 100-second tries (16,670 steps).
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cmath>

#include "tests/support/game_program.h"

namespace {

using testing_support::GameProgram;
using testing_support::use_stored_layout;

// Layout 1 of 09:00:07 in the live obstacle arrays, the walker in mid-field
// moving up and to the right, touching one zone circle.
void field(game::Zided& z) {
  z.DFWALL();
  z.SETFD(1, z.NOBJ);
  z.NOBJ = 100;
  use_stored_layout(z);
  z.WR(1) = z.WALK_RADIUS;
  z.WACTIVE(1) = 1;
  z.WX(1) = z.OX(5) - z.OR(5) - 5;
  z.WY(1) = z.OY(5);
  z.WVX(1) = 12;
  z.WVY(1) = 16;
}

void BM_ContactSearch100(benchmark::State& state) {
  GameProgram g;
  g.run([&](game::Zided& z) {
    field(z);
    for (auto _ : state) z.find_contacts();
    benchmark::DoNotOptimize(z.HITO(1, 5).bits());
  });
  state.SetItemsProcessed(state.iterations() * 100);  // obstacles
}
BENCHMARK(BM_ContactSearch100)->Unit(benchmark::kMicrosecond);

// The ideal: the same tests on plain arrays, no statements, no rounding.
void BM_ContactSearchBareArithmetic(benchmark::State& state) {
  std::array<float, 100> ox{}, oy{}, orad{};
  float wx = 0, wy = 0, vx = 12, vy = 16, wr = 10;
  GameProgram g;
  g.run([&](game::Zided& z) {
    field(z);
    for (int j = 0; j < 100; ++j) {
      ox[j] = static_cast<float>(z.OX(j + 1));
      oy[j] = static_cast<float>(z.OY(j + 1));
      orad[j] = static_cast<float>(z.OR(j + 1));
    }
    wx = static_cast<float>(z.WX(1));
    wy = static_cast<float>(z.WY(1));
  });
  std::array<float, 100> metric{};
  std::array<std::uint8_t, 100> hit{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(wx);
    for (int j = 0; j < 100; ++j) {
      float dx = ox[j] - wx, dy = oy[j] - wy;
      float s = dx * dx + dy * dy, r = wr + orad[j];
      bool into = s < r * r && vx * dx + vy * dy > 0;
      hit[j] = into;
      metric[j] = into ? s : 0;
    }
    benchmark::DoNotOptimize(hit.data());
    benchmark::DoNotOptimize(metric.data());
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_ContactSearchBareArithmetic)->Unit(benchmark::kMicrosecond);

// The whole program headless: title, menu, a game of ten tries aimed level
// (each runs its 100 seconds, 1,667 steps), the end screens and "End".
void BM_HeadlessGameTenTries(benchmark::State& state) {
  std::string script = "idle\nkey Enter\nidle\nclick 310 493\n";
  for (int t = 0; t < 10; ++t) script += "idle\ndrag 300 400 400 400\n";
  script += "idle\nkey Space\nidle\nkey Up\nkey Enter\n";
  long steps = 0;
  double seconds = 0;
  for (auto _ : state) {
    auto options = testing_support::script_options(script);
    options.start_time = platform::LocalTime{2024, 1, 1, 9, 0, 7};
    GameProgram g(options);
    auto start = std::chrono::steady_clock::now();
    if (g.run_main() != 0) state.SkipWithError("the game did not end normally");
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    steps += 10 * 1667;
  }
  state.counters["step_us"] = 1e6 * seconds / static_cast<double>(steps);
}
BENCHMARK(BM_HeadlessGameTenTries)->Unit(benchmark::kMillisecond);

}  // namespace

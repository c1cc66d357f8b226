// The cost of the scenery: building a layout (with and without its
// one-second wait on the virtual clock), the random draws it takes, the
// picture redrawn before every launch, and one ending.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>

#include "tests/support/game_program.h"

namespace {

using testing_support::GameProgram;
using testing_support::use_stored_layout;

// Generator steps from `from` to `to` (the runtime's step), up to a limit.
std::int64_t steps_between(std::uint32_t from, std::uint32_t to) {
  for (std::int64_t n = 0; n < 10'000'000; ++n) {
    if (from == to) return n;
    from = from * 2058568021u + 1276750819u;
  }
  return -1;
}

void prepare(game::Zided& z) {
  z.DFWALL();
  for (int k = 1; k <= 4; ++k) z.WALL_ATTR(k) = 2;
}

// SETFD as the menu calls it: message, one-second wait, seeding, one layout.
void BM_Setfd(benchmark::State& state) {
  GameProgram g;
  g.run([&](game::Zided& z) {
    prepare(z);
    for (auto _ : state) z.SETFD(1, z.NOBJ);
  });
}
BENCHMARK(BM_Setfd)->Unit(benchmark::kMillisecond);

// The placements alone: zone centres, clusters and snow patches, as SETFD
// runs them after the wait; reports the random draws per layout.
void BM_LayoutPlacement(benchmark::State& state) {
  GameProgram g;
  std::int64_t draws = 0, layouts = 0, most = 0;
  g.run([&](game::Zided& z) {
    prepare(z);
    z.SETFD(1, z.NOBJ);
    for (auto _ : state) {
      std::uint32_t before = z.runtime().random_state();
      z.DZONE(30);
      game::Single e = 0;
      for (int zone = 1; zone <= 30; ++zone) {
        double a = z.ZONE_A(zone);
        if (a > 25 && a < 100) {
          double r = a == 30 ? 14 : 16, m = a == 50 ? 5 : a == 40 ? 3 : 2;
          z.PZONE(1, zone, r, m);
          for (int j = 1; j <= m; ++j) {
            z.WX(e + j) = z.PZX(j);
            z.WY(e + j) = z.PZY(j);
            z.WR(e + j) = r;
          }
          e = e + m;
        } else {
          e = e + 1;
          z.WX(e) = z.ZONE_PX(zone);
          z.WY(e) = z.ZONE_PY(zone);
          z.WR(e) = a;
        }
      }
      z.SNOW(e, 57);
      std::int64_t n = steps_between(before, z.runtime().random_state());
      draws += n;
      most = std::max(most, n);
      ++layouts;
    }
  });
  state.counters["draws_per_layout"] = static_cast<double>(draws) / static_cast<double>(layouts);
  state.counters["most_draws"] = static_cast<double>(most);
}
BENCHMARK(BM_LayoutPlacement)->Unit(benchmark::kMicrosecond);

// The picture before every launch: frame, field, goal line, sky, 100 obstacles.
void BM_Fresh1(benchmark::State& state) {
  GameProgram g;
  g.run([&](game::Zided& z) {
    prepare(z);
    z.SETFD(1, z.NOBJ);
    z.PALET2();
    z.FRESH();
    use_stored_layout(z);
    z.TRIES_LEFT = 10;
    for (auto _ : state) z.FRESH1();
  });
}
BENCHMARK(BM_Fresh1)->Unit(benchmark::kMillisecond);

// One obstacle of radius 25 as STONE draws it: 24 rings from the outside
// in, on the picture and the backing layer. Ideal: the disc's pixels
// (about 1,810, twice, 14.5 KB) at the bandwidth of BM_PixelWriteBandwidth.
void BM_Stone25(benchmark::State& state) {
  GameProgram g;
  g.run([&](game::Zided& z) {
    prepare(z);
    z.OX(10) = 300.4;
    z.OY(10) = 250.7;
    z.OR(10) = 25;
    z.OT(10) = 5;
    z.OGONE(10) = 0;
    for (auto _ : state) z.STONE(10);
  });
  state.SetBytesProcessed(state.iterations() * 1810 * 2 * 4);
}
BENCHMARK(BM_Stone25)->Unit(benchmark::kMicrosecond);

// One ending stage: trees and 20 ring steps (the 4 s of waits run on the
// virtual clock).
void BM_Ending(benchmark::State& state) {
  GameProgram g;
  g.run([&](game::Zided& z) {
    prepare(z);
    z.SETFD(1, z.NOBJ);
    z.NOBJ = 100;
    use_stored_layout(z);
    for (auto _ : state) z.ENDING();
  });
}
BENCHMARK(BM_Ending)->Unit(benchmark::kMillisecond);

}  // namespace

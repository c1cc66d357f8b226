// The cost of the graphics statements as the game uses them: an obstacle
// drawn ring by ring, a filled full-screen box, the walker's erase and
// redraw, and an icon put back from its block.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "tests/support/program.h"

namespace {

using rt::Box;
using rt::Coord;

void BM_ObstacleRings24(benchmark::State& state) {
  testing_support::Program p;
  p.start();
  rt::Runtime& r = p.rt();
  int k = 0;
  for (auto _ : state) {
    Coord centre{200.3 + (k++ % 7), 180.6};
    for (int radius = 24; radius >= 1; --radius) r.CIRCLE(0, centre, radius, 9);
  }
  benchmark::DoNotOptimize(p.host().picture().get(200, 300));
}
BENCHMARK(BM_ObstacleRings24)->Unit(benchmark::kMicrosecond);

void BM_FilledScreenBox(benchmark::State& state) {
  testing_support::Program p;
  p.start();
  rt::Runtime& r = p.rt();
  int colour = 0;
  for (auto _ : state) r.LINE(0, Coord{0, 0}, Coord{639, 503}, (colour++) & 15, Box::BF);
  benchmark::DoNotOptimize(p.host().picture().get(10, 10));
}
BENCHMARK(BM_FilledScreenBox)->Unit(benchmark::kMicrosecond);

void BM_WalkerEraseAndDraw(benchmark::State& state) {
  testing_support::Program p;
  p.start();
  rt::Runtime& r = p.rt();
  double x = 100;
  for (auto _ : state) {
    r.CIRCLE(0, Coord{x, 200}, 9, 0);
    x = x > 500 ? 100 : x + 0.37;
    r.CIRCLE(0, Coord{x, 200}, 9, 15);
  }
}
BENCHMARK(BM_WalkerEraseAndDraw)->Unit(benchmark::kMicrosecond);

void BM_IconGetAndPut(benchmark::State& state) {
  testing_support::Program p;
  p.start();
  rt::Runtime& r = p.rt();
  std::vector<std::uint8_t> icon(rt::Screen::block_bytes(40, 20));
  r.CIRCLE(0, Coord{20, 10}, 16, 13, 0.5, 0, 0, true);
  for (auto _ : state) {
    r.GET(0, Coord{0, 0}, rt::STEP(39, 19), icon);
    r.PUT(0, Coord{600, 171}, rt::STEP(39, 19), icon);
  }
}
BENCHMARK(BM_IconGetAndPut)->Unit(benchmark::kMicrosecond);

// The ideal for drawing: writing a picture's worth of pixels (1.3 MB, the
// size of the layers) with nothing else to do.
void BM_PixelWriteBandwidth(benchmark::State& state) {
  std::vector<platform::Rgb> pixels(640 * 504);
  platform::Rgb c = 0;
  for (auto _ : state) {
    std::fill(pixels.begin(), pixels.end(), ++c);
    benchmark::DoNotOptimize(pixels.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(pixels.size() * sizeof(platform::Rgb)));
}
BENCHMARK(BM_PixelWriteBandwidth)->Unit(benchmark::kMicrosecond);

}  // namespace

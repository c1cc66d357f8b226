// The game's walker, icon and score procedures at the rate the game calls
// them: the walker's erase, move and redraw with a rebound (every step of a
// run, which has 2 to 8 ms per step), the icon column (every try), the
// Best-20 insertion and the ranking screen.
#include <benchmark/benchmark.h>

#include "game/zided.h"
#include "tests/support/program.h"

namespace {

// The module on a started headless runtime, statements called directly.
struct Module {
  Module() : game(p.rt()) {
    p.start();
    p.rt().SET_MAIN_MODULE(game::kModule);
    p.rt().SET_MODULE(game::kModule);
  }
  testing_support::Program p;
  game::Zided game;
};

void BM_WalkerStepWithRebound(benchmark::State& state) {
  Module m;
  game::Zided& z = m.game;
  z.WX(1) = 300;
  z.WY(1) = 200;
  z.WVX(1) = 12;
  z.WVY(1) = 16;
  z.OX(3) = 330;
  z.OY(3) = 240;
  z.OR(3) = 40;
  game::Single cx, cy;
  z.KAO();
  for (auto _ : state) {
    z.DKAO();
    z.WX(1) = z.WX(1) + z.WVX(1) * 0.06;
    z.WY(1) = z.WY(1) + z.WVY(1) * 0.06;
    if (z.WX(1) > 500 || z.WX(1) < 100 || z.WY(1) > 400 || z.WY(1) < 50) {
      z.WX(1) = 300;
      z.WY(1) = 200;
    }
    z.KAO();
    z.KASOC(1, 3, cx, cy);
    double dx = z.OX(3) - z.WX(1), dy = z.OY(3) - z.WY(1);
    z.NBPCNV(1, 3, dx, dy, std::sqrt(dx * dx + dy * dy));
  }
  benchmark::DoNotOptimize(cx.bits());
}
BENCHMARK(BM_WalkerStepWithRebound)->Unit(benchmark::kMicrosecond);

void BM_IconColumnTenTries(benchmark::State& state) {
  Module m;
  game::Zided& z = m.game;
  z.MSPIC();
  z.TRIES = 10;
  z.TRIES_LEFT = 9;
  z.TRY_LOG(10) = -1;
  for (auto _ : state) z.MSDISP();
}
BENCHMARK(BM_IconColumnTenTries)->Unit(benchmark::kMicrosecond);

void BM_Best20InsertAtTheTop(benchmark::State& state) {
  Module m;
  game::Zided& z = m.game;
  for (int k = 1; k <= 20; ++k) z.BEST_TIME(k) = 100 + k;
  double t = 100;
  for (auto _ : state) {
    z.BST20(t);
    t = t > 1 ? t - 0.001 : 100;
  }
}
BENCHMARK(BM_Best20InsertAtTheTop)->Unit(benchmark::kMicrosecond);

void BM_RankingScreenTwentyPlaces(benchmark::State& state) {
  Module m;
  game::Zided& z = m.game;
  for (int k = 1; k <= 20; ++k) z.BEST_TIME(k) = 100 + k;
  z.PLAY_COUNT = 20;
  for (auto _ : state) z.SRANKS();
}
BENCHMARK(BM_RankingScreenTwentyPlaces)->Unit(benchmark::kMicrosecond);

}  // namespace

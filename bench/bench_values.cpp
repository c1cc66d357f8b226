// The cost of array access, conversions and reading the constant lists.
// Target: an element access is a few nanoseconds (no allocation, a multiply
// and a compare); reading all the start-up tables takes well under 1 ms.
#include <benchmark/benchmark.h>

#include "data/data_files.h"
#include "game/zided.h"
#include "runtime/values.h"
#include "tests/support/program.h"

namespace {

void BM_ArrayAccess1D(benchmark::State& state) {
  rt::Array<rt::Single, 1> a(100);
  for (int j = 0; j <= 100; ++j) a(j) = j;
  for (auto _ : state) {
    double sum = 0;
    for (int j = 1; j <= 100; ++j) sum += a(j);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_ArrayAccess1D);

void BM_ArrayAccess2D(benchmark::State& state) {
  rt::Array<rt::Single, 2> g(100, 4);
  for (auto _ : state) {
    double sum = 0;
    for (int j = 1; j <= 100; ++j) sum += g(j, 1);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_ArrayAccess2D);

void BM_ArrayStoreSingle(benchmark::State& state) {
  rt::Array<rt::Single, 1> a(100);
  double x = 0.25;
  for (auto _ : state) {
    for (int j = 1; j <= 100; ++j) a(j) = a(j) + x;
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_ArrayStoreSingle);

void BM_Clng(benchmark::State& state) {
  double v = 0.3;
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (int k = 0; k < 100; ++k) sum += rt::CLNG(v + k);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_Clng);

// DATA_START and the 354 READs of the start-up tables.
void BM_ReadConstantTables(benchmark::State& state) {
  testing_support::Program p;
  p.start();
  for (auto _ : state) {
    game::Zided z(p.rt());
    p.rt().DATA_START(data::constants_text());
    z.init_arrays();
    z.init_colours_and_notes();
    z.init_scenery_tables();
    benchmark::DoNotOptimize(z.TREE_TAB(60));
  }
}
BENCHMARK(BM_ReadConstantTables)->Unit(benchmark::kMicrosecond);

}  // namespace

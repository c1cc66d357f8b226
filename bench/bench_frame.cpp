// The cost of statements: a loop that pumps only every 11th statement.
#include <benchmark/benchmark.h>

#include "tests/support/program.h"

namespace {

void BM_MillionStatements(benchmark::State& state) {
  platform::HostOptions options;
  options.script = std::vector<platform::ScriptCommand>{};
  for (auto _ : state) {
    testing_support::Program p;
    p.run([](rt::Runtime& r) {
      for (int i = 0; i < 1000000; ++i) r.STMT();
    });
    benchmark::DoNotOptimize(p.host().pumps());
  }
  state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_MillionStatements)->Unit(benchmark::kMillisecond);

}  // namespace

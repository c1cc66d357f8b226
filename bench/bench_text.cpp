// The cost of text output: characters into cells, scrolling, repainting,
// and PRINT USING formatting on its own.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/sjis.h"
#include "runtime/print_using.h"
#include "tests/support/program.h"

namespace {

// A full line of 80 characters. Ideal: the 80 cells of 8x18 pixels written
// once, 46 KB, at the bandwidth of BM_PixelWriteBandwidth.
void BM_PrintLine(benchmark::State& state) {
  testing_support::Program p;
  p.start();
  const std::string line(80, 'W');
  for (auto _ : state) {
    p.rt().LOCATE(0, 0, 5);
    p.rt().PRINT(0, line);
  }
  state.SetItemsProcessed(state.iterations() * 80);               // characters
  state.SetBytesProcessed(state.iterations() * 80 * 8 * 18 * 4);  // cell pixels
}
BENCHMARK(BM_PrintLine);

void BM_PrintJapaneseLine(benchmark::State& state) {
  testing_support::Program p;
  p.start();
  std::string line;
  while (line.size() < 78) line += platform::utf8_to_sjis("山頂への道");
  line.resize(78);
  for (auto _ : state) {
    p.rt().LOCATE(0, 0, 5);
    p.rt().PRINT(0, line);
  }
  state.SetItemsProcessed(state.iterations() * 39);  // characters
}
BENCHMARK(BM_PrintJapaneseLine);

void BM_ScrollFullScreen(benchmark::State& state) {
  testing_support::Program p;
  p.start();
  for (int row = 0; row < 28; ++row) {
    p.rt().LOCATE(0, 0, row);
    p.rt().write_text(std::string(80, static_cast<char>('A' + row % 26)));
  }
  p.rt().LOCATE(0, 0, 27);
  for (auto _ : state) p.rt().write_text("\n");
}
BENCHMARK(BM_ScrollFullScreen);

void BM_RepaintFullScreen(benchmark::State& state) {
  testing_support::Program p;
  p.start();
  for (int row = 0; row < 28; ++row) {
    p.rt().LOCATE(0, 0, row);
    p.rt().write_text(std::string(80, static_cast<char>('A' + row % 26)));
  }
  for (auto _ : state) p.rt().repaint_window();
}
BENCHMARK(BM_RepaintFullScreen);

void BM_FormatScoreLine(benchmark::State& state) {
  const std::vector<rt::UsingItem> items = {"ABCDEFGHIJKL", 3.0, 57.0, 1234.0};
  for (auto _ : state) {
    benchmark::DoNotOptimize(rt::format_using("  @       #       ###    #####", items));
  }
  state.SetItemsProcessed(state.iterations() * 4);  // items
}
BENCHMARK(BM_FormatScoreLine);

void BM_FormatDecimals(benchmark::State& state) {
  const std::vector<rt::UsingItem> items = {3.14159, -2.675, 1e-7, 123456.7};
  for (auto _ : state) benchmark::DoNotOptimize(rt::format_using("##,###.##", items));
  state.SetItemsProcessed(state.iterations() * 4);
}
BENCHMARK(BM_FormatDecimals);

}  // namespace

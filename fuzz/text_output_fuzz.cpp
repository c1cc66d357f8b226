// Shift-JIS text of any bytes through the text layer, mixed with LOCATE,
// PRINT, COLOR and CLS: the cursor stays on the grid, LOCATE refuses exactly
// the places off it, and the picture drawn piece by piece is the one a full
// repaint gives (no half character left behind by wrapping, overwriting or
// scrolling).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "runtime/runtime.h"
#include "tests/support/program.h"

namespace {

void check_cursor(const rt::Runtime& r) {
  if (r.cursor_row() < 0 || r.cursor_row() >= r.text_rows() || r.cursor_column() < 0 ||
      r.cursor_column() > r.text_columns()) {
    std::abort();
  }
}

void locate(rt::Runtime& r, FuzzedDataProvider& in) {
  std::optional<int> column, row;
  if (in.ConsumeBool()) column = in.ConsumeIntegralInRange(-2, r.text_columns() + 1);
  if (in.ConsumeBool()) row = in.ConsumeIntegralInRange(-2, r.text_rows() + 1);
  bool off = (column && (*column < 0 || *column >= r.text_columns())) ||
             (row && (*row < 0 || *row >= r.text_rows()));
  int before_column = r.cursor_column(), before_row = r.cursor_row();
  try {
    r.LOCATE(0, column, row);
  } catch (const rt::RtError& e) {
    if (!off || e.number() != 5) std::abort();
    if (r.cursor_column() != before_column || r.cursor_row() != before_row) std::abort();
    return;
  }
  if (off) std::abort();
  if ((column && r.cursor_column() != *column) || (row && r.cursor_row() != *row)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static testing_support::Program program;
  static const bool started = (program.start(), true);
  (void)started;
  rt::Runtime& r = program.rt();
  r.COLOR(0, 15);
  r.CLS(0, 0);
  if (r.cursor_row() != 0 || r.cursor_column() != 0) std::abort();

  FuzzedDataProvider in(data, size);
  int ops = 0;
  while (in.remaining_bytes() > 0 && ops++ < 64) {
    switch (in.ConsumeIntegralInRange(0, 15)) {
      case 0:
        locate(r, in);
        break;
      case 1:
        r.PRINT(0, in.ConsumeRandomLengthString(100), in.ConsumeIntegralInRange(0, 2));
        break;
      case 2:
        r.COLOR(0, in.ConsumeIntegralInRange(0, 15));
        break;
      case 3:  // rare: a whole-screen fill costs a thousand characters
        r.CLS(0, in.ConsumeIntegralInRange(0, 5));
        break;
      default:
        r.write_text(in.ConsumeRandomLengthString(200));
        break;
    }
    check_cursor(r);
  }

  static std::vector<platform::Rgb> drawn;
  drawn = r.picture().pixels();
  r.repaint_window();
  if (r.picture().pixels() != drawn) std::abort();
  return 0;
}

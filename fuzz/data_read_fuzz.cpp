// DATA records of any text read into variables of every kind: the records
// parse or raise error 2; READ gives a value or error 2, 4, 6 or 13, and an
// error leaves the reader where a next READ still behaves.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "runtime/runtime.h"
#include "tests/support/program.h"

namespace {

int read_one(rt::Runtime& r, int kind) {
  try {
    switch (kind) {
      case 0: {
        rt::Single v;
        r.READ(v);
        if (!std::isfinite(static_cast<double>(v))) std::abort();
        break;
      }
      case 1: {
        std::int32_t v = 0;
        r.READ(v);
        break;
      }
      case 2: {
        std::int16_t v = 0;
        r.READ(v);
        break;
      }
      case 3: {
        std::string v;
        r.READ(v);
        break;
      }
      default: {
        rt::FixedStr<6> v;
        r.READ(v);
        if (v.view().size() != 6) std::abort();
        break;
      }
    }
  } catch (const rt::RtError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static testing_support::Program program;
  rt::Runtime& r = program.rt();
  FuzzedDataProvider in(data, size);
  std::string text = in.ConsumeRandomLengthString(2048);
  try {
    r.DATA_START(text);
  } catch (const rt::RtError& e) {
    if (e.number() != 2) std::abort();
    return 0;
  }
  int reads = 0;
  while (in.remaining_bytes() > 0 && reads++ < 64) {
    int error = read_one(r, in.ConsumeIntegralInRange(0, 4));
    if (error != 0 && error != 2 && error != 4 && error != 6 && error != 13) std::abort();
    // Out of data stays out of data.
    if (error == 4 && read_one(r, 3) != 4) std::abort();
  }
  return 0;
}

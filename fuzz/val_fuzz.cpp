// VAL of any bytes: a number, never NaN; blanks before it change nothing.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/values.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view s(reinterpret_cast<const char*>(data), size);
  double v = rt::VAL(s);
  if (std::isnan(v)) std::abort();
  double padded = rt::VAL(" \t " + std::string(s));
  if (!(padded == v || (std::isnan(padded) && std::isnan(v)))) std::abort();
  return 0;
}

// A Best-20 file with any contents: parsed without fault; a table it accepts
// has at most 20 places in order, and writes back to a text that reads back
// as the same table and the same text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/best20_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string why;
  auto t = app::parse_best20(text, &why);
  if (!t) {
    if (why.empty()) std::abort();
    return 0;
  }
  if (t->places.size() > 20) std::abort();
  for (std::size_t k = 1; k < t->places.size(); ++k) {
    if (t->places[k].time < t->places[k - 1].time) std::abort();
  }
  const std::string written = app::format_best20(*t);
  auto again = app::parse_best20(written, &why);
  if (!again || *again != *t || app::format_best20(*again) != written) std::abort();
  return 0;
}

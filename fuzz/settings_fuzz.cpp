// The settings file with any contents: read without fault, every warning
// names the file and one of its lines, and the options stay in their ranges.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  app::Options o;
  std::ostringstream warn;
  app::apply_settings(text, "f.conf", o, warn);
  if (o.scale < 0 || o.scale > 16 || o.volume < 0 || o.volume > 100) std::abort();
  const long lines = 1 + static_cast<long>(std::count(text.begin(), text.end(), '\n'));
  std::istringstream said(warn.str());
  for (std::string w; std::getline(said, w);) {
    const std::string head = "peakwend: f.conf:";
    if (w.rfind(head, 0) != 0) std::abort();
    long n = std::strtol(w.c_str() + head.size(), nullptr, 10);
    if (n < 1 || n > lines) std::abort();
  }
  return 0;
}

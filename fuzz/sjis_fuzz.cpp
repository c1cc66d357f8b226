// Text conversion of any bytes: Shift-JIS to UTF-8 gives valid UTF-8, a bad
// byte never takes the characters after it down with it, and UTF-8 that is
// valid survives the trip through UTF-32 unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/sjis.h"

namespace {

bool ends_with(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string s(reinterpret_cast<const char*>(data), size);
  if (!platform::valid_utf8(platform::sjis_to_utf8(s))) std::abort();
  if (!ends_with(platform::sjis_to_utf8(s + "\nA"), "\nA")) std::abort();
  if (!ends_with(platform::utf8_to_sjis(s + "\nA"), "\nA")) std::abort();
  std::string round = platform::utf32_to_utf8(platform::utf8_to_utf32(s));
  if (!platform::valid_utf8(round)) std::abort();
  if (platform::valid_utf8(s) && round != s) std::abort();
  return 0;
}

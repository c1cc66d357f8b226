// Text encodings: Shift-JIS (code page 932) for the program, UTF-8 outside.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// A byte that starts a double-byte Shift-JIS character.
constexpr bool is_sjis_lead(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Converts with iconv (CP932). Characters that do not convert become '?'.
std::string utf8_to_sjis(std::string_view utf8);
std::string sjis_to_utf8(std::string_view sjis);

bool valid_utf8(std::string_view s);
// Invalid sequences decode as U+FFFD.
std::u32string utf8_to_utf32(std::string_view s);
std::string utf32_to_utf8(std::u32string_view s);

}  // namespace platform

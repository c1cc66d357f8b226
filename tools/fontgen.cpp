// fontgen PRIMARY.hex FALLBACK.hex OUT.cpp
//
// Builds the glyph table of the text font: every single-byte code and every
// valid double-byte code of code page 932 is mapped to Unicode with iconv and
// looked up in GNU Unifont hex files (the primary file first). Single-byte
// characters take 8x16 glyphs, double-byte ones 16x16 (narrow glyphs are
// centred). Codes without a suitable glyph get none; the font shows a box.
#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/font_data.h"
#include "platform/sjis.h"

namespace {

namespace fd = platform::font_data;

using Bitmap = std::vector<std::uint8_t>;  // 16 bytes (8 wide) or 32 (16 wide)

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Adds the glyphs of a hex file that `font` does not have yet.
bool load_hex(const std::string& path, std::unordered_map<char32_t, Bitmap>& font) {
  std::ifstream in(path);
  if (!in) {
    std::cerr << "fontgen: cannot read " << path << "\n";
    return false;
  }
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::size_t colon = line.find(':');
    std::string bits = colon == std::string::npos ? "" : line.substr(colon + 1);
    if (colon == std::string::npos || colon == 0 || colon > 6 ||
        (bits.size() != 32 && bits.size() != 64)) {
      std::cerr << "fontgen: " << path << ":" << number << ": not a glyph line\n";
      return false;
    }
    char32_t cp = 0;
    Bitmap bitmap(bits.size() / 2);
    bool ok = true;
    for (std::size_t i = 0; i < colon; ++i) {
      int v = hex_value(line[i]);
      ok = ok && v >= 0;
      cp = cp * 16 + static_cast<char32_t>(v < 0 ? 0 : v);
    }
    for (std::size_t i = 0; i < bitmap.size(); ++i) {
      int hi = hex_value(bits[2 * i]), lo = hex_value(bits[2 * i + 1]);
      ok = ok && hi >= 0 && lo >= 0;
      bitmap[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    if (!ok) {
      std::cerr << "fontgen: " << path << ":" << number << ": bad hex digit\n";
      return false;
    }
    font.emplace(cp, std::move(bitmap));
  }
  return true;
}

// The one code point `bytes` stand for in code page 932, or 0 when none.
char32_t to_unicode(iconv_t cd, const std::string& bytes) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(bytes.data());
  std::size_t src_left = bytes.size();
  std::array<unsigned char, 16> out{};
  char* dst = reinterpret_cast<char*>(out.data());
  std::size_t dst_left = out.size();
  std::size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
  if (r == static_cast<std::size_t>(-1) || src_left != 0 || out.size() - dst_left != 4) return 0;
  return static_cast<char32_t>(out[0]) | static_cast<char32_t>(out[1]) << 8 |
         static_cast<char32_t>(out[2]) << 16 | static_cast<char32_t>(out[3]) << 24;
}

// A narrow glyph widened to 16 pixels, centred.
Bitmap centred(const Bitmap& narrow) {
  Bitmap wide(fd::kWideBytes);
  for (int y = 0; y < 16; ++y) {
    unsigned row = static_cast<unsigned>(narrow[static_cast<std::size_t>(y)]) << 4;
    wide[static_cast<std::size_t>(2 * y)] = static_cast<std::uint8_t>(row >> 8);
    wide[static_cast<std::size_t>(2 * y + 1)] = static_cast<std::uint8_t>(row & 0xFF);
  }
  return wide;
}

void write_bytes(std::ostream& out, const std::vector<std::uint8_t>& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out << static_cast<unsigned>(bytes[i]) << ((i + 1) % 32 == 0 ? ",\n" : ",");
  }
}

void write_index(std::ostream& out, const std::vector<std::uint16_t>& index) {
  for (std::size_t i = 0; i < index.size(); ++i) {
    out << index[i] << ((i + 1) % 24 == 0 ? ",\n" : ",");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: fontgen PRIMARY.hex FALLBACK.hex OUT.cpp\n";
    return 2;
  }
  std::unordered_map<char32_t, Bitmap> font;
  if (!load_hex(argv[1], font) || !load_hex(argv[2], font)) return 1;

  iconv_t cd = iconv_open("UTF-32LE", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    std::cerr << "fontgen: iconv has no CP932\n";
    return 1;
  }

  std::vector<std::uint16_t> narrow_index(256, 0);
  std::vector<std::uint8_t> narrow_glyphs;
  for (int b = 0; b < 256; ++b) {
    auto byte = static_cast<unsigned char>(b);
    if (platform::is_sjis_lead(byte)) continue;
    // Japanese fonts show the yen sign at 0x5C.
    char32_t cp = b == 0x5C ? char32_t{0xA5} : to_unicode(cd, std::string(1, static_cast<char>(b)));
    if (cp == 0 && b != 0) continue;
    auto it = font.find(cp);
    if (it == font.end() || it->second.size() != fd::kNarrowBytes) continue;
    narrow_glyphs.insert(narrow_glyphs.end(), it->second.begin(), it->second.end());
    narrow_index[static_cast<std::size_t>(b)] =
        static_cast<std::uint16_t>(narrow_glyphs.size() / fd::kNarrowBytes);
  }

  std::vector<std::uint16_t> wide_index(fd::kWideCodes, 0);
  std::vector<std::uint8_t> wide_glyphs;
  std::unordered_map<char32_t, std::uint16_t> seen;  // code points mapped twice share a glyph
  for (int lead = 0; lead < 256; ++lead) {
    for (int trail = 0; trail < 256; ++trail) {
      int at = fd::wide_index(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
      if (at < 0) continue;
      std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      char32_t cp = to_unicode(cd, bytes);
      if (cp == 0) continue;
      if (auto s = seen.find(cp); s != seen.end()) {
        wide_index[static_cast<std::size_t>(at)] = s->second;
        continue;
      }
      auto it = font.find(cp);
      if (it == font.end()) continue;
      Bitmap glyph = it->second.size() == fd::kWideBytes ? it->second : centred(it->second);
      wide_glyphs.insert(wide_glyphs.end(), glyph.begin(), glyph.end());
      auto n = static_cast<std::uint16_t>(wide_glyphs.size() / fd::kWideBytes);
      wide_index[static_cast<std::size_t>(at)] = n;
      seen.emplace(cp, n);
    }
  }
  iconv_close(cd);

  std::ostringstream out;
  out << "// Generated by tools/fontgen.cpp from GNU Unifont. Do not edit.\n"
      << "#include \"platform/font_data.h\"\n\n"
      << "namespace platform::font_data {\n\n"
      << "const std::uint16_t kNarrowIndex[256] = {\n";
  write_index(out, narrow_index);
  out << "};\nconst std::uint8_t kNarrowGlyphs[] = {\n";
  write_bytes(out, narrow_glyphs);
  out << "};\nconst std::size_t kNarrowGlyphCount = " << narrow_glyphs.size() / fd::kNarrowBytes
      << ";\n\nconst std::uint16_t kWideIndex[kWideCodes] = {\n";
  write_index(out, wide_index);
  out << "};\nconst std::uint8_t kWideGlyphs[] = {\n";
  write_bytes(out, wide_glyphs);
  out << "};\nconst std::size_t kWideGlyphCount = " << wide_glyphs.size() / fd::kWideBytes
      << ";\n\n}  // namespace platform::font_data\n";

  std::ofstream file(argv[3], std::ios::binary);
  file << out.str();
  if (!file) {
    std::cerr << "fontgen: cannot write " << argv[3] << "\n";
    return 1;
  }
  return 0;
}

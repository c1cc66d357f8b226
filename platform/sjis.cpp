#include "platform/sjis.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace platform {

namespace {

// How many bytes of UTF-8 at `s` to skip when they do not convert: a whole
// character (one CP932 lacks), else the start of one as far as it goes, so
// that a bad byte never takes the character after it along.
std::size_t utf8_skip(const char* s, std::size_t left) {
  auto b = static_cast<unsigned char>(s[0]);
  std::size_t want = 1;
  if (b >= 0xC2 && b <= 0xDF) {
    want = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    want = 3;
  } else if (b >= 0xF0 && b <= 0xF4) {
    want = 4;
  }
  std::size_t n = 1;
  while (n < want && n < left && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) ++n;
  return n;
}

// Converts `in` from one encoding to another, replacing what does not
// convert by `bad` and skipping one input unit (a character for UTF-8).
std::string convert(const char* to, const char* from, std::string_view in, std::string_view bad,
                    std::size_t skip) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  out.reserve(in.size() * 2);
  char* src = const_cast<char*>(in.data());
  std::size_t src_left = in.size();
  char buf[256];
  while (src_left > 0) {
    char* dst = buf;
    std::size_t dst_left = sizeof buf;
    std::size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buf, static_cast<std::size_t>(dst - buf));
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: replace and skip.
      out.append(bad);
      std::size_t n = std::min(skip, src_left);
      if (errno == EILSEQ && skip > 1) n = utf8_skip(src, src_left);
      src += n;
      src_left -= n;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string utf8_to_sjis(std::string_view utf8) {
  return convert("CP932", "UTF-8", utf8, "?", 4);
}

std::string sjis_to_utf8(std::string_view sjis) {
  return convert("UTF-8", "CP932", sjis, "?", 1);
}

namespace {

// Decodes one character at s[i]; returns its length, or 0 when invalid.
std::size_t decode_one(std::string_view s, std::size_t i, char32_t* out) {
  unsigned char b = static_cast<unsigned char>(s[i]);
  std::size_t n;
  char32_t c;
  if (b < 0x80) {
    *out = b;
    return 1;
  } else if ((b & 0xE0) == 0xC0) {
    n = 1, c = b & 0x1Fu;
  } else if ((b & 0xF0) == 0xE0) {
    n = 2, c = b & 0x0Fu;
  } else if ((b & 0xF8) == 0xF0) {
    n = 3, c = b & 0x07u;
  } else {
    return 0;
  }
  if (i + n >= s.size()) return 0;
  for (std::size_t k = 1; k <= n; ++k) {
    unsigned char t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) return 0;
    c = (c << 6) | (t & 0x3Fu);
  }
  constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (c < kMin[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *out = c;
  return n + 1;
}

}  // namespace

std::u32string utf8_to_utf32(std::string_view s) {
  std::u32string out;
  for (std::size_t i = 0; i < s.size();) {
    char32_t c = 0;
    std::size_t n = decode_one(s, i, &c);
    out.push_back(n ? c : 0xFFFD);
    i += n ? n : 1;
  }
  return out;
}

std::string utf32_to_utf8(std::u32string_view s) {
  std::string out;
  for (char32_t c : s) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

bool valid_utf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    char32_t c = 0;
    std::size_t n = decode_one(s, i, &c);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

}  // namespace platform

#include "runtime/values.h"

#include <locale.h>

#include <cstdlib>

#include "runtime/runtime.h"

namespace rt {

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view trim_blanks(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

// A colon may only close a record: nothing but blanks after it.
bool closes_record(std::string_view text, std::size_t colon) {
  return trim_blanks(text.substr(colon + 1)).empty();
}

// A number as BASIC writes it: [+|-] digits [. digits] [E|D [+|-] digits],
// with at least one digit in the mantissa. `used` is 0 when s starts with
// none; an exponent letter without digits is not part of the number.
struct Scanned {
  std::size_t used = 0;
  double value = 0.0;
};

Scanned scan_number(std::string_view s) {
  std::string norm;  // the number rewritten for strtod
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) norm += s[i++];
  std::size_t digits = 0;
  while (i < s.size() && is_digit(s[i])) {
    norm += s[i++];
    ++digits;
  }
  if (i < s.size() && s[i] == '.') {
    norm += s[i++];
    while (i < s.size() && is_digit(s[i])) {
      norm += s[i++];
      ++digits;
    }
  }
  if (digits == 0) return {};
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exp = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp += s[j++];
    std::size_t exp_digits = 0;
    while (j < s.size() && is_digit(s[j])) {
      exp += s[j++];
      ++exp_digits;
    }
    if (exp_digits > 0) {
      norm += exp;
      i = j;
    }
  }
  // The C locale, whatever the process's locale says about decimal points.
  static locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  double v = strtod_l(norm.c_str(), nullptr, c_locale);
  // Overflow gives an infinity, which no variable can hold (error 6 later).
  return {i, v};
}

}  // namespace

// ---------------------------------------------------------------------------

double POW(double x, double y) {
  if (y == 0.0) return 1.0;
  if (x == 0.0) return 0.0;
  if (x > 0.0) return std::pow(x, y);
  if (std::trunc(y) != y) return std::numeric_limits<double>::infinity();
  double r = std::pow(-x, y);
  return std::fmod(y, 2.0) != 0.0 ? -r : r;
}

std::int32_t IDIV(double a, double b) {
  std::int64_t d = CLNG(b);
  std::int64_t n = CLNG(a);
  if (d == 0) throw RtError(11, location(Op::IntDiv));
  std::int64_t q = n / d;  // only INT32_MIN / -1 leaves the range
  if (q > std::numeric_limits<std::int32_t>::max()) throw RtError(6, location(Op::IntDiv, 1));
  return static_cast<std::int32_t>(q);
}

std::int32_t MOD(double a, double b) {
  std::int64_t d = CLNG(b);
  std::int64_t n = CLNG(a);
  if (d == 0) throw RtError(11, location(Op::Mod));
  return static_cast<std::int32_t>(n % d);
}

int str_compare(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(a[i]);
    auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string RIGHT(std::string_view s, double n) {
  std::int32_t k = CLNG(n);
  if (k < 0) throw RtError(5, location(Op::Right));
  auto m = static_cast<std::size_t>(k);
  return std::string(m >= s.size() ? s : s.substr(s.size() - m));
}

double VAL(std::string_view s) {
  while (!s.empty() && (is_blank(s.front()) || s.front() == '\n')) s.remove_prefix(1);
  return scan_number(s).value;
}

// ---------------------------------------------------------------------------
// DATA

std::vector<DataRecord> parse_data_records(std::string_view text) {
  std::vector<DataRecord> records;
  while (!text.empty()) {
    std::size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    while (!line.empty() && is_blank(line.front())) line.remove_prefix(1);
    if (line.empty() || line.front() == '\'') continue;

    std::uint32_t number = 0;
    std::size_t i = 0;
    while (i < line.size() && is_digit(line[i]) && number <= 65535) {
      number = number * 10 + static_cast<std::uint32_t>(line[i++] - '0');
    }
    if (i == 0 || number == 0 || number > 65535) throw RtError(2, location(Op::Read, 0x10));
    while (i < line.size() && is_blank(line[i])) ++i;
    std::string_view rest = line.substr(i);
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    bool keyword = rest.size() >= 4 && upper(rest[0]) == 'D' && upper(rest[1]) == 'A' &&
                   upper(rest[2]) == 'T' && upper(rest[3]) == 'A' &&
                   (rest.size() == 4 || is_blank(rest[4]));
    if (!keyword) throw RtError(2, location(Op::Read, 0x11));
    records.push_back({static_cast<std::uint16_t>(number), std::string(rest.substr(4))});
  }
  return records;
}

void Values::DATA_START(std::string_view text) {
  data_records_ = parse_data_records(text);
  rt().context().data = DataPos{0, 0};
}

std::string Values::next_item(bool* quoted) {
  DataPos& pos = rt().context().data;
  if (!pos.valid() || pos.record >= data_records_.size()) throw RtError(4, location(Op::Read, 1));
  const std::string& text = data_records_[pos.record].text;
  const std::size_t n = text.size();
  std::size_t i = std::min(pos.offset, n);
  while (i < n && is_blank(text[i])) ++i;

  std::string item;
  *quoted = i < n && text[i] == '"';
  if (*quoted) {
    std::size_t close = text.find('"', i + 1);
    if (close == std::string::npos) close = n;  // unclosed: the rest of the record
    item = text.substr(i + 1, close - i - 1);
    i = std::min(close + 1, n);
    while (i < n && is_blank(text[i])) ++i;
    if (i < n && text[i] == ':' && closes_record(text, i)) i = n;
    if (i < n && text[i] != ',') throw RtError(2, location(Op::Read, 2));
  } else {
    std::size_t end = text.find(',', i);
    if (end == std::string::npos) end = n;
    std::size_t colon = text.find(':', i);
    if (colon < end) {
      if (!closes_record(text, colon)) throw RtError(2, location(Op::Read, 3));
      end = n;
      item = std::string(trim_blanks(std::string_view(text).substr(i, colon - i)));
    } else {
      item = std::string(trim_blanks(std::string_view(text).substr(i, end - i)));
    }
    i = end;
  }
  if (i < n) {
    pos.offset = i + 1;  // past the comma
  } else {
    pos.record += 1;
    pos.offset = 0;
  }
  return item;
}

double Values::read_number() {
  bool quoted = false;
  std::string item = next_item(&quoted);
  if (item.empty() && !quoted) return 0.0;
  Scanned s = scan_number(item);
  if (quoted || s.used == 0 || s.used != item.size()) throw RtError(13, location(Op::Read, 4));
  return s.value;
}

void Values::READ(Single& v) {
  double d = read_number();
  float f = static_cast<float>(d);
  if (!std::isfinite(f)) throw RtError(6, location(Op::Read, 5));
  v = f;
}

void Values::READ(std::int32_t& v) {
  double d = read_number();
  if (!std::isfinite(d)) throw RtError(6, location(Op::Read, 5));
  v = CLNG(d);
}

void Values::READ(std::int16_t& v) {
  double d = read_number();
  if (!std::isfinite(d)) throw RtError(6, location(Op::Read, 5));
  v = CINT(d);
}

void Values::READ(std::string& v) {
  bool quoted = false;
  v = next_item(&quoted);
}

}  // namespace rt

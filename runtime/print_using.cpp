#include "runtime/print_using.h"

#include <cmath>
#include <cstdio>

#include "platform/font.h"
#include "platform/sjis.h"

namespace rt {

namespace {

constexpr char kCurrency = '\\';  // byte 0x5C, shown as the yen sign

// Checks inside PRINT USING, logged with the error.
enum Check : std::uint8_t { kNoField = 1, kWrongField = 2, kBadNumber = 3 };

struct NumberField {
  int positions = 0;  // before the decimal point: '#', '*', '\', ',' and a leading '+'
  int decimals = 0;
  bool point = false;
  bool plus_lead = false;
  bool star = false;
  bool currency = false;
  bool comma = false;
  int exponent = 0;   // 0, or 2 / 3 exponent digits for "^^^^" / "^^^^^"
  char trailing = 0;  // '+', '-' or 0
};

struct Field {
  enum class Kind { None, Number, First, Fixed, Whole };
  Kind kind = Kind::None;
  std::size_t length = 0;
  int width = 0;  // Fixed: the cells it prints
  NumberField number;
};

bool at(std::string_view f, std::size_t i, char c) {
  return i < f.size() && f[i] == c;
}

bool integer_char(std::string_view f, std::size_t i) {
  return at(f, i, '#') || at(f, i, '*') || at(f, i, kCurrency) || at(f, i, ',') || at(f, i, '.');
}

// Does a numeric field body begin at i? '#' always; '.' before '#'; '*' and
// the currency sign only when more of a field follows, else they are text.
bool number_starts(std::string_view f, std::size_t i) {
  if (at(f, i, '#')) return true;
  if (at(f, i, '.')) return at(f, i + 1, '#');
  if (at(f, i, '*') || at(f, i, kCurrency)) {
    return at(f, i + 1, '#') || at(f, i + 1, '*') || at(f, i + 1, kCurrency) ||
           (at(f, i + 1, '.') && at(f, i + 2, '#'));
  }
  return false;
}

Field number_field(std::string_view f, std::size_t start) {
  Field field;
  field.kind = Field::Kind::Number;
  NumberField& n = field.number;
  std::size_t j = start;
  if (at(f, j, '+')) {
    n.plus_lead = true;
    n.positions = 1;
    ++j;
  }
  for (; j < f.size(); ++j) {
    char c = f[j];
    if (c == '#') {
      (n.point ? n.decimals : n.positions) += 1;
    } else if (n.point) {
      break;
    } else if (c == '*' || c == kCurrency) {
      (c == '*' ? n.star : n.currency) = true;
      ++n.positions;
    } else if (c == ',' && integer_char(f, j + 1)) {
      n.comma = true;
      ++n.positions;
    } else if (c == '.') {
      n.point = true;
    } else {
      break;
    }
  }
  if (f.substr(j, 4) == "^^^^") {
    j += 4;
    n.exponent = 2;
    if (at(f, j, '^')) {
      ++j;
      n.exponent = 3;
    }
  }
  if (!n.plus_lead && (at(f, j, '+') || at(f, j, '-'))) n.trailing = f[j++];
  field.length = j - start;
  return field;
}

// The field starting at i, or Kind::None when f[i] is literal text.
Field field_at(std::string_view f, std::size_t i) {
  Field field;
  char c = f[i];
  if (c == '!' || c == '@') {
    field.kind = c == '!' ? Field::Kind::First : Field::Kind::Whole;
    field.length = 1;
  } else if (c == '&') {
    std::size_t j = i + 1;
    while (at(f, j, ' ')) ++j;
    if (at(f, j, '&')) {
      field.kind = Field::Kind::Fixed;
      field.length = j - i + 1;
      field.width = static_cast<int>(field.length);
    }
  } else if (number_starts(f, i) || (c == '+' && number_starts(f, i + 1))) {
    field = number_field(f, i);
  }
  return field;
}

// Bytes of the character at i: 2 for a double-byte character, else 1.
std::size_t char_length(std::string_view s, std::size_t i) {
  if (i + 1 < s.size() && platform::is_sjis_lead(static_cast<unsigned char>(s[i])) &&
      platform::is_sjis_trail(static_cast<unsigned char>(s[i + 1]))) {
    return 2;
  }
  return 1;
}

// A decimal magnitude: its significant digits and the power of ten of the
// first one.
struct Decimal {
  std::string digits;
  int exp10 = 0;  // exponent of the first digit: value = d.ddd x 10^exp10
};

// Adds one to a digit string; may grow it by a digit.
void increment(std::string& digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
}

// Keeps the first `keep` digits of `digits`, rounding half away from zero.
// Returns true when the rounding carried into a new leading digit (the
// digits then read 100...0 and stand for ten times their value).
bool round_digits(std::string& digits, std::size_t keep) {
  if (digits.size() <= keep) {
    digits.append(keep - digits.size(), '0');
    return false;
  }
  bool up = digits[keep] >= '5';
  digits.resize(keep);
  if (!up) return false;
  std::size_t before = digits.size();
  increment(digits);
  if (digits.size() > before) {
    digits.pop_back();
    return true;
  }
  return false;
}

// The exact decimal value of |v|, without trailing zeros; the fields round
// it once, to their own digits.
Decimal exact_digits(float v) {
  Decimal d;
  if (v == 0.0f) {
    d.digits = "0";
    return d;
  }
  // A float's exact decimal expansion has at most 112 significant digits.
  char buf[160];
  std::snprintf(buf, sizeof buf, "%.111e", std::fabs(static_cast<double>(v)));
  std::string s(buf);
  std::size_t e = s.find('e');
  d.digits = s.substr(0, 1) + s.substr(2, e - 2);
  d.digits.erase(d.digits.find_last_not_of('0') + 1);
  d.exp10 = std::stoi(s.substr(e + 1));
  return d;
}

std::string group_by_three(const std::string& digits) {
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string fixed_form(const NumberField& n, float v) {
  Decimal d = exact_digits(v);
  // The value times 10^decimals, rounded to a whole number.
  std::string whole;
  int shift = d.exp10 - (static_cast<int>(d.digits.size()) - 1) + n.decimals;
  if (v == 0.0f) {
    whole = "0";
  } else if (shift >= 0) {
    whole = d.digits + std::string(static_cast<std::size_t>(shift), '0');
  } else {
    auto drop = static_cast<std::size_t>(-shift);
    whole =
        std::string(drop + 1 > d.digits.size() ? drop + 1 - d.digits.size() : 0, '0') + d.digits;
    if (round_digits(whole, whole.size() - drop)) whole += '0';
  }
  std::size_t first = whole.find_first_not_of('0');
  whole = first == std::string::npos ? "0" : whole.substr(first);
  bool negative = v < 0 && whole != "0";

  auto decimals = static_cast<std::size_t>(n.decimals);
  if (whole.size() <= decimals) whole.insert(0, decimals + 1 - whole.size(), '0');
  std::string integer = whole.substr(0, whole.size() - decimals);
  std::string fraction = whole.substr(whole.size() - decimals);
  if (n.comma) integer = group_by_three(integer);

  std::string sign;
  if (n.plus_lead)
    sign = negative ? "-" : "+";
  else if (!n.trailing && negative)
    sign = "-";
  std::string currency = n.currency ? std::string(1, kCurrency) : "";
  auto positions = static_cast<std::size_t>(n.positions);
  // A lone zero before the point gives way when there is no room for it.
  if (integer == "0" && n.point && n.decimals > 0 &&
      sign.size() + currency.size() + 1 > positions) {
    integer.clear();
  }
  std::string body = sign + currency + integer;

  std::string out;
  if (body.size() > positions)
    out = "%";
  else
    out.assign(positions - body.size(), n.star ? '*' : ' ');
  out += body;
  if (n.point) out += "." + fraction;
  if (n.trailing == '+') out += negative ? '-' : '+';
  if (n.trailing == '-') out += negative ? '-' : ' ';
  return out;
}

std::string exponent_form(const NumberField& n, float v) {
  bool negative = v < 0;
  int reserved = (n.plus_lead || !n.trailing ? 1 : 0) + (n.currency ? 1 : 0);
  int integer_digits = std::max(0, n.positions - reserved);
  int significant = integer_digits + n.decimals;
  if (significant == 0) significant = integer_digits = 1;  // no room: shown with '%'

  Decimal d = exact_digits(v);
  std::string digits = d.digits;
  int exp10 = d.exp10;
  if (round_digits(digits, static_cast<std::size_t>(significant))) ++exp10;
  if (v == 0.0f) {
    negative = false;
    exp10 = integer_digits - 1;  // shows E+00
  }
  int shown = exp10 - (integer_digits - 1);

  std::string sign;
  if (n.plus_lead)
    sign = negative ? "-" : "+";
  else if (!n.trailing)
    sign = negative ? "-" : " ";
  std::string body = sign + (n.currency ? std::string(1, kCurrency) : "");
  body += digits.substr(0, static_cast<std::size_t>(integer_digits));
  if (n.point) body += "." + digits.substr(static_cast<std::size_t>(integer_digits));

  char exponent[16];
  std::snprintf(exponent, sizeof exponent, "E%c%0*d", shown < 0 ? '-' : '+', n.exponent,
                std::abs(shown));
  body += exponent;
  if (n.trailing == '+') body += negative ? '-' : '+';
  if (n.trailing == '-') body += negative ? '-' : ' ';

  std::size_t width = static_cast<std::size_t>(n.positions + n.decimals + (n.point ? 1 : 0) + 2 +
                                               n.exponent + (n.trailing ? 1 : 0));
  if (body.size() > width) return "%" + body;
  return std::string(width - body.size(), n.star ? '*' : ' ') + body;
}

std::string format_string(const Field& field, const std::string& s) {
  switch (field.kind) {
    case Field::Kind::First:
      return s.empty() ? " " : s.substr(0, char_length(s, 0));
    case Field::Kind::Fixed: {
      std::string out;
      auto width = static_cast<std::size_t>(field.width);
      for (std::size_t i = 0; i < s.size();) {
        std::size_t n = char_length(s, i);
        if (out.size() + n > width) break;  // a character that would be cut is dropped
        out.append(s, i, n);
        i += n;
      }
      out.append(width - out.size(), ' ');
      return out;
    }
    default:
      return s;
  }
}

}  // namespace

std::string UsingFormatter::next(const UsingItem& item) {
  std::string out;
  bool from_start = pos_ == 0;
  Field field;
  for (;;) {
    if (pos_ >= format_.size()) {
      if (from_start) throw RtError(5, location(Op::PrintUsing, kNoField));
      pos_ = 0;
      from_start = true;
      continue;
    }
    field = field_at(format_, pos_);
    if (field.kind != Field::Kind::None) break;
    std::size_t n = char_length(format_, pos_);
    out.append(format_, pos_, n);
    pos_ += n;
  }
  bool numeric = field.kind == Field::Kind::Number;
  if (numeric == item.is_string()) throw RtError(13, location(Op::PrintUsing, kWrongField));
  pos_ += field.length;
  if (!numeric) return out + format_string(field, item.text());
  float v = item.number();
  if (!std::isfinite(v)) throw RtError(6, location(Op::PrintUsing, kBadNumber));
  return out +
         (field.number.exponent ? exponent_form(field.number, v) : fixed_form(field.number, v));
}

std::string UsingFormatter::finish() {
  std::string out;
  while (pos_ < format_.size() && field_at(format_, pos_).kind == Field::Kind::None) {
    std::size_t n = char_length(format_, pos_);
    out.append(format_, pos_, n);
    pos_ += n;
  }
  pos_ = 0;
  return out;
}

std::string format_using(std::string_view format, std::span<const UsingItem> items) {
  UsingFormatter formatter(format);
  std::string out;
  for (const UsingItem& item : items) out += formatter.next(item);
  return out + formatter.finish();
}

}  // namespace rt

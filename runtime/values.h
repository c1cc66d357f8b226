// Numbers, strings, arrays and DATA.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/sjis.h"
#include "runtime/errors.h"

namespace rt {

class Runtime;

// SINGLE rounding: a double rounded once to float; error 6 when it does not fit.
inline float to_single(double v) {
  float f = static_cast<float>(v);
  if (!std::isfinite(f)) throw RtError(6, location(Op::Csng));
  return f;
}

// A numeric literal as the compiled program holds it: without a type suffix
// and with at most seven significant digits it is a SINGLE constant, so
// 3.14159_sng is the float nearest 3.14159, taken into double expressions.
constexpr double operator""_sng(long double v) {
  return static_cast<double>(static_cast<float>(v));
}

// A SINGLE variable: stored as a float, read as a double, so expressions
// evaluate in double precision and round once when stored.
class Single {
 public:
  Single() = default;
  Single(double v) : v_(to_single(v)) {}  // NOLINT: assignment from expressions
  Single& operator=(double v) {
    v_ = to_single(v);
    return *this;
  }
  operator double() const { return v_; }  // NOLINT
  float bits() const { return v_; }

  Single& operator+=(double d) { return *this = static_cast<double>(v_) + d; }
  Single& operator-=(double d) { return *this = static_cast<double>(v_) - d; }
  Single& operator*=(double d) { return *this = static_cast<double>(v_) * d; }
  Single& operator/=(double d) { return *this = static_cast<double>(v_) / d; }

 private:
  float v_ = 0.0f;
};
static_assert(sizeof(Single) == 4 && std::is_standard_layout_v<Single>);

// ---------------------------------------------------------------------------
// Conversions and arithmetic

namespace detail {
// Rounds half away from zero, exactly (no "+ 0.5" error near 0.5), and
// checks the result against [lo, hi]; error 6 outside (NaN included).
inline std::int64_t round_checked(double v, std::int64_t lo, std::int64_t hi, Op op) {
  if (!(v > static_cast<double>(lo) - 1.0 && v < static_cast<double>(hi) + 1.0)) {
    throw RtError(6, location(op));
  }
  auto t = static_cast<std::int64_t>(v);  // toward zero
  double frac = v - static_cast<double>(t);
  if (frac >= 0.5) {
    ++t;
  } else if (frac <= -0.5) {
    --t;
  }
  if (t < lo || t > hi) throw RtError(6, location(op));
  return t;
}
}  // namespace detail

// INTEGER: half away from zero, error 6 outside -32768..32767.
inline std::int16_t CINT(double v) {
  return static_cast<std::int16_t>(detail::round_checked(v, -32768, 32767, Op::Cint));
}

// LONG: half away from zero, error 6 outside the 32-bit range.
inline std::int32_t CLNG(double v) {
  return static_cast<std::int32_t>(
      detail::round_checked(v, std::numeric_limits<std::int32_t>::min(),
                            std::numeric_limits<std::int32_t>::max(), Op::Clng));
}

// BASIC truth: -1 for true, 0 for false.
constexpr std::int16_t truth(bool b) {
  return b ? -1 : 0;
}

// x ^ y. 0^0 = 1, 0^y = 0; a negative base takes the sign of an integer
// exponent's parity; a negative base with a fractional exponent gives a value
// no SINGLE or integer can hold, so storing it raises error 6.
double POW(double x, double y);

// Integer division and MOD: both operands rounded to LONG; error 11 when the
// divisor is 0. MOD takes the sign of the dividend.
std::int32_t IDIV(double a, double b);
std::int32_t MOD(double a, double b);

// ---------------------------------------------------------------------------
// Strings: Shift-JIS bytes in std::string.

// Byte-wise unsigned compare; on a common prefix the shorter string is less.
// Returns -1, 0 or 1 (std::string's own operators agree with it).
int str_compare(std::string_view a, std::string_view b);

// The last n bytes (the whole string when shorter); error 5 for n < 0.
std::string RIGHT(std::string_view s, double n);

// The number at the start of s after blanks; 0 when there is none.
double VAL(std::string_view s);

// How many bytes of `s` fit in `n` without leaving the first byte of a
// double-byte character cut off from its second.
inline std::size_t sjis_fit(std::string_view s, std::size_t n) {
  if (s.size() <= n) return s.size();
  std::size_t i = 0;
  while (i < n) i += platform::is_sjis_lead(static_cast<unsigned char>(s[i])) ? 2 : 1;
  return i > n ? n - 1 : n;
}

// A fixed-length string: always N bytes, text left-aligned and padded with
// spaces; longer text is cut (a half double-byte character becomes a space).
template <std::size_t N>
class FixedStr {
 public:
  static_assert(N > 0);
  FixedStr() { buf_.fill(' '); }
  FixedStr(std::string_view s) { assign(s); }    // NOLINT: assignment from strings
  FixedStr(const char* s) { assign(s); }         // NOLINT
  FixedStr(const std::string& s) { assign(s); }  // NOLINT
  template <std::size_t M>
  FixedStr(const FixedStr<M>& s) {  // NOLINT
    assign(s.view());
  }

  FixedStr& operator=(std::string_view s) { return assign(s); }
  FixedStr& operator=(const char* s) { return assign(s); }
  FixedStr& operator=(const std::string& s) { return assign(s); }
  template <std::size_t M>
  FixedStr& operator=(const FixedStr<M>& s) {
    return assign(s.view());
  }

  FixedStr& assign(std::string_view s) {
    std::size_t n = sjis_fit(s, N);
    std::copy_n(s.data(), n, buf_.data());
    std::fill(buf_.begin() + static_cast<std::ptrdiff_t>(n), buf_.end(), ' ');
    return *this;
  }

  static constexpr std::size_t size() { return N; }
  std::string_view view() const { return {buf_.data(), N}; }
  // The buffer itself, for statements that fill it in place (INPUT).
  std::span<char> span() { return {buf_.data(), N}; }
  operator std::string_view() const { return view(); }  // NOLINT
  std::string str() const { return std::string(view()); }

  friend bool operator==(const FixedStr& a, std::string_view b) { return a.view() == b; }
  // Without it, a == b between two of them is ambiguous in C++20.
  template <std::size_t M>
  friend bool operator==(const FixedStr& a, const FixedStr<M>& b) {
    return a.view() == b.view();
  }

 private:
  std::array<char, N> buf_;
};

// ---------------------------------------------------------------------------
// Arrays

// The most memory one array may take; a 32-bit program could never have more.
inline constexpr std::uint64_t kMaxArrayBytes = 0x7FFFFFFFu;

// A BASIC array of one or two dimensions, lower bound 0, the first subscript
// varying fastest. Used before DIM it takes upper bound 10 in every dimension.
// Subscripts are rounded with CLNG; outside the bounds is error 9.
template <class T, int Dims>
class Array {
  static_assert(Dims == 1 || Dims == 2);

 public:
  static constexpr std::int32_t kAutoBound = 10;

  Array() = default;
  explicit Array(double ub) requires(Dims == 1) { DIM(ub); }
  Array(double ub1, double ub2) requires(Dims == 2) { DIM(ub1, ub2); }

  // DIM: error 10 when dimensioned, 5 for a bound outside 0..2147483646,
  // 7 when the memory cannot be had.
  void DIM(double ub) requires(Dims == 1) { allocate({CLNG(ub)}); }
  void DIM(double ub1, double ub2) requires(Dims == 2) { allocate({CLNG(ub1), CLNG(ub2)}); }

  T& operator()(double i) requires(Dims == 1) {
    auto a = static_cast<std::uint32_t>(CLNG(i));
    if (a >= count_[0]) [[unlikely]]
      miss({a});
    return data_[a];
  }
  T& operator()(double i, double j) requires(Dims == 2) {
    auto a = static_cast<std::uint32_t>(CLNG(i));
    auto b = static_cast<std::uint32_t>(CLNG(j));
    if (a >= count_[0] || b >= count_[1]) [[unlikely]]
      miss({a, b});
    return data_[static_cast<std::size_t>(b) * count_[0] + a];
  }

  bool dimensioned() const { return !data_.empty(); }
  // Elements in dimension d (0-based); 0 before the array is dimensioned.
  std::uint32_t count(int d = 0) const { return count_[static_cast<std::size_t>(d)]; }
  std::size_t size() const { return data_.size(); }

  // A SINGLE array's storage as bytes (GET and PUT keep pictures there).
  std::span<std::uint8_t> bytes() requires std::is_same_v<T, Single> {
    if (!dimensioned()) auto_dim();
    return {reinterpret_cast<std::uint8_t*>(data_.data()), data_.size() * sizeof(Single)};
  }

 private:
  void allocate(const std::array<std::int32_t, Dims>& ub) {
    if (dimensioned()) throw RtError(10, location(Op::Dim, 1));
    std::uint64_t n = 1;
    std::array<std::uint32_t, Dims> counts{};
    for (std::size_t d = 0; d < Dims; ++d) {
      if (ub[d] < 0 || ub[d] > 2147483646) throw RtError(5, location(Op::Dim, 2));
      counts[d] = static_cast<std::uint32_t>(ub[d]) + 1;
      n *= counts[d];  // at most 2^62: no overflow
      if (n > kMaxArrayBytes / sizeof(T)) throw RtError(7, location(Op::Dim, 3));
    }
    try {
      data_.assign(static_cast<std::size_t>(n), T{});
    } catch (const std::bad_alloc&) {
      throw RtError(7, location(Op::Dim, 4));
    }
    count_ = counts;
  }

  void auto_dim() {
    std::array<std::int32_t, Dims> ub;
    ub.fill(kAutoBound);
    allocate(ub);
  }

  // A subscript failed the bounds check: dimension on first use, else error 9.
  [[gnu::noinline]] void miss(const std::array<std::uint32_t, Dims>& sub) {
    if (!dimensioned()) auto_dim();
    for (std::size_t d = 0; d < Dims; ++d) {
      if (sub[d] >= count_[d]) throw RtError(9, location(Op::Element, 1));
    }
  }

  std::vector<T> data_;
  std::array<std::uint32_t, Dims> count_{};
};

// ---------------------------------------------------------------------------
// DATA

// One DATA record: its source line and its text after the DATA keyword.
struct DataRecord {
  std::uint16_t line = 0;
  std::string text;
};

// Parses DATA records, one a line as "LINE DATA items"; blank lines and lines
// starting with ' are skipped. A malformed line is error 2.
std::vector<DataRecord> parse_data_records(std::string_view text);

class Values {
 public:
  // Takes the module's DATA records and sets the current unit's DATA
  // position to the first of them.
  void DATA_START(std::string_view text);

  // Reads the next DATA item into a variable: error 4 when there is none,
  // 2 for a malformed item, 13 for a non-number read into a number, 6 when
  // the number does not fit.
  void READ(Single& v);
  void READ(std::int32_t& v);
  void READ(std::int16_t& v);
  void READ(std::string& v);
  template <std::size_t N>
  void READ(FixedStr<N>& v) {
    std::string s;
    READ(s);
    v = s;
  }
  template <class A, class B, class... Rest>
  void READ(A& a, B& b, Rest&... rest) {
    READ(a);
    READ(b, rest...);
  }

 protected:
  void start_values() {}
  Runtime& rt();

 private:
  // The next item's text; `quoted` tells whether it stood in quotes.
  std::string next_item(bool* quoted);
  // The next item as a number (error 13 when it is not one).
  double read_number();

  std::vector<DataRecord> data_records_;
};

}  // namespace rt

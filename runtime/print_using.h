// PRINT USING: formatting of numbers and strings with a format string.
// Pure functions of the format and the items; no window is involved.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "runtime/values.h"

namespace rt {

// An item of PRINT USING: a SINGLE number or a Shift-JIS string.
class UsingItem {
 public:
  UsingItem(Single v) : number_(v.bits()) {}                       // NOLINT: items read like BASIC
  UsingItem(double v) : number_(to_single(v)) {}                   // NOLINT
  UsingItem(std::string_view s) : text_(s), is_string_(true) {}    // NOLINT
  UsingItem(const char* s) : text_(s), is_string_(true) {}         // NOLINT
  UsingItem(const std::string& s) : text_(s), is_string_(true) {}  // NOLINT
  // A number exactly as given, even one no SINGLE can hold (infinity, NaN).
  static UsingItem raw(float v) {
    UsingItem item(0.0);
    item.number_ = v;
    return item;
  }

  bool is_string() const { return is_string_; }
  float number() const { return number_; }
  const std::string& text() const { return text_; }

 private:
  float number_ = 0.0f;
  std::string text_;
  bool is_string_ = false;
};

// Formats the items of one PRINT USING statement in order. Each call of
// next() gives the format's literal text up to the item's field and the
// formatted item; the format starts again from its beginning when it ends
// while items remain. Raises error 5 (no field in the format), 13 (the field
// does not suit the item) and 6 (a number that cannot be formatted).
class UsingFormatter {
 public:
  explicit UsingFormatter(std::string_view format) : format_(format) {}

  std::string next(const UsingItem& item);
  // The literal text after the last item, up to the next field; the format
  // position goes back to the start.
  std::string finish();

 private:
  std::string format_;
  std::size_t pos_ = 0;
};

// All items at once, without the closing line break.
std::string format_using(std::string_view format, std::span<const UsingItem> items);

}  // namespace rt

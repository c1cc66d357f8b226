// Numbers, strings, arrays and DATA.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "runtime/errors.h"

namespace rt {

class Runtime;

// SINGLE rounding: a double rounded once to float; error 6 when it does not fit.
inline float to_single(double v) {
  float f = static_cast<float>(v);
  if (!std::isfinite(f)) throw RtError(6, location(Op::Csng));
  return f;
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

class Values {
 protected:
  void start_values() {}
  Runtime& rt();
};

}  // namespace rt

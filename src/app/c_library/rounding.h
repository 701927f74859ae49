#pragma once
// lround, which the launcher uses to turn twips, points and scale factors
// into pixels (rounding.cpp gives it its C name). constexpr, so that
// tests/pe/c_library_checks.cpp can check it as the compiler builds it.
#include <climits>

namespace c_library {

// The nearest long, halfway cases away from zero. A value whose nearest
// long does not exist (beyond its range, or NaN) gives LONG_MIN, as the
// x87's own conversion does; nothing in the launcher reads errno, so none is
// set.
constexpr long RoundToLong(double value) {
  constexpr double lowest = static_cast<double>(LONG_MIN) - 0.5;  // both exact: long has 32 bits on Windows
  constexpr double beyond = static_cast<double>(LONG_MAX) + 0.5;
  if (!(value > lowest && value < beyond)) return LONG_MIN;
  const long whole = static_cast<long>(value);  // toward zero
  // Exact: a double's fraction is representable on its own. (Adding 0.5
  // and truncating would round 0.49999999999999994 up.)
  const double fraction = value - static_cast<double>(whole);
  if (fraction >= 0.5) return whole + 1;
  if (fraction <= -0.5) return whole - 1;
  return whole;
}

}  // namespace c_library

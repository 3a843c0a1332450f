#pragma once
// The product of two doubles as the x87 unit forms it in extended precision
// (a 64-bit significand, rounded to nearest even), truncated toward zero to
// a 32-bit int, worked out with integers only. Every target then agrees with
// what x86-64 Linux computes with long double, whatever its own long double
// is (a double, a 128-bit float, or an x87 register under another precision
// setting).
#include <cstdint>

namespace tolvarin::detail {

// trunc(a * b) with the product rounded to 64 significant bits first. NaN
// gives 0; values beyond the 32-bit range give its nearest end.
std::int32_t truncatedExtendedProduct(double a, double b);

}  // namespace tolvarin::detail

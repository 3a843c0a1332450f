#include "gfx2d/extended_product.h"

#include <cmath>

namespace tolvarin::detail {
namespace {

using Wide = unsigned __int128;

int bitLength(Wide v) {
  int n = 0;
  while (v != 0) {
    v >>= 1;
    ++n;
  }
  return n;
}

// The nearest end of the 32-bit range, or the value, for a magnitude with its sign.
std::int32_t saturate(bool negative, Wide magnitude) {
  if (negative) return magnitude >= (Wide{1} << 31) ? INT32_MIN : -static_cast<std::int32_t>(magnitude);
  return magnitude >= (Wide{1} << 31) - 1 ? INT32_MAX : static_cast<std::int32_t>(magnitude);
}

}  // namespace

std::int32_t truncatedExtendedProduct(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return 0;
  if (!std::isfinite(a) || !std::isfinite(b)) {
    const double p = a * b;  // infinite, or NaN for infinity times 0
    if (std::isnan(p)) return 0;
    return p > 0 ? INT32_MAX : INT32_MIN;
  }
  if (a == 0.0 || b == 0.0) return 0;
  const bool negative = (a < 0.0) != (b < 0.0);
  // Each double as a 53-bit integer times a power of two.
  int exponentA = 0;
  int exponentB = 0;
  const auto mantissaA = static_cast<std::uint64_t>(std::ldexp(std::frexp(std::fabs(a), &exponentA), 53));
  const auto mantissaB = static_cast<std::uint64_t>(std::ldexp(std::frexp(std::fabs(b), &exponentB), 53));
  Wide product = Wide{mantissaA} * mantissaB;  // exact, at most 106 bits
  int exponent = exponentA + exponentB - 106;
  // Round to 64 significant bits, ties to even.
  const int length = bitLength(product);
  if (length > 64) {
    const int drop = length - 64;
    const Wide half = Wide{1} << (drop - 1);
    const Wide rest = product & ((Wide{1} << drop) - 1);
    product >>= drop;
    if (rest > half || (rest == half && (product & 1) != 0)) ++product;
    exponent += drop;
  }
  // Truncate toward zero: drop the fraction bits, or scale up whole numbers.
  if (exponent >= 0) {
    if (exponent > 40 || bitLength(product) + exponent > 64) return negative ? INT32_MIN : INT32_MAX;
    return saturate(negative, product << exponent);
  }
  if (exponent <= -128) return 0;
  return saturate(negative, product >> -exponent);
}

}  // namespace tolvarin::detail

#include "det_math.h"

#include <cmath>

namespace tolvarin::gen {
namespace {

// 2*pi split into a head with few mantissa bits and a tail, so k * head is
// exact for the k we meet and the reduction keeps its precision.
constexpr double kTwoPiHead = 6.28318530717958623199592693709;
constexpr double kTwoPiTail = 2.44929359829470635445e-16;
constexpr double kHalfPi = 1.57079632679489661923;
constexpr double kLn2 = 0.693147180559945309417;

// Taylor series of sin on [-pi/2, pi/2], Horner form; error below 1e-15.
double sinKernel(double r) {
  const double r2 = r * r;
  double p = -1.0 / 121645100408832000.0;  // -1/19!
  p = p * r2 + 1.0 / 355687428096000.0;    // 1/17!
  p = p * r2 - 1.0 / 1307674368000.0;      // -1/15!
  p = p * r2 + 1.0 / 6227020800.0;         // 1/13!
  p = p * r2 - 1.0 / 39916800.0;           // -1/11!
  p = p * r2 + 1.0 / 362880.0;             // 1/9!
  p = p * r2 - 1.0 / 5040.0;               // -1/7!
  p = p * r2 + 1.0 / 120.0;
  p = p * r2 - 1.0 / 6.0;
  return r + r * r2 * p;
}

// atan on [0, 2 - sqrt 3] by its series; error below 1e-16.
double atanKernel(double x) {
  const double x2 = x * x;
  double p = 0.0;
  for (int n = 25; n >= 3; n -= 2) p = p * x2 + ((n / 2) % 2 == 0 ? 1.0 : -1.0) / n;
  return x + x * x2 * p;
}

}  // namespace

double detSin(double x) {
  const double k = std::floor(x / kTwoPi + 0.5);
  double r = (x - k * kTwoPiHead) - k * kTwoPiTail;  // r in about [-pi, pi]
  if (r > kHalfPi) r = kPi - r;
  if (r < -kHalfPi) r = -kPi - r;
  return sinKernel(r);
}

double detCos(double x) { return detSin(x + kHalfPi); }

double detAtan(double x) {
  const bool negative = x < 0.0;
  double a = negative ? -x : x;
  bool inverted = false;
  if (a > 1.0) {
    a = 1.0 / a;
    inverted = true;
  }
  double result;
  constexpr double kTan15 = 0.267949192431122706473;  // 2 - sqrt 3
  constexpr double kSqrt3 = 1.73205080756887729353;
  if (a > kTan15) {
    result = kPi / 6.0 + atanKernel((a * kSqrt3 - 1.0) / (a + kSqrt3));
  } else {
    result = atanKernel(a);
  }
  if (inverted) result = kHalfPi - result;
  return negative ? -result : result;
}

double detAtan2(double y, double x) {
  if (x > 0.0) return detAtan(y / x);
  if (x < 0.0) return y >= 0.0 ? detAtan(y / x) + kPi : detAtan(y / x) - kPi;
  if (y > 0.0) return kHalfPi;
  if (y < 0.0) return -kHalfPi;
  return 0.0;
}

double detExp(double x) {
  if (x < -700.0) return 0.0;
  if (x > 700.0) x = 700.0;
  const double k = std::floor(x / kLn2 + 0.5);
  const double r = x - k * kLn2;  // |r| <= ln2 / 2
  double p = 1.0;
  for (int n = 16; n >= 1; --n) p = 1.0 + p * r / n;
  return std::ldexp(p, static_cast<int>(k));
}

double detLog(double x) {
  if (x <= 0.0) return -745.0;
  int e = 0;
  double m = std::frexp(x, &e);  // m in [0.5, 1)
  if (m < 0.70710678118654752440) {
    m *= 2.0;
    --e;
  }
  const double s = (m - 1.0) / (m + 1.0);  // |s| < 0.172
  const double s2 = s * s;
  double p = 0.0;
  for (int n = 23; n >= 3; n -= 2) p = p * s2 + 1.0 / n;
  return 2.0 * (s + s * s2 * p) + e * kLn2;
}

double detPow(double x, double y) {
  if (x <= 0.0) return 0.0;
  return detExp(y * detLog(x));
}

double fract(double v) { return v - std::floor(v); }

double smoothstep(double edge0, double edge1, double v) {
  const double t = clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3.0 - 2.0 * t);
}

}  // namespace tolvarin::gen

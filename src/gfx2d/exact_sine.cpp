// Double-double evaluation (about 106 bits): the argument is reduced by a
// three-part pi/2, the Taylor series summed in double-double, and the result
// rounded once. Built with -ffp-contract=off: a fused multiply-add would
// change the error terms the double-double steps rely on.
#include "gfx2d/exact_sine.h"

#include <cmath>

namespace tolvarin {
namespace {

// A value hi + lo with |lo| at most half an ulp of hi.
struct Double2 {
  double hi;
  double lo;
};

Double2 twoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

Double2 quickTwoSum(double a, double b) {  // |a| >= |b|
  const double s = a + b;
  return {s, b - (s - a)};
}

// Dekker's exact product, without a fused multiply-add.
Double2 twoProduct(double a, double b) {
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double p = a * b;
  const double ca = kSplitter * a;
  const double aHi = ca - (ca - a);
  const double aLo = a - aHi;
  const double cb = kSplitter * b;
  const double bHi = cb - (cb - b);
  const double bLo = b - bHi;
  return {p, ((aHi * bHi - p) + aHi * bLo + aLo * bHi) + aLo * bLo};
}

Double2 add(Double2 a, Double2 b) {
  Double2 s = twoSum(a.hi, b.hi);
  const Double2 t = twoSum(a.lo, b.lo);
  s.lo += t.hi;
  s = quickTwoSum(s.hi, s.lo);
  s.lo += t.lo;
  return quickTwoSum(s.hi, s.lo);
}

Double2 multiply(Double2 a, Double2 b) {
  Double2 p = twoProduct(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return quickTwoSum(p.hi, p.lo);
}

Double2 divide(Double2 a, double b) {
  const double q1 = a.hi / b;
  const Double2 p = twoProduct(q1, b);
  const Double2 r = add(a, {-p.hi, -p.lo});
  const double q2 = r.hi / b;
  return quickTwoSum(q1, q2);
}

// pi/2 in three parts; the first two have 33 significant bits, so k times
// them is exact for the small k met here.
constexpr double kHalfPi1 = 1.57079632673412561417e+00;
constexpr double kHalfPi2 = 6.07710050630396597660e-11;
constexpr double kHalfPi3 = 2.02226624871116645580e-21;
constexpr double kHalfPi3Tail = 8.47842766036889956997e-32;

// x - k pi/2 in double-double.
Double2 reduce(double x, double k) {
  Double2 r = twoSum(x, -k * kHalfPi1);
  r = add(r, {-k * kHalfPi2, 0.0});
  const Double2 third = twoProduct(k, kHalfPi3);
  r = add(r, {-third.hi, -third.lo});
  return add(r, {-k * kHalfPi3Tail, 0.0});
}

// sin r (odd) or cos r (even) for |r| <= pi/4 by the Taylor series, each
// term worked out from the one before.
Double2 series(Double2 r, bool odd) {
  const Double2 r2 = multiply(r, r);
  Double2 term = odd ? r : Double2{1.0, 0.0};
  Double2 sum = term;
  for (int n = odd ? 1 : 0; n < 60; n += 2) {
    term = divide(multiply(term, r2), -static_cast<double>((n + 1) * (n + 2)));
    if (std::fabs(term.hi) < 1e-40) break;
    sum = add(sum, term);
  }
  return sum;
}

// sin (cosine = false) or cos of x: quadrant q of x, then the series on the rest.
double sineOrCosine(double x, bool cosine) {
  if (!std::isfinite(x)) return x - x;  // NaN
  const bool negative = x < 0.0;
  const double a = negative ? -x : x;
  const double k = std::floor(a / 1.5707963267948966 + 0.5);
  const Double2 r = reduce(a, k);
  int quadrant = static_cast<int>(std::fmod(k, 4.0));
  if (cosine) quadrant += 1;  // cos a = sin(a + pi/2)
  Double2 v = series(r, quadrant % 2 == 0);
  if (quadrant % 4 >= 2) v = {-v.hi, -v.lo};
  const double result = v.hi + v.lo;
  return negative && !cosine ? -result : result;
}

}  // namespace

double exactSin(double x) { return sineOrCosine(x, false); }
double exactCos(double x) { return sineOrCosine(x, true); }

}  // namespace tolvarin

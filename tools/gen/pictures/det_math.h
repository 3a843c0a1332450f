#pragma once
// Deterministic maths for the picture generator. Every function here is built
// from +, -, *, /, sqrt, floor and exact scaling by powers of two only, so the
// results are the same bits on every machine and every C library (the
// library's own sin/exp/log are not guaranteed to be). The target is compiled
// with -ffp-contract=off so that no fused multiply-add changes a rounding.
#include <algorithm>

namespace tolvarin::gen {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 6.28318530717958647692;

double detSin(double x);
double detCos(double x);
double detAtan(double x);
double detAtan2(double y, double x);  // (-pi, pi], detAtan2(0, 0) = 0
double detExp(double x);
double detLog(double x);               // x > 0
double detPow(double x, double y);     // x > 0; 0 for x <= 0

inline double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
inline double mix(double a, double b, double t) { return a + (b - a) * t; }
double fract(double v);
double smoothstep(double edge0, double edge1, double v);

}  // namespace tolvarin::gen

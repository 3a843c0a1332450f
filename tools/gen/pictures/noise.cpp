#include "noise.h"

#include <cmath>

#include "rng.h"

namespace tolvarin::gen {
namespace {

constexpr double kDiag = 0.70710678118654752440;
constexpr double kGradX[8] = {1.0, -1.0, 0.0, 0.0, kDiag, -kDiag, kDiag, -kDiag};
constexpr double kGradY[8] = {0.0, 0.0, 1.0, -1.0, kDiag, kDiag, -kDiag, -kDiag};

int wrap(int v, int period) {
  if (period <= 0) return v;
  const int m = v % period;
  return m < 0 ? m + period : m;
}

double fade(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

double corner(int ix, int iy, double dx, double dy, std::uint32_t seed) {
  const std::uint32_t h = hashPoint(ix, iy, seed) & 7U;
  return kGradX[h] * dx + kGradY[h] * dy;
}

}  // namespace

double gradientNoise(double x, double y, std::uint32_t seed, NoisePeriod period) {
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const int x0 = static_cast<int>(fx);
  const int y0 = static_cast<int>(fy);
  const double dx = x - fx;
  const double dy = y - fy;
  const int ax = wrap(x0, period.x);
  const int bx = wrap(x0 + 1, period.x);
  const int ay = wrap(y0, period.y);
  const int by = wrap(y0 + 1, period.y);
  const double n00 = corner(ax, ay, dx, dy, seed);
  const double n10 = corner(bx, ay, dx - 1.0, dy, seed);
  const double n01 = corner(ax, by, dx, dy - 1.0, seed);
  const double n11 = corner(bx, by, dx - 1.0, dy - 1.0, seed);
  const double u = fade(dx);
  const double v = fade(dy);
  const double top = n00 + (n10 - n00) * u;
  const double bottom = n01 + (n11 - n01) * u;
  return (top + (bottom - top) * v) * 1.41421356237309504880;
}

double fbm(double x, double y, std::uint32_t seed, const FbmParams& params) {
  double sum = 0.0;
  double amplitude = 1.0;
  double norm = 0.0;
  double frequency = 1.0;
  NoisePeriod period = params.period;
  for (int o = 0; o < params.octaves; ++o) {
    sum += amplitude * gradientNoise(x * frequency, y * frequency, seed + 1013U * o, period);
    norm += amplitude;
    amplitude *= params.gain;
    frequency *= 2.0;
    period.x *= 2;
    period.y *= 2;
  }
  return sum / norm;
}

double ridged(double x, double y, std::uint32_t seed, const FbmParams& params) {
  double sum = 0.0;
  double amplitude = 1.0;
  double norm = 0.0;
  double frequency = 1.0;
  double weight = 1.0;
  NoisePeriod period = params.period;
  for (int o = 0; o < params.octaves; ++o) {
    double n = 1.0 - std::fabs(gradientNoise(x * frequency, y * frequency, seed + 7919U * o, period));
    n *= n;
    sum += amplitude * n * weight;
    norm += amplitude;
    weight = n < 1.0 ? n : 1.0;
    amplitude *= params.gain;
    frequency *= 2.0;
    period.x *= 2;
    period.y *= 2;
  }
  return sum / norm;
}

}  // namespace tolvarin::gen

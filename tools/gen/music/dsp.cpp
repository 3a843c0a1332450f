#include "gen/music/dsp.h"

#include <algorithm>
#include <cmath>

namespace tolvarin::gen::music {
namespace {

constexpr double kLn2 = 0.693147180559945309417;

// Taylor series of sin(2 pi r) for |r| <= 1/4, Horner form in (2 pi r)^2.
double sinQuarter(double r) {
  const double a = 2.0 * kPi * r;
  const double a2 = a * a;
  double p = -1.0 / 121645100408832000.0;
  p = p * a2 + 1.0 / 355687428096000.0;
  p = p * a2 - 1.0 / 1307674368000.0;
  p = p * a2 + 1.0 / 6227020800.0;
  p = p * a2 - 1.0 / 39916800.0;
  p = p * a2 + 1.0 / 362880.0;
  p = p * a2 - 1.0 / 5040.0;
  p = p * a2 + 1.0 / 120.0;
  p = p * a2 - 1.0 / 6.0;
  return a + a * a2 * p;
}

}  // namespace

double sinTurns(double x) {
  double r = x - std::floor(x + 0.5);  // [-1/2, 1/2)
  if (r > 0.25) r = 0.5 - r;
  if (r < -0.25) r = -0.5 - r;
  return sinQuarter(r);
}

double expDet(double x) {
  if (x < -700.0) return 0.0;
  if (x > 700.0) x = 700.0;
  const double k = std::floor(x / kLn2 + 0.5);
  const double r = x - k * kLn2;
  double p = 1.0;
  for (int n = 16; n >= 1; --n) p = 1.0 + p * r / n;
  return std::ldexp(p, static_cast<int>(k));
}

double logDet(double x) {
  if (x <= 0.0) return -745.0;
  int e = 0;
  double m = std::frexp(x, &e);  // [0.5, 1)
  if (m < 0.70710678118654752440) {
    m *= 2.0;
    --e;
  }
  const double s = (m - 1.0) / (m + 1.0);
  const double s2 = s * s;
  double p = 0.0;
  for (int k = 23; k >= 3; k -= 2) p = p * s2 + 1.0 / k;
  return 2.0 * (s + s * s2 * p) + e * kLn2;
}

double pow2(double x) { return expDet(x * kLn2); }

double noteHz(int note) { return 440.0 * pow2((note - (4 * 12 + 9)) / 12.0); }

void Biquad::set(Kind kind, double cutoffHz, double q, double sampleRate) {
  const double nyquistSafe = std::min(cutoffHz, sampleRate * 0.49);
  const double w = nyquistSafe / sampleRate;  // turns per sample
  const double cw = sinTurns(w + 0.25);
  const double alpha = sinTurns(w) / (2.0 * q);
  double b0 = 0, b1 = 0, b2 = 0;
  switch (kind) {
    case Kind::LowPass:
      b0 = (1.0 - cw) / 2.0;
      b1 = 1.0 - cw;
      b2 = b0;
      break;
    case Kind::HighPass:
      b0 = (1.0 + cw) / 2.0;
      b1 = -(1.0 + cw);
      b2 = b0;
      break;
    case Kind::BandPass:
      b0 = alpha;
      b1 = 0.0;
      b2 = -alpha;
      break;
  }
  const double a0 = 1.0 + alpha;
  b0_ = b0 / a0;
  b1_ = b1 / a0;
  b2_ = b2 / a0;
  a1_ = -2.0 * cw / a0;
  a2_ = (1.0 - alpha) / a0;
}

double Biquad::process(double x) {
  const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
  x2_ = x1_;
  x1_ = x;
  y2_ = y1_;
  y1_ = y;
  return y;
}

std::vector<double> sineTable(int size) {
  std::vector<double> t(static_cast<std::size_t>(size));
  for (int i = 0; i < size; ++i) t[static_cast<std::size_t>(i)] = sinTurns(static_cast<double>(i) / size);
  return t;
}

void evenLoopLevel(std::vector<double>& loop, int window, double strength) {
  const int n = static_cast<int>(loop.size());
  if (n == 0) return;
  std::vector<double> power(loop.size());
  double total = 0.0;
  for (int i = 0; i < n; ++i) total += loop[static_cast<std::size_t>(i)] * loop[static_cast<std::size_t>(i)];
  const double mean = total / n;
  // Moving sum of squares centred on each sample, wrapping around the loop.
  double sum = 0.0;
  for (int k = -window / 2; k < window - window / 2; ++k) {
    const double v = loop[static_cast<std::size_t>(((k % n) + n) % n)];
    sum += v * v;
  }
  for (int i = 0; i < n; ++i) {
    power[static_cast<std::size_t>(i)] = sum / window;
    const double out = loop[static_cast<std::size_t>(((i - window / 2) % n + n) % n)];
    const double in = loop[static_cast<std::size_t>((i + window - window / 2) % n)];
    sum += in * in - out * out;
  }
  for (int i = 0; i < n; ++i) {
    const double ratio = std::max(power[static_cast<std::size_t>(i)], 1e-12) / mean;
    // ratio^(-strength / 2): the level is the square root of the power.
    loop[static_cast<std::size_t>(i)] *= expDet(-0.5 * strength * logDet(ratio));
  }
}

void normalize(std::vector<double>& signal, double peak) {
  double m = 0.0;
  for (double v : signal) m = std::max(m, std::abs(v));
  if (m <= 0.0) return;
  const double g = peak / m;
  for (double& v : signal) v *= g;
}

void fadeEnds(std::vector<double>& signal, int fadeIn, int fadeOut) {
  const int n = static_cast<int>(signal.size());
  for (int i = 0; i < std::min(fadeIn, n); ++i) signal[static_cast<std::size_t>(i)] *= static_cast<double>(i) / fadeIn;
  for (int i = 0; i < std::min(fadeOut, n); ++i) {
    signal[static_cast<std::size_t>(n - 1 - i)] *= static_cast<double>(i) / fadeOut;
  }
}

std::vector<std::int16_t> toPcm16(const std::vector<double>& signal) {
  std::vector<std::int16_t> out(signal.size());
  for (std::size_t i = 0; i < signal.size(); ++i) {
    const double v = std::clamp(std::floor(signal[i] * 32767.0 + 0.5), -32768.0, 32767.0);
    out[i] = static_cast<std::int16_t>(v);
  }
  return out;
}

}  // namespace tolvarin::gen::music

#include "shapes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "det_math.h"

namespace tolvarin::gen {

double length(double x, double y) { return std::sqrt(x * x + y * y); }

double sdCircle(double px, double py, double cx, double cy, double radius) {
  return length(px - cx, py - cy) - radius;
}

double sdEllipse(double px, double py, double cx, double cy, double rx, double ry) {
  // Scaled-circle estimate, corrected by the gradient length: good near the edge.
  const double x = (px - cx) / rx;
  const double y = (py - cy) / ry;
  const double k0 = length(x, y);
  const double k1 = length(x / rx, y / ry);
  if (k1 <= 0.0) return -std::min(rx, ry);
  return k0 * (k0 - 1.0) / k1;
}

double sdBox(double px, double py, double cx, double cy, double halfW, double halfH, double round) {
  const double qx = std::fabs(px - cx) - (halfW - round);
  const double qy = std::fabs(py - cy) - (halfH - round);
  const double outside = length(std::max(qx, 0.0), std::max(qy, 0.0));
  return outside + std::min(std::max(qx, qy), 0.0) - round;
}

double sdCapsule(double px, double py, Vec2 a, Vec2 b, double radius) {
  const double pax = px - a.x;
  const double pay = py - a.y;
  const double bax = b.x - a.x;
  const double bay = b.y - a.y;
  const double denom = bax * bax + bay * bay;
  const double h = denom > 0.0 ? clamp01((pax * bax + pay * bay) / denom) : 0.0;
  return length(pax - bax * h, pay - bay * h) - radius;
}

double sdTaperedCapsule(double px, double py, Vec2 a, Vec2 b, double ra, double rb) {
  const double pax = px - a.x;
  const double pay = py - a.y;
  const double bax = b.x - a.x;
  const double bay = b.y - a.y;
  const double denom = bax * bax + bay * bay;
  const double h = denom > 0.0 ? clamp01((pax * bax + pay * bay) / denom) : 0.0;
  return length(pax - bax * h, pay - bay * h) - mix(ra, rb, h);
}

double smoothUnion(double a, double b, double k) {
  const double h = clamp01(0.5 + 0.5 * (b - a) / k);
  return mix(b, a, h) - k * h * (1.0 - h);
}

double smoothSubtract(double a, double from, double k) {
  const double h = clamp01(0.5 - 0.5 * (from + a) / k);
  return mix(from, -a, h) + k * h * (1.0 - h);
}

double coverage(double signedDistance) { return clamp01(0.5 - signedDistance); }

namespace {

// Felzenszwalb-Huttenlocher squared distance transform of one line; "far"
// samples hold kFar, a large finite value, so the parabola maths stays finite.
constexpr double kFar = 1.0e20;

void edt1d(const std::vector<double>& f, std::vector<double>& d, std::vector<int>& v,
           std::vector<double>& z) {
  const int n = static_cast<int>(f.size());
  int k = 0;
  v[0] = 0;
  z[0] = -std::numeric_limits<double>::max();
  z[1] = std::numeric_limits<double>::max();
  for (int q = 1; q < n; ++q) {
    double s = 0.0;
    while (true) {
      const int r = v[k];
      s = ((f[q] + static_cast<double>(q) * q) - (f[r] + static_cast<double>(r) * r)) / (2.0 * (q - r));
      if (s > z[k] || k == 0) break;
      --k;
    }
    if (s <= z[k]) {
      // k == 0 and the new parabola hides the first one everywhere.
      v[0] = q;
      z[0] = -std::numeric_limits<double>::max();
      z[1] = std::numeric_limits<double>::max();
      continue;
    }
    ++k;
    v[k] = q;
    z[k] = s;
    z[k + 1] = std::numeric_limits<double>::max();
  }
  k = 0;
  for (int q = 0; q < n; ++q) {
    while (z[k + 1] < q) ++k;
    const int r = v[k];
    d[q] = std::min(kFar, static_cast<double>(q - r) * (q - r) + f[r]);
  }
}

}  // namespace

Field distanceTo(const Field& mask, double threshold) {
  const int w = mask.width();
  const int h = mask.height();
  Field out(w, h);
  const int n = std::max(w, h);
  std::vector<double> f;
  std::vector<double> d;
  std::vector<int> v(n + 1);
  std::vector<double> z(n + 2);
  // Columns first, then rows.
  f.resize(h);
  d.resize(h);
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y) f[y] = mask.at(x, y) >= threshold ? 0.0 : kFar;
    edt1d(f, d, v, z);
    for (int y = 0; y < h; ++y) out.at(x, y) = d[y];
  }
  f.resize(w);
  d.resize(w);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) f[x] = out.at(x, y);
    edt1d(f, d, v, z);
    for (int x = 0; x < w; ++x) out.at(x, y) = d[x] >= kFar ? 1.0e9 : std::sqrt(d[x]);
  }
  return out;
}

Field signedDistance(const Field& mask, double threshold) {
  Field inverse(mask.width(), mask.height());
  for (std::size_t i = 0; i < mask.data().size(); ++i) {
    inverse.data()[i] = mask.data()[i] >= threshold ? 0.0 : 1.0;
  }
  const Field outside = distanceTo(mask, threshold);
  const Field inside = distanceTo(inverse, 0.5);
  Field out(mask.width(), mask.height());
  for (std::size_t i = 0; i < out.data().size(); ++i) {
    // Pixel centres: half a pixel either side of the boundary.
    out.data()[i] = outside.data()[i] > 0.0 ? outside.data()[i] - 0.5 : 0.5 - inside.data()[i];
  }
  return out;
}

}  // namespace tolvarin::gen

#include "lighting.h"

#include <cmath>

#include "det_math.h"

namespace tolvarin::gen {

Vec3 normalise(Vec3 v) {
  const double len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  if (len <= 0.0) return {0.0, 0.0, 1.0};
  return {v.x / len, v.y / len, v.z / len};
}

Vec3 normalAt(const Field& height, int x, int y, double strength, bool wrap) {
  auto h = [&](int px, int py) { return wrap ? height.wrappedAt(px, py) : height.clampedAt(px, py); };
  const double dx = (h(x + 1, y) - h(x - 1, y)) * 0.5 * strength;
  const double dy = (h(x, y + 1) - h(x, y - 1)) * 0.5 * strength;
  // y grows downwards in the picture; the normal's y points up.
  return normalise({-dx, dy, 1.0});
}

double diffuse(Vec3 normal, Vec3 light) {
  const double d = dot(normal, normalise(light));
  return d > 0.0 ? d : 0.0;
}

double specular(Vec3 normal, Vec3 light, double power) {
  const Vec3 l = normalise(light);
  const Vec3 half = normalise({l.x, l.y, l.z + 1.0});
  const double d = dot(normal, half);
  return d > 0.0 ? detPow(d, power) : 0.0;
}

Rgb chrome(Vec3 normal, const std::vector<GradientStop>& horizon) {
  // Reflect the view vector (0, 0, -1) about the normal; its up component,
  // -1..1, picks the colour (0 = straight down, 1 = straight up).
  const double ry = 2.0 * normal.z * normal.y;
  return gradientAt(horizon, clamp01(0.5 + 0.5 * ry));
}

double roundBevel(double signedDistance, double width) {
  const double t = clamp01(-signedDistance / width);
  const double u = 1.0 - t;
  return std::sqrt(1.0 - u * u);
}

double softBevel(double signedDistance, double width) {
  return smoothstep(0.0, width, -signedDistance);
}

}  // namespace tolvarin::gen

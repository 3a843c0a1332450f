// alone.g: a lone figure on a dark plain under a huge evening sky with
// towering clouds lit by the setting sun. A strobe picture and the second
// picture behind the dialogue; its top (dark sky) and bottom (dark ground)
// carry the text.
#include <algorithm>
#include <cmath>

#include "det_math.h"
#include "noise.h"
#include "palette.h"
#include "picture_makers.h"
#include "rng.h"
#include "shapes.h"

namespace tolvarin::gen {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr double kHorizon = 194.0;
constexpr double kSunX = 92.0;
constexpr double kSunY = 191.0;

// Cloud density 0..1 at a point: banks of cumulus, warped, thinning upwards.
double cloudDensity(double x, double y) {
  const double warp = 18.0 * fbm(x / 80.0, y / 60.0, 51U, {3, 0.5, {}});
  const double n = fbm((x + warp) / 120.0, (y + 0.5 * warp) / 42.0, 52U, {6, 0.52, {}});
  const double band = smoothstep(10.0, 70.0, y) * (1.0 - smoothstep(150.0, 185.0, y));
  return clamp01((n + 0.1) * 2.2 * band - 0.15);
}

Rgb skyAt(double x, double y) {
  const double t = y / kHorizon;
  Rgb c = gradientAt({{0.0, hexRgb(0x070A24)},
                      {0.35, hexRgb(0x1E2458)},
                      {0.62, hexRgb(0x5A4080)},
                      {0.84, hexRgb(0xB86058)},
                      {0.95, hexRgb(0xE89860)},
                      {1.0, hexRgb(0xFFD898)}},
                     t);
  const double sd = length((x - kSunX) / 1.4, y - kSunY);
  c = c + hexRgb(0xFFB060) * (0.45 * detExp(-sd / 30.0)) + hexRgb(0xFFF0C0) * (1.0 - smoothstep(6.0, 8.0, sd));
  // Evening stars high up.
  const std::uint32_t h = hashPoint(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), 4242U);
  if ((h & 511U) < 4U) c = c + Rgb{0.8, 0.85, 1.0} * (0.6 * (1.0 - smoothstep(0.0, 0.4, t)) * ((h >> 9U & 255U) / 255.0));
  // Clouds: lit where the density falls off towards the sun.
  const double d = cloudDensity(x, y);
  if (d > 0.0) {
    const double toSunX = kSunX - x;
    const double toSunY = kSunY - y;
    const double len = length(toSunX, toSunY);
    const double sx = toSunX / len * 5.0;
    const double sy = toSunY / len * 5.0;
    const double occlusion = cloudDensity(x + sx, y + sy) + 0.5 * cloudDensity(x + 2.0 * sx, y + 2.0 * sy);
    const double lit = clamp01(1.0 - occlusion * 0.9);
    const double warm = 1.0 - 0.5 * smoothstep(0.0, 1.0, len / 260.0);
    Rgb body = mixRgb(hexRgb(0x2A2048), hexRgb(0x6A4870), clamp01(t * 1.2));
    Rgb edge = mixRgb(hexRgb(0xF09060), hexRgb(0xFFE0A0), clamp01(t - 0.4));
    Rgb cloud = mixRgb(body, edge * warm, lit * lit);
    c = mixRgb(c, cloud, smoothstep(0.0, 0.35, d));
  }
  return c;
}

// The figure: a person in a long coat, seen against the light, with its
// feet at (fx, fy).
double figureShape(double x, double y, double fx, double fy) {
  double d = sdCircle(x, y, fx + 0.3, fy - 31.0, 3.1);
  d = std::min(d, sdCapsule(x, y, {fx + 0.3, fy - 28.0}, {fx + 0.2, fy - 25.5}, 1.3));
  d = smoothUnion(d, sdTaperedCapsule(x, y, {fx, fy - 23.5}, {fx, fy - 8.0}, 4.4, 5.4), 1.5);
  d = std::min(d, sdBox(x, y, fx, fy - 13.0, 4.3, 8.0, 1.5));
  d = std::min(d, sdCapsule(x, y, {fx - 1.8, fy - 8.0}, {fx - 2.4, fy}, 1.3));
  d = std::min(d, sdCapsule(x, y, {fx + 1.8, fy - 8.0}, {fx + 2.2, fy}, 1.3));
  d = std::min(d, sdCapsule(x, y, {fx - 4.4, fy - 22.0}, {fx - 5.4, fy - 11.0}, 1.3));
  d = std::min(d, sdCapsule(x, y, {fx + 4.4, fy - 22.0}, {fx + 5.2, fy - 11.0}, 1.3));
  return d;
}

double figureDistance(double px, double py) {
  // The figure at 1.25 times the sizes above, standing at (214, 201).
  constexpr double kScale = 1.25;
  const double fx = 214.0;
  const double fy = 201.0;  // feet
  const double x = fx + (px - fx) / kScale;
  const double y = fy + (py - fy) / kScale;
  return figureShape(x, y, fx, fy) * kScale;
}

// A gently rolling plain.
double groundLine(double x) { return kHorizon + 2.5 * fbm(x / 90.0, 0.5, 61U, {2, 0.5, {}}); }

}  // namespace

formats::RgbImage makeAlone() {
  Canvas canvas(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      Rgb c;
      for (int s = 0; s < 4; ++s) {
        const double px = x + 0.25 + 0.5 * (s & 1);
        const double py = y + 0.25 + 0.5 * (s >> 1);
        const double ground = groundLine(px);
        Rgb sample;
        if (py < ground) {
          sample = skyAt(px, py);
        } else {
          // Dark plain with a warm sheen towards the sun and grass texture.
          const double depth = py - ground;
          const double grass = fbm(px / 3.0, py / 1.2, 62U, {3, 0.5, {}});
          sample = mixRgb(hexRgb(0x2A1810), hexRgb(0x06040A), smoothstep(0.0, 30.0, depth));
          sample = sample * (0.8 + 0.4 * grass);
          const double sheen = detExp(-std::fabs(px - kSunX) / 60.0) * detExp(-depth / 6.0);
          sample = sample + hexRgb(0xA05020) * (0.5 * sheen);
          // The figure's long shadow, away from the sun.
          const double sx = 214.0 + (depth - 7.0) * 4.5;
          const double shadow = (depth > 5.0) ? (1.0 - smoothstep(1.5, 3.5, std::fabs(px - sx) - depth * 0.08)) * (1.0 - smoothstep(20.0, 40.0, depth)) : 0.0;
          sample = sample * (1.0 - 0.6 * shadow);
        }
        const double fd = figureDistance(px, py);
        if (fd < 1.0) {
          // Silhouette with a thin rim of sunlight on its sunward edge.
          const double rim = clamp01(figureDistance(px + 1.2, py) - fd) * (1.0 - smoothstep(0.0, 1.0, -fd - 0.6));
          const Rgb body = hexRgb(0x05030A) + hexRgb(0xFFB060) * (0.8 * rim);
          sample = mixRgb(sample, body, coverage(fd));
        }
        c = c + sample;
      }
      canvas.at(x, y) = clampRgb(c * 0.25);
    }
  }
  return toRgbImage(canvas);
}

}  // namespace tolvarin::gen

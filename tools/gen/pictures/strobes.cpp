// The strobe pictures: wave.g, ribbons of sea swell stacked to the top of the
// frame with foam on every crest; metal.g, a brushed steel plate with rivets
// and the QX emblem pressed into it. Both are flashed for a tenth of a second
// each, so they are bold and bright.
#include <algorithm>
#include <cmath>

#include "det_math.h"
#include "emblem.h"
#include "lighting.h"
#include "noise.h"
#include "palette.h"
#include "picture_makers.h"
#include "rng.h"
#include "shapes.h"

namespace tolvarin::gen {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kBands = 10;

// Top edge of swell band k at column x.
double crest(int k, double x) {
  const double phase = k * 0.9;
  return k * 27.0 - 22.0 + 12.0 * detSin(x * kTwoPi / 170.0 + phase) +
         5.0 * detSin(x * kTwoPi / 57.0 + k * 2.1) + 2.0 * detSin(x * kTwoPi / 23.0 + k * 1.3);
}

Rgb waveAt(double x, double y) {
  // The front-most band whose crest lies above y covers the point.
  int k = kBands - 1;
  while (k > 0 && crest(k, x) > y) --k;
  const double top = crest(k, x);
  const double depth = y - top;
  const double t = clamp01(k / (kBands - 1.0));
  const Rgb deep = mixRgb(hexRgb(0x061848), hexRgb(0x0A3A78), t);
  const Rgb body = mixRgb(hexRgb(0x1070B0), hexRgb(0x20A8D0), t);
  const Rgb glass = mixRgb(hexRgb(0x70E0F0), hexRgb(0xB0F8FF), t);
  Rgb c = mixRgb(glass, body, smoothstep(0.0, 10.0, depth));
  c = mixRgb(c, deep, smoothstep(8.0, 34.0, depth));
  // Streaks of light along the swell.
  const double streak = fbm(x / 45.0, (y - top) / 3.0 + k * 5.0, 71U + k, {4, 0.5, {}});
  c = c * (0.85 + 0.35 * streak);
  // Foam on the crest, broken up by noise.
  const double foamNoise = fbm(x / 9.0, y / 4.0, 80U + k, {3, 0.6, {}});
  const double foam = (1.0 - smoothstep(0.0, 3.5 + 2.5 * foamNoise, depth)) * smoothstep(-0.4, 0.2, foamNoise + 0.3);
  c = mixRgb(c, hexRgb(0xF4FCFF), foam);
  // The band in front casts a shadow on this one just above its crest.
  if (k + 1 < kBands) {
    const double gap = crest(k + 1, x) - y;
    c = c * (1.0 - 0.55 * detExp(-std::max(0.0, gap) / 4.0));
  }
  return c;
}

}  // namespace

formats::RgbImage makeWave() {
  Canvas canvas(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      Rgb c;
      for (int s = 0; s < 4; ++s) c = c + waveAt(x + 0.25 + 0.5 * (s & 1), y + 0.25 + 0.5 * (s >> 1));
      canvas.at(x, y) = clampRgb(c * 0.25);
    }
  }
  return toRgbImage(canvas);
}

formats::RgbImage makeMetal() {
  // Height of the plate: the pressed emblem, two seams and the rivets.
  Field height(kWidth, kHeight);
  constexpr double kEmblemScale = 0.62;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double px = x + 0.5;
      const double py = y + 0.5;
      const EmblemSample e = emblemShape((px - 160.0) / kEmblemScale, (py - 120.0) / kEmblemScale);
      const double emblem = std::min(e.ring, e.cross) * kEmblemScale;
      double h = 0.6 * softBevel(emblem, 4.0) + 0.25 * softBevel(e.cross * kEmblemScale, 3.0);
      for (double seam : {30.0, 210.0}) h -= 0.5 * (1.0 - smoothstep(0.0, 2.2, std::fabs(py - seam)));
      for (double rx : {16.0, 304.0}) {
        for (double ry : {14.0, 226.0, 46.0, 194.0}) {
          const double r = length(px - rx, py - ry) / 5.0;
          if (r < 1.0) h += 0.9 * std::sqrt(1.0 - r * r);
        }
      }
      height.at(x, y) = h;
    }
  }
  Canvas canvas(kWidth, kHeight);
  const Vec3 light{-0.35, 0.55, 0.75};
  for (int y = 0; y < kHeight; ++y) {
    // Every row of the brushing has its own slight tone.
    const double rowTone = (hashPoint(0, y, 303U) & 255U) / 255.0 - 0.5;
    for (int x = 0; x < kWidth; ++x) {
      const double brush = fbm(x / 160.0, y / 0.9, 304U, {5, 0.6, {}});
      const double fine = fbm(x / 40.0, y / 0.5, 305U, {2, 0.5, {}});
      // Horizontal brushing stretches highlights into vertical sheens.
      const double sheen = 0.32 * detExp(-((x - 105.0) / 42.0) * ((x - 105.0) / 42.0)) +
                           0.18 * detExp(-((x - 238.0) / 24.0) * ((x - 238.0) / 24.0));
      const Vec3 n = normalAt(height, x, y, 7.0);
      const double lit = diffuse(n, light);
      double v = 0.38 + 0.1 * brush + 0.05 * fine + 0.03 * rowTone + sheen;
      v *= 0.55 + 0.6 * lit;
      v += 0.45 * specular(n, light, 30.0);
      Rgb c{v * 0.94, v * 0.97, v * 1.04};
      canvas.at(x, y) = clampRgb(c);
    }
  }
  return toRgbImage(canvas);
}

}  // namespace tolvarin::gen

// The two backgrounds under the light sweeps. hofobia2.g is the base: a dusk
// landscape of layered fractal ridges under a ringed planet, mirrored in a
// lake. hofobia.g is the flash that ends the first sweep (shown with every
// channel multiplied by 7): a plasma laced with the filaments of a Julia set,
// kept mostly in the lower levels so the flash burns without going white.
#include <algorithm>
#include <cmath>

#include "det_math.h"
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
constexpr double kHorizon = 168.0;  // the lake's shore line

// Sky with stars and the planet, at any point above the horizon.
Rgb skyAt(double x, double y) {
  const double t = clamp01(y / kHorizon);
  Rgb c = gradientAt({{0.0, hexRgb(0x05041A)},
                      {0.45, hexRgb(0x1C1450)},
                      {0.75, hexRgb(0x602C70)},
                      {0.92, hexRgb(0xC05060)},
                      {1.0, hexRgb(0xF09060)}},
                     t);
  // Thin clouds lit from below.
  const double cloud = fbm(x / 90.0, y / 22.0, 301U, {5, 0.55, {}});
  c = c + hexRgb(0x50284C) * (std::max(0.0, cloud) * (0.3 + 0.9 * t));
  // The planet: a banded disc lit from the lower left, with a thin ring.
  const double px = 236.0;
  const double py = 52.0;
  const double pr = 34.0;
  const double dx = (x - px) / pr;
  const double dy = (y - py) / pr;
  const double r2 = dx * dx + dy * dy;
  // Ring: an ellipse tilted by the plane (rx 1.9, ry 0.38 in planet radii).
  const double rx = dx * 0.94 + dy * 0.34;
  const double ry = -dx * 0.34 + dy * 0.94;
  const double ringR = length(rx / 1.9, ry / 0.38);
  const double ringBand = (1.0 - smoothstep(0.0, 0.06, std::fabs(ringR - 0.86))) * 0.55 +
                          (1.0 - smoothstep(0.0, 0.035, std::fabs(ringR - 0.99))) * 0.35;
  const bool ringBehind = ry < 0.0;
  const Rgb ringColour = hexRgb(0xE0B890);
  if (ringBehind) c = c + ringColour * ringBand;
  if (r2 < 1.0) {
    const double z = std::sqrt(1.0 - r2);
    const double lit = clamp01(-0.55 * dx + 0.45 * dy + 0.7 * z);
    const double bands = fbm(dy * 5.0 + 0.3 * fbm(dx * 3.0, dy * 3.0, 88U, {3, 0.5, {}}), dx * 0.8, 77U, {4, 0.5, {}});
    Rgb surface = mixRgb(hexRgb(0x8C4838), hexRgb(0xF0C898), 0.5 + 0.5 * bands);
    surface = surface * (0.08 + 0.95 * lit * lit);
    const double edge = smoothstep(0.97, 1.0, std::sqrt(r2));
    c = mixRgb(surface, c, edge);
  }
  // Atmosphere halo.
  const double rr = std::sqrt(r2);
  if (rr > 0.95) c = c + hexRgb(0xF06080) * (0.35 * detExp(-(rr - 1.0) * 9.0));
  if (!ringBehind) c = c + ringColour * ringBand * (r2 < 1.0 ? 1.0 : 1.0);
  // Stars, fewer towards the glowing horizon.
  const auto ix = static_cast<std::int32_t>(x);
  const auto iy = static_cast<std::int32_t>(y);
  const std::uint32_t h = hashPoint(ix, iy, 913U);
  if ((h & 1023U) < 9U && r2 > 1.3) {
    const double b = ((h >> 10U) & 255U) / 255.0;
    c = c + Rgb{0.7, 0.75, 1.0} * ((0.35 + 0.65 * b) * (1.0 - t));
  }
  return c;
}

// Ridge line heights of the mountain layers (pixels above the horizon).
double ridgeHeight(int layer, double x) {
  const double scale = 70.0 - 14.0 * layer;
  const double lift = 46.0 - 12.0 * layer;
  const double r = ridged(x / (160.0 - 30.0 * layer), layer * 3.7, 500U + layer, {6, 0.5, {}});
  return lift + scale * (r - 0.45);
}

// Shaded rock of the three mountain layers: a ridged height field per layer,
// lit from the planet's side, so crests and gullies show under the light.
class Mountains {
 public:
  Mountains() {
    for (int layer = 0; layer < 3; ++layer) {
      Field rock(kWidth, kHeight);
      const double sx = 26.0 + 10.0 * layer;
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          const double top = kHorizon - ridgeHeight(layer, x + 0.5);
          const double below = std::max(0.0, y + 0.5 - top);
          // Gullies run down from the crest; their noise is stretched along the fall line.
          rock.at(x, y) = ridged((x + 0.5) / sx + 0.15 * below / sx, below / (sx * 1.6), 620U + layer, {5, 0.5, {}}) -
                          below / 90.0;
        }
      }
      const Vec3 light{0.55, 0.45, 0.55};
      shade_[layer] = Field(kWidth, kHeight);
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          shade_[layer].at(x, y) = diffuse(normalAt(rock, x, y, 9.0), light);
        }
      }
    }
  }

  // Colour of the landscape (mountains over sky) above the shore.
  Rgb at(double x, double y) const {
    Rgb c = skyAt(x, y);
    for (int layer = 0; layer < 3; ++layer) {
      const double top = kHorizon - ridgeHeight(layer, x);
      if (y < top - 1.0) continue;
      const double cover = clamp01(y - top + 0.5);
      const double depth = clamp01((y - top) / 50.0);
      const double lit = shade_[layer].sample(x - 0.5, y - 0.5);
      const Rgb shadow = mixRgb(hexRgb(0x1A1030), hexRgb(0x080610), 0.4 * layer);
      const Rgb sun = mixRgb(hexRgb(0xD87890), hexRgb(0x804868), 0.35 * layer);
      Rgb rock = mixRgb(shadow, sun, lit * lit * (1.0 - 0.6 * depth));
      // Far layers sink into the dusk haze.
      const double haze = 0.55 - 0.25 * layer;
      rock = mixRgb(rock, hexRgb(0x8A4070), haze * (1.0 - 0.5 * depth));
      blend(c, rock, cover);
    }
    return c;
  }

 private:
  Field shade_[3];
};

}  // namespace

formats::IndexedImage makeHofobia2() {
  Canvas canvas(kWidth, kHeight);
  const Mountains land;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      Rgb c;
      if (y < kHorizon) {
        // 2x2 samples for the ridge lines and the planet's edge.
        for (int s = 0; s < 4; ++s) c = c + land.at(x + 0.25 + 0.5 * (s & 1), y + 0.25 + 0.5 * (s >> 1));
        c = c * 0.25;
      } else {
        // The lake: the land mirrored, rippled and darkened with depth.
        const double d = y - kHorizon + 0.5;
        const double ripple = 2.2 * fbm(x / 40.0, d * d / 60.0, 700U, {4, 0.5, {}}) * (0.3 + d / 40.0);
        const double my = kHorizon - d * 1.02 - 0.5;
        c = land.at(x + ripple, std::max(0.0, my)) * (0.7 - 0.3 * clamp01(d / 72.0));
        const double sparkle = fbm(x / 6.0, d * 1.5, 701U, {3, 0.5, {}});
        c = c + hexRgb(0xF09070) * (std::max(0.0, sparkle - 0.25) * 0.5 * (1.0 - clamp01(d / 50.0)));
        // The shore line glows.
        c = c + hexRgb(0xF0A070) * (0.7 * detExp(-d * 0.25));
      }
      canvas.at(x, y) = clampRgb(c);
    }
  }
  return quantise(canvas);
}

namespace {

// Escape glow of the Julia set c = -0.7269 + 0.1889i at (u, v): 0 inside
// the set, rising towards its spiral filaments.
double juliaGlow(double u, double v) {
  double zr = u;
  double zi = v;
  double m2 = 0.0;
  int n = 0;
  for (; n < 160; ++n) {
    const double nr = zr * zr - zi * zi - 0.7269;
    zi = 2.0 * zr * zi + 0.1889;
    zr = nr;
    m2 = zr * zr + zi * zi;
    if (m2 > 256.0) break;
  }
  if (n == 160) return -1.0;
  // Smooth count: n + 1 - log2(log |z|).
  const double smooth = n + 1.0 - detLog(detLog(m2) * 0.5) / 0.69314718055994531;
  return clamp01(smooth / 48.0);
}

}  // namespace

formats::IndexedImage makeHofobia() {
  Canvas canvas(kWidth, kHeight);
  const std::vector<GradientStop> fire{{0.0, hexRgb(0x000000)}, {0.3, hexRgb(0x601028)},
                                       {0.6, hexRgb(0xE05020)}, {0.85, hexRgb(0xFFB040)},
                                       {1.0, hexRgb(0xFFF8D0)}};
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double u = (x - 160.0) / 100.0;
      const double v = (y - 120.0) / 100.0;
      // Plasma: a sum of sines in three directions and two rings.
      const double p = detSin(u * 5.1 + 0.7) + detSin(v * 6.3 - u * 2.7) +
                       detSin((u + v) * 4.6 + 1.9) + detSin(length(u + 0.9, v - 0.5) * 9.0) +
                       detSin(length(u - 1.1, v + 0.6) * 7.0);
      Rgb c = gradientAt({{0.0, hexRgb(0x06020C)},
                          {0.3, hexRgb(0x2A0838)},
                          {0.5, hexRgb(0x601848)},
                          {0.7, hexRgb(0x20103C)},
                          {1.0, hexRgb(0x080418)}},
                         clamp01(0.5 + 0.1 * p));
      // The fractal, 2x2 samples per pixel.
      double glow = 0.0;
      int inside = 0;
      for (int s = 0; s < 4; ++s) {
        const double g = juliaGlow((x + 0.25 + 0.5 * (s & 1) - 160.0) / 105.0,
                                   (y + 0.25 + 0.5 * (s >> 1) - 120.0) / 105.0);
        if (g < 0.0) {
          ++inside;
        } else {
          glow += g;
        }
      }
      glow *= 0.25;
      c = c * (1.0 - 0.2 * inside) + gradientAt(fire, std::min(1.0, glow * 1.3)) * (0.9 * std::min(1.0, glow * 2.0));
      c = c + hexRgb(0x300818) * (0.25 * inside);
      canvas.at(x, y) = clampRgb(c);
    }
  }
  return quantise(canvas);
}

}  // namespace tolvarin::gen

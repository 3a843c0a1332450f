// ojs.g: a pair of eyes, close up, in a dark vignette. The still picture of
// the demo and one of the two pictures behind the dialogue, whose lines are
// drawn near the top and the bottom: those bands stay dark.
#include <algorithm>
#include <cmath>

#include "det_math.h"
#include "lighting.h"
#include "noise.h"
#include "palette.h"
#include "picture_makers.h"
#include "rng.h"
#include "strokes.h"

namespace tolvarin::gen {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct Eye {
  double cx;
  double cy;
  double side;  // -1: the outer corner is on the left
};

constexpr Eye kEyes[2] = {{94.0, 124.0, -1.0}, {226.0, 124.0, 1.0}};
constexpr double kHalfWidth = 52.0;
constexpr double kUpper = 25.0;
constexpr double kLower = 16.0;
constexpr double kIrisRadius = 22.0;

// Position along the eye: -1 at the inner corner, +1 at the outer one.
double along(const Eye& e, double x) { return (x - e.cx) / kHalfWidth * e.side; }

// Lid curve profile with its peak a little towards the nose.
double lidProfile(double t) {
  const double s = t > -0.1 ? (t + 0.1) / 1.1 : (t + 0.1) / 0.9;
  const double q = clamp01(1.0 - s * s);
  return detPow(q, 0.85);
}

double upperLid(const Eye& e, double x) {
  const double t = along(e, x);
  return e.cy - kUpper * lidProfile(t) - 4.0 * t;
}

double lowerLid(const Eye& e, double x) {
  const double t = along(e, x);
  return e.cy + kLower * lidProfile(t) - 2.5 * t;
}

// Skin with brow ridge, sockets and nose bridge, lit from the upper left.
Field faceRelief() {
  Field h(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double px = x + 0.5;
      const double py = y + 0.5;
      double v = 0.0;
      for (const Eye& e : kEyes) {
        const double dx = (px - e.cx) / 62.0;
        const double dy = (py - e.cy + 4.0) / 38.0;
        v -= 0.55 * detExp(-(dx * dx + dy * dy));
        const double bx = (px - e.cx - 6.0 * e.side) / 70.0;
        const double by = (py - (e.cy - 54.0) - 10.0 * bx * bx) / 14.0;
        v += 0.35 * detExp(-(bx * bx + by * by));
      }
      const double nose = (px - 160.0) / 24.0;
      v += 0.35 * detExp(-nose * nose) * smoothstep(70.0, 150.0, py);
      v += 0.5 * smoothstep(165.0, 235.0, py) * (1.0 - 0.5 * detExp(-nose * nose));
      h.at(x, y) = v;
    }
  }
  return h;
}

Rgb irisColour(const Eye& e, double px, double py, std::uint32_t seed) {
  const double icx = e.cx - 3.0 * e.side;
  const double icy = e.cy - 2.0;
  const double dx = px - icx;
  const double dy = py - icy;
  const double r = length(dx, dy) / kIrisRadius;
  const double angle = (detAtan2(dy, dx) + kPi) / kTwoPi;  // 0..1
  // Fibres: noise periodic around the iris, stretched along the radius.
  const double fibre = fbm(angle * 40.0, r * 3.0, seed, {4, 0.6, {40, 0}});
  const double crypt = fbm(angle * 12.0, r * 5.0, seed + 9U, {3, 0.5, {12, 0}});
  Rgb c = gradientAt({{0.0, hexRgb(0xE8B040)}, {0.42, hexRgb(0xC09038)}, {0.55, hexRgb(0x4A9A78)},
                      {0.85, hexRgb(0x1E5A58)}, {1.0, hexRgb(0x0C2024)}},
                     r);
  c = c * (0.75 + 0.5 * fibre) * (1.0 - 0.35 * clamp01(crypt * 2.0));
  // Dark limbal ring and the pupil.
  c = c * (1.0 - 0.8 * smoothstep(0.82, 1.0, r));
  c = mixRgb(c, hexRgb(0x020306), 1.0 - smoothstep(0.34, 0.40, r));
  return c;
}

void paintEye(Canvas& canvas, const Eye& e, std::uint32_t seed) {
  const double icx = e.cx - 3.0 * e.side;
  const double icy = e.cy - 2.0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double px = x + 0.5;
      const double py = y + 0.5;
      const double t = along(e, px);
      if (std::fabs(t) > 1.05) continue;
      const double up = upperLid(e, px);
      const double low = lowerLid(e, px);
      Rgb& dst = canvas.at(x, y);
      // Lid skin: darker towards the lash line, with the crease above it.
      const double crease = up - 13.0 - 3.0 * lidProfile(t);
      const double creaseLine = detExp(-((py - crease) * (py - crease)) / 6.0) * lidProfile(t);
      if (py < up && py > crease - 30.0) {
        dst = dst * (1.0 - 0.45 * creaseLine) * (1.0 - 0.25 * smoothstep(crease, up, py));
      }
      const double open = clamp01(py - up + 0.5) * clamp01(low - py + 0.5) * (std::fabs(t) < 1.0 ? 1.0 : 0.0);
      // Shadow under the lower lid.
      if (py > low) dst = dst * (1.0 - 0.3 * detExp(-(py - low) / 5.0) * lidProfile(t));
      if (open <= 0.0) continue;
      Rgb c = mixRgb(hexRgb(0xEDE4E0), hexRgb(0xC07870), smoothstep(0.55, 1.0, std::fabs(t)));
      c = c * (0.8 + 0.2 * (1.0 - std::fabs(t)));
      const double ir = length(px - icx, py - icy);
      if (ir < kIrisRadius + 1.0) c = mixRgb(c, irisColour(e, px, py, seed), coverage(ir - kIrisRadius));
      // The upper lid casts a soft shadow; the waterline glistens pink.
      c = c * (0.35 + 0.65 * smoothstep(up, up + 9.0, py));
      c = mixRgb(c, hexRgb(0xE09890), 0.6 * detExp(-(low - py) / 1.3));
      dst = mixRgb(dst, c, open);
    }
  }
  // Catchlights: the window, and a faint second light.
  stampDisc(canvas, icx - 8.0, icy - 8.0, 3.6, {1.0, 1.0, 1.0}, 0.95);
  stampDisc(canvas, icx + 8.0, icy + 6.0, 1.6, {0.9, 0.95, 1.0}, 0.5);
  Pcg32 rng(seed);
  const Rgb lash = hexRgb(0x140A08);
  // Lash line along the upper lid.
  for (double tx = -1.0; tx <= 1.0; tx += 0.01) {
    const double px = e.cx + tx * kHalfWidth * e.side;
    stampDisc(canvas, px, upperLid(e, px) - 0.3, 1.1 + 0.4 * lidProfile(tx), lash, 0.6);
  }
  // Upper lashes sweep up and outwards, longer towards the outer corner.
  for (int i = 0; i < 46; ++i) {
    const double tx = -0.92 + 1.9 * (i + rng.uniform()) / 46.0;
    const double px = e.cx + tx * kHalfWidth * e.side;
    const double py = upperLid(e, px);
    const double len = 9.0 + 9.0 * smoothstep(-0.6, 0.9, tx) + rng.uniform(-2.0, 2.0);
    const double out = (0.35 + 0.7 * tx) * e.side;
    const Vec2 a{px, py};
    const Vec2 ctrl{px + out * len * 0.5, py - len * 0.8};
    const Vec2 b{px + out * len * 1.1 + 2.0 * e.side * tx, py - len * 0.75};
    strokeQuad(canvas, a, ctrl, b, 1.6, 0.3, lash, 0.9, 0.4);
  }
  // Short lower lashes.
  for (int i = 0; i < 26; ++i) {
    const double tx = -0.6 + 1.5 * (i + rng.uniform()) / 26.0;
    const double px = e.cx + tx * kHalfWidth * e.side;
    const double py = lowerLid(e, px) + 1.0;
    const double len = 3.0 + 3.0 * smoothstep(-0.2, 0.9, tx);
    const double out = (0.2 + 0.5 * tx) * e.side;
    strokeQuad(canvas, {px, py}, {px + out * len * 0.4, py + len * 0.6}, {px + out * len, py + len},
               0.9, 0.3, lash, 0.5, 0.15);
  }
  // Brow: hair strokes along an arched band above the eye, full at the
  // nose and thinning to a point at the outer end. Hairs rise at the inner
  // end and lie down along the arch further out.
  const Rgb brow = hexRgb(0x2A1810);
  for (int i = 0; i < 560; ++i) {
    const double tx = rng.uniform(-0.95, 1.0);
    const double px = e.cx + tx * 58.0 * e.side;
    const double arch = (tx - 0.15) / 1.15;
    const double centre = e.cy - 44.0 - 16.0 * (1.0 - arch * arch) + 4.0 * std::max(0.0, tx);
    const double half = 6.5 * (1.0 - 0.75 * smoothstep(-0.6, 1.0, tx));
    const double py = centre + rng.uniform(-half, half);
    const double len = rng.uniform(5.0, 9.0);
    const double slope = (32.0 * arch / 1.15 + (tx > 0.0 ? 4.0 : 0.0)) / 58.0;  // fall of the arch per pixel outwards
    const double lift = tx < -0.7 ? -0.8 : slope - 0.1;
    const double dir = e.side;
    const Vec2 a{px, py};
    const Vec2 b{px + dir * len, py + lift * len + rng.uniform(-0.6, 0.6)};
    const Vec2 ctrl{(a.x + b.x) * 0.5, (a.y + b.y) * 0.5 - 0.6};
    const Rgb shade = mixRgb(brow, hexRgb(0x4A3020), rng.uniform());
    strokeQuad(canvas, a, ctrl, b, 1.0, 0.35, shade, 0.55, 0.15);
  }
}

}  // namespace

formats::RgbImage makeOjs() {
  Canvas canvas(kWidth, kHeight);
  const Field relief = faceRelief();
  const Vec3 key{-0.5, 0.6, 0.65};
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const Vec3 n = normalAt(relief, x, y, 32.0);
      const double lit = diffuse(n, key);
      const double blotch = fbm(x / 24.0, y / 24.0, 23U, {4, 0.5, {}});
      const double pores = fbm(x / 2.5, y / 2.5, 29U, {2, 0.5, {}});
      Rgb skin = mixRgb(hexRgb(0x4A2630), hexRgb(0xE0A080), lit * lit);
      skin = skin * (0.92 + 0.1 * blotch + 0.04 * pores) + hexRgb(0xFFE0C8) * (0.25 * specular(n, key, 30.0));
      // Cool shadows, warm light: the film grade of the whole picture.
      skin = skin + hexRgb(0x00101C) * (1.0 - lit);
      canvas.at(x, y) = skin;
    }
  }
  paintEye(canvas, kEyes[0], 101U);
  paintEye(canvas, kEyes[1], 202U);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double dx = (x + 0.5 - 160.0) / 190.0;
      const double dy = (y + 0.5 - 122.0) / 100.0;
      const double vignette = 1.0 - smoothstep(0.45, 1.25, dx * dx + dy * dy);
      canvas.at(x, y) = clampRgb(canvas.at(x, y) * vignette);
    }
  }
  return toRgbImage(canvas);
}

}  // namespace tolvarin::gen

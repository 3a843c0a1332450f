// The QX emblem: a thick ring with a tail (the Q) crossed by a raised X.
// qxmap1.g is its height map, a relief for the bump light: smooth rounded
// bevels so the light spot bends along the edges instead of jumping; qx.g is
// the same emblem painted as enamel and brass on a dark, tiling ground.
#include "emblem.h"

#include <algorithm>
#include <cmath>

#include "det_math.h"
#include "lighting.h"
#include "noise.h"
#include "palette.h"
#include "picture_makers.h"
#include "shapes.h"

namespace tolvarin::gen {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr double kCx = 160.0;
constexpr double kCy = 120.0;
constexpr double kRingRadius = 84.0;   // centre line of the ring
constexpr double kRingHalf = 15.0;     // half its thickness

EmblemSample emblemAt(double x, double y) {
  const double r = length(x - kCx, y - kCy);
  double ring = std::fabs(r - kRingRadius) - kRingHalf;
  // The tail of the Q, down and to the right, blended into the ring.
  const double tail = sdTaperedCapsule(x, y, {kCx + 52.0, kCy + 56.0}, {kCx + 104.0, kCy + 108.0}, 13.0, 7.0);
  ring = smoothUnion(ring, tail, 8.0);
  const double arm = 62.0;
  const double a = sdCapsule(x, y, {kCx - arm, kCy - arm}, {kCx + arm, kCy + arm}, 12.0);
  const double b = sdCapsule(x, y, {kCx + arm, kCy - arm}, {kCx - arm, kCy + arm}, 12.0);
  double cross = smoothUnion(a, b, 6.0);
  // A round boss where the bars cross.
  cross = smoothUnion(cross, sdCircle(x, y, kCx, kCy, 20.0), 5.0);
  return {ring, cross};
}

// Height 0..1: the ring at 0.75 with a groove along its middle, the X at 1.
// Smooth bevels with a bounded slope (about 9 levels per pixel at their
// steepest): the light bends visibly along every edge without jumping.
double emblemHeight(const EmblemSample& s, double x, double y) {
  double ring = 0.75 * softBevel(s.ring + 0.5, 8.0);
  const double r = length(x - kCx, y - kCy);
  const double groove = std::fabs(r - kRingRadius);
  ring -= 0.16 * (1.0 - smoothstep(0.0, 4.5, groove)) * softBevel(s.ring, 6.0);
  const double cross = softBevel(s.cross + 0.5, 9.0);
  return std::max(ring, cross);
}

Field emblemHeightField() {
  Field height(kWidth, kHeight);
  // 2x2 supersampling keeps the bevel edges smooth.
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      double sum = 0.0;
      for (int sy = 0; sy < 2; ++sy) {
        for (int sx = 0; sx < 2; ++sx) {
          const double px = x + 0.25 + 0.5 * sx;
          const double py = y + 0.25 + 0.5 * sy;
          sum += emblemHeight(emblemAt(px, py), px, py);
        }
      }
      height.at(x, y) = sum * 0.25;
    }
  }
  boxBlur(height, 1, 2);
  return height;
}

}  // namespace

EmblemSample emblemShape(double dx, double dy) { return emblemAt(dx + kCx, dy + kCy); }

formats::IndexedImage makeQxMap() {
  const Field height = emblemHeightField();
  // Grey levels 0..63 sit at entries 0..63: the height is the level.
  return indexFromField(height, greyLevels(), 0, 63, false);
}

formats::IndexedImage makeQx() {
  const Field height = emblemHeightField();
  Canvas canvas(kWidth, kHeight);
  const std::vector<GradientStop> brass{{0.0, hexRgb(0x1A0C04)},
                                        {0.35, hexRgb(0x6A3A10)},
                                        {0.48, hexRgb(0xF8D890)},
                                        {0.56, hexRgb(0xB07828)},
                                        {1.0, hexRgb(0xFFF4C8)}};
  const Vec3 light{-0.5, 0.6, 0.8};
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double px = x + 0.5;
      const double py = y + 0.5;
      const EmblemSample s = emblemAt(px, py);
      // Ground: dark violet with a faint woven pattern that tiles across
      // the picture's edges (the rotating zoom repeats it).
      const double fx = px / kWidth;
      const double fy = py / kHeight;
      const double weave = fbm(fx * 8.0, fy * 6.0, 41U, {4, 0.55, {8, 6}});
      const double lines = 0.5 + 0.5 * detSin(kTwoPi * (fx * 16.0 + fy * 12.0) + 2.0 * weave);
      Rgb ground = mixRgb(hexRgb(0x0C0818), hexRgb(0x2A1840), 0.35 + 0.35 * weave + 0.3 * lines * lines);
      const double rGlow = length(px - kCx, py - kCy);
      ground = ground + hexRgb(0x301050) * (0.6 * (1.0 - smoothstep(60.0, 150.0, rGlow)));
      // Drop shadow of the emblem on the ground.
      const double shadow = 1.0 - 0.65 * (1.0 - smoothstep(-4.0, 14.0, std::min(s.ring, s.cross) - 3.0));
      Rgb colour = ground * shadow;
      const Vec3 n = normalAt(height, x, y, 40.0);
      const double lit = diffuse(n, light);
      const double spec = specular(n, light, 24.0);
      if (s.ring < 1.0 && s.ring <= s.cross) {
        Rgb metal = chrome(n, brass) * (0.55 + 0.55 * lit) + Rgb{1.0, 0.95, 0.8} * (0.6 * spec);
        blend(colour, metal, coverage(s.ring));
      }
      if (s.cross < 1.0) {
        // Deep red enamel with a bright rim where the bevel turns.
        const double rim = 1.0 - softBevel(s.cross, 7.0);
        Rgb enamel = mixRgb(hexRgb(0x600818), hexRgb(0xE03048), lit);
        enamel = mixRgb(enamel, chrome(n, brass), 0.75 * rim) + Rgb{1.0, 0.9, 0.9} * (0.7 * spec);
        blend(colour, enamel, coverage(s.cross));
      }
      canvas.at(x, y) = clampRgb(colour);
    }
  }
  return quantise(canvas);
}

}  // namespace tolvarin::gen

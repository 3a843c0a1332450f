// The QX emblem: a thick ring with a tail (the Q) crossed by a raised X.
// emblemShape() is its outline at full size, for the metal plate; in the
// group logo (logo_layout) it is drawn smaller, behind the name. qxmap1.g is
// the logo's height map, the relief of every light scene: smooth bevels so
// the light spot bends along the edges instead of jumping; qx.g is the same
// logo painted as brass and enamel on a dark quilted ground.
#include "emblem.h"

#include <algorithm>
#include <cmath>

#include "det_math.h"
#include "lighting.h"
#include "logo_layout.h"
#include "noise.h"
#include "palette.h"
#include "picture_makers.h"
#include "shapes.h"

namespace tolvarin::gen {
namespace {

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

}  // namespace

EmblemSample emblemShape(double dx, double dy) { return emblemAt(dx + kCx, dy + kCy); }

formats::IndexedImage makeQxMap() {
  return indexFromField(logoLayers().height, reliefLevels(), 0, 63, false);
}

formats::IndexedImage makeQx() {
  const LogoLayers& logo = logoLayers();
  Canvas canvas(kLogoWidth, kLogoHeight);
  const std::vector<GradientStop> brass{{0.0, hexRgb(0x1A0C04)},
                                        {0.35, hexRgb(0x6A3A10)},
                                        {0.48, hexRgb(0xF8D890)},
                                        {0.56, hexRgb(0xB07828)},
                                        {1.0, hexRgb(0xFFF4C8)}};
  const std::vector<GradientStop> silver{{0.0, hexRgb(0x302830)},
                                         {0.38, hexRgb(0x9890A0)},
                                         {0.5, hexRgb(0xFFFFFF)},
                                         {0.56, hexRgb(0xC0A070)},
                                         {1.0, hexRgb(0xFFF8E8)}};
  const Vec3 light{-0.5, 0.6, 0.8};
  for (int y = 0; y < kLogoHeight; ++y) {
    for (int x = 0; x < kLogoWidth; ++x) {
      const double px = x + 0.5;
      const double py = y + 0.5;
      const Vec3 n = normalAt(logo.height, x, y, 40.0, true);
      const double lit = diffuse(n, light);
      const double shine = specular(n, light, 24.0);
      // Ground: dark violet padding, quilted in diamonds with sunk seams,
      // every other diamond a shade deeper. It repeats every 32 x 40 pixels.
      const GroundCell cell = groundCell(px, py);
      Rgb colour = mixRgb(hexRgb(0x140C28), hexRgb(0x2C1848), smoothstep(0.0, 9.0, cell.seam));
      if (cell.parity == 1) colour = colour * 0.8;
      colour = colour * (0.7 + 0.45 * lit);
      // A halo right behind the emblem, gone well before row 199.
      const double r = length(px - kLogoCx, py - kLogoCy);
      colour = colour + hexRgb(0x401468) * (0.7 * (1.0 - smoothstep(50.0, 78.0, r)));
      // Drop shadows: the emblem and bar on the ground.
      const double below = std::min({logo.ring.clampedAt(x - 3, y - 4), logo.cross.clampedAt(x - 3, y - 4),
                                     logo.bar.clampedAt(x - 3, y - 4)});
      colour = colour * (1.0 - 0.65 * (1.0 - smoothstep(-3.0, 7.0, below)));
      // The ring: polished brass.
      const double ring = logo.ring.at(x, y);
      blend(colour, chrome(n, brass) * (0.55 + 0.55 * lit) + Rgb{1.0, 0.95, 0.8} * (0.6 * shine), coverage(ring));
      // The X: deep red enamel with a brass rim where the bevel turns.
      const double cross = logo.cross.at(x, y);
      const double rim = 1.0 - softBevel(cross, 6.0);
      Rgb enamel = mixRgb(hexRgb(0x600818), hexRgb(0xE03048), lit);
      enamel = mixRgb(enamel, chrome(n, brass), 0.75 * rim) + Rgb{1.0, 0.9, 0.9} * (0.7 * shine);
      blend(colour, enamel, coverage(cross));
      // The bar casts its shadow on the emblem, then lies over it: dark
      // enamel framed in brass.
      colour = colour * (1.0 - 0.5 * (1.0 - smoothstep(-2.0, 6.0, logo.bar.clampedAt(x - 2, y - 3))));
      const double bar = logo.bar.at(x, y);
      const double barRim = 1.0 - softBevel(bar, 5.0);
      Rgb plate = mixRgb(hexRgb(0x10081C), hexRgb(0x281640), lit);
      plate = mixRgb(plate, chrome(n, brass) * (0.6 + 0.5 * lit), barRim);
      blend(colour, plate, coverage(bar));
      // The name: bright silver and gold on the bar, with a dark rim.
      const double letters = logo.letters.at(x, y);
      colour = colour * (1.0 - 0.6 * (1.0 - smoothstep(-1.0, 3.0, logo.letters.clampedAt(x - 2, y - 2))));
      blend(colour, hexRgb(0x080410), coverage(letters - 1.2) * coverage(bar));
      const Rgb letterMetal = chrome(n, silver) * (0.7 + 0.4 * lit) + Rgb{1.0, 1.0, 0.9} * (0.6 * shine);
      blend(colour, letterMetal, coverage(letters + 0.3));
      canvas.at(x, y) = clampRgb(colour);
    }
  }
  return quantise(canvas);
}

}  // namespace tolvarin::gen

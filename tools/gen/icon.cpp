// The icon: emblemShape() (the metal plate's outline of the QX emblem) scaled
// to the icon, lit as the logo picture lights it. Every pixel averages 4 x 4
// samples, so small sizes stay smooth; the ground's quilting is drawn at a
// scale that keeps its diamonds visible at 48 pixels.
#include "gen/icon.h"

#include <algorithm>
#include <cmath>

#include "gen/pictures/det_math.h"
#include "gen/pictures/emblem.h"
#include "gen/pictures/lighting.h"
#include "gen/pictures/logo_layout.h"
#include "gen/pictures/shapes.h"

namespace tolvarin::gen {
namespace {

// The emblem's farthest point (the tail's end) is 157 units from its centre.
constexpr double kEmblemReach = 160.0;

struct Heights {
  double ring;
  double cross;
  double top;  // the relief: the X raised above the ring
};

Heights heightsAt(double ex, double ey) {
  const EmblemSample s = emblemShape(ex, ey);
  const double ring = softBevel(s.ring, 12.0);
  const double cross = 1.25 * softBevel(s.cross, 9.0);
  return {s.ring, s.cross, std::max(ring, cross)};
}

Rgb shade(double ex, double ey, double unitsPerPixel, double size) {
  const std::vector<GradientStop> brass{{0.0, hexRgb(0x1A0C04)},
                                        {0.35, hexRgb(0x6A3A10)},
                                        {0.48, hexRgb(0xF8D890)},
                                        {0.56, hexRgb(0xB07828)},
                                        {1.0, hexRgb(0xFFF4C8)}};
  const Vec3 light{-0.5, 0.6, 0.8};
  const Heights h = heightsAt(ex, ey);
  // The relief's slope by central differences, in emblem units.
  constexpr double kStep = 0.75;
  const double gx = heightsAt(ex + kStep, ey).top - heightsAt(ex - kStep, ey).top;
  const double gy = heightsAt(ex, ey + kStep).top - heightsAt(ex, ey - kStep).top;
  const Vec3 n = normalise({-gx * 10.0, gy * 10.0, 2.0 * kStep});
  const double lit = diffuse(n, light);
  const double shine = specular(n, light, 24.0);

  // Ground: the logo's quilted violet padding, its lattice scaled so that
  // about four diamonds cross the icon; a halo behind the emblem.
  const double groundScale = 4.0 * 32.0 / size;
  const double px = ex / unitsPerPixel * groundScale;
  const double py = ey / unitsPerPixel * groundScale;
  const GroundCell cell = groundCell(px + 1000.0, py + 1000.0);
  Rgb colour = mixRgb(hexRgb(0x140C28), hexRgb(0x2C1848), smoothstep(0.0, 9.0, cell.seam));
  if (cell.parity == 1) colour = colour * 0.8;
  const double r = length(ex, ey);
  colour = colour + hexRgb(0x401468) * (0.8 * (1.0 - smoothstep(60.0, 150.0, r)));
  // Drop shadow of the whole emblem, down and to the right.
  const EmblemSample below = emblemShape(ex - 6.0, ey - 8.0);
  colour = colour * (1.0 - 0.65 * (1.0 - smoothstep(-4.0, 10.0, std::min(below.ring, below.cross))));
  // Coverage from the signed distance in pixels, so edges are one pixel soft.
  const auto cover = [&](double distance) { return coverage(distance / unitsPerPixel); };
  blend(colour, chrome(n, brass) * (0.55 + 0.55 * lit) + Rgb{1.0, 0.95, 0.8} * (0.6 * shine), cover(h.ring));
  const double rim = 1.0 - softBevel(h.cross, 6.0);
  Rgb enamel = mixRgb(hexRgb(0x600818), hexRgb(0xE03048), lit);
  enamel = mixRgb(enamel, chrome(n, brass), 0.75 * rim) + Rgb{1.0, 0.9, 0.9} * (0.7 * shine);
  blend(colour, enamel, cover(h.cross));
  return clampRgb(colour);
}

}  // namespace

std::vector<std::uint32_t> drawIcon(int size) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size);
  // The emblem's reach fills 40 % of the side from the centre.
  const double unitsPerPixel = kEmblemReach / (0.4 * size);
  constexpr int kSub = 4;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      Rgb sum;
      for (int sy = 0; sy < kSub; ++sy) {
        for (int sx = 0; sx < kSub; ++sx) {
          const double u = x + (sx + 0.5) / kSub - 0.5 * size;
          const double v = y + (sy + 0.5) / kSub - 0.5 * size;
          sum = sum + shade(u * unitsPerPixel, v * unitsPerPixel, unitsPerPixel, size);
        }
      }
      const Rgb c = sum * (1.0 / (kSub * kSub));
      const auto byte = [](double channel) { return static_cast<std::uint32_t>(std::lround(clamp01(channel) * 255.0)); };
      pixels[static_cast<std::size_t>(y) * size + x] = byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
    }
  }
  return pixels;
}

}  // namespace tolvarin::gen

// tunel.g: the wall of the greetings tunnel, 256 x 256, tiling in both
// directions (the tunnel wraps it around its circumference and scrolls it
// along its depth). Bevelled steel panels, each of its own kind (plain,
// vented, hatched, riveted), with cyan light strips in some of the seams.
// Everything is periodic: panels on a 64-pixel grid, noise with a period of
// the whole texture.
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

constexpr int kSize = 256;
constexpr int kPanel = 64;
constexpr int kPanels = kSize / kPanel;

int panelKind(int px, int py) {
  return static_cast<int>(hashPoint(px % kPanels, py % kPanels, 1234U) % 4U);
}

// Height of the wall at (x, y) inside the tile, and whether it glows.
struct WallSample {
  double height;
  double glow;
  int kind;
};

WallSample wallAt(double x, double y) {
  const int px = static_cast<int>(std::floor(x / kPanel));
  const int py = static_cast<int>(std::floor(y / kPanel));
  const double lx = x - px * kPanel;  // 0..64 inside the panel
  const double ly = y - py * kPanel;
  const int kind = panelKind(px, py);
  const double plate = sdBox(lx, ly, 32.0, 32.0, 29.0, 29.0, 4.0);
  double h = 0.6 * softBevel(plate, 4.0);
  double glow = 0.0;
  switch (kind) {
    case 0: {  // vents: five slits
      for (int i = 0; i < 5; ++i) {
        const double slit = sdBox(lx, ly, 32.0, 14.0 + i * 9.0, 20.0, 2.2, 2.0);
        h -= 0.45 * (1.0 - smoothstep(-1.5, 0.5, slit));
        glow += 0.5 * (1.0 - smoothstep(-2.0, 0.0, slit));
      }
      break;
    }
    case 1: {  // round hatch with a ring of bolts
      const double r = length(lx - 32.0, ly - 32.0);
      h += 0.25 * softBevel(r - 18.0, 3.0) - 0.2 * (1.0 - smoothstep(0.0, 1.5, std::fabs(r - 11.0)));
      for (int i = 0; i < 8; ++i) {
        const double a = i * kTwoPi / 8.0;
        const double br = length(lx - 32.0 - 22.0 * detCos(a), ly - 32.0 - 22.0 * detSin(a)) / 2.2;
        if (br < 1.0) h += 0.3 * std::sqrt(1.0 - br * br);
      }
      glow += 0.7 * (1.0 - smoothstep(0.0, 6.0, r));
      break;
    }
    case 2: {  // riveted plain plate with a diagonal brace
      for (double cx : {9.0, 55.0}) {
        for (double cy : {9.0, 55.0}) {
          const double br = length(lx - cx, ly - cy) / 2.6;
          if (br < 1.0) h += 0.35 * std::sqrt(1.0 - br * br);
        }
      }
      const double brace = sdCapsule(lx, ly, {14.0, 50.0}, {50.0, 14.0}, 3.0);
      h += 0.2 * softBevel(brace, 2.0);
      break;
    }
    default: {  // grille of small squares
      const double gx = std::fabs(fract(lx / 8.0) - 0.5) * 8.0;
      const double gy = std::fabs(fract(ly / 8.0) - 0.5) * 8.0;
      const double inside = 1.0 - smoothstep(24.0, 25.0, std::max(std::fabs(lx - 32.0), std::fabs(ly - 32.0)));
      h -= 0.25 * inside * (1.0 - smoothstep(1.6, 2.4, std::max(gx, gy)));
      glow += 0.35 * inside * (1.0 - smoothstep(1.6, 2.4, std::max(gx, gy)));
      break;
    }
  }
  // Light strips in the seams that run round the tunnel (every other row of panels).
  if (py % 2 == 0) glow += 1.0 - smoothstep(0.5, 2.5, std::min(ly, kPanel - ly));
  return {h, glow, kind};
}

}  // namespace

formats::RgbImage makeTunel() {
  Field height(kSize, kSize);
  Field glow(kSize, kSize);
  Field kind(kSize, kSize);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      WallSample s{0.0, 0.0, 0};
      for (int k = 0; k < 4; ++k) {
        const WallSample t = wallAt(x + 0.25 + 0.5 * (k & 1), y + 0.25 + 0.5 * (k >> 1));
        s.height += 0.25 * t.height;
        s.glow += 0.25 * t.glow;
        s.kind = t.kind;
      }
      height.at(x, y) = s.height;
      glow.at(x, y) = s.glow;
      kind.at(x, y) = s.kind;
    }
  }
  // Glow spills a little over the metal around it.
  Field halo = glow;
  boxBlur(halo, 3, 3, true);
  Canvas canvas(kSize, kSize);
  const Vec3 light{-0.3, 0.5, 0.8};
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const double fx = (x + 0.5) / kSize;
      const double fy = (y + 0.5) / kSize;
      const double grime = 0.5 + 0.5 * fbm(fx * 4.0, fy * 4.0, 909U, {5, 0.55, {4, 4}});
      const double scratches = fbm(fx * 32.0, fy * 4.0, 910U, {3, 0.5, {32, 4}});
      const Vec3 n = normalAt(height, x, y, 14.0, true);
      const double lit = diffuse(n, light);
      const int k = static_cast<int>(kind.at(x, y));
      const Rgb tint = k == 1 ? hexRgb(0x8A9AB8) : (k == 2 ? hexRgb(0x7088A8) : hexRgb(0x9AA8C0));
      // Bright and of gentle contrast: the greetings are dark letters (6-bit
      // ink) over this wall, and read best as the darkest thing in view.
      Rgb c = tint * (0.62 + 0.45 * lit) * (0.82 + 0.25 * grime + 0.06 * scratches);
      c = c + Rgb{0.9, 0.95, 1.0} * (0.35 * specular(n, light, 24.0));
      // Dirt gathers low down in the grooves.
      c = c * (0.8 + 0.2 * smoothstep(-0.3, 0.4, height.at(x, y)));
      c = screen(clampRgb(c), clampRgb(hexRgb(0x30E0FF) * (0.9 * clamp01(glow.at(x, y)) + 0.45 * halo.at(x, y))));
      canvas.at(x, y) = clampRgb(c);
    }
  }
  return toRgbImage(canvas);
}

}  // namespace tolvarin::gen

#include "logo_layout.h"

#include <algorithm>
#include <cmath>

#include "chrome_text.h"
#include "det_math.h"
#include "lighting.h"
#include "shapes.h"
#include "text_raster.h"

namespace tolvarin::gen {
namespace {

// The emblem: ring centre line and half thickness, the X's reach.
constexpr double kRingRadius = 61.0;
constexpr double kRingHalf = 11.5;
constexpr double kArm = 45.0;
// The bar: half width and half height.
constexpr double kBarHalfW = 148.0;
constexpr double kBarHalfH = 22.0;
// Where the tail of the Q ends, and its radius there.
constexpr double kTailX = 68.0;
constexpr double kTailY = 68.0;
constexpr double kTailEnd = 5.5;
// The rotating zoom reads rows 0..199 only: the whole logo stays above them,
// and clear of the side columns so that neighbouring tiles stay apart.
static_assert(kLogoCy + kRingRadius + kRingHalf < kLogoLastRow - 4);
static_assert(kLogoCy + kTailY + kTailEnd < kLogoLastRow - 4);
static_assert(kLogoCy - kRingRadius - kRingHalf > 40.0);
static_assert(kLogoCx + kBarHalfW < kLogoWidth - 8 && kLogoCx - kBarHalfW > 8);

double ringAt(double x, double y) {
  const double r = length(x - kLogoCx, y - kLogoCy);
  const double ring = std::fabs(r - kRingRadius) - kRingHalf;
  // The tail of the Q, down and to the right, blended into the ring; it ends
  // a few rows above row 199.
  const double tail = sdTaperedCapsule(x, y, {kLogoCx + 36.0, kLogoCy + 38.0}, {kLogoCx + kTailX, kLogoCy + kTailY}, 10.5, kTailEnd);
  return smoothUnion(ring, tail, 6.0);
}

double crossAt(double x, double y) {
  const double a = sdCapsule(x, y, {kLogoCx - kArm, kLogoCy - kArm}, {kLogoCx + kArm, kLogoCy + kArm}, 9.5);
  const double b = sdCapsule(x, y, {kLogoCx + kArm, kLogoCy - kArm}, {kLogoCx - kArm, kLogoCy + kArm}, 9.5);
  return smoothUnion(smoothUnion(a, b, 5.0), sdCircle(x, y, kLogoCx, kLogoCy, 16.0), 4.0);
}

double barAt(double x, double y) { return sdBox(x, y, kLogoCx, kLogoCy, kBarHalfW, kBarHalfH, 9.0); }

// Heights of the layers (0..1); the relief is the highest at each point.
// Every bevel is a smooth ramp of bounded slope, so the light bends along
// it without jumping.
double reliefAt(double ring, double cross, double bar, double letters, double x, double y) {
  const double r = length(x - kLogoCx, y - kLogoCy);
  double h = 0.52 * softBevel(ring + 0.5, 5.0);
  // A groove along the middle of the ring.
  h -= 0.14 * (1.0 - smoothstep(0.0, 3.0, std::fabs(r - kRingRadius))) * softBevel(ring, 4.0);
  h = std::max(h, 0.64 * softBevel(cross + 0.5, 5.0));
  // The bar lies over the emblem, low, so that the letters can rise high
  // from it: the light bends most along the name.
  const double barTop = softBevel(bar + 0.5, 3.5);
  h = std::max(h, 0.4 * barTop);
  h = std::max(h, barTop * (0.4 + 0.6 * softBevel(letters + 0.5, 2.5)));
  return h;
}

LogoLayers buildLayers() {
  LogoLayers l{Field(kLogoWidth, kLogoHeight), Field(kLogoWidth, kLogoHeight), Field(kLogoWidth, kLogoHeight),
               Field(kLogoWidth, kLogoHeight), Field(kLogoWidth, kLogoHeight)};
  const FontFace face("DejaVuSans-Bold.ttf");
  const TextDistance text =
      textDistance(textMask2x(face, "QUARNEL", 46.0, 3.0, kLogoWidth, kLogoHeight, kLogoCx, kLogoCy, 0.98));
  for (int y = 0; y < kLogoHeight; ++y) {
    for (int x = 0; x < kLogoWidth; ++x) {
      const double px = x + 0.5;
      const double py = y + 0.5;
      l.ring.at(x, y) = ringAt(px, py);
      l.cross.at(x, y) = crossAt(px, py);
      l.bar.at(x, y) = barAt(px, py);
      l.letters.at(x, y) = text.distance.at(x, y);
      // 2x2 samples of the analytic shapes keep their bevels smooth.
      double h = 0.0;
      for (int s = 0; s < 4; ++s) {
        const double sx = x + 0.25 + 0.5 * (s & 1);
        const double sy = y + 0.25 + 0.5 * (s >> 1);
        h += 0.25 * reliefAt(ringAt(sx, sy), crossAt(sx, sy), barAt(sx, sy), text.distance.at(x, y), sx, sy);
      }
      // The ground's seams, faint grooves.
      const GroundCell cell = groundCell(px, py);
      h -= 0.05 * (1.0 - smoothstep(0.0, 1.6, cell.seam)) * (1.0 - smoothstep(0.0, 0.02, h));
      l.height.at(x, y) = h;
    }
  }
  boxBlur(l.height, 1, 1, true);
  for (double& h : l.height.data()) h = clamp01(h + 0.05);
  return l;
}

}  // namespace

GroundCell groundCell(double x, double y) {
  const double a = x / kGroundPeriodX + y / kGroundPeriodY;
  const double b = x / kGroundPeriodX - y / kGroundPeriodY;
  // One lattice unit across a seam line is this many pixels.
  const double unit = 1.0 / std::sqrt(1.0 / (kGroundPeriodX * kGroundPeriodX) + 1.0 / (kGroundPeriodY * kGroundPeriodY));
  const double fa = std::floor(a);
  const double fb = std::floor(b);
  const double da = std::min(a - fa, fa + 1.0 - a);
  const double db = std::min(b - fb, fb + 1.0 - b);
  const int parity = static_cast<int>(fa + fb) & 1;
  return {std::min(da, db) * unit, parity};
}

const LogoLayers& logoLayers() {
  static const LogoLayers layers = buildLayers();
  return layers;
}

}  // namespace tolvarin::gen

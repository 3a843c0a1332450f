// creds.g: the closing picture. The planet Quarnel rises over the bottom of
// a starry night, its atmosphere glowing; above it the group's name in gold
// chrome and the year in silver.
#include <algorithm>
#include <cmath>

#include "chrome_text.h"
#include "det_math.h"
#include "lighting.h"
#include "noise.h"
#include "palette.h"
#include "picture_makers.h"
#include "rng.h"
#include "shapes.h"
#include "text_raster.h"

namespace tolvarin::gen {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr double kPlanetX = 150.0;
constexpr double kPlanetY = 430.0;
constexpr double kPlanetR = 250.0;

Rgb spaceAt(double x, double y) {
  const double t = y / kHeight;
  Rgb c = gradientAt({{0.0, hexRgb(0x02020A)}, {0.6, hexRgb(0x0A0A26)}, {1.0, hexRgb(0x201440)}}, t);
  // A faint nebula.
  const double neb = fbm(x / 90.0, y / 70.0, 1401U, {5, 0.55, {}});
  const double neb2 = fbm(x / 40.0 + 3.0, y / 30.0, 1402U, {4, 0.5, {}});
  c = c + hexRgb(0x401850) * (0.5 * std::max(0.0, neb)) + hexRgb(0x104050) * (0.35 * std::max(0.0, neb2 * neb));
  // Stars of three sizes.
  const std::uint32_t h = hashPoint(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), 1403U);
  if ((h & 511U) < 3U) {
    const double b = ((h >> 9U) & 255U) / 255.0;
    c = c + Rgb{0.8, 0.85, 1.0} * (0.15 + 0.85 * b * b);
  }
  return c;
}

Rgb planetAt(double x, double y, double d) {
  const double dx = (x - kPlanetX) / kPlanetR;
  const double dy = (y - kPlanetY) / kPlanetR;
  const double z = std::sqrt(std::max(0.0, 1.0 - dx * dx - dy * dy));
  // Light from the upper right, the terminator across the left.
  const double lit = clamp01(0.55 * dx - 0.7 * dy + 0.35 * z);
  // Cloud bands follow the latitude, swirled by noise.
  const double lon = dx / (0.25 + z);
  const double swirl = fbm(lon * 2.5, dy * 9.0, 1410U, {5, 0.55, {}});
  const double bands = 0.5 + 0.5 * detSin(dy * 11.0 + 2.5 * swirl);
  // Oceans, land and cloud: three layers of noise in the planet's frame.
  const double land = fbm(lon * 1.6 + 7.0, dy * 4.0, 1411U, {5, 0.55, {}});
  Rgb surface = mixRgb(hexRgb(0x123A60), hexRgb(0x2A6A88), 0.5 + 0.5 * bands);
  surface = mixRgb(surface, mixRgb(hexRgb(0x4A6A38), hexRgb(0xA08858), clamp01(land * 2.0)), smoothstep(0.05, 0.15, land));
  const double cloud = fbm(lon * 3.0 + 2.0 * swirl, dy * 14.0, 1412U, {5, 0.5, {}});
  surface = mixRgb(surface, hexRgb(0xF0F4F8), smoothstep(0.0, 0.45, cloud + 0.25 * bands - 0.1));
  surface = surface * (0.04 + 1.0 * lit);
  // The atmosphere brightens towards the limb.
  const double limb = 1.0 - z;
  surface = surface + hexRgb(0x40A0FF) * (0.9 * detPow(limb, 3.0) * (0.2 + lit));
  return mixRgb(surface, spaceAt(x, y), smoothstep(-1.0, 0.0, d));
}

}  // namespace

formats::RgbImage makeCreds() {
  Canvas canvas(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      Rgb c;
      for (int s = 0; s < 4; ++s) {
        const double px = x + 0.25 + 0.5 * (s & 1);
        const double py = y + 0.25 + 0.5 * (s >> 1);
        const double d = length(px - kPlanetX, py - kPlanetY) - kPlanetR;
        Rgb sample = d < 0.0 ? planetAt(px, py, d) : spaceAt(px, py);
        // Atmospheric glow outside the limb, strongest on the lit side.
        if (d >= 0.0) {
          const double side = clamp01(0.5 + (px - kPlanetX) / 300.0);
          sample = sample + hexRgb(0x3890FF) * (0.8 * detExp(-d / 7.0) * (0.3 + side)) +
                   hexRgb(0x203080) * (0.5 * detExp(-d / 40.0));
        }
        c = c + sample;
      }
      canvas.at(x, y) = clampRgb(c * 0.25);
    }
  }
  const FontFace bold("DejaVuSans-Bold.ttf");
  ChromeStyle gold;
  gold.horizon = goldChrome();
  gold.bevelWidth = 4.0;
  gold.outlineWidth = 1.5;
  gold.glowColour = hexRgb(0xFF9030);
  gold.glowStrength = 0.35;
  gold.glowRadius = 9.0;
  paintChrome(canvas, textMask2x(bold, "QUARNEL", 50.0, 2.0, kWidth, kHeight, 160.0, 78.0, 0.85), gold);
  ChromeStyle silver;
  silver.horizon = classicChrome();
  silver.bevelWidth = 2.5;
  silver.outlineWidth = 1.2;
  silver.glowColour = hexRgb(0x60A0FF);
  silver.glowStrength = 0.3;
  silver.glowRadius = 6.0;
  silver.shadowOffsetX = 2.0;
  silver.shadowOffsetY = 2.0;
  silver.shadowBlur = 2;
  paintChrome(canvas, textMask2x(bold, "2000", 28.0, 6.0, kWidth, kHeight, 160.0, 126.0), silver);
  return toRgbImage(canvas);
}

}  // namespace tolvarin::gen

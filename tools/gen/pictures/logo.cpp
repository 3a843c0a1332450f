// quarnel.g: the group's name as a chrome logo on a dark ground. The scene
// zooms it with wrap-around, so the ground is built from patterns whose
// period divides the picture: the tiles meet without seams.
#include <cmath>

#include "chrome_text.h"
#include "det_math.h"
#include "noise.h"
#include "palette.h"
#include "picture_makers.h"
#include "text_raster.h"

namespace tolvarin::gen {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

Rgb groundAt(int x, int y) {
  const double fx = (x + 0.5) / kWidth;
  const double fy = (y + 0.5) / kHeight;
  // Slow clouds and a fine grid every 20 pixels, both periodic over the picture.
  const double cloud = 0.5 + 0.5 * fbm(fx * 4.0, fy * 3.0, 7U, {5, 0.55, {4, 3}});
  const double gx = std::fabs(fract((x + 0.5) / 20.0) - 0.5) * 20.0;
  const double gy = std::fabs(fract((y + 0.5) / 20.0) - 0.5) * 20.0;
  const double grid = std::max(1.0 - smoothstep(0.0, 1.2, 10.0 - gx), 0.0) +
                      std::max(1.0 - smoothstep(0.0, 1.2, 10.0 - gy), 0.0);
  Rgb c = mixRgb(hexRgb(0x04040C), hexRgb(0x182048), cloud * cloud);
  c = c + hexRgb(0x10284C) * (0.35 * std::min(1.0, grid) * (0.4 + cloud));
  // A band of light behind the letters, fading out well before the edges.
  const double band = detExp(-((fy - 0.5) * (fy - 0.5)) / 0.012);
  return c + hexRgb(0x302060) * (0.55 * band);
}

}  // namespace

formats::IndexedImage makeQuarnel() {
  Canvas canvas(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) canvas.at(x, y) = groundAt(x, y);
  }
  const FontFace face("DejaVuSans-Bold.ttf");
  const Field mask = textMask2x(face, "QUARNEL", 60.0, 1.5, kWidth, kHeight, 160.0, 120.0, 0.8);
  ChromeStyle style;
  style.horizon = classicChrome();
  style.bevelWidth = 5.0;
  style.outlineWidth = 2.0;
  style.glowColour = hexRgb(0x4080FF);
  style.glowStrength = 0.45;
  paintChrome(canvas, mask, style);
  return quantise(canvas);
}

}  // namespace tolvarin::gen

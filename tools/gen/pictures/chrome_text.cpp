#include "chrome_text.h"

#include <algorithm>
#include <cmath>

#include "det_math.h"
#include "lighting.h"
#include "shapes.h"
#include "text_raster.h"

namespace tolvarin::gen {

std::vector<GradientStop> classicChrome() {
  return {{0.0, hexRgb(0x200C04)},  {0.30, hexRgb(0x6A4020)}, {0.46, hexRgb(0xE8B070)},
          {0.50, hexRgb(0xFFFFFF)}, {0.54, hexRgb(0x3050A0)}, {0.75, hexRgb(0x80B0F0)},
          {1.0, hexRgb(0xE8F4FF)}};
}

std::vector<GradientStop> goldChrome() {
  return {{0.0, hexRgb(0x180802)},  {0.30, hexRgb(0x603010)}, {0.46, hexRgb(0xD88830)},
          {0.50, hexRgb(0xFFF8D0)}, {0.55, hexRgb(0x906020)}, {0.78, hexRgb(0xF0C060)},
          {1.0, hexRgb(0xFFF4D0)}};
}

Field textMask2x(const FontFace& face, std::string_view text, double pixelSize, double tracking,
                 int canvasWidth, int canvasHeight, double centreX, double centreY, double scaleX) {
  const TextMask line = face.line(text, pixelSize * 2.0, tracking * 2.0, 4, scaleX);
  Field mask(canvasWidth * 2, canvasHeight * 2);
  const double inkCx = (line.inkLeft + line.inkRight + 1) * 0.5;
  const double inkCy = (line.inkTop + line.inkBottom + 1) * 0.5;
  const int dx = static_cast<int>(std::floor(centreX * 2.0 - inkCx + 0.5));
  const int dy = static_cast<int>(std::floor(centreY * 2.0 - inkCy + 0.5));
  for (int y = 0; y < line.coverage.height(); ++y) {
    for (int x = 0; x < line.coverage.width(); ++x) {
      const int tx = x + dx;
      const int ty = y + dy;
      if (tx < 0 || ty < 0 || tx >= mask.width() || ty >= mask.height()) continue;
      mask.at(tx, ty) = line.coverage.at(x, y);
    }
  }
  return mask;
}

TextDistance textDistance(const Field& mask2x) {
  const int w = mask2x.width() / 2;
  const int h = mask2x.height() / 2;
  // Signed distance in canvas pixels, averaged over the 2x2 block.
  const Field sd2 = signedDistance(mask2x, 0.5);
  TextDistance out{Field(w, h), Field(w, h)};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      double d = 0.0;
      double c = 0.0;
      for (int sy = 0; sy < 2; ++sy) {
        for (int sx = 0; sx < 2; ++sx) {
          d += sd2.at(2 * x + sx, 2 * y + sy);
          c += mask2x.at(2 * x + sx, 2 * y + sy);
        }
      }
      out.distance.at(x, y) = d * 0.125;  // mean of four, then half for 2x pixels
      out.coverage.at(x, y) = c * 0.25;
    }
  }
  return out;
}

Field paintChrome(Canvas& canvas, const Field& mask2x, const ChromeStyle& style) {
  const int w = canvas.width();
  const int h = canvas.height();
  const TextDistance text = textDistance(mask2x);
  const Field& sd = text.distance;
  const Field& cover = text.coverage;
  Field height(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) height.at(x, y) = roundBevel(sd.at(x, y), style.bevelWidth);
  }
  boxBlur(height, 1, 1);
  // Shadow: the blurred coverage, shifted.
  Field shadow(w, h);
  const int ox = static_cast<int>(style.shadowOffsetX);
  const int oy = static_cast<int>(style.shadowOffsetY);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) shadow.at(x, y) = cover.clampedAt(x - ox, y - oy);
  }
  boxBlur(shadow, style.shadowBlur, 3);
  const Vec3 light{style.lightX, style.lightY, 0.8};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      Rgb c = canvas.at(x, y);
      const double d = sd.at(x, y);
      c = c * (1.0 - style.shadowStrength * shadow.at(x, y));
      if (d > 0.0) {
        const double glow = style.glowStrength * detExp(-(d - style.outlineWidth) / style.glowRadius);
        c = screen(clampRgb(c), clampRgb(style.glowColour * std::min(1.0, glow)));
      }
      // Outline: a rim of outlineWidth pixels around the letters.
      blend(c, style.outlineColour, coverage(d - style.outlineWidth));
      const Vec3 n = normalAt(height, x, y, 6.0 * style.bevelWidth);
      Rgb metal = chrome(n, style.horizon) * (0.65 + 0.45 * diffuse(n, light));
      metal = metal + Rgb{1.0, 1.0, 1.0} * (0.8 * specular(n, light, 40.0));
      blend(c, clampRgb(metal), coverage(d + 0.6));
      canvas.at(x, y) = c;
    }
  }
  return height;
}

}  // namespace tolvarin::gen

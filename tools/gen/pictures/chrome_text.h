#pragma once
// Chrome lettering for the pictures that carry the group's name: bevelled
// metal letters with a dark outline, a drop shadow and a soft glow, painted
// over whatever the canvas already holds.
#include <string_view>
#include <vector>

#include "canvas.h"
#include "palette.h"

namespace tolvarin::gen {

class FontFace;

struct ChromeStyle {
  double bevelWidth = 5.0;       // pixels from the outline to the top of the bevel
  double outlineWidth = 1.5;     // dark rim around the letters
  Rgb outlineColour{0.02, 0.02, 0.05};
  double shadowOffsetX = 3.0;
  double shadowOffsetY = 4.0;
  int shadowBlur = 3;
  double shadowStrength = 0.7;
  Rgb glowColour{0.2, 0.5, 1.0};
  double glowRadius = 10.0;      // e-folding distance of the glow
  double glowStrength = 0.5;
  std::vector<GradientStop> horizon;  // reflected sky and ground, bottom to top
  double lightX = -0.4;          // light direction for the highlight
  double lightY = 0.7;
};

// Horizon of a classic chrome: dark earth, a bright line, blue sky.
std::vector<GradientStop> classicChrome();
// Warm gold variant.
std::vector<GradientStop> goldChrome();

// Lays out `text` with its ink centred on (centreX, centreY) at `pixelSize`,
// returning a coverage mask the size of the canvas at twice its resolution.
Field textMask2x(const FontFace& face, std::string_view text, double pixelSize, double tracking,
                 int canvasWidth, int canvasHeight, double centreX, double centreY,
                 double scaleX = 1.0);

// The letters of a 2x coverage mask at canvas resolution: signed distance to
// their outline in canvas pixels (< 0 inside) and coverage 0..1.
struct TextDistance {
  Field distance;
  Field coverage;
};
TextDistance textDistance(const Field& mask2x);

// Paints chrome letters from a 2x coverage mask (see textMask2x) into the
// canvas. Returns the letters' height field (0..1), e.g. for a relief.
Field paintChrome(Canvas& canvas, const Field& mask2x, const ChromeStyle& style);

}  // namespace tolvarin::gen

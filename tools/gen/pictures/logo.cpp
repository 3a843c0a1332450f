// quarnel.g: the group logo in chrome, the picture of the opening scene. It
// is the composition of logo_layout at the place and size of its relief
// qxmap1.g, so the scene's light runs along the logo's own bevels. Loaded,
// an 8-bit picture carries channels 0..63 only, so the name is painted in
// the top levels over a dark bar, where it reads first while the logo fades
// in. The scene zooms the picture with wrap-around, so the ground is a
// pattern whose period divides the picture: the tiles meet without seams.
#include <algorithm>
#include <cmath>

#include "det_math.h"
#include "lighting.h"
#include "logo_layout.h"
#include "palette.h"
#include "picture_makers.h"
#include "shapes.h"

namespace tolvarin::gen {

formats::IndexedImage makeQuarnel() {
  const LogoLayers& logo = logoLayers();
  Canvas canvas(kLogoWidth, kLogoHeight);
  // Steel for the emblem: blue sky, a white horizon, dark ground.
  const std::vector<GradientStop> steel{{0.0, hexRgb(0x101828)},  {0.32, hexRgb(0x3A4C70)},
                                        {0.47, hexRgb(0xC8D8F0)}, {0.5, hexRgb(0xFFFFFF)},
                                        {0.55, hexRgb(0x40609C)}, {0.8, hexRgb(0x90B8F0)},
                                        {1.0, hexRgb(0xE0F0FF)}};
  // Bright chrome for the name: mostly near white, so it stays readable in
  // the 6-bit levels.
  const std::vector<GradientStop> chromeBright{{0.0, hexRgb(0x506080)}, {0.35, hexRgb(0xA8C0E8)},
                                               {0.5, hexRgb(0xFFFFFF)}, {0.56, hexRgb(0x98B4E0)},
                                               {1.0, hexRgb(0xF8FCFF)}};
  const Vec3 light{-0.45, 0.65, 0.8};
  for (int y = 0; y < kLogoHeight; ++y) {
    for (int x = 0; x < kLogoWidth; ++x) {
      const double px = x + 0.5;
      const double py = y + 0.5;
      const Vec3 n = normalAt(logo.height, x, y, 40.0, true);
      const double lit = diffuse(n, light);
      const double shine = specular(n, light, 30.0);
      // Ground: deep navy diamonds with thin glowing seams (period 32 x 40).
      const GroundCell cell = groundCell(px, py);
      Rgb colour = cell.parity == 0 ? hexRgb(0x070A1C) : hexRgb(0x0A1026);
      colour = colour + hexRgb(0x2850A0) * (0.45 * (1.0 - smoothstep(0.0, 1.3, cell.seam)));
      // A blue halo behind the emblem, gone well before row 199.
      const double r = length(px - kLogoCx, py - kLogoCy);
      colour = colour + hexRgb(0x183070) * (0.8 * (1.0 - smoothstep(48.0, 80.0, r)));
      const double below = std::min({logo.ring.clampedAt(x - 3, y - 4), logo.cross.clampedAt(x - 3, y - 4),
                                     logo.bar.clampedAt(x - 3, y - 4)});
      colour = colour * (1.0 - 0.7 * (1.0 - smoothstep(-3.0, 7.0, below)));
      // Ring and X: blue steel, the X a little brighter.
      const Rgb metal = chrome(n, steel) * (0.45 + 0.5 * lit) + Rgb{0.9, 0.95, 1.0} * (0.5 * shine);
      blend(colour, metal * 0.85, coverage(logo.ring.at(x, y)));
      blend(colour, metal, coverage(logo.cross.at(x, y)));
      // The bar: black glass with a steel frame, its shadow on the emblem.
      colour = colour * (1.0 - 0.55 * (1.0 - smoothstep(-2.0, 6.0, logo.bar.clampedAt(x - 2, y - 3))));
      const double bar = logo.bar.at(x, y);
      Rgb glass = mixRgb(hexRgb(0x02040C), hexRgb(0x0C1830), 0.5 + 0.5 * (py - (kLogoCy - 20.0)) / 40.0);
      glass = mixRgb(glass, metal, 1.0 - softBevel(bar, 4.5));
      blend(colour, glass, coverage(bar));
      // The name in bright chrome with a dark rim and a soft blue glow.
      const double letters = logo.letters.at(x, y);
      const double glow = detExp(-std::max(0.0, letters) / 5.0) * coverage(bar);
      colour = screen(clampRgb(colour), hexRgb(0x3060C0) * (0.35 * glow));
      blend(colour, hexRgb(0x000208), coverage(letters - 1.3));
      const Rgb letterMetal = chrome(n, chromeBright) * (0.8 + 0.3 * lit) + Rgb{1.0, 1.0, 1.0} * (0.7 * shine);
      blend(colour, letterMetal, coverage(letters + 0.3));
      canvas.at(x, y) = clampRgb(colour);
    }
  }
  return quantise(canvas);
}

}  // namespace tolvarin::gen

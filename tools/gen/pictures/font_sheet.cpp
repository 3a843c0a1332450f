// fuenteB.g: the font sheet. Every glyph of the table is rasterised with
// FreeType inside its rectangle, standing on a common baseline. Ink is hard
// edged: the sheet is drawn both plain (0..63 once loaded) and inverted
// (255 - value), and any faint anti-aliasing pixel would light up as a bright
// speck around inverted letters. Pixels of half coverage or more take the
// row's ink shade, a thin rim of quarter coverage a slightly darker shade,
// anything less stays 0, the transparent key.
#include <algorithm>
#include <cmath>

#include "glyph_layout.h"
#include "palette.h"
#include "picture_makers.h"
#include "text_raster.h"

namespace tolvarin::gen {
namespace {

constexpr int kCoreFirst = 1;   // entries 1..24: ink by row
constexpr int kRimFirst = 33;   // entries 33..56: rim by row
constexpr int kShadeRows = 24;
constexpr double kPixelSize = 17.8;  // capitals 13 pixels tall

Palette sheetPalette() {
  Palette palette{};  // entry 0 stays black: the key colour
  // Plain, the ink is a dim gold running to orange at the baseline (the
  // greetings fade it out channel by channel: blue first, red last);
  // inverted, the same entries read as a pale blue-white.
  const std::vector<GradientStop> stops{{0.0, hexRgb(0xFFE094)},
                                        {7.0 / 23.0, hexRgb(0xFFB050)},
                                        {13.0 / 23.0, hexRgb(0xF07828)},
                                        {1.0, hexRgb(0xD05820)}};
  fillGradient(palette, kCoreFirst, kCoreFirst + kShadeRows - 1, stops);
  for (int i = 0; i < kShadeRows; ++i) {
    for (int c = 0; c < 3; ++c) {
      const int core = palette[(kCoreFirst + i) * 3 + c] >> 2;
      palette[(kRimFirst + i) * 3 + c] = levelToByte(std::max(4, core * 3 / 4));
    }
  }
  return palette;
}

// Renders `code` to fit rows 0..rows-1 and columns 0..columns-1 of its
// rectangle with its baseline at kGlyphBaseline; returns the bitmap and where
// its top-left goes.
struct FittedGlyph {
  GlyphBitmap bitmap;
  int x = 0;
  int y = 0;
};

FittedGlyph fitGlyph(const FontFace& face, unsigned char code, int columns, int rows) {
  double scaleX = 1.0;
  double scaleY = 1.0;
  GlyphBitmap g = face.glyph(code, kPixelSize, 1.0, 1.0, true);
  for (int attempt = 0; attempt < 8 && (g.width > columns || g.height > rows); ++attempt) {
    if (g.width > columns) scaleX *= (columns - 0.25) / g.width;
    if (g.height > rows) scaleY *= (rows - 0.25) / g.height;
    g = face.glyph(code, kPixelSize, scaleX, scaleY, true);
  }
  FittedGlyph fitted;
  fitted.x = std::max(0, (columns - g.width) / 2);
  // On the baseline where it fits, else moved just inside the drawn rows.
  fitted.y = std::clamp(kGlyphBaseline - g.top, 0, std::max(0, rows - g.height));
  fitted.bitmap = std::move(g);
  return fitted;
}

}  // namespace

formats::IndexedImage makeFontSheet() {
  formats::IndexedImage sheet;
  sheet.width = kFontSheetWidth;
  sheet.height = kFontSheetHeight;
  sheet.palette = sheetPalette();
  sheet.indices.assign(static_cast<std::size_t>(sheet.width) * sheet.height, 0);
  const FontFace face("DejaVuSans-Bold.ttf");
  for (const GlyphRect& rect : kGlyphRects) {
    const int rows = rect.height - 1;  // the last row is never drawn
    const FittedGlyph fitted = fitGlyph(face, rect.code, rect.width, rows);
    const GlyphBitmap& g = fitted.bitmap;
    for (int by = 0; by < g.height; ++by) {
      const int rel = fitted.y + by;
      if (rel < 0 || rel >= rows) continue;
      for (int bx = 0; bx < g.width; ++bx) {
        const int col = fitted.x + bx;
        if (col < 0 || col >= rect.width) continue;
        const int c = g.at(bx, by);
        if (c < 64) continue;
        const int shade = std::min(rel, kShadeRows - 1);
        const int entry = c >= 128 ? kCoreFirst + shade : kRimFirst + shade;
        auto& dst = sheet.indices[static_cast<std::size_t>(rect.y + rel) * sheet.width + rect.x + col];
        // Where rectangles overlap (the 9 and the 0) the stronger ink wins.
        if (dst == 0 || (dst >= kRimFirst && entry < kRimFirst)) dst = static_cast<std::uint8_t>(entry);
      }
    }
  }
  return sheet;
}

}  // namespace tolvarin::gen

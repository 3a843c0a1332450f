#pragma once
// Text rasterised with FreeType from the DejaVu fonts: single glyphs for the
// font sheet and whole lines as coverage masks for the pictures that carry
// lettering. Strings are Windows-1252 bytes, as the demo's texts are.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "canvas.h"

namespace tolvarin::gen {

// Where the DejaVu fonts live (set by the build, overridable there).
std::string fontDirectory();

struct GlyphBitmap {
  int width = 0;
  int height = 0;
  int left = 0;        // columns from the pen to the first bitmap column
  int top = 0;         // rows from the bitmap's top row up to the baseline
  double advance = 0;  // pen advance in pixels
  std::vector<std::uint8_t> coverage;  // width x height, 0..255
  std::uint8_t at(int x, int y) const { return coverage[static_cast<std::size_t>(y) * width + x]; }
};

// A coverage mask of a line of text with the baseline position inside it.
struct TextMask {
  Field coverage;      // 0..1
  int baseline = 0;    // row of the baseline
  int inkLeft = 0;     // first column with ink
  int inkRight = 0;    // last column with ink
  int inkTop = 0;      // first row with ink
  int inkBottom = 0;   // last row with ink
};

class FontFace {
 public:
  // Opens a font file of fontDirectory() (e.g. "DejaVuSans-Bold.ttf").
  // Throws std::runtime_error when FreeType or the file fails: the generator
  // cannot make its pictures without it.
  explicit FontFace(const std::string& fileName);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  // One character at `pixelSize` (em height in pixels), stretched by scaleX
  // and scaleY, with FreeType's anti-aliased rasteriser.
  // `hinted` snaps stems and edges to the pixel grid (FreeType's light
  // auto-hinter), for small sizes.
  GlyphBitmap glyph(unsigned char code, double pixelSize, double scaleX = 1.0,
                    double scaleY = 1.0, bool hinted = false) const;

  // A whole line, glyph after glyph with kerning and `tracking` extra pixels
  // between letters, inside a margin of `margin` pixels on every side.
  TextMask line(std::string_view text, double pixelSize, double tracking = 0.0, int margin = 2,
                double scaleX = 1.0) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tolvarin::gen

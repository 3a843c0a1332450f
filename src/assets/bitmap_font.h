#pragma once
// Text drawn from a font sheet picture cut into glyph rectangles. A string is
// one line, drawn left to right into a 320x240 target of 0x00RRGGBB pixels.
#include <cstdint>
#include <memory>

#include "assets/glyph_table.h"
#include "assets/picture.h"
#include "gfx2d/framebuffer.h"

namespace tolvarin {

inline constexpr int kGlyphTableSize = 78;

// Shared by both fonts; records 72..77 stay zero.
extern Glyph glyphTable[kGlyphTableSize];

// (Re)writes records 0..71 of glyphTable, undoing any change a scene made.
void initGlyphTable();

class BitmapFont {
 public:
  // Loads the sheet from fileName (a failed load leaves a font that draws
  // nothing) and searches glyphs[0..lastIndex]. Sheet pixels equal to
  // keyColour are transparent.
  BitmapFont(const char* fileName, Glyph* glyphs, int lastIndex, Pixel keyColour);
  virtual ~BitmapFont();
  BitmapFont(const BitmapFont&) = delete;
  BitmapFont& operator=(const BitmapFont&) = delete;

  // Draws one glyph with its top-left corner at (px, py), clipped to the
  // target. Sheet pixels outside the sheet count as transparent.
  void drawGlyph(int px, int py, unsigned char character, Pixel* target) const;
  // Draws a zero-terminated string with the pen starting at (px, py); stops
  // at a line feed or once the pen has passed x 320.
  void drawText(int px, int py, const char* text, Pixel* target) const;

  std::unique_ptr<Picture> image;  // the font's own copy of the sheet
  Pixel keyColour;
  Glyph* glyphs;
  int glyphCount;
  bool inverted = false;

 private:
  [[nodiscard]] const Glyph* findGlyph(unsigned char character) const;
  void drawGlyphAt(std::int64_t px, std::int64_t py, const Glyph& glyph, Pixel* target) const;
};

}  // namespace tolvarin

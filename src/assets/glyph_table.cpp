// The table both fonts share, filled from the sheet's glyph rectangles.
#include "assets/bitmap_font.h"

namespace tolvarin {

Glyph glyphTable[kGlyphTableSize] = {};

static_assert(kGlyphs.size() < kGlyphTableSize);
static_assert(kGlyphs[68].code == ')');

void initGlyphTable() {
  for (std::size_t i = 0; i < kGlyphs.size(); ++i) glyphTable[i] = kGlyphs[i];
}

}  // namespace tolvarin

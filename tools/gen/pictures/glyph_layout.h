#pragma once
// The font sheet's layout as the generator draws it: the glyph rectangles of
// the program's own table (assets/glyph_table.h), the common baseline, and
// the word gap kept blank.
#include "assets/glyph_table.h"

namespace tolvarin::gen {

using tolvarin::kFontSheetHeight;
using tolvarin::kFontSheetWidth;
using GlyphRect = tolvarin::Glyph;
inline constexpr const auto& kGlyphRects = tolvarin::kGlyphs;

// Row of the first pixel below the baseline, counted from a rectangle's top:
// every glyph stands on the same line whatever its rectangle's height.
inline constexpr int kGlyphBaseline = 14;

// An area of the sheet, corners inclusive.
struct SheetArea {
  int x0, y0, x1, y1;
};
// The rows of the word gap that are drawn (its rectangle's last row is not).
inline constexpr SheetArea kBlankGap{tolvarin::kWordGap.x, tolvarin::kWordGap.y,
                                     tolvarin::kWordGap.x + tolvarin::kWordGap.width - 1,
                                     tolvarin::kWordGap.y + tolvarin::kWordGap.height - 2};

}  // namespace tolvarin::gen

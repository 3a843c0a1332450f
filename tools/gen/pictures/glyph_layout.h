#pragma once
// The rectangles of the font sheet, in the demo's glyph-table order: the
// sheet generator draws each character inside its rectangle and the tests
// check the sheet against this list. A glyph draws all rows of its rectangle
// but the last one.
#include <array>

namespace tolvarin::gen {

struct GlyphRect {
  unsigned char code;  // Windows-1252
  int x;
  int y;
  int height;
  int width;
};

inline constexpr int kFontSheetWidth = 320;
inline constexpr int kFontSheetHeight = 128;

// Row of the first pixel below the baseline, counted from a rectangle's top:
// every glyph stands on the same line whatever its rectangle's height.
inline constexpr int kGlyphBaseline = 14;

// Area the prototype text scene uses as an empty word gap: kept blank.
struct SheetArea {
  int x0, y0, x1, y1;  // inclusive
};
inline constexpr SheetArea kBlankGap{230, 100, 244, 123};

inline constexpr std::array<GlyphRect, 72> kGlyphRects{{
    {'A', 5, 5, 15, 15},    {'B', 21, 5, 15, 12},   {'C', 36, 5, 15, 12},   {'D', 50, 5, 15, 14},
    {'E', 66, 5, 15, 11},   {'F', 79, 5, 15, 11},   {'G', 93, 5, 15, 14},   {'H', 108, 5, 15, 15},
    {'I', 124, 5, 15, 7},   {'J', 132, 5, 19, 7},   {'K', 140, 5, 15, 14},  {'L', 155, 5, 15, 11},
    {'M', 168, 5, 15, 19},  {'N', 188, 5, 15, 15},  {209, 204, 5, 15, 17},  {'O', 221, 5, 15, 14},
    {'P', 236, 5, 15, 11},  {'Q', 250, 5, 19, 15},  {'R', 265, 5, 15, 14},  {'S', 281, 5, 15, 10},
    {'T', 293, 5, 15, 13},
    {'U', 6, 20, 15, 15},   {'V', 22, 20, 15, 13},  {'W', 36, 20, 15, 20},  {'X', 57, 20, 15, 14},
    {'Y', 72, 20, 15, 14},  {'Z', 88, 20, 15, 12},
    {'a', 7, 49, 16, 10},   {'b', 19, 49, 16, 10},  {'c', 32, 49, 16, 8},   {'d', 43, 49, 16, 10},
    {'e', 56, 49, 16, 9},   {'f', 67, 49, 16, 8},   {'g', 75, 49, 22, 9},   {'h', 86, 49, 16, 11},
    {'i', 99, 49, 16, 5},   {'j', 106, 49, 21, 5},  {'k', 114, 49, 16, 11}, {'l', 127, 49, 16, 5},
    {'m', 135, 49, 16, 17}, {'n', 154, 49, 16, 11}, {241, 167, 49, 16, 11}, {'o', 180, 49, 16, 9},
    {'p', 191, 49, 21, 11}, {'q', 205, 49, 21, 10}, {'r', 218, 49, 16, 8},  {'s', 228, 49, 16, 8},
    {'t', 237, 49, 16, 7},  {'u', 246, 49, 16, 11}, {'v', 258, 49, 16, 11}, {'w', 270, 49, 16, 16},
    {'x', 288, 49, 16, 10}, {'y', 300, 49, 21, 10},
    {'z', 7, 64, 16, 9},
    {'1', 8, 81, 15, 9},    {'2', 19, 81, 15, 9},   {'3', 31, 81, 15, 9},   {'4', 43, 81, 15, 10},
    {'5', 55, 81, 15, 9},   {'6', 67, 81, 15, 9},   {'7', 80, 81, 15, 8},   {'8', 91, 81, 15, 9},
    {'9', 103, 81, 15, 9},  {'0', 105, 81, 15, 9},  {'-', 133, 81, 15, 5},  {'_', 140, 81, 19, 10},
    {'?', 152, 80, 15, 7},  {':', 163, 81, 15, 3},  {')', 168, 80, 16, 5},  {'\'', 176, 80, 15, 3},
    {',', 181, 79, 19, 3},  {'.', 187, 79, 16, 3},
}};

}  // namespace tolvarin::gen

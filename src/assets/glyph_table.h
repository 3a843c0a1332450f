#pragma once
// The glyph rectangles of the font sheet, one table for the program (which
// copies it into glyphTable) and for the generator that draws the sheet.
#include <array>
#include <cstdint>

namespace tolvarin {

// One rectangle of the font sheet and the character it draws.
struct Glyph {
  std::uint8_t code;     // Windows-1252 code; 0 never matches a character
  std::int32_t x;        // left column in the sheet
  std::int32_t y;        // top row in the sheet
  std::int32_t height;   // rows; the last one is never drawn
  std::int32_t width;    // columns
  std::int32_t spacing;  // extra pen advance after the glyph
};

inline constexpr int kFontSheetWidth = 320;
inline constexpr int kFontSheetHeight = 128;

// Five rows of glyphs on the sheet, records 0..71 of glyphTable. All glyphs
// are spaced 2.
inline constexpr std::array<Glyph, 72> kGlyphs{{
    // Capitals, row at y 5, height 15 (J and Q reach further down).
    {'A', 5, 5, 15, 15, 2}, {'B', 21, 5, 15, 12, 2}, {'C', 36, 5, 15, 12, 2},
    {'D', 50, 5, 15, 14, 2}, {'E', 66, 5, 15, 11, 2}, {'F', 79, 5, 15, 11, 2},
    {'G', 93, 5, 15, 14, 2}, {'H', 108, 5, 15, 15, 2}, {'I', 124, 5, 15, 7, 2},
    {'J', 132, 5, 19, 7, 2}, {'K', 140, 5, 15, 14, 2}, {'L', 155, 5, 15, 11, 2},
    {'M', 168, 5, 15, 19, 2}, {'N', 188, 5, 15, 15, 2}, {209 /* N tilde */, 204, 5, 15, 17, 2},
    {'O', 221, 5, 15, 14, 2}, {'P', 236, 5, 15, 11, 2}, {'Q', 250, 5, 19, 15, 2},
    {'R', 265, 5, 15, 14, 2}, {'S', 281, 5, 15, 10, 2}, {'T', 293, 5, 15, 13, 2},
    // Capitals, row at y 20, height 15.
    {'U', 6, 20, 15, 15, 2}, {'V', 22, 20, 15, 13, 2}, {'W', 36, 20, 15, 20, 2},
    {'X', 57, 20, 15, 14, 2}, {'Y', 72, 20, 15, 14, 2}, {'Z', 88, 20, 15, 12, 2},
    // Small letters, row at y 49, height 16 (descenders are taller).
    {'a', 7, 49, 16, 10, 2}, {'b', 19, 49, 16, 10, 2}, {'c', 32, 49, 16, 8, 2},
    {'d', 43, 49, 16, 10, 2}, {'e', 56, 49, 16, 9, 2}, {'f', 67, 49, 16, 8, 2},
    {'g', 75, 49, 22, 9, 2}, {'h', 86, 49, 16, 11, 2}, {'i', 99, 49, 16, 5, 2},
    {'j', 106, 49, 21, 5, 2}, {'k', 114, 49, 16, 11, 2}, {'l', 127, 49, 16, 5, 2},
    {'m', 135, 49, 16, 17, 2}, {'n', 154, 49, 16, 11, 2}, {241 /* n tilde */, 167, 49, 16, 11, 2},
    {'o', 180, 49, 16, 9, 2}, {'p', 191, 49, 21, 11, 2}, {'q', 205, 49, 21, 10, 2},
    {'r', 218, 49, 16, 8, 2}, {'s', 228, 49, 16, 8, 2}, {'t', 237, 49, 16, 7, 2},
    {'u', 246, 49, 16, 11, 2}, {'v', 258, 49, 16, 11, 2}, {'w', 270, 49, 16, 16, 2},
    {'x', 288, 49, 16, 10, 2}, {'y', 300, 49, 21, 10, 2},
    // Row at y 64, height 16.
    {'z', 7, 64, 16, 9, 2},
    // Digits and punctuation, row at y 81, height 15. The 0's rectangle starts
    // at x 105, inside the 9's (103..111), not after it.
    {'1', 8, 81, 15, 9, 2}, {'2', 19, 81, 15, 9, 2}, {'3', 31, 81, 15, 9, 2},
    {'4', 43, 81, 15, 10, 2}, {'5', 55, 81, 15, 9, 2}, {'6', 67, 81, 15, 9, 2},
    {'7', 80, 81, 15, 8, 2}, {'8', 91, 81, 15, 9, 2}, {'9', 103, 81, 15, 9, 2},
    {'0', 105, 81, 15, 9, 2}, {'-', 133, 81, 15, 5, 2}, {'_', 140, 81, 19, 10, 2},
    {'?', 152, 80, 15, 7, 2}, {':', 163, 81, 15, 3, 2}, {')', 168, 80, 16, 5, 2},
    {'\'', 176, 80, 15, 3, 2}, {',', 181, 79, 19, 3, 2}, {'.', 187, 79, 16, 3, 2},
}};

// The rectangle the prototype text gives the closing parenthesis, turning it
// into a word gap: 15 columns (x 230..244) of rows 100..123, below every
// glyph of the sheet, which the sheet keeps blank. The pen then moves 15 + 2
// pixels.
inline constexpr Glyph kWordGap{')', 230, 100, 25, 15, 2};

}  // namespace tolvarin

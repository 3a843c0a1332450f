#include "assets/bitmap_font.h"

#include <algorithm>
#include <climits>
#include <new>

namespace tolvarin {
namespace {

constexpr std::int64_t kTargetWidth = kFrameWidth;
constexpr std::int64_t kTargetHeight = kFrameHeight;
constexpr std::int64_t kPenStop = 320;  // the pen past this ends a string
constexpr std::int64_t kSpaceAdvance = 10;
// A space has no glyph record to add its spacing; the font's spacing of 2 is
// added so a space takes 12 pixels like a narrow glyph would.
constexpr std::int64_t kSpaceSpacing = 2;

}  // namespace

BitmapFont::BitmapFont(const char* fileName, Glyph* glyphTableStart, int lastIndex, Pixel key)
    : image(new (std::nothrow) Picture),
      keyColour(key),
      glyphs(glyphTableStart),
      glyphCount(lastIndex + 1) {
  // A sheet that fails to load leaves image without pixels: the font draws nothing.
  if (image) (void)image->load(fileName);
}

BitmapFont::~BitmapFont() = default;

const Glyph* BitmapFont::findGlyph(unsigned char character) const {
  if (glyphs == nullptr) return nullptr;
  for (int i = 0; i < glyphCount; ++i) {
    if (glyphs[i].code == character) return &glyphs[i];
  }
  return nullptr;
}

void BitmapFont::drawGlyph(int px, int py, unsigned char character, Pixel* target) const {
  if (const Glyph* glyph = findGlyph(character)) drawGlyphAt(px, py, *glyph, target);
}

// 64-bit positions: pens far off screen and edited glyph records cannot overflow.
void BitmapFont::drawGlyphAt(std::int64_t px, std::int64_t py, const Glyph& glyph,
                             Pixel* target) const {
  if (!image || !image->pixels || target == nullptr) return;
  if (px >= kTargetWidth || py >= kTargetHeight || px + glyph.width < 0 || py + glyph.height < 0) {
    return;
  }
  std::int64_t sx = glyph.x;
  std::int64_t sy = glyph.y;
  std::int64_t w = glyph.width;
  std::int64_t h = glyph.height;
  if (px < 0) {  // the rectangle loses its left -px columns
    sx -= px;
    w += px;
    px = 0;
  }
  if (py < 0) {
    sy -= py;
    h += py;
    py = 0;
  }
  if (px + w >= kTargetWidth) w = kTargetWidth - px;
  if (py + h >= kTargetHeight) h = kTargetHeight - py;
  if (w < 1 || h < 2) return;

  // Sheet pixels outside the sheet are transparent, so a rectangle reaching
  // past a small or damaged sheet reads nothing beyond it.
  const std::int64_t sheetWidth = image->width;
  const std::int64_t sheetHeight = image->height;
  const std::int64_t firstColumn = std::max<std::int64_t>(0, -sx);
  const std::int64_t endColumn = std::min<std::int64_t>(w, sheetWidth - sx);
  const Pixel* sheet = image->pixels.get();
  // The rectangle's last row is never drawn: a glyph of height 15 draws 14.
  for (std::int64_t r = 0; r < h - 1; ++r) {
    const std::int64_t sheetRow = sy + r;
    if (sheetRow < 0 || sheetRow >= sheetHeight) continue;
    const std::int64_t sheetStart = sheetRow * sheetWidth + sx;  // column 0 of the glyph, maybe off the sheet
    Pixel* to = target + (py + r) * kTargetWidth + px;
    for (std::int64_t c = firstColumn; c < endColumn; ++c) {
      const Pixel p = sheet[sheetStart + c];
      if (p == keyColour) continue;
      // Inverted: 255 - b on all four bytes, the top byte included.
      to[c] = inverted ? ~p : p;
    }
  }
}

void BitmapFont::drawText(int px, int py, const char* text, Pixel* target) const {
  if (text == nullptr) return;
  std::int64_t pen = px;
  for (const char* at = text; *at != '\0'; ++at) {
    const auto character = static_cast<unsigned char>(*at);
    const Glyph* glyph = findGlyph(character);
    if (character == '\n') {
      pen = 340;  // past the stop: nothing after a line feed is drawn
    } else if (character == ' ') {
      pen += kSpaceAdvance;
    } else if (glyph != nullptr) {
      drawGlyphAt(pen, py, *glyph, target);
    }
    if (glyph != nullptr) {
      pen += std::int64_t{glyph->width} + glyph->spacing;
    } else if (character == ' ') {
      pen += kSpaceSpacing;
    }
    if (pen > kPenStop) break;
  }
}

}  // namespace tolvarin

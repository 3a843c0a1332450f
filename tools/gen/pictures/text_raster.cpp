#include "text_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <stdexcept>

#ifndef TOLVARIN_FONT_DIR
#define TOLVARIN_FONT_DIR "/usr/share/fonts/truetype/dejavu"
#endif

namespace tolvarin::gen {

std::string fontDirectory() { return TOLVARIN_FONT_DIR; }

struct FontFace::Impl {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
};

namespace {

// Windows-1252 and Unicode agree on every character the demo uses (ASCII
// and the Latin-1 letters such as N with tilde, 209).
FT_ULong toUnicode(unsigned char code) { return code; }

FT_Long fixed16(double v) { return static_cast<FT_Long>(std::floor(v * 65536.0 + 0.5)); }

}  // namespace

FontFace::FontFace(const std::string& fileName) : impl_(std::make_unique<Impl>()) {
  if (FT_Init_FreeType(&impl_->library) != 0) throw std::runtime_error("FreeType cannot start");
  const std::string path = fontDirectory() + "/" + fileName;
  if (FT_New_Face(impl_->library, path.c_str(), 0, &impl_->face) != 0) {
    FT_Done_FreeType(impl_->library);
    throw std::runtime_error("cannot open font " + path);
  }
}

FontFace::~FontFace() {
  FT_Done_Face(impl_->face);
  FT_Done_FreeType(impl_->library);
}

GlyphBitmap FontFace::glyph(unsigned char code, double pixelSize, double scaleX, double scaleY,
                            bool hinted) const {
  FT_Face face = impl_->face;
  // Sizes in 26.6 units; the stretch goes through the transform matrix.
  FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::floor(pixelSize * 64.0 + 0.5)), 72, 72);
  FT_Matrix matrix{fixed16(scaleX), 0, 0, fixed16(scaleY)};
  FT_Vector delta{0, 0};
  FT_Set_Transform(face, &matrix, &delta);
  GlyphBitmap out;
  const FT_UInt index = FT_Get_Char_Index(face, toUnicode(code));
  if (index == 0) return out;
  const FT_Int32 flags = FT_LOAD_NO_BITMAP | (hinted ? FT_LOAD_TARGET_LIGHT : FT_LOAD_NO_HINTING);
  if (FT_Load_Glyph(face, index, flags) != 0) return out;
  if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return out;
  const FT_Bitmap& bitmap = face->glyph->bitmap;
  out.width = static_cast<int>(bitmap.width);
  out.height = static_cast<int>(bitmap.rows);
  out.left = face->glyph->bitmap_left;
  out.top = face->glyph->bitmap_top;
  out.advance = face->glyph->advance.x / 64.0;
  out.coverage.resize(static_cast<std::size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      out.coverage[static_cast<std::size_t>(y) * out.width + x] = bitmap.buffer[y * bitmap.pitch + x];
    }
  }
  return out;
}

TextMask FontFace::line(std::string_view text, double pixelSize, double tracking, int margin,
                        double scaleX) const {
  struct Placed {
    GlyphBitmap bitmap;
    int x;
  };
  std::vector<Placed> placed;
  double pen = 0.0;
  int ascent = 0;
  int descent = 0;
  int right = 0;
  FT_UInt previous = 0;
  FT_Face face = impl_->face;
  for (char ch : text) {
    const auto code = static_cast<unsigned char>(ch);
    GlyphBitmap g = glyph(code, pixelSize, scaleX, 1.0);
    const FT_UInt index = FT_Get_Char_Index(face, toUnicode(code));
    if (previous != 0 && index != 0 && FT_HAS_KERNING(face)) {
      FT_Vector kern{0, 0};
      FT_Get_Kerning(face, previous, index, FT_KERNING_UNFITTED, &kern);
      pen += kern.x / 64.0 * scaleX;
    }
    previous = index;
    const int x = static_cast<int>(std::floor(pen + 0.5)) + g.left;
    ascent = std::max(ascent, g.top);
    descent = std::max(descent, g.height - g.top);
    right = std::max(right, x + g.width);
    pen += g.advance + tracking;
    placed.push_back({std::move(g), x});
  }
  TextMask mask;
  const int width = right + 2 * margin;
  const int height = ascent + descent + 2 * margin;
  mask.coverage = Field(std::max(width, 1), std::max(height, 1));
  mask.baseline = margin + ascent;
  mask.inkLeft = width;
  mask.inkRight = -1;
  mask.inkTop = height;
  mask.inkBottom = -1;
  for (const Placed& p : placed) {
    for (int y = 0; y < p.bitmap.height; ++y) {
      for (int x = 0; x < p.bitmap.width; ++x) {
        const int tx = margin + p.x + x;
        const int ty = mask.baseline - p.bitmap.top + y;
        if (tx < 0 || ty < 0 || tx >= width || ty >= height) continue;
        const double c = p.bitmap.at(x, y) / 255.0;
        if (c <= 0.0) continue;
        double& dst = mask.coverage.at(tx, ty);
        dst = std::min(1.0, dst + c);
        mask.inkLeft = std::min(mask.inkLeft, tx);
        mask.inkRight = std::max(mask.inkRight, tx);
        mask.inkTop = std::min(mask.inkTop, ty);
        mask.inkBottom = std::max(mask.inkBottom, ty);
      }
    }
  }
  return mask;
}

}  // namespace tolvarin::gen

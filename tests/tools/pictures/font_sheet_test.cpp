// The font sheet against the glyph table the demo draws with: every glyph
// has ink in the rows it draws and nowhere else, the word-gap area is blank,
// ink survives the loader and stays clean when drawn inverted.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "assets/bitmap_font.h"
#include "assets/picture.h"
#include "formats/g_writer.h"
#include "gen/pictures/glyph_layout.h"
#include "gen/pictures/picture_makers.h"

namespace tolvarin::gen {
namespace {

struct LoadedSheet {
  formats::IndexedImage image = makeFontSheet();
  Picture picture;
  LoadedSheet() {
    const std::vector<std::uint8_t> bytes = formats::encodeIndexedG(image);
    EXPECT_TRUE(picture.loadFromMemory(bytes.data(), bytes.size()));
  }
  Pixel at(int x, int y) const { return picture.pixels[static_cast<std::size_t>(y) * picture.width + x]; }
};

const LoadedSheet& sheet() {
  static const LoadedSheet s;
  return s;
}

bool drawnBy(const GlyphRect& g, int x, int y) {
  return x >= g.x && x < g.x + g.width && y >= g.y && y < g.y + g.height - 1;
}

TEST(FontSheet, LoadsAtItsSizeWithBlackAsTheKey) {
  const LoadedSheet& s = sheet();
  ASSERT_TRUE(s.picture.pixels);
  EXPECT_EQ(s.picture.width, kFontSheetWidth);
  EXPECT_EQ(s.picture.height, kFontSheetHeight);
  EXPECT_EQ(s.image.palette[0], 0);
  EXPECT_EQ(s.image.palette[1], 0);
  EXPECT_EQ(s.image.palette[2], 0);
  // Every entry in use other than 0 must stay non-zero once divided by 4.
  for (std::uint8_t index : s.image.indices) {
    if (index == 0) continue;
    const int r = s.image.palette[index * 3] >> 2;
    const int g = s.image.palette[index * 3 + 1] >> 2;
    const int b = s.image.palette[index * 3 + 2] >> 2;
    ASSERT_GT(r + g + b, 0) << static_cast<int>(index);
  }
}

TEST(FontSheet, WordGapAreaIsBlank) {
  const LoadedSheet& s = sheet();
  for (int y = kBlankGap.y0; y <= kBlankGap.y1; ++y) {
    for (int x = kBlankGap.x0; x <= kBlankGap.x1; ++x) EXPECT_EQ(s.at(x, y), 0U) << x << "," << y;
  }
}

TEST(FontSheet, EveryGlyphHasInkInTheRowsItDraws) {
  const LoadedSheet& s = sheet();
  for (const GlyphRect& g : kGlyphRects) {
    int ink = 0;
    for (int y = g.y; y < g.y + g.height - 1; ++y) {
      for (int x = g.x; x < g.x + g.width; ++x) ink += s.at(x, y) != 0 ? 1 : 0;
    }
    // Even the full stop is a few pixels; letters are dozens.
    EXPECT_GE(ink, 4) << "glyph " << static_cast<int>(g.code);
  }
}

TEST(FontSheet, InkOnlyWhereSomeGlyphDraws) {
  const LoadedSheet& s = sheet();
  for (int y = 0; y < kFontSheetHeight; ++y) {
    for (int x = 0; x < kFontSheetWidth; ++x) {
      if (s.at(x, y) == 0) continue;
      const bool covered = std::any_of(kGlyphRects.begin(), kGlyphRects.end(),
                                       [&](const GlyphRect& g) { return drawnBy(g, x, y); });
      EXPECT_TRUE(covered) << "stray ink at " << x << "," << y;
    }
  }
}

TEST(FontSheet, GlyphsOnlyShowTheirOwnInk) {
  // Rectangles of neighbouring rows overlap in places (the tall J and Q
  // reach into the second row's rows); apart from the 9 and the 0, which the
  // table overlaps on purpose, no glyph may draw another one's ink.
  const LoadedSheet& s = sheet();
  for (const GlyphRect& a : kGlyphRects) {
    for (const GlyphRect& b : kGlyphRects) {
      if (&a == &b || (a.code == '9' && b.code == '0') || (a.code == '0' && b.code == '9')) continue;
      for (int y = a.y; y < a.y + a.height - 1; ++y) {
        for (int x = a.x; x < a.x + a.width; ++x) {
          if (drawnBy(b, x, y)) {
            EXPECT_EQ(s.at(x, y), 0U) << a.code << " inside " << b.code;
          }
        }
      }
    }
  }
}

TEST(FontSheet, LettersShareOneBaseline) {
  const LoadedSheet& s = sheet();
  for (const GlyphRect& g : kGlyphRects) {
    const bool flatBottom = std::string("ABDEHIKLMNRTVXZbdhiklmnrvxz1247").find(static_cast<char>(g.code)) != std::string::npos;
    if (!flatBottom) continue;
    int lastInkRow = -1;
    for (int y = g.y; y < g.y + g.height - 1; ++y) {
      for (int x = g.x; x < g.x + g.width; ++x) {
        if (s.at(x, y) != 0) lastInkRow = y - g.y;
      }
    }
    EXPECT_EQ(lastInkRow, kGlyphBaseline - 1) << g.code;
  }
}

TEST(FontSheet, InvertedInkIsLightAndPlainInkIsDim) {
  // Drawn inverted (255 - value) ink must come out light on every channel;
  // drawn plain it carries the 6-bit values of an 8-bit picture.
  const LoadedSheet& s = sheet();
  for (int y = 0; y < kFontSheetHeight; ++y) {
    for (int x = 0; x < kFontSheetWidth; ++x) {
      const Pixel p = s.at(x, y);
      if (p == 0) continue;
      for (int shift = 0; shift <= 16; shift += 8) {
        const int v = static_cast<int>((p >> shift) & 0xFFU);
        ASSERT_LE(v, 63);
        ASSERT_GE(255 - v, 192);
      }
      // Ink is never a faint fringe: its strongest channel is at least half way.
      const int strongest = static_cast<int>(std::max({p >> 16U, (p >> 8U) & 0xFFU, p & 0xFFU}));
      ASSERT_GE(strongest, 32) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace tolvarin::gen

// BitmapFont and the glyph table: placement, clipping at every edge against a
// plain model of the rule, pen movement, inverted drawing and damaged sheets.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "assets/bitmap_font.h"
#include "formats/g_writer.h"
#include "temp_files.h"

namespace tolvarin {
namespace {

constexpr Pixel kBackground = 0x00123456u;

// Sheet pixel (x, y): unique and never 0, except a scattering of black (the key).
Pixel sheetPixel(int x, int y) {
  if ((x * 3 + y * 5) % 11 == 0) return 0;
  return static_cast<Pixel>((x & 0xFF) << 16 | y << 8 | (0x40 | (x >> 8)));
}

std::string sheetFile() {
  static const std::string path = [] {
    formats::RgbImage sheet;
    sheet.width = 320;
    sheet.height = 128;
    for (int y = 0; y < sheet.height; ++y)
      for (int x = 0; x < sheet.width; ++x) {
        const Pixel p = sheetPixel(x, y);
        sheet.rgb.insert(sheet.rgb.end(), {static_cast<std::uint8_t>(p >> 16),
                                           static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p)});
      }
    return test::writeTemp("sheet.g", formats::encodeRgbG(sheet));
  }();
  return path;
}

// The target with a guard band on both sides to catch stray writes.
class Target {
 public:
  Target() : storage_(kFramePixels + 2 * kGuard, kBackground) {}
  Pixel* data() { return storage_.data() + kGuard; }
  Pixel at(int x, int y) const { return storage_[kGuard + static_cast<std::size_t>(y * 320 + x)]; }
  std::vector<Pixel> frame() const { return {storage_.begin() + kGuard, storage_.end() - kGuard}; }
  bool guardsIntact() const {
    for (std::size_t i = 0; i < kGuard; ++i)
      if (storage_[i] != kBackground || storage_[storage_.size() - 1 - i] != kBackground) return false;
    return true;
  }

 private:
  static constexpr std::size_t kGuard = 4096;
  std::vector<Pixel> storage_;
};

// The drawing rule written out plainly: the glyph's rectangle less its last
// row, cut to columns 0..319 and rows 0..238.
std::vector<Pixel> modelGlyph(std::vector<Pixel> frame, int px, int py, const Glyph& g, bool inverted) {
  for (int ty = std::max(py, 0); ty <= std::min(py + g.height - 2, 238); ++ty)
    for (int tx = std::max(px, 0); tx <= std::min(px + g.width - 1, 319); ++tx) {
      const Pixel p = sheetPixel(g.x + tx - px, g.y + ty - py);
      if (p != 0) frame[static_cast<std::size_t>(ty * 320 + tx)] = inverted ? ~p : p;
    }
  return frame;
}

const Glyph& glyphFor(unsigned char code) {
  for (const Glyph& g : glyphTable)
    if (g.code == code) return g;
  static const Glyph none{};
  return none;
}

class BitmapFontTest : public ::testing::Test {
 protected:
  void SetUp() override { initGlyphTable(); }
  BitmapFont font{sheetFile().c_str(), glyphTable, 77, 0};
};

TEST(GlyphTable, KeepsTheListedOrderAndInitRestoresEdits) {
  glyphTable[68].x = 0;
  initGlyphTable();
  const Glyph& paren = glyphTable[68];
  EXPECT_EQ(std::vector<int>({paren.code, paren.x, paren.y, paren.height, paren.width, paren.spacing}),
            std::vector<int>({')', 168, 80, 16, 5, 2}));
  EXPECT_EQ(glyphTable[14].code, 209);  // N tilde right after N
  EXPECT_EQ(glyphTable[41].code, 241);  // n tilde right after n
  EXPECT_EQ(glyphTable[63].code, '0');
  EXPECT_EQ(glyphTable[63].x, 105);
  for (int i = 72; i < kGlyphTableSize; ++i) EXPECT_EQ(glyphTable[i].code, 0) << i;
}

TEST_F(BitmapFontTest, GlyphsMatchThePlainRuleAtEveryEdge) {
  ASSERT_NE(font.image->pixels, nullptr);
  // Includes the described cases: y 0 (rows 0..13), x 310 (10 columns), y 238
  // (one row), y 239 and x 320 (nothing).
  const int xs[] = {-20, -15, -14, -1, 0, 1, 150, 305, 310, 319, 320};
  const int ys[] = {-20, -15, -14, -13, -1, 0, 1, 100, 225, 226, 238, 239, 240};
  for (const bool inverted : {false, true}) {
    font.inverted = inverted;
    for (const unsigned char code : {'A', 'g', 'Q', ')'}) {
      for (const int px : xs)
        for (const int py : ys) {
          Target target;
          font.drawGlyph(px, py, code, target.data());
          ASSERT_EQ(target.frame(), modelGlyph(Target().frame(), px, py, glyphFor(code), inverted))
              << code << " at " << px << "," << py << (inverted ? " inverted" : "");
          ASSERT_TRUE(target.guardsIntact());
        }
    }
  }
}

TEST_F(BitmapFontTest, PenMovesByGlyphWidthSpacesAndStops) {
  const auto drawn = [this](int px, const char* text) {
    Target target;
    font.drawText(px, 20, text, target.data());
    return target.frame();
  };
  const auto glyphAt = [](std::vector<Pixel> frame, int px, unsigned char code) {
    return modelGlyph(std::move(frame), px, 20, glyphFor(code), false);
  };
  const auto blank = Target().frame();
  EXPECT_EQ(drawn(10, "AB"), glyphAt(glyphAt(blank, 10, 'A'), 27, 'B'));  // 10 + 15 + 2
  // A space moves 12, a character without a glyph moves 0.
  EXPECT_EQ(drawn(10, "A B"), glyphAt(glyphAt(blank, 10, 'A'), 39, 'B'));
  EXPECT_EQ(drawn(10, "A#B"), glyphAt(glyphAt(blank, 10, 'A'), 27, 'B'));
  // Nothing after a line feed.
  EXPECT_EQ(drawn(10, "A\nB"), glyphAt(blank, 10, 'A'));
  EXPECT_EQ(drawn(10, ""), blank);
  // The first glyph that moves the pen past 320 is the last one drawn.
  EXPECT_EQ(drawn(300, "Aii"), glyphAt(glyphAt(blank, 300, 'A'), 317, 'i'));
  EXPECT_EQ(drawn(300, "Wii"), glyphAt(blank, 300, 'W'));
  // A parenthesis redefined onto a blank area (here below the 128-row sheet)
  // draws nothing but still moves the pen by its width + spacing.
  glyphTable[68] = {')', 0, 200, 16, 5, 2};
  EXPECT_EQ(drawn(10, ")A"), glyphAt(blank, 17, 'A'));
}

TEST_F(BitmapFontTest, InvertedDrawingFlipsAllFourBytesButNotTheKey) {
  Picture& sheet = *font.image;
  sheet.pixels[5 * sheet.width + 5] = 0x003F3F3Fu;
  sheet.pixels[5 * sheet.width + 6] = 0;
  font.inverted = true;
  Target target;
  font.drawGlyph(0, 0, 'A', target.data());
  EXPECT_EQ(target.at(0, 0), 0xFFC0C0C0u);
  EXPECT_EQ(target.at(1, 0), kBackground);
  font.inverted = false;
  font.drawGlyph(0, 0, 'A', target.data());
  EXPECT_EQ(target.at(0, 0), 0x003F3F3Fu);
  EXPECT_EQ(target.at(1, 0), kBackground);
}

TEST(BitmapFontSafety, NoSheetOrASmallSheetStaysInBounds) {
  initGlyphTable();
  BitmapFont missing((test::tempFolder() / "no-such-sheet.g").string().c_str(), glyphTable, 77, 0);
  ASSERT_NE(missing.image, nullptr);
  EXPECT_EQ(missing.image->pixels, nullptr);
  Target target;
  missing.drawText(0, 0, "ABC", target.data());
  EXPECT_EQ(target.frame(), Target().frame());

  // A 12x9 sheet: glyph rectangles reach far beyond it and read as transparent.
  BitmapFont tiny((test::tempFolder() / "no-such-sheet.g").string().c_str(), glyphTable, 77, 0);
  tiny.image->width = 12;
  tiny.image->height = 9;
  tiny.image->pixels.reset(new Pixel[12 * 9]);
  for (int i = 0; i < 12 * 9; ++i) tiny.image->pixels[i] = 0x00FFFFFFu;
  Target small;
  tiny.drawGlyph(100, 100, 'A', small.data());  // sheet columns 5..11 and rows 5..8 exist
  int written = 0;
  for (const Pixel p : small.frame()) written += p == 0x00FFFFFFu;
  EXPECT_EQ(written, 7 * 4);

  const char* texts[] = {"AbcdefghijklmnopqrstuvwxyzWQMg", "y_,)", "\n", " "};
  for (const int px : {-100000, -3000, -321, -17, 0, 311, 319, 320, 5000, 100000})
    for (const int py : {-100000, -250, -22, -1, 0, 230, 239, 240, 100000})
      for (const char* text : texts) {
        Target guarded;
        tiny.drawText(px, py, text, guarded.data());
        ASSERT_TRUE(guarded.guardsIntact()) << px << "," << py;
      }
}

}  // namespace
}  // namespace tolvarin

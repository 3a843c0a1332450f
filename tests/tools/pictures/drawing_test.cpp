// The generator's drawing helpers: canvas sampling and blurs, 24-bit output,
// FreeType text, lighting and strokes.
#include <gtest/gtest.h>

#include <cmath>

#include "gen/pictures/canvas.h"
#include "gen/pictures/chrome_text.h"
#include "gen/pictures/det_math.h"
#include "gen/pictures/lighting.h"
#include "gen/pictures/strokes.h"
#include "gen/pictures/text_raster.h"

namespace tolvarin::gen {
namespace {

TEST(Canvas, BilinearSamplingAndEdges) {
  Field f(3, 2);
  f.at(0, 0) = 0.0;
  f.at(1, 0) = 1.0;
  f.at(2, 0) = 2.0;
  f.at(0, 1) = 10.0;
  f.at(1, 1) = 11.0;
  f.at(2, 1) = 12.0;
  EXPECT_DOUBLE_EQ(f.sample(0.5, 0.0), 0.5);
  EXPECT_DOUBLE_EQ(f.sample(1.0, 0.5), 6.0);
  EXPECT_DOUBLE_EQ(f.sample(5.0, -3.0), 2.0);  // clamped to the corner
  EXPECT_DOUBLE_EQ(f.wrappedAt(-1, 3), 12.0);
  EXPECT_DOUBLE_EQ(f.clampedAt(-1, 3), 10.0);
}

TEST(Canvas, BlurKeepsTheMeanAndWrappedBlurKeepsATileATile) {
  Field f(32, 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 32; ++x) f.at(x, y) = ((x * 7 + y * 3) % 11) / 10.0;
  }
  double before = 0.0;
  for (double v : f.data()) before += v;
  Field wrapped = f;
  boxBlur(wrapped, 3, 3, true);
  double after = 0.0;
  for (double v : wrapped.data()) after += v;
  EXPECT_NEAR(after, before, 1e-9);
  // Blurring a tile with wrap equals blurring the middle of three tiles.
  Field wide(96, 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 96; ++x) wide.at(x, y) = f.at(x % 32, y);
  }
  boxBlur(wide, 3, 3, true);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 32; ++x) EXPECT_NEAR(wrapped.at(x, y), wide.at(x + 32, y), 1e-12);
  }
}

TEST(Canvas, RgbOutputRoundsAndDithersByLessThanOneStep) {
  Canvas c(8, 8, {0.5, 0.0, 1.0});
  const formats::RgbImage plain = toRgbImage(c, false);
  EXPECT_EQ(plain.rgb[0], 128);  // 127.5 rounds up
  EXPECT_EQ(plain.rgb[1], 0);
  EXPECT_EQ(plain.rgb[2], 255);
  const formats::RgbImage dithered = toRgbImage(c, true);
  int sum = 0;
  for (std::size_t i = 0; i < dithered.rgb.size(); i += 3) {
    EXPECT_GE(dithered.rgb[i], 127);
    EXPECT_LE(dithered.rgb[i], 128);
    sum += dithered.rgb[i];
    EXPECT_EQ(dithered.rgb[i + 2], 255);
  }
  EXPECT_NEAR(sum / 64.0, 127.5, 0.1);  // the dither averages to the true value
}

TEST(TextRaster, GlyphsStandOnTheBaselineAndStretch) {
  const FontFace face("DejaVuSans-Bold.ttf");
  const GlyphBitmap h = face.glyph('H', 20.0);
  ASSERT_GT(h.width, 0);
  EXPECT_EQ(h.top, h.height);  // no descender: ends on the baseline
  EXPECT_NEAR(h.height, 20.0 * 0.729, 1.5);  // DejaVu's cap height
  const GlyphBitmap narrow = face.glyph('H', 20.0, 0.5, 1.0);
  EXPECT_LE(narrow.width, h.width / 2 + 2);
  EXPECT_EQ(narrow.height, h.height);
  const GlyphBitmap p = face.glyph('p', 20.0);
  EXPECT_GT(p.height, p.top);  // descends below the baseline
  EXPECT_EQ(face.glyph(0x01, 20.0).width, 0);  // no glyph for a control code
  const GlyphBitmap tilde = face.glyph(209, 20.0);  // N with tilde, Windows-1252
  EXPECT_GT(tilde.top, h.top);
}

TEST(TextRaster, LinesGrowWithTheirTextAndReportTheirInk) {
  const FontFace face("DejaVuSans.ttf");
  const TextMask one = face.line("QX", 16.0);
  const TextMask two = face.line("QXQX", 16.0);
  EXPECT_GT(two.inkRight - two.inkLeft, 2 * (one.inkRight - one.inkLeft) - 4);
  EXPECT_LT(two.inkRight - two.inkLeft, 2 * (one.inkRight - one.inkLeft) + 8);
  EXPECT_LE(one.inkBottom, one.baseline + 4);  // the Q's tail only
  EXPECT_GE(one.inkTop, 0);
  EXPECT_GT(one.coverage.at((one.inkLeft + one.inkRight) / 2, (one.inkTop + one.baseline) / 2), 0.0);
}

TEST(ChromeText, MaskIsCentredWhereAsked) {
  const FontFace face("DejaVuSans-Bold.ttf");
  const Field mask = textMask2x(face, "QUARNEL", 40.0, 0.0, 320, 240, 150.0, 90.0);
  ASSERT_EQ(mask.width(), 640);
  double sy = 0.0;
  double sum = 0.0;
  int left = 640;
  int right = -1;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const double c = mask.at(x, y);
      if (c <= 0.0) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      sy += c * y;
      sum += c;
    }
  }
  EXPECT_NEAR((left + right) / 4.0, 150.0, 1.0);  // ink box centred on x 150
  EXPECT_NEAR(sy / sum / 2.0, 90.0, 4.0);         // and about on y 90
}

TEST(Lighting, NormalsOfATiltedPlaneAndBevelProfiles) {
  Field ramp(16, 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) ramp.at(x, y) = 0.25 * x;  // rises to the right
  }
  const Vec3 n = normalAt(ramp, 8, 8, 4.0);
  EXPECT_NEAR(n.x, -1.0 / std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(n.y, 0.0, 1e-12);
  EXPECT_NEAR(n.z, 1.0 / std::sqrt(2.0), 1e-12);
  EXPECT_GT(diffuse(n, {-1.0, 0.0, 1.0}), 0.99);
  EXPECT_EQ(diffuse(n, {1.0, 0.0, -1.0}), 0.0);
  EXPECT_DOUBLE_EQ(roundBevel(0.0, 5.0), 0.0);
  EXPECT_DOUBLE_EQ(roundBevel(-5.0, 5.0), 1.0);
  EXPECT_DOUBLE_EQ(softBevel(2.0, 5.0), 0.0);
  EXPECT_DOUBLE_EQ(softBevel(-2.5, 5.0), 0.5);
  // A normal tilted up reflects the sky; tilted down, the ground.
  const std::vector<GradientStop> horizon{{0.0, {0.0, 0.0, 0.0}}, {1.0, {1.0, 1.0, 1.0}}};
  EXPECT_GT(chrome(normalise({0.0, 0.5, 1.0}), horizon).r, 0.8);
  EXPECT_LT(chrome(normalise({0.0, -0.5, 1.0}), horizon).r, 0.2);
}

TEST(Strokes, DiscsCoverTheirAreaAndStrokesStayOnTheirPath) {
  Canvas c(40, 40);
  stampDisc(c, 20.0, 20.0, 6.0, {1.0, 1.0, 1.0}, 1.0);
  double area = 0.0;
  for (const Rgb& p : c.data()) area += p.r;
  EXPECT_NEAR(area, kPi * 36.0, 3.0);
  Canvas s(60, 20);
  strokeQuad(s, {5.0, 10.0}, {30.0, 10.0}, {55.0, 10.0}, 3.0, 3.0, {1.0, 1.0, 1.0}, 1.0, 1.0);
  EXPECT_GT(s.at(30, 9).r, 0.8);   // on the path: nearly opaque
  EXPECT_LT(s.at(30, 3).r, 1e-9);  // off it: untouched
  EXPECT_LT(s.at(2, 10).r, 1e-9);
}

}  // namespace
}  // namespace tolvarin::gen

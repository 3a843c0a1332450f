// Behaviour of rotoZoom, stretchBlit and bumpLight on hand-picked inputs. Run
// once with the fast paths and once with TOLVARIN_SIMD=off.
#include <gtest/gtest.h>

#include "gfx2d/sampling_blits.h"
#include "gfx2d/trig_tables.h"
#include "test_frames.h"

namespace tolvarin {
namespace {

using test::TestFrame;

constexpr Pixel kUntouched = 0x00C0FFEEu;

TestFrame indexFrame() {
  TestFrame frame;
  for (int i = 0; i < kFramePixels; ++i) frame.data()[i] = static_cast<Pixel>(i + 1);
  return frame;
}

TEST(RotoZoom, AngleZeroScaleOneReadsRowsWithHoles) {
  buildTrigTables();
  const TestFrame src = indexFrame();
  TestFrame dst(kUntouched);
  rotoZoom(src.data(), dst.data(), 0, 1.0f);
  // Step 65535 per pixel: one source column is repeated after x 160.
  for (int x = 0; x < 320; ++x) {
    ASSERT_EQ(dst.at(x, 0), src.data()[120 * 320 + (x <= 160 ? x : x - 1)]) << x;
  }
  for (int x = 0; x < 320; ++x) ASSERT_EQ(dst.at(x, 80), src.data()[199 * 320 + (x <= 160 ? x : x - 1)]);
  // Row 81 starts on index 64000, the last one read; the rest are holes.
  EXPECT_EQ(dst.at(0, 81), src.data()[64000]);
  for (int x = 1; x < 320; ++x) ASSERT_EQ(dst.at(x, 81), kUntouched) << x;
  for (int y = 82; y <= 84; ++y)
    for (int x = 0; x < 320; ++x) ASSERT_EQ(dst.at(x, y), kUntouched) << x << "," << y;
  // Row 85 wraps through the 16-bit mask back to the top of the source.
  EXPECT_EQ(dst.at(319, 85), src.data()[(204 * 320 + 318) & 0xFFFF]);
}

TEST(RotoZoom, NeverWritesHolesAndReducesAnglesOutsideTheTable) {
  buildTrigTables();
  const TestFrame src = indexFrame();
  TestFrame inRange(kUntouched), wrapped(kUntouched), negative(kUntouched), fullTurn(kUntouched);
  rotoZoom(src.data(), inRange.data(), 1, 2.5f);
  rotoZoom(src.data(), wrapped.data(), 361, 2.5f);
  EXPECT_EQ(wrapped.pixels(), inRange.pixels());
  rotoZoom(src.data(), fullTurn.data(), 359, 2.5f);
  rotoZoom(src.data(), negative.data(), -1, 2.5f);
  EXPECT_EQ(negative.pixels(), fullTurn.pixels());
  // Source pixels are index + 1, so any written value is at most 64001.
  for (int i = 0; i < kFramePixels; ++i) {
    const Pixel p = inRange.data()[i];
    ASSERT_TRUE(p == kUntouched || (p >= 1 && p <= 64001)) << i;
  }
}

TEST(StretchBlit, CopiesHalvesAndClips) {
  const TestFrame src = indexFrame();
  TestFrame dst(kUntouched);
  stretchBlit(0, 0, 320, 240, src.data(), dst.data());
  EXPECT_EQ(dst.pixels(), src.pixels());

  TestFrame half(kUntouched);
  stretchBlit(0, 0, 160, 120, src.data(), half.data());
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) {
      const Pixel expected = (x < 160 && y < 120) ? src.at(2 * x, 2 * y) : kUntouched;
      ASSERT_EQ(half.at(x, y), expected) << x << "," << y;
    }

  TestFrame none(kUntouched);
  stretchBlit(0, 0, 320, 0, src.data(), none.data());
  stretchBlit(0, 0, 0, 240, src.data(), none.data());
  stretchBlit(10, 10, -5, 20, src.data(), none.data());
  EXPECT_EQ(none.pixels(), TestFrame(kUntouched).pixels());

  // A rectangle hanging over every edge: only the frame is written, each
  // pixel with the source position it has in the whole rectangle.
  TestFrame guarded(kUntouched, 640);
  stretchBlit(-7, -3, 333, 251, src.data(), guarded.data());
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) {
      const int r = y + 3, c = x + 7;
      ASSERT_EQ(guarded.at(x, y), src.at(c * 320 / 333, r * 240 / 251)) << x << "," << y;
    }
  stretchBlit(300, 230, 100, 100, src.data(), guarded.data());
  for (int i = kFramePixels; i < kFramePixels + 640; ++i) ASSERT_EQ(guarded.data()[i], kUntouched);
}

TEST(BumpLight, FlatReliefGivesARoundSpotAndBlackBorderRows) {
  const TestFrame relief(0x00808080u);
  const TestFrame base(0);
  TestFrame dst(kUntouched);
  bumpLight(-160, -119, base.data(), dst.data(), relief.data(), 0);
  for (int x = 0; x < 320; ++x) EXPECT_EQ(dst.at(x, 0) | dst.at(x, 239), 0u);
  for (int y = 117; y <= 123; ++y)
    for (int x = 157; x <= 163; ++x) EXPECT_EQ(dst.at(x, y), 0x00FFFFFFu) << x << "," << y;
  EXPECT_NE(dst.at(156, 120), 0x00FFFFFFu);
  for (int y = 1; y < 239; ++y)
    for (int x = 0; x < 320; ++x) {
      if (std::abs(x - 160) >= 64 || std::abs(y - 120) >= 64) {
        ASSERT_EQ(dst.at(x, y), 0u) << x << "," << y;
      }
    }
  // Light is 255 - gx^2 - gy^2 per channel: at (170, 125) gx = 2, gy = 1.
  EXPECT_EQ(dst.at(170, 125), 0x00FAFAFAu);
}

TEST(BumpLight, ModeUsesTheSignedLowByte) {
  const TestFrame relief(0x00404040u);
  const TestFrame base(0x00091011u);
  // Far away from the light: out = scaled base, saturated at 255.
  const auto lit = [&](std::int32_t mode) {
    TestFrame dst;
    bumpLight(100000, 100000, base.data(), dst.data(), relief.data(), mode);
    return dst.at(10, 10);
  };
  EXPECT_EQ(lit(0), 0x00091011u);
  EXPECT_EQ(lit(1), 0x00091011u);
  EXPECT_EQ(lit(-1), 0x00091011u);
  EXPECT_EQ(lit(-2), 0x00040808u);
  EXPECT_EQ(lit(7), 0x003F7077u);
  EXPECT_EQ(lit(0x107), 0x003F7077u);  // only the low byte counts
  EXPECT_EQ(lit(0xFE), 0x00040808u);   // 0xFE is -2
  EXPECT_EQ(lit(0x80), 0x00000000u);   // -128 divides by 128
  EXPECT_EQ(lit(0x7F), 0x00FFFFFFu);   // 127 saturates every channel

  // The gradient of a channel shifts only that channel's spot.
  TestFrame edge(0x00808080u);
  edge.at(161, 120) = 0x00808088u;  // blue brighter right of (160, 120)
  TestFrame dst;
  bumpLight(-160, -119, TestFrame(0).data(), dst.data(), edge.data(), 0);
  // At (160, 120): blue gx = |0x80 - 0x88| >> 2 = 2, so blue = 251.
  EXPECT_EQ(dst.at(160, 120), 0x00FFFFFBu);
}

}  // namespace
}  // namespace tolvarin

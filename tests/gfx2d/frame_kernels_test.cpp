// Behaviour of the frame kernels on hand-picked inputs. Run once with the fast
// paths and once with TOLVARIN_SIMD=off (see CMakeLists.txt).
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>

#include "gfx2d/frame_kernels.h"
#include "test_frames.h"

namespace tolvarin {
namespace {

using test::TestFrame;

TEST(FillAndCopy, TouchExactlyOneFrameAndKeepAllBits) {
  TestFrame frame(0, 4), copy(7, 4);
  frame.data()[kFramePixels] = copy.data()[kFramePixels] = 0xDEADBEEF;  // just past the frame
  fillFrame(frame.data(), 0xAB123456u);
  EXPECT_EQ(frame.pixels(), std::vector<Pixel>(kFramePixels, 0xAB123456u));
  frame.at(319, 239) = 1;
  copyFrame(frame.data(), copy.data());
  EXPECT_EQ(copy.pixels(), frame.pixels());
  EXPECT_EQ(frame.data()[kFramePixels], 0xDEADBEEFu);
  EXPECT_EQ(copy.data()[kFramePixels], 0xDEADBEEFu);
}

TEST(CrossFade, ShiftsEachProductAndUsesOnlyTheLowByteOfEachWeight) {
  TestFrame white(0x00FFFFFFu), other(0x00123456u), out;
  crossFade(white.data(), other.data(), out.data(), 255, 255, 255);
  EXPECT_EQ(out.at(0, 0), 0x00FEFEFEu);  // 255*255 >> 8 = 254, B adds 0
  crossFade(other.data(), white.data(), out.data(), 0, 0, 0);
  EXPECT_EQ(out.at(5, 5), 0x00FEFEFEu);
  // Low bytes 255, 0, 128: B gives (255*128 >> 8) + (255*127 >> 8) = 127 + 126.
  crossFade(white.data(), white.data(), out.data(), 0x1FF, -256, 0x180);
  EXPECT_EQ(out.at(319, 239), 0x00FEFEFDu);
  // Separate channels, top byte cleared: R 0 + (0x10*255>>8), G 32 + 15, B 31 + 0.
  TestFrame a(0xFF804020u), b(0x7F102030u);
  crossFade(a.data(), b.data(), out.data(), 0, 128, 255);
  EXPECT_EQ(out.at(1, 1), (15u << 16) | (47u << 8) | 31u);
}

TEST(KeyedKernels, OnlyTheWholeValueZeroIsTransparent) {
  TestFrame top(0), bottom(0x00ABCDEFu), out;
  top.at(0, 0) = 0x00000001u;
  top.at(1, 0) = 0x01000000u;  // black with a top byte is not the key
  overlayKeyed(top.data(), bottom.data(), out.data());
  EXPECT_EQ(out.at(0, 0), 0x00000001u);
  EXPECT_EQ(out.at(1, 0), 0x01000000u);
  EXPECT_EQ(out.at(2, 0), 0x00ABCDEFu);
  maskFrame(bottom.data(), top.data(), out.data());
  EXPECT_EQ(out.at(0, 0), 0x00ABCDEFu);
  EXPECT_EQ(out.at(1, 0), 0x00ABCDEFu);
  EXPECT_EQ(out.at(2, 0), 0u);
}

TEST(AverageFrames, TruncatesPerChannelAndClearsTheTopByte) {
  TestFrame a(0xFF01FF00u), b(0x8002FF01u), out;
  averageFrames(out.data(), a.data(), b.data());
  EXPECT_EQ(out.at(3, 3), 0x0001FF00u);  // (1+2)>>1, (255+255)>>1, (0+1)>>1
}

TEST(MirrorQuadrants, MirrorsTheUpperLeftQuarterAndKeepsRow239) {
  TestFrame frame;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) frame.at(x, y) = static_cast<Pixel>(y << 12 | x);
  mirrorQuadrants(frame.data());
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x) {
      ASSERT_EQ(frame.at(x, y), static_cast<Pixel>(y << 12 | x));
      ASSERT_EQ(frame.at(319 - x, y), frame.at(x, y));
    }
  for (int k = 0; k < 119; ++k)
    for (int x = 0; x < 320; ++x) ASSERT_EQ(frame.at(x, 120 + k), frame.at(x, 119 - k));
  for (int x = 0; x < 320; ++x) EXPECT_EQ(frame.at(x, 239), static_cast<Pixel>(239 << 12 | x));
}

std::set<std::pair<int, int>> linePixels(int x0, int y0, int x1, int y1) {
  TestFrame frame(0);
  drawLine(x0, y0, x1, y1, 0x00FFFFFFu, frame.data());
  std::set<std::pair<int, int>> set;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x)
      if (frame.at(x, y) != 0) set.insert({x, y});
  return set;
}

TEST(DrawLine, DescribedLinesAndOffScreenEndpoints) {
  const auto diagonal = linePixels(0, 0, 319, 239);
  EXPECT_EQ(diagonal.size(), 320u);
  EXPECT_TRUE(diagonal.count({0, 0}) && diagonal.count({319, 239}));
  EXPECT_TRUE(linePixels(10, 10, 320, 10).empty());
  EXPECT_TRUE(linePixels(-1, 5, 10, 5).empty());
  EXPECT_TRUE(linePixels(5, 5, 5, 240).empty());
  EXPECT_EQ(linePixels(5, 5, 5, 5), (std::set<std::pair<int, int>>{{5, 5}}));
  const auto exact = linePixels(30, 40, 10, 60);  // |dx| = |dy|: a perfect diagonal
  ASSERT_EQ(exact.size(), 21u);
  for (int i = 0; i <= 20; ++i) EXPECT_TRUE(exact.count({30 - i, 40 + i})) << i;
}

TEST(DrawLine, RandomLinesHaveOnePixelPerMajorStepAndHitBothEnds) {
  std::mt19937 rng(11);
  for (int n = 0; n < 200; ++n) {
    const int x0 = static_cast<int>(rng() % 320), y0 = static_cast<int>(rng() % 240);
    const int x1 = static_cast<int>(rng() % 320), y1 = static_cast<int>(rng() % 240);
    const auto pixels = linePixels(x0, y0, x1, y1);
    const bool xMajor = std::abs(x1 - x0) > std::abs(y1 - y0);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(std::max(std::abs(x1 - x0), std::abs(y1 - y0)) + 1));
    EXPECT_TRUE(pixels.count({x0, y0}) && pixels.count({x1, y1}));
    std::set<int> majors;
    for (const auto& [x, y] : pixels) majors.insert(xMajor ? x : y);
    EXPECT_EQ(majors.size(), pixels.size());
  }
}

}  // namespace
}  // namespace tolvarin

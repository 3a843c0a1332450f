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

TEST(FillAndCopy, FillKeepsAllBitsAndCopyMovesExactlyOneFrame) {
  TestFrame frame(0, 4);
  frame.data()[kFramePixels] = 0xDEADBEEF;  // just past the frame
  fillFrame(frame.data(), 0xAB123456u);
  for (int i = 0; i < kFramePixels; ++i) ASSERT_EQ(frame.data()[i], 0xAB123456u) << i;
  EXPECT_EQ(frame.data()[kFramePixels], 0xDEADBEEFu);

  TestFrame copy(7, 4);
  copy.data()[kFramePixels] = 0x5555u;
  frame.at(319, 239) = 0x00010203u;
  copyFrame(frame.data(), copy.data());
  EXPECT_EQ(copy.pixels(), frame.pixels());
  EXPECT_EQ(copy.data()[kFramePixels], 0x5555u);
  copyFrame(copy.data(), copy.data());  // onto itself: unchanged
  EXPECT_EQ(copy.pixels(), frame.pixels());
}

TEST(CrossFade, FullWeightsLoseOneStepAndOnlyTheLowByteCounts) {
  TestFrame white(0x00FFFFFFu), other(0x00123456u), out;
  crossFade(white.data(), other.data(), out.data(), 255, 255, 255);
  EXPECT_EQ(out.at(0, 0), 0x00FEFEFEu);  // B contributes 0x56 * 0 >> 8 = 0
  crossFade(other.data(), white.data(), out.data(), 0, 0, 0);
  EXPECT_EQ(out.at(5, 5), 0x00FEFEFEu);
  // 0x1FF has low byte 255; -256 has low byte 0.
  crossFade(white.data(), white.data(), out.data(), 0x1FF, -256, 0x180);
  // 255*255>>8 = 254 for R; G: 0 + 254; B: (255*128>>8) + (255*127>>8) = 127 + 126.
  EXPECT_EQ(out.at(319, 239), 0x00FEFEFDu);
}

TEST(CrossFade, MixesChannelsSeparatelyAndClearsTheTopByte) {
  TestFrame a(0xFF804020u), b(0x7F102030u), out;
  crossFade(a.data(), b.data(), out.data(), 0, 128, 255);
  // R: 0 + (0x10*255>>8)=15; G: (0x40*128>>8)=32 + (0x20*127>>8)=15 -> 47;
  // B: (0x20*255>>8)=31 + 0.
  EXPECT_EQ(out.at(1, 1), (15u << 16) | (47u << 8) | 31u);
}

TEST(CrossFade, WorksInPlaceOnEitherSource) {
  std::mt19937 rng(7);
  TestFrame a, b;
  test::fillBiased(a, rng);
  test::fillBiased(b, rng);
  TestFrame separate;
  crossFade(a.data(), b.data(), separate.data(), 30, 200, 129);
  TestFrame inB = b;
  crossFade(a.data(), inB.data(), inB.data(), 30, 200, 129);
  EXPECT_EQ(inB.pixels(), separate.pixels());
  TestFrame inA = a;
  crossFade(inA.data(), b.data(), inA.data(), 30, 200, 129);
  EXPECT_EQ(inA.pixels(), separate.pixels());
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

  // In place: the destination doubles as top.
  overlayKeyed(top.data(), bottom.data(), top.data());
  EXPECT_EQ(top.at(0, 0), 0x00000001u);
  EXPECT_EQ(top.at(319, 239), 0x00ABCDEFu);
}

TEST(AverageFrames, TruncatesPerChannelAndClearsTheTopByte) {
  TestFrame a(0xFF01FF00u), b(0x8002FF01u), out;
  averageFrames(out.data(), a.data(), b.data());
  EXPECT_EQ(out.at(3, 3), 0x0001FF00u);  // (1+2)>>1, (255+255)>>1, (0+1)>>1
  averageFrames(a.data(), a.data(), b.data());
  EXPECT_EQ(a.pixels(), out.pixels());
}

TEST(MirrorQuadrants, MirrorsTheUpperLeftQuarterAndKeepsRow239) {
  TestFrame frame;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) frame.at(x, y) = static_cast<Pixel>(y << 12 | x);
  mirrorQuadrants(frame.data());
  EXPECT_EQ(frame.at(160, 0), frame.at(159, 0));
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

TEST(DrawLine, DescribedLines) {
  const auto diagonal = linePixels(0, 0, 319, 239);
  EXPECT_EQ(diagonal.size(), 320u);
  EXPECT_TRUE(diagonal.count({0, 0}) && diagonal.count({319, 239}));
  EXPECT_TRUE(linePixels(10, 10, 320, 10).empty());
  EXPECT_TRUE(linePixels(-1, 5, 10, 5).empty());
  EXPECT_TRUE(linePixels(5, 5, 5, 240).empty());
  EXPECT_EQ(linePixels(5, 5, 5, 5), (std::set<std::pair<int, int>>{{5, 5}}));
  // |dx| = |dy| steps y-major and is an exact diagonal.
  const auto exact = linePixels(30, 40, 10, 60);
  ASSERT_EQ(exact.size(), 21u);
  for (int i = 0; i <= 20; ++i) EXPECT_TRUE(exact.count({30 - i, 40 + i})) << i;
}

TEST(DrawLine, RandomLinesAreConnectedAndHitBothEnds) {
  std::mt19937 rng(11);
  for (int n = 0; n < 200; ++n) {
    const int x0 = static_cast<int>(rng() % 320), y0 = static_cast<int>(rng() % 240);
    const int x1 = static_cast<int>(rng() % 320), y1 = static_cast<int>(rng() % 240);
    const auto pixels = linePixels(x0, y0, x1, y1);
    const int major = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(major + 1));
    EXPECT_TRUE(pixels.count({x0, y0}) && pixels.count({x1, y1}));
    // One pixel per step along the major axis.
    std::set<int> majors;
    const bool xMajor = std::abs(x1 - x0) > std::abs(y1 - y0);
    for (const auto& [x, y] : pixels) majors.insert(xMajor ? x : y);
    EXPECT_EQ(majors.size(), pixels.size());
  }
}

}  // namespace
}  // namespace tolvarin

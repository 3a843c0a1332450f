// The generator's own maths, noise, colour reduction and distance transform:
// the pictures are only as deterministic and as right as these.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "gen/pictures/det_math.h"
#include "gen/pictures/noise.h"
#include "gen/pictures/palette.h"
#include "gen/pictures/rng.h"
#include "gen/pictures/shapes.h"

namespace tolvarin::gen {
namespace {

TEST(DetMath, AgreesWithTheLibraryOverWideRanges) {
  for (int i = -4000; i <= 4000; ++i) {
    const double x = i * 0.0137;
    EXPECT_NEAR(detSin(x), std::sin(x), 1e-13) << x;
    EXPECT_NEAR(detCos(x), std::cos(x), 1e-13) << x;
    EXPECT_NEAR(detAtan(x), std::atan(x), 1e-14) << x;
    const double e = std::exp(x * 0.1);
    EXPECT_NEAR(detExp(x * 0.1), e, e * 1e-14) << x;
  }
  for (int i = 1; i <= 5000; ++i) {
    const double x = i * i * 0.001;
    EXPECT_NEAR(detLog(x), std::log(x), 1e-13) << x;
    EXPECT_NEAR(detPow(x, 0.85), std::pow(x, 0.85), std::pow(x, 0.85) * 1e-13) << x;
  }
}

TEST(DetMath, Atan2CoversEveryQuadrantAndTheAxes) {
  for (int a = -179; a <= 180; ++a) {
    const double r = a * kPi / 180.0;
    EXPECT_NEAR(detAtan2(std::sin(r) * 3.0, std::cos(r) * 3.0), std::atan2(std::sin(r), std::cos(r)), 1e-13) << a;
  }
  EXPECT_EQ(detAtan2(0.0, 0.0), 0.0);
  EXPECT_DOUBLE_EQ(detAtan2(1.0, 0.0), kPi / 2.0);
  EXPECT_DOUBLE_EQ(detAtan2(-1.0, 0.0), -kPi / 2.0);
  EXPECT_DOUBLE_EQ(detAtan2(0.0, -1.0), kPi);
}

TEST(Rng, Pcg32MatchesTheReferenceStream) {
  // pcg32_srandom(42, 54) of the reference implementation.
  Pcg32 rng(42U, 54U);
  const std::uint32_t expected[] = {0xa15c02b7U, 0x7b47f409U, 0xba1d3330U, 0x83d2f293U, 0xbfa4784bU, 0xcbed606eU};
  for (std::uint32_t e : expected) EXPECT_EQ(rng.next(), e);
}

TEST(Rng, PointHashSpreadsNeighbouringPoints) {
  std::set<std::uint32_t> seen;
  for (int y = -8; y < 8; ++y) {
    for (int x = -8; x < 8; ++x) seen.insert(hashPoint(x, y, 7U));
  }
  EXPECT_EQ(seen.size(), 256U);
  EXPECT_NE(hashPoint(1, 2, 7U), hashPoint(2, 1, 7U));
  EXPECT_NE(hashPoint(1, 2, 7U), hashPoint(1, 2, 8U));
}

TEST(Noise, PeriodicNoiseWrapsAndPlainNoiseDoesNot) {
  const NoisePeriod period{5, 3};
  double plainDifference = 0.0;
  for (int i = 0; i < 200; ++i) {
    const double x = i * 0.173;
    const double y = i * 0.091;
    EXPECT_NEAR(gradientNoise(x, y, 9U, period), gradientNoise(x + 5.0, y - 3.0, 9U, period), 1e-12);
    const FbmParams fbmPeriodic{4, 0.5, {5, 3}};
    EXPECT_NEAR(fbm(x, y, 9U, fbmPeriodic), fbm(x - 10.0, y + 6.0, 9U, fbmPeriodic), 1e-12);
    plainDifference += std::fabs(gradientNoise(x, y, 9U) - gradientNoise(x + 5.0, y, 9U));
  }
  EXPECT_GT(plainDifference, 10.0);
}

TEST(Noise, StaysInRangeAndVanishesOnTheLattice) {
  for (int i = 0; i < 2000; ++i) {
    const double x = i * 0.37 - 300.0;
    const double y = i * 0.11 - 90.0;
    const double n = gradientNoise(x, y, 3U);
    EXPECT_LE(std::fabs(n), 1.05);
    const double r = ridged(x, y, 3U, {5, 0.5, {}});
    EXPECT_GE(r, 0.0);
    EXPECT_LE(r, 1.0);
  }
  EXPECT_EQ(gradientNoise(4.0, -7.0, 3U), 0.0);
}

TEST(Palette, LevelsSurviveTheLoadersDivisionByFour) {
  for (int v = 0; v < 64; ++v) EXPECT_EQ(levelToByte(v) >> 2, v);
  EXPECT_EQ(levelToByte(63), 255);
  EXPECT_EQ(levelToByte(99), 255);  // clamped
  EXPECT_EQ(channelToLevel(1.0), 63);
  EXPECT_EQ(channelToLevel(0.5), 32);
}

TEST(Palette, QuantiseKeepsAFewColoursExactly) {
  Canvas canvas(40, 30);
  const Rgb colours[] = {{0.0, 0.0, 0.0}, {1.0, 0.0, 0.0}, {20 / 63.0, 40 / 63.0, 60 / 63.0}, {1.0, 1.0, 1.0}};
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) canvas.at(x, y) = colours[(x / 10 + y / 15) % 4];
  }
  QuantiseOptions options;
  options.dither = false;
  const formats::IndexedImage image = quantise(canvas, options);
  const std::vector<std::uint32_t> pixels = loadedPixels(image);
  EXPECT_EQ(pixels[0], 0x000000U);
  EXPECT_EQ(pixels[10], 0x3F0000U);
  EXPECT_EQ(pixels[20], 0x14283CU);
  EXPECT_EQ(pixels[30], 0x3F3F3FU);
}

TEST(Palette, QuantiseFollowsASmoothGradientClosely) {
  Canvas canvas(256, 64);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 256; ++x) canvas.at(x, y) = {x / 255.0, y / 63.0, (255 - x) / 255.0 * 0.5};
  }
  const formats::IndexedImage image = quantise(canvas);
  const std::vector<std::uint32_t> pixels = loadedPixels(image);
  double error = 0.0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 256; ++x) {
      const std::uint32_t p = pixels[static_cast<std::size_t>(y) * 256 + x];
      error += std::fabs(static_cast<int>(p >> 16U) - x * 63.0 / 255.0) +
               std::fabs(static_cast<int>((p >> 8U) & 63U) - y);
    }
  }
  EXPECT_LT(error / (256 * 64), 3.0);  // within a few of the 64 levels on average
  EXPECT_EQ(quantise(canvas).indices, image.indices);
}

TEST(Palette, FieldsMapOntoTheirEntryRange) {
  Field field(64, 1);
  for (int x = 0; x < 64; ++x) field.at(x, 0) = x / 63.0;
  const formats::IndexedImage image = indexFromField(field, greyLevels(), 0, 63, false);
  for (int x = 0; x < 64; ++x) EXPECT_EQ(image.indices[x], x);
  const formats::IndexedImage shifted = indexFromField(field, greyLevels(), 10, 20, true);
  for (std::uint8_t i : shifted.indices) {
    EXPECT_GE(i, 10);
    EXPECT_LE(i, 20);
  }
}

TEST(Shapes, DistanceTransformIsEuclidean) {
  Field mask(50, 40, 0.0);
  mask.at(10, 12) = 1.0;
  mask.at(40, 30) = 1.0;
  const Field d = distanceTo(mask);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 50; ++x) {
      const double expected = std::min(std::hypot(x - 10.0, y - 12.0), std::hypot(x - 40.0, y - 30.0));
      EXPECT_NEAR(d.at(x, y), expected, 1e-9) << x << "," << y;
    }
  }
}

TEST(Shapes, SignedDistanceOfADiscFollowsItsRadius) {
  Field mask(64, 64, 0.0);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) mask.at(x, y) = std::hypot(x - 32.0, y - 32.0) <= 20.0 ? 1.0 : 0.0;
  }
  const Field sd = signedDistance(mask);
  for (int y = 0; y < 64; y += 3) {
    for (int x = 0; x < 64; x += 3) {
      EXPECT_NEAR(sd.at(x, y), std::hypot(x - 32.0, y - 32.0) - 20.0, 1.0) << x << "," << y;
    }
  }
  EXPECT_LT(sd.at(32, 32), -19.0);
}

TEST(Shapes, AnalyticDistances) {
  EXPECT_DOUBLE_EQ(sdCircle(3.0, 4.0, 0.0, 0.0, 2.0), 3.0);
  EXPECT_DOUBLE_EQ(sdBox(10.0, 0.0, 0.0, 0.0, 4.0, 2.0), 6.0);
  EXPECT_DOUBLE_EQ(sdBox(0.0, 0.0, 0.0, 0.0, 4.0, 2.0), -2.0);
  EXPECT_DOUBLE_EQ(sdCapsule(5.0, 3.0, {0.0, 0.0}, {10.0, 0.0}, 1.0), 2.0);
  EXPECT_NEAR(sdEllipse(6.0, 0.0, 0.0, 0.0, 4.0, 2.0), 2.0, 1e-9);
  EXPECT_LE(smoothUnion(1.0, 1.0, 2.0), 1.0);
}

}  // namespace
}  // namespace tolvarin::gen

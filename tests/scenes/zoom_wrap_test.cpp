// zoomWrap: the known mappings of the centred tiling zoom, and the
// table-driven version against the plain loop for many zoom factors.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "scenes/logo_zoom.h"

namespace tolvarin {
namespace {

// Every source pixel holds its own index + 1, so a read names its position.
std::vector<Pixel> indexedSource() {
  std::vector<Pixel> src(kFramePixels);
  for (int n = 0; n < kFramePixels; ++n) src[n] = static_cast<Pixel>(n + 1);
  return src;
}

Pixel at(const std::vector<Pixel>& frame, int x, int y) { return frame[y * kFrameWidth + x]; }
Pixel sourcePixel(int x, int y) { return static_cast<Pixel>(y * kFrameWidth + x + 1); }

constexpr Pixel kUntouched = 0xDEADBEEF;

TEST(ZoomWrap, UnitZoomCopiesRowsUpTo238AndTheCentreStaysPut) {
  const auto src = indexedSource();
  std::vector<Pixel> dst(kFramePixels, kUntouched);

  zoomWrap(src.data(), dst.data(), 1.0);
  for (int n = 0; n < 239 * kFrameWidth; ++n) ASSERT_EQ(dst[n], src[n]) << n;
  for (int x = 0; x < kFrameWidth; ++x) EXPECT_EQ(at(dst, x, 239), kUntouched);

  // z = 2 halves the picture: the screen centre and the top-left corner both
  // show the source centre, and (80, 60) the source origin (the tiles repeat).
  zoomWrap(src.data(), dst.data(), 2.0);
  EXPECT_EQ(at(dst, 160, 120), sourcePixel(160, 120));
  EXPECT_EQ(at(dst, 0, 0), sourcePixel(160, 120));
  EXPECT_EQ(at(dst, 80, 60), sourcePixel(0, 0));

  // z = 0.5 doubles it about the centre.
  zoomWrap(src.data(), dst.data(), 0.5);
  EXPECT_EQ(at(dst, 0, 0), sourcePixel(80, 60));
  EXPECT_EQ(at(dst, 160, 120), sourcePixel(160, 120));
  EXPECT_EQ(at(dst, 319, 238), sourcePixel(239, 179));
}

TEST(ZoomWrap, UnusableZoomsReachNoSourcePixel) {
  const auto src = indexedSource();
  for (double z : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), -1.0e13}) {
    std::vector<Pixel> dst(kFramePixels, kUntouched);
    zoomWrap(src.data(), dst.data(), z);
    for (int n = 0; n < 239 * kFrameWidth; ++n) ASSERT_EQ(dst[n], 0u) << z;
    EXPECT_EQ(dst[239 * kFrameWidth], kUntouched);
  }
}

// The fast version must give the plain loop's bits for every z: the ones the
// opening scene steps through (24.6 down by 0.4, then by 0.05 to near 0 and
// back), negative ones (whose reads can fall outside the source and repeat
// the last pixel), and seeded random ones.
TEST(ZoomWrap, MatchesThePlainLoopForManyZooms) {
  const auto src = indexedSource();
  std::vector<double> zooms;
  for (double z = 24.6; z >= 1.0; z -= 0.4) zooms.push_back(z);
  for (double z = 1.0; z >= -0.1; z -= 0.05) zooms.push_back(z);
  for (double z : {0.0, -0.0, 1e-300, -1e-9, 0.999999999, 1.0000001, 3.0, 320.0, 76800.5, 1.0e9}) zooms.push_back(z);
  std::mt19937 rng(4100);
  std::uniform_real_distribution<double> anyZoom(-30.0, 30.0);
  std::uniform_real_distribution<double> smallZoom(-0.2, 0.2);
  for (int i = 0; i < 300; ++i) zooms.push_back(anyZoom(rng));
  for (int i = 0; i < 100; ++i) zooms.push_back(smallZoom(rng));

  std::vector<Pixel> fast(kFramePixels), plain(kFramePixels);
  for (double z : zooms) {
    std::fill(fast.begin(), fast.end(), kUntouched);
    std::fill(plain.begin(), plain.end(), kUntouched);
    zoomWrap(src.data(), fast.data(), z);
    reference::zoomWrap(src.data(), plain.data(), z);
    ASSERT_EQ(fast, plain) << "z = " << z;
  }
}

}  // namespace
}  // namespace tolvarin

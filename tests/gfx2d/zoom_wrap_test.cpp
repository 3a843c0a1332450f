// zoomWrap: its known mappings, and every fast family against the plain
// loop for many zoom factors.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "gfx2d/kernel_set.h"
#include "gfx2d/zoom_wrap.h"

namespace tolvarin {
namespace {

constexpr Pixel kUntouched = 0xDEADBEEF;

struct Frames {
  std::vector<Pixel> src = std::vector<Pixel>(kFramePixels);  // pixel n holds n + 1
  std::vector<Pixel> dst = std::vector<Pixel>(kFramePixels, kUntouched);
  Frames() {
    for (int n = 0; n < kFramePixels; ++n) src[n] = static_cast<Pixel>(n + 1);
  }
  // The source pixel (x, y) that screen pixel (sx, sy) shows after zoomWrap.
  bool shows(int sx, int sy, int x, int y) const { return dst[sy * 320 + sx] == src[y * 320 + x]; }
};

TEST(ZoomWrap, KnownMappings) {
  Frames f;
  zoomWrap(f.src.data(), f.dst.data(), 1.0);  // a copy of rows 0..238; row 239 untouched
  EXPECT_TRUE(std::equal(f.src.begin(), f.src.begin() + 239 * 320, f.dst.begin()));
  EXPECT_EQ(std::count(f.dst.begin() + 239 * 320, f.dst.end(), kUntouched), 320);

  zoomWrap(f.src.data(), f.dst.data(), 2.0);  // halved and tiled about the centre
  EXPECT_TRUE(f.shows(0, 0, 160, 120));
  EXPECT_TRUE(f.shows(160, 120, 160, 120));
  EXPECT_TRUE(f.shows(80, 60, 0, 0));

  zoomWrap(f.src.data(), f.dst.data(), 0.5);  // doubled about the centre
  EXPECT_TRUE(f.shows(0, 0, 80, 60));
  EXPECT_TRUE(f.shows(319, 238, 239, 179));

  zoomWrap(f.src.data(), f.dst.data(), std::nan(""));  // reaches nothing: zeros
  EXPECT_EQ(std::count(f.dst.begin(), f.dst.begin() + 239 * 320, 0u), 239 * 320);
}

// The zooms the opening scene steps through (24.6 down by 0.4, then by 0.05
// to near 0 and back), negative ones (whose reads can leave the source and
// repeat the last pixel), and seeded random ones.
TEST(ZoomWrap, MatchesThePlainLoop) {
  Frames f;
  std::vector<double> zooms{0.0, -0.0, 1e-300, -1e-9, 0.999999999, 3.0, 320.0, 76800.5, 1.0e9, -1.0e13};
  for (double z = 24.6; z >= 1.0; z -= 0.4) zooms.push_back(z);
  for (double z = 1.0; z >= -0.1; z -= 0.05) zooms.push_back(z);
  std::mt19937 rng(4100);
  for (int i = 0; i < 300; ++i) zooms.push_back(std::uniform_real_distribution<double>(-30.0, 30.0)(rng));
  for (int i = 0; i < 100; ++i) zooms.push_back(std::uniform_real_distribution<double>(-0.2, 0.2)(rng));
  std::vector<Pixel> plain(kFramePixels);
  for (const KernelSet* set : availableKernelSets()) {
    SCOPED_TRACE(set->name);
    for (double z : zooms) {
      std::fill(f.dst.begin(), f.dst.end(), kUntouched);
      std::fill(plain.begin(), plain.end(), kUntouched);
      set->zoomWrap(f.src.data(), f.dst.data(), z);
      reference::zoomWrap(f.src.data(), plain.data(), z);
      ASSERT_EQ(f.dst, plain) << "z = " << z;
    }
  }
}

}  // namespace
}  // namespace tolvarin

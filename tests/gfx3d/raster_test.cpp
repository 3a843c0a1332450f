// The fillers: shading, fill rules, depth test, off-screen handling, textures.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "gfx3d_test_util.h"

namespace tolvarin {
namespace {

using test::Gfx3dTest;
using test::screenVertex;

TEST_F(Gfx3dTest, ShadeColour) {
  MeshVertex a = test::cameraVertex(0, 0, 50), b = test::cameraVertex(10, 0, 50),
             c = test::cameraVertex(0, 10, 50);
  EXPECT_EQ(shadeColour(&a, &b, &c, 0xC8B360), 0xC8B360u);  // no light: unchanged
  const double alongZ[3] = {0, 0, -1};
  lightDirection = alongZ;
  EXPECT_EQ(shadeColour(&a, &b, &c, 0xC8B360), 0xC8B360u);  // I = 1 (either side)
  const double inPlane[3] = {1, 0, 0};
  lightDirection = inPlane;
  EXPECT_EQ(shadeColour(&a, &b, &c, 0xFFFFFF), 0u);
  const double k = 1.0 / std::sqrt(3.0);
  const double scene[3] = {k, k, -k};
  lightDirection = scene;
  // I = 1/sqrt 3: 200 -> 115, 179 -> 103, 96 -> 55, 255 -> 147, 127 -> 73.
  EXPECT_EQ(shadeColour(&a, &b, &c, 0xC8B360), 0x736737u);
  EXPECT_EQ(shadeColour(&a, &b, &c, 0xFF7F7F7F), 0x494949u);  // bits 24-31 dropped
  EXPECT_EQ(shadeColour(&a, &a, &c, 0xFFFFFF), 0u);  // zero area: black
  // A light longer than 1 scales past 255: the low 8 bits are kept.
  const double strong[3] = {0, 0, 2};
  lightDirection = strong;
  EXPECT_EQ(shadeColour(&a, &b, &c, 0x0000FF), 0x0000FEu);  // 510 & 0xFF
  const double huge[3] = {0, 0, 1e300};
  lightDirection = huge;
  EXPECT_EQ(shadeColour(&a, &b, &c, 0x0000FF), 0u);  // beyond any integer: 0, not UB
}

TEST_F(Gfx3dTest, FlatFillRules) {
  // Flat top (top.y = mid.y): drawn entirely by the lower part. Rows 10..19,
  // each from column 10 to the long edge (excluded).
  MeshVertex a = screenVertex(10, 10), b = screenVertex(30, 10), c = screenVertex(10, 20);
  fillFlatTriangle(&a, &b, &c, 0x123456, frame.data());
  int expected = 0;
  for (int y = 10; y < 20; ++y) {
    const int right = 30 - 2 * (y - 10);
    for (int x = 0; x < kFrameWidth; ++x) {
      EXPECT_EQ(at(x, y) == 0x123456u, x >= 10 && x < right) << x << "," << y;
    }
    expected += right - 10;
  }
  EXPECT_EQ(countPixels(0x123456), expected);  // nothing on row 20 or elsewhere
  EXPECT_EQ(depthAt(10, 10), 100 * 65536);

  // All three on one row, or a sliver narrower than a pixel: nothing.
  frame.assign(kFramePixels, 0);
  MeshVertex d = screenVertex(5, 50), e = screenVertex(200, 50), f = screenVertex(90, 50);
  fillFlatTriangle(&d, &e, &f, 0xFFFFFF, frame.data());
  MeshVertex g = screenVertex(40, 60), h = screenVertex(40, 90), i = screenVertex(40, 120);
  fillFlatTriangle(&g, &h, &i, 0xFFFFFF, frame.data());
  EXPECT_EQ(countPixels(0xFFFFFF), 0);

  // Two triangles sharing the diagonal of a square tile it exactly once.
  clearDepthBuffer();
  MeshVertex p = screenVertex(100, 100), q = screenVertex(140, 100), r = screenVertex(140, 130),
             s = screenVertex(100, 130);
  std::vector<Pixel> first(kFramePixels, 0), second(kFramePixels, 0);
  fillFlatTriangle(&p, &q, &r, 1, first.data());
  clearDepthBuffer();
  fillFlatTriangle(&p, &r, &s, 2, second.data());
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      const std::size_t k = static_cast<std::size_t>(y * kFrameWidth + x);
      const bool inSquare = x >= 100 && x < 140 && y >= 100 && y < 130;
      EXPECT_EQ((first[k] != 0) + (second[k] != 0), inSquare ? 1 : 0) << x << "," << y;
    }
  }
}

TEST_F(Gfx3dTest, DepthTest) {
  MeshVertex a = screenVertex(10, 10, 50), b = screenVertex(60, 10, 50), c = screenVertex(10, 60, 50);
  fillFlatTriangle(&a, &b, &c, 0x0000AA, frame.data());
  EXPECT_EQ(at(20, 20), 0x0000AAu);  // empty (-1) entries always take the colour
  fillFlatTriangle(&a, &b, &c, 0x0000BB, frame.data());
  EXPECT_EQ(at(20, 20), 0x0000AAu);  // equal depth keeps the first
  MeshVertex na = screenVertex(10, 10, 40), nb = screenVertex(60, 10, 40),
             nc = screenVertex(10, 60, 40);
  fillFlatTriangle(&na, &nb, &nc, 0x0000DD, frame.data());
  EXPECT_EQ(at(20, 20), 0x0000DDu);
  EXPECT_EQ(depthAt(20, 20), 40 * 65536);
  // Depths beyond the 32-bit range are held at its top, NaN with them.
  EXPECT_EQ(depthFromZ(32767.99), static_cast<std::int32_t>(32767.99 * 65536.0));
  EXPECT_EQ(depthFromZ(32768.0), INT32_MAX);
  EXPECT_EQ(depthFromZ(std::nan("")), INT32_MAX);
  EXPECT_EQ(depthFromZ(-1e300), INT32_MIN);
  EXPECT_EQ(depthFromZ(-0.5 / 65536), 0);  // truncation toward zero
}

TEST_F(Gfx3dTest, OffScreenPixelsSkippedWhileDepthSteps) {
  // Flat top from (-10, -3) to (10, -3), apex (-10, 17): the span of row y
  // runs from column -10; depth goes 1 -> 3 along the top edge.
  MeshVertex a = screenVertex(-10, -3, 1.0), b = screenVertex(10, -3, 3.0),
             c = screenVertex(-10, 17, 1.0);
  fillFlatTriangle(&a, &b, &c, 0xFFFFFF, frame.data());
  // Row 0 is the fourth row: both edges stepped three times, then the span's
  // depth stepped once per column from -10, inside the screen or not.
  double zShort = 3.0;
  const double dzShort = (1.0 - 3.0) / 20;
  for (int k = 0; k < 3; ++k) zShort += dzShort;
  const int right = static_cast<int>((10 * 65536 + 3 * (-20 * 65536 / 20)) / 65536);
  ASSERT_EQ(right, 7);
  const double dz = (zShort - 1.0) / (right - -10);
  double z = 1.0;
  for (int x = -10; x < right; ++x, z += dz) {
    if (x < 0) continue;
    EXPECT_EQ(at(x, 0), 0xFFFFFFu) << x;
    EXPECT_EQ(depthAt(x, 0), static_cast<std::int32_t>(z * 65536.0)) << x;
  }
  EXPECT_EQ(at(right, 0), 0u);
  EXPECT_EQ(at(1, 5), 0xFFFFFFu);  // short edge at column 2 on row 5
  EXPECT_EQ(at(0, 9), 0u);          // and at -2 on row 9

  // Rows and columns past the right and bottom edges are skipped too.
  frame.assign(kFramePixels, 0);
  clearDepthBuffer();
  MeshVertex d = screenVertex(300, 230), e = screenVertex(400, 230), f = screenVertex(300, 300);
  fillFlatTriangle(&d, &e, &f, 0xFFFFFF, frame.data());
  EXPECT_EQ(countPixels(0xFFFFFF), 20 * 10);
}

TEST_F(Gfx3dTest, HugeScreenPositionsStayInBounds) {
  // Projections of points behind the viewer reach +-2^30; callers may pass
  // anything. No overflow, nothing outside the frame, and a bounded amount of work.
  const std::int32_t big = std::numeric_limits<std::int32_t>::max();
  const std::int32_t small = std::numeric_limits<std::int32_t>::min();
  const std::int32_t cases[][6] = {
      {small, small, big, 0, 0, big},
      {-(1 << 30), 120, 1 << 30, 100, 160, 1 << 30},
      {0, -(1 << 30), 319, 1 << 30, -(1 << 30), 1 << 30},
      {big, big, big, big, small, big},
      {-5000, 10, 5000, 20, 0, 4000},
  };
  std::vector<Pixel> texture(kFramePixels, 0x777777);
  for (const auto& t : cases) {
    MeshVertex a = screenVertex(t[0], t[1], 20), b = screenVertex(t[2], t[3], 40),
               c = screenVertex(t[4], t[5], 1e6);
    a.u = small, b.u = big, c.v = big;
    fillFlatTriangle(&a, &b, &c, 0xFFFFFF, frame.data());
    clearDepthBuffer();
    fillTexturedTriangle(&a, &b, &c, texture.data(), frame.data());
    clearDepthBuffer();
    drawWireTriangle(&a, &b, &c, 0xFFFFFF, frame.data());
  }
  EXPECT_GT(countPixels(0xFFFFFF) + countPixels(0x777777), 0);
}

TEST_F(Gfx3dTest, TexturedFill) {
  // u = column and v = row at the corners map the texture onto the frame one to one.
  std::vector<Pixel> texture(kFramePixels);
  for (int i = 0; i < kFramePixels; ++i) texture[static_cast<std::size_t>(i)] = static_cast<Pixel>(i + 1);
  MeshVertex a = screenVertex(20, 30), b = screenVertex(250, 60), c = screenVertex(90, 200);
  for (MeshVertex* v : {&a, &b, &c}) v->u = v->screenX, v->v = v->screenY;
  fillTexturedTriangle(&a, &b, &c, texture.data(), frame.data());
  int drawn = 0;
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      if (at(x, y) == 0) continue;
      ++drawn;
      ASSERT_EQ(at(x, y), static_cast<Pixel>(y * kFrameWidth + x + 1)) << x << "," << y;
    }
  }
  EXPECT_GT(drawn, 10000);
  // Coordinates outside a small texture are held to its edge.
  frame.assign(kFramePixels, 0);
  clearDepthBuffer();
  const std::vector<Pixel> tiny(2 * kFrameWidth, 0xABCDEF);
  a.u = -500, b.u = 5000, c.v = 900;
  fillTexturedTriangle(&a, &b, &c, tiny.data(), frame.data(), 2);
  EXPECT_EQ(countPixels(0xABCDEF), drawn);
}

TEST_F(Gfx3dTest, WireTriangle) {
  MeshVertex a = screenVertex(10, 10), b = screenVertex(20, 10), c = screenVertex(10, 20);
  drawWireTriangle(&a, &b, &c, 0x00FF00, frame.data());
  EXPECT_EQ(countPixels(0x00FF00), 11 + 11 + 11 - 3);
  EXPECT_EQ(depthAt(15, 10), -1);  // no depth test, no depth written
  // One corner off screen: only the edge between the other two remains.
  frame.assign(kFramePixels, 0);
  c.screenY = 240;
  drawWireTriangle(&a, &b, &c, 0x00FF00, frame.data());
  EXPECT_EQ(countPixels(0x00FF00), 11);
  EXPECT_EQ(at(15, 10), 0x00FF00u);
}

// Random triangles in front of the viewer: every pixel inside the projected
// bounding box (right and bottom excluded), and the two halves of a random
// quad never both draw a pixel.
TEST_F(Gfx3dTest, RandomTrianglesProperty) {
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  auto uniform = [&state](double lo, double hi) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return lo + (hi - lo) * static_cast<double>(state >> 11) / 9007199254740992.0;
  };
  auto randomPoint = [&] {
    const double z = uniform(10, 400);
    return test::cameraVertex(uniform(-z, z), uniform(-z, z), z);
  };
  std::vector<Pixel> first(kFramePixels), second(kFramePixels);
  int sharedEdgeRounds = 0;
  for (int round = 0; round < 400; ++round) {
    MeshVertex v[4] = {randomPoint(), randomPoint(), randomPoint(), randomPoint()};
    std::fill(first.begin(), first.end(), 0);
    std::fill(second.begin(), second.end(), 0);
    clearDepthBuffer();
    fillFlatTriangle(&v[0], &v[1], &v[2], 1, first.data());
    clearDepthBuffer();
    fillFlatTriangle(&v[0], &v[2], &v[3], 1, second.data());
    int minX = v[0].screenX, maxX = minX, minY = v[0].screenY, maxY = minY;
    for (int k = 1; k < 3; ++k) {
      minX = std::min(minX, v[k].screenX), maxX = std::max(maxX, v[k].screenX);
      minY = std::min(minY, v[k].screenY), maxY = std::max(maxY, v[k].screenY);
    }
    // The quad's halves share edge v0-v2; they overlap only when the quad is
    // not convex with that diagonal inside it, so test sides first.
    auto side = [&](const MeshVertex& p) {
      return static_cast<std::int64_t>(v[2].screenX - v[0].screenX) * (p.screenY - v[0].screenY) -
             static_cast<std::int64_t>(v[2].screenY - v[0].screenY) * (p.screenX - v[0].screenX);
    };
    const bool oppositeSides = (side(v[1]) > 0 && side(v[3]) < 0) || (side(v[1]) < 0 && side(v[3]) > 0);
    sharedEdgeRounds += oppositeSides;
    for (int y = 0; y < kFrameHeight; ++y) {
      for (int x = 0; x < kFrameWidth; ++x) {
        const std::size_t k = static_cast<std::size_t>(y * kFrameWidth + x);
        if (first[k]) {
          ASSERT_TRUE(x >= minX && x < maxX && y >= minY && y < maxY) << round;
        }
        if (oppositeSides) {
          ASSERT_FALSE(first[k] && second[k]) << round << ": " << x << "," << y;
        }
      }
    }
  }
  EXPECT_GT(sharedEdgeRounds, 100);
}

}  // namespace
}  // namespace tolvarin

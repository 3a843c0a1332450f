// The case rules of the clipper, each on a face built to reach it.
#include <gtest/gtest.h>

#include "gfx3d/clip.h"
#include "gfx3d_test_util.h"

namespace tolvarin {
namespace {

using test::cameraVertex;
using test::Gfx3dTest;

struct Face {
  MeshVertex a, b, c;
  MeshFace face;
  Face(MeshVertex va, MeshVertex vb, MeshVertex vc, bool withNormal = true)
      : a(va), b(vb), c(vc) {
    face.a = &a, face.b = &b, face.c = &c;
    if (withNormal) face.computeNormal();
  }
};

void expectAt(const MeshVertex* v, double x, double y, double z, double tolerance = 1e-9) {
  ASSERT_NE(v, nullptr);
  EXPECT_NEAR(v->camera.x, x, tolerance);
  EXPECT_NEAR(v->camera.y, y, tolerance);
  EXPECT_NEAR(v->camera.z, z, tolerance);
  EXPECT_EQ(v->model.x, v->camera.x);
  EXPECT_EQ(v->rotated.z, v->camera.z);
}

TEST_F(Gfx3dTest, OneCornerOutsideNearOnlyGivesFourVertices) {
  Face f(cameraVertex(0, 0, 5), cameraVertex(-10, 0, 50), cameraVertex(10, 0, 50));
  ClipResult out;
  ASSERT_EQ(clipTriangle(f.face, out), 4);
  EXPECT_EQ(out[0], &f.b);  // inside corners first, in face order
  EXPECT_EQ(out[1], &f.c);
  expectAt(out[2], -10.0 * 5 / 45, 0, 10);  // edge (a, b) on the near plane
  expectAt(out[3], 10.0 * 5 / 45, 0, 10);   // edge (a, c)
  for (int i = 2; i < 4; ++i) {
    EXPECT_EQ(out[i]->isTemporary, 1);
    EXPECT_EQ(out[i]->outcode, 0);
    EXPECT_EQ(out[i]->screenX, 160 + static_cast<int>(159 * out[i]->camera.x / 10));
  }
}

TEST_F(Gfx3dTest, CornerPointOfBottomAndRightPlanes) {
  // a is beyond both the right (2) and the bottom (0) plane; the face lies in
  // z = 50, so the corner line x = y = z meets it at (50, 50, 50).
  Face f(cameraVertex(100, 60, 50), cameraVertex(0, 0, 50), cameraVertex(0, -20, 50));
  ClipResult out;
  ASSERT_EQ(clipTriangle(f.face, out), 5);
  EXPECT_EQ(out[0], &f.b);
  EXPECT_EQ(out[1], &f.c);
  expectAt(out[2], 50, 30, 50);  // (a, b) crosses plane 2; its plane-0 point is dropped
  expectAt(out[3], 50, 20, 50);  // (a, c) likewise
  expectAt(out[4], 50, 50, 50);
  EXPECT_EQ(out[4]->outcode, 0);

  // The same face with its normal never computed (a mesh without culling):
  // the corner point falls back to (0, 0, -100), which is outside and dropped.
  Face bare(cameraVertex(100, 60, 50), cameraVertex(0, 0, 50), cameraVertex(0, -20, 50), false);
  EXPECT_EQ(clipTriangle(bare.face, out), 4);
  const MeshVertex fallback = cornerVertex(bare.face, 0, 2);
  expectAt(&fallback, 0, 0, -100);
  EXPECT_EQ(fallback.outcode, 0b101111);
  EXPECT_EQ(fallback.isTemporary, 1);
}

TEST_F(Gfx3dTest, TwoCornersOutsideDifferentPlanes) {
  // b is outside only plane 2, c only plane 0, and the edge between them
  // passes outside the volume's corner: two crossings plus the corner point.
  Face f(cameraVertex(0, 0, 50), cameraVertex(90, 30, 50), cameraVertex(30, 90, 50));
  ClipResult out;
  ASSERT_EQ(clipTriangle(f.face, out), 4);
  EXPECT_EQ(out[0], &f.a);
  expectAt(out[1], 50, 50.0 / 3, 50);
  expectAt(out[2], 50.0 / 3, 50, 50);
  expectAt(out[3], 50, 50, 50);
}

TEST_F(Gfx3dTest, AllCornersOutside) {
  ClipResult out;
  // Every edge crosses the volume twice: six points, a count no driver draws.
  Face hexagon(cameraVertex(0, -100, 50), cameraVertex(100, 40, 50), cameraVertex(-100, 40, 50));
  EXPECT_EQ(clipTriangle(hexagon.face, out), 6);
  // A face that covers the whole cross-section with all edges outside: nothing.
  Face cover(cameraVertex(0, -500, 50), cameraVertex(500, 300, 50), cameraVertex(-500, 300, 50));
  EXPECT_EQ(clipTriangle(cover.face, out), 0);
  // Spanning the corner line x = y = z with two edges crossing plane 2 and
  // plane 0: two edge points and the corner point where they meet.
  Face corner(cameraVertex(30, 60, 50), cameraVertex(60, 30, 50), cameraVertex(200, 200, 50));
  ASSERT_EQ(clipTriangle(corner.face, out), 3);
  expectAt(out[2], 50, 50, 50);
  // Wholly behind the viewer: edges share the near bit and are skipped.
  Face behind(cameraVertex(0, 0, -5), cameraVertex(1, 0, -5), cameraVertex(0, 1, -5));
  EXPECT_EQ(clipTriangle(behind.face, out), 0);
}

TEST_F(Gfx3dTest, ClipEdgeTextureWalk) {
  MeshVertex p = cameraVertex(0, 0, 5), q = cameraVertex(0, 0, 50);
  p.screenX = 100, p.screenY = 100, p.u = 0, p.v = 40;
  q.screenX = 200, q.screenY = 100, q.u = 100, q.v = 0;
  // The new point projects to the centre (160, 120); the walk along y = 100
  // never reaches it and runs all 100 steps, ending at Q's values.
  MeshVertex w = clipEdge(5, p, q);
  expectAt(&w, 0, 0, 10);
  EXPECT_EQ(w.u, 100);
  EXPECT_EQ(w.v, 0);
  // A walk that passes the new point stops there: x 100 -> 220 over y 120.
  p.screenY = q.screenY = 120;
  q.screenX = 220;
  w = clipEdge(5, p, q);
  EXPECT_EQ(w.screenX, 160);
  EXPECT_EQ(w.u, 49);  // 60 steps of trunc(100 * 256 / 120) = 213
  EXPECT_EQ(w.v, 20);
  // steps is |max(dx, dy)|, the larger signed difference: dx = -50, dy = 10
  // walks 10 steps.
  p.screenX = 210, p.screenY = 110, q.screenX = 160, q.screenY = 120;
  w = clipEdge(5, p, q);
  EXPECT_EQ(w.u, 100);  // 10 steps of 10 texels: never on (160, 120) before the end
  // Same screen position: P's coordinates.
  q.screenX = p.screenX, q.screenY = p.screenY;
  w = clipEdge(5, p, q);
  EXPECT_EQ(w.u, p.u);
  EXPECT_EQ(w.v, p.v);
  // Far-off screen positions (points behind the viewer) stay defined.
  p.screenX = -(1 << 30), q.screenX = 1 << 30, q.u = 1 << 30;
  w = clipEdge(5, p, q);
  EXPECT_GE(w.u, 0);
  EXPECT_LE(w.u, 1 << 30);
}

}  // namespace
}  // namespace tolvarin

// Rotation, placement, normals, the view volume, classification, projection.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gfx3d_test_util.h"

namespace tolvarin {
namespace {

using test::Gfx3dTest;

void expectVec(const Vec3& v, double x, double y, double z) {
  EXPECT_EQ(v.x, x);
  EXPECT_EQ(v.y, y);
  EXPECT_EQ(v.z, z);
}

TEST_F(Gfx3dTest, RotationStepsAndAngleReduction) {
  MeshVertex v;
  v.model = Vec3{3.0, -4.0, 5.0};
  rotateVertex(v, 0, 0, 0);
  expectVec(v.rotated, 3.0, -4.0, 5.0);
  rotateVertex(v, 720, 0, 720);  // reduces to 0: steps skipped, bits unchanged
  expectVec(v.rotated, 3.0, -4.0, 5.0);

  // Only z: x and y turn, z is left exactly.
  rotateVertex(v, 0, 0, 5);
  const double c = cosTable[5], s = sinTable[5];
  expectVec(v.rotated, 3.0 * c - -4.0 * s, 3.0 * s + -4.0 * c, 5.0);

  // 361 is 1; 360 stays 360 and uses the table's last entry (not a no-op).
  MeshVertex w;
  w.model = v.model;
  rotateVertex(v, 361, 361, 361);
  rotateVertex(w, 1, 1, 1);
  expectVec(v.rotated, w.rotated.x, w.rotated.y, w.rotated.z);
  rotateVertex(v, 360, 0, 0);
  EXPECT_NE(sinTable[360], 0.0);
  expectVec(v.rotated, 3.0, -4.0 * cosTable[360] - 5.0 * sinTable[360],
            -4.0 * sinTable[360] + 5.0 * cosTable[360]);

}

TEST_F(Gfx3dTest, MeshRotateSetPositionAndOrbit) {
  Mesh mesh;
  test::buildMesh(mesh, {{10, 0, 0}, {0, 20, 0}}, {});
  mesh.setPosition(1, 2, 3);
  mesh.rotate(0, 0, 90);
  const Vec3 r0 = mesh.vertices[0].rotated;
  expectVec(mesh.vertices[0].camera, r0.x + 1, r0.y + 2, r0.z + 3);
  // Halving rotated changes nothing until setPosition refreshes camera.
  for (int i = 0; i < 2; ++i) {
    Vec3& r = mesh.vertices[i].rotated;
    r = Vec3{r.x / 2, r.y / 2, r.z / 2};
  }
  expectVec(mesh.vertices[0].camera, r0.x + 1, r0.y + 2, r0.z + 3);
  mesh.setPosition(1, 2, 3);
  expectVec(mesh.vertices[0].camera, r0.x / 2 + 1, r0.y / 2 + 2, r0.z / 2 + 3);
  // The next rotation starts from model again: full size.
  mesh.rotate(0, 0, 90);
  expectVec(mesh.vertices[0].rotated, r0.x, r0.y, r0.z);

  // Orbit turns the position about the pivot and moves the vertices with it.
  mesh.setPosition(12, 0, 7);
  mesh.orbit(2, 0, 7, 0, 0, 90);
  EXPECT_NEAR(mesh.position.x, 2.0, 1e-6);
  EXPECT_NEAR(mesh.position.y, 10.0, 1e-6);
  EXPECT_EQ(mesh.vertices[1].camera.y, mesh.vertices[1].rotated.y + mesh.position.y);
  // Negative angles are taken as the equivalent angle in 0..359.
  EXPECT_EQ(reduceAngle(-90), 270);
  EXPECT_EQ(reduceAngle(-360), 0);
}

TEST_F(Gfx3dTest, NormalsPlanesAndViewVolume) {
  auto inside = [](int p, double x, double y, double z) {
    return viewFrustum.isInside(p, test::cameraVertex(x, y, z));
  };
  EXPECT_TRUE(inside(5, 0, 0, 10));
  EXPECT_FALSE(inside(5, 0, 0, 9.9999));
  EXPECT_TRUE(inside(4, 0, 0, 1500));
  EXPECT_FALSE(inside(4, 0, 0, 1500.0001));
  EXPECT_TRUE(inside(2, 10, 0, 10));  // exactly on the plane
  // The tolerance applies to the distance (x - z) / sqrt 2, not to x - z.
  EXPECT_TRUE(inside(2, 10 + 1.4e-7, 0, 10));
  EXPECT_FALSE(inside(2, 10 + 1.5e-7, 0, 10));
  EXPECT_FALSE(inside(6, 0, 0, 50));  // no such plane
  // Bottom, top, right, left: y <= z, y >= -z, x <= z, x >= -z.
  EXPECT_EQ(test::cameraVertex(0, 0, -100).outcode, 0b101111);
  EXPECT_EQ(test::cameraVertex(100, 60, 50).outcode, 0b000101);
  EXPECT_EQ(test::cameraVertex(-60, -70, 50).outcode, 0b001010);

  // Face normal follows the winding; a degenerate face keeps the zero vector.
  MeshVertex a = test::cameraVertex(0, 0, 5), b = test::cameraVertex(2, 0, 5),
             c = test::cameraVertex(0, 3, 5);
  MeshFace face;
  face.a = &a, face.b = &b, face.c = &c;
  face.computeNormal();
  face.computePlane();
  EXPECT_EQ(face.planeD, 5.0);
  face.b = &c, face.c = &b;
  face.computeNormal();
  expectVec(face.normal, 0, 0, -1);
  face.c = &a;
  face.computeNormal();
  expectVec(face.normal, 0, 0, 0);
}

TEST_F(Gfx3dTest, ClassifyOutcodesAndBoundingBox) {
  Mesh mesh;
  test::buildMesh(mesh, {{-5, 1, 2}, {-5, -3, 4}, {-5, 2, -6}}, {});
  mesh.setPosition(0, 0, 8);  // the last vertex is at z = 2: outside near
  mesh.classify();
  EXPECT_EQ(mesh.vertices[0].outcode, 0);
  EXPECT_EQ(mesh.vertices[2].outcode, 0b101000);  // near, and x = -5 < -z = -2
  ASSERT_NE(mesh.bounds, nullptr);
  EXPECT_EQ(mesh.bounds->vertexCount, 8);
  EXPECT_EQ(mesh.bounds->faceCount, 0);
  // Corners in the fixed order, over rotated (before the translation).
  const Vec3 lo{-5, -3, -6}, hi{-5, 2, 4};
  const Vec3 expected[8] = {{lo.x, hi.y, lo.z}, {lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z},
                            {hi.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {lo.x, lo.y, hi.z},
                            {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}};
  for (int k = 0; k < 8; ++k) {
    const MeshVertex& corner = mesh.bounds->vertices[k];
    expectVec(corner.rotated, expected[k].x, expected[k].y, expected[k].z);
    expectVec(corner.camera, expected[k].x, expected[k].y, expected[k].z + 8);
    EXPECT_EQ(corner.outcode, viewFrustum.outcode(corner)) << k;
  }
  EXPECT_EQ(mesh.bounds->vertices[1].outcode, 0b101010);  // (-5, -3, 2)
  EXPECT_EQ(mesh.bounds->vertices[7].outcode, 0);          // (-5, 2, 12)
  const Mesh* kept = mesh.bounds.get();
  mesh.classify();
  EXPECT_EQ(mesh.bounds.get(), kept);  // made once

  // No vertices: a box of size zero at the position, nothing read past the array.
  Mesh empty;
  empty.setPosition(0, 0, 100);
  empty.classify();
  for (int k = 0; k < 8; ++k) {
    expectVec(empty.bounds->vertices[k].camera, 0, 0, 100);
    EXPECT_EQ(empty.bounds->vertices[k].outcode, 0);
  }
}

TEST_F(Gfx3dTest, Projection) {
  MeshVertex v = test::cameraVertex(-100, 50, 200);
  EXPECT_EQ(v.screenX, 81);
  EXPECT_EQ(v.screenY, 150);
  // Points on the side planes land on column 319 / 1 and rows 0 / 240.
  EXPECT_EQ(test::cameraVertex(100, 0, 100).screenX, 319);
  EXPECT_EQ(test::cameraVertex(-100, 0, 100).screenX, 1);
  EXPECT_EQ(test::cameraVertex(0, 100, 100).screenY, 240);
  // Truncation toward zero: -0.5 pixel stays at the centre.
  EXPECT_EQ(test::cameraVertex(-50.0 / 159, 0, 100).screenX, 160);
  // z <= 0 and non-numbers give defined positions, held to +-2^30.
  EXPECT_EQ(test::cameraVertex(10, -10, -100).screenX, 160 - 15);
  EXPECT_EQ(test::cameraVertex(10, -10, 0).screenX, (1 << 30) + 160);
  EXPECT_EQ(test::cameraVertex(10, -10, 0).screenY, -(1 << 30) + 120);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(test::cameraVertex(nan, 0, 0).screenX, 160);
  EXPECT_EQ(test::cameraVertex(0, 0, 0).screenY, 120);
}

}  // namespace
}  // namespace tolvarin

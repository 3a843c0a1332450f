#pragma once
// Shared set-up for the 3D tests: tables, depth buffer and view volume ready,
// no light; and small builders for vertices and meshes.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "gfx2d/trig_tables.h"
#include "gfx3d/mesh.h"
#include "gfx3d/raster.h"
#include "gfx3d/transform.h"
#include "gfx3d/view_frustum.h"

namespace tolvarin::test {

class Gfx3dTest : public ::testing::Test {
 protected:
  void SetUp() override {
    buildTrigTables();
    setUp3D();
    lightDirection = nullptr;
    frame.assign(kFramePixels, 0);
  }
  void TearDown() override { lightDirection = nullptr; }

  Pixel at(int x, int y) const { return frame[static_cast<std::size_t>(y * kFrameWidth + x)]; }
  std::int32_t depthAt(int x, int y) const { return depthBuffer[y * kFrameWidth + x]; }
  int countPixels(Pixel colour) const {
    int n = 0;
    for (Pixel p : frame) n += p == colour;
    return n;
  }

  std::vector<Pixel> frame;
};

// A vertex at camera position (x, y, z), with its outcode and projection.
inline MeshVertex cameraVertex(double x, double y, double z) {
  MeshVertex v;
  v.model = v.rotated = v.camera = Vec3{x, y, z};
  v.outcode = viewFrustum.outcode(v);
  projectVertex(v);
  return v;
}

// A vertex at a given screen position and depth (only what the fillers read).
inline MeshVertex screenVertex(std::int32_t sx, std::int32_t sy, double z = 100.0) {
  MeshVertex v;
  v.camera = Vec3{0.0, 0.0, z};
  v.screenX = sx;
  v.screenY = sy;
  return v;
}

// Builds a mesh from camera-space points (model = rotated = camera) and faces.
inline void buildMesh(Mesh& mesh, const std::vector<Vec3>& points,
                      const std::vector<std::array<int, 3>>& faces) {
  ASSERT_TRUE(mesh.allocateVertices(static_cast<std::int32_t>(points.size())));
  ASSERT_TRUE(mesh.allocateFaces(static_cast<std::int32_t>(faces.size())));
  for (std::size_t i = 0; i < points.size(); ++i) {
    mesh.setVertex(static_cast<std::int32_t>(i), points[i].x, points[i].y, points[i].z);
  }
  for (std::size_t j = 0; j < faces.size(); ++j) {
    mesh.setFace(static_cast<std::int32_t>(j), faces[j][0], faces[j][1], faces[j][2]);
  }
}

}  // namespace tolvarin::test

// The .d writer and the three generated meshes: they load, they are closed
// and wound the way culling expects, they are framed by the scene's poses,
// and they come out the same every time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>

#include "formats/d_writer.h"
#include "gen/generated_file.h"
#include "gfx2d/trig_tables.h"
#include "gfx3d/drivers.h"
#include "gfx3d/mesh.h"
#include "gfx3d/raster.h"
#include "gfx3d/transform.h"

namespace tolvarin {
namespace {

bool loadBytes(Mesh& mesh, const std::vector<std::uint8_t>& bytes) {
  return mesh.loadFromMemory(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST(DWriter, LayoutAndRoundTrip) {
  formats::DMesh tri{"tri", {{0, 0, 10}, {1.25, -0.0000001, 10}, {-3, 2.5, 0}}, {{0, 1, 2}}};
  const std::vector<std::uint8_t> bytes = formats::encodeD(tri);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "Named object: \"tri\"\n"
            "Tri-mesh, Vertices: 3     Faces: 1\n"
            "Vertex list:\n"
            "Vertex 0:  X:0.000000     Y:0.000000     Z:10.000000\n"
            "Vertex 1:  X:1.250000     Y:0.000000     Z:10.000000\n"
            "Vertex 2:  X:-3.000000     Y:2.500000     Z:0.000000\n"
            "Face list:\n"
            "Face 0:    A:0 B:1 C:2 AB:1 BC:1 CA:1\n");
  Mesh mesh;
  ASSERT_TRUE(loadBytes(mesh, bytes));
  ASSERT_EQ(mesh.vertexCount, 3);
  EXPECT_EQ(mesh.vertices[2].model.x, -3.0);
  EXPECT_EQ(mesh.vertices[2].model.y, -2.5);
  EXPECT_EQ(mesh.vertices[2].model.z, 0.00001);
  EXPECT_EQ(mesh.faces[0].c, &mesh.vertices[2]);
}

struct Generated {
  std::map<std::string, std::vector<std::uint8_t>> bytes;
  Generated() {
    for (auto& f : gen::generateMeshes()) bytes[f.name] = std::move(f.bytes);
  }
};

const Generated& generated() {
  static const Generated g;
  return g;
}

TEST(GeneratedMeshes, NamesSizesAndDeterminism) {
  ASSERT_EQ(generated().bytes.size(), 3u);
  for (const char* name : {"qx.d", "esfera.d", "Columna.d"}) {
    ASSERT_TRUE(generated().bytes.count(name)) << name;
  }
  const std::vector<gen::GeneratedFile> again = gen::generateMeshes();
  for (const auto& f : again) EXPECT_EQ(f.bytes, generated().bytes.at(f.name)) << f.name;
  const std::map<std::string, std::pair<int, int>> faceRange = {
      {"esfera.d", {200, 600}}, {"Columna.d", {300, 2000}}, {"qx.d", {100, 1000}}};
  for (const auto& [name, bytes] : generated().bytes) {
    Mesh mesh;
    ASSERT_TRUE(loadBytes(mesh, bytes)) << name;
    EXPECT_GE(mesh.faceCount, faceRange.at(name).first) << name;
    EXPECT_LE(mesh.faceCount, faceRange.at(name).second) << name;
  }
}

// Closed (every edge used once in each direction) and wound so that, after the
// loader's Y negation, every face's (b - a) x (c - a) points into the solid:
// the winding the drivers' culling keeps when a face is turned to the viewer.
TEST(GeneratedMeshes, ClosedAndWoundForCulling) {
  for (const auto& [name, bytes] : generated().bytes) {
    Mesh mesh;
    ASSERT_TRUE(loadBytes(mesh, bytes));
    std::map<std::pair<const MeshVertex*, const MeshVertex*>, int> edges;
    double volume = 0;
    for (int j = 0; j < mesh.faceCount; ++j) {
      const MeshFace& f = mesh.faces[j];
      ASSERT_TRUE(f.a != f.b && f.b != f.c && f.a != f.c) << name << " face " << j;
      ++edges[{f.a, f.b}], ++edges[{f.b, f.c}], ++edges[{f.c, f.a}];
      const Vec3 &a = f.a->model, &b = f.b->model, &c = f.c->model;
      volume += a.x * (b.y * c.z - b.z * c.y) + a.y * (b.z * c.x - b.x * c.z) +
                a.z * (b.x * c.y - b.y * c.x);
    }
    for (const auto& [edge, count] : edges) {
      ASSERT_EQ(count, 1) << name;
      ASSERT_EQ(edges.count({edge.second, edge.first}), 1u) << name;
    }
    EXPECT_LT(volume / 6, -1000.0) << name;
  }
}

class ScenePoses : public ::testing::Test {
 protected:
  void SetUp() override {
    buildTrigTables();
    setUp3D();
  }
  // Projected extent of a mesh's vertices in its current pose.
  struct Box {
    int left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);
  };
  static Box extent(Mesh& mesh) {
    Box box;
    for (int i = 0; i < mesh.vertexCount; ++i) {
      MeshVertex& v = mesh.vertices[i];
      projectVertex(v);
      box.left = std::min(box.left, v.screenX), box.right = std::max(box.right, v.screenX);
      box.top = std::min(box.top, v.screenY), box.bottom = std::max(box.bottom, v.screenY);
    }
    return box;
  }
  static void load(Mesh& mesh, const char* name) {
    ASSERT_TRUE(loadBytes(mesh, generated().bytes.at(name)));
  }
};

TEST_F(ScenePoses, SphereFillsItsQuarterAndCullsItsFarSide) {
  Mesh sphere;
  load(sphere, "esfera.d");
  sphere.rotate(37, 37, 37);
  sphere.setPosition(-50, -50, 136);  // nearest pose of phase 1
  const Box near = extent(sphere);
  EXPECT_GT(near.right - near.left, 70);
  EXPECT_LT(near.right - near.left, 130);
  EXPECT_GT(near.left, 20);
  EXPECT_LT(near.right, 180);  // the mirror cuts it at column 160
  sphere.setPosition(-50, -50, 270);  // farthest
  const Box far = extent(sphere);
  EXPECT_GT(far.right - far.left, 35);
  // Culling keeps exactly the faces on the viewer's side of the sphere.
  sphere.cullBackFaces = 1;
  int kept = 0;
  for (int j = 0; j < sphere.faceCount; ++j) {
    MeshFace& f = sphere.faces[j];
    const Vec3 centroid{(f.a->camera.x + f.b->camera.x + f.c->camera.x) / 3,
                        (f.a->camera.y + f.b->camera.y + f.c->camera.y) / 3,
                        (f.a->camera.z + f.b->camera.z + f.c->camera.z) / 3};
    const Vec3 out{centroid.x + 50, centroid.y + 50, centroid.z - 270};  // outward
    const double towardViewer = -(out.x * centroid.x + out.y * centroid.y + out.z * centroid.z);
    const bool visible = facesViewer(f);
    // Faces near the outline are left out: there the centroid and the
    // face's plane can disagree.
    if (std::fabs(towardViewer) > 2000) {
      EXPECT_EQ(visible, towardViewer > 0) << j;
    }
    kept += visible;
  }
  EXPECT_GT(kept, sphere.faceCount / 3);
  EXPECT_LT(kept, sphere.faceCount * 2 / 3);
}

TEST_F(ScenePoses, ColumnStandsUprightInTheCentre) {
  Mesh column;
  load(column, "Columna.d");
  column.rotate(90, 0, 1);
  column.setPosition(0, 20, 112);
  const Box box = extent(column);
  EXPECT_LT(box.top, 40);       // reaches the top of the screen
  EXPECT_GT(box.bottom, 200);   // and the bottom
  EXPECT_NEAR((box.left + box.right) / 2, 160, 6);
  EXPECT_LT(box.right - box.left, 140);
  // The capital (file Z > 0) is above the base.
  EXPECT_LT(column.vertices[column.vertexCount - 1].screenY, column.vertices[0].screenY);
  column.setPosition(0, 20, 408);
  const Box far = extent(column);
  EXPECT_GT(far.bottom - far.top, 40);
}

TEST_F(ScenePoses, EmblemReadsLeftToRightAndFillsTheCentre) {
  Mesh emblem;
  load(emblem, "qx.d");
  emblem.rotate(90, 360, 1);  // face on, as at frame 90 of phase 1
  for (int i = 0; i < emblem.vertexCount; ++i) {
    Vec3& r = emblem.vertices[i].rotated;
    r = Vec3{r.x / 2, r.y / 2, r.z / 2};
  }
  emblem.setPosition(0, 20, 112);
  const Box box = extent(emblem);
  EXPECT_GT(box.right - box.left, 160);
  EXPECT_LT(box.right - box.left, 300);
  EXPECT_LT(box.bottom - box.top, box.right - box.left);
  EXPECT_GT(box.left, 0);
  EXPECT_LT(box.right, 320);
  // The Q (the ring, at negative file X) is on the left, its tail at its
  // lower right; file Z points up the screen.
  const MeshVertex* leftmost = &emblem.vertices[0];
  const MeshVertex* highest = &emblem.vertices[0];
  for (int i = 0; i < emblem.vertexCount; ++i) {
    const MeshVertex& v = emblem.vertices[i];
    if (v.model.x < leftmost->model.x) leftmost = &v;
    if (v.model.z > highest->model.z) highest = &v;
  }
  EXPECT_EQ(leftmost->screenX, box.left);
  EXPECT_LT(highest->screenY, 120);

  // Drawn flat: gold, lit, and with no holes inside the Q's ring stroke.
  std::vector<Pixel> frame(kFramePixels, 0);
  const double k = 1.0 / std::sqrt(3.0);
  const double light[3] = {k, k, -k};
  lightDirection = light;
  for (int j = 0; j < emblem.faceCount; ++j) emblem.faces[j].colour = 0xC8B360;
  emblem.drawObjectFlat(frame.data());
  lightDirection = nullptr;
  MeshVertex centreOfQ;
  centreOfQ.camera = Vec3{-40, 20, 112};  // file (-80, 0, 0) at half size
  projectVertex(centreOfQ);
  const int row = centreOfQ.screenY;
  int strokes = 0;
  for (int x = 1; x < kFrameWidth; ++x) {
    const bool on = frame[row * kFrameWidth + x] != 0, before = frame[row * kFrameWidth + x - 1] != 0;
    strokes += on && !before;
  }
  EXPECT_EQ(strokes, 3);  // the Q's left and right strokes, the X where its bars cross
  EXPECT_EQ(frame[row * kFrameWidth + centreOfQ.screenX], 0u);  // the Q is open inside
}

}  // namespace
}  // namespace tolvarin

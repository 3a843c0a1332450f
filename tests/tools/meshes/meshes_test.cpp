// The .d writer and the three generated meshes: they load, they are closed
// and wound the way culling expects, they are framed by the scene's poses,
// and they come out the same every time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "assets/data_manifest.h"
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
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_NE(text.find("Tri-mesh, Vertices: 3     Faces: 1\nVertex list:\n"), std::string::npos);
  EXPECT_NE(text.find("Vertex 1:  X:1.250000     Y:0.000000     Z:10.000000\n"), std::string::npos);
  EXPECT_NE(text.find("Face list:\nFace 0:    A:0 B:1 C:2 AB:1 BC:1 CA:1\n"), std::string::npos);
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
  for (const char* name : {data::qxMesh.name, data::esferaMesh.name, data::columnaMesh.name}) {
    ASSERT_TRUE(generated().bytes.count(name)) << name;
  }
  const std::vector<gen::GeneratedFile> again = gen::generateMeshes();
  for (const auto& f : again) EXPECT_EQ(f.bytes, generated().bytes.at(f.name)) << f.name;
  const std::map<std::string, std::pair<int, int>> faceRange = {
      {data::esferaMesh.name, {200, 600}}, {data::columnaMesh.name, {300, 2000}}, {data::qxMesh.name, {100, 1000}}};
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

// Projected extent of a mesh's vertices in its current pose.
struct Box {
  int left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);
  int width() const { return right - left; }
};

Box extent(Mesh& mesh) {
  Box box;
  for (int i = 0; i < mesh.vertexCount; ++i) {
    MeshVertex& v = mesh.vertices[i];
    projectVertex(v);
    box.left = std::min(box.left, v.screenX), box.right = std::max(box.right, v.screenX);
    box.top = std::min(box.top, v.screenY), box.bottom = std::max(box.bottom, v.screenY);
  }
  return box;
}

// The scene's poses frame the meshes: the sphere in its quarter, the column
// upright through the centre, the emblem across it reading left to right.
TEST(GeneratedMeshes, FramedByTheScenePoses) {
  buildTrigTables();
  setUp3D();
  Mesh sphere, column, emblem;
  ASSERT_TRUE(loadBytes(sphere, generated().bytes.at(data::esferaMesh.name)));
  ASSERT_TRUE(loadBytes(column, generated().bytes.at(data::columnaMesh.name)));
  ASSERT_TRUE(loadBytes(emblem, generated().bytes.at(data::qxMesh.name)));

  sphere.rotate(37, 37, 37);
  sphere.setPosition(-50, -50, 136);  // nearest pose of phase 1
  const Box ball = extent(sphere);
  EXPECT_GT(ball.width(), 70);
  EXPECT_GT(ball.left, 20);
  EXPECT_LT(ball.right, 180);  // the mirror cuts it at column 160
  // Culling keeps the faces on the viewer's side (those near the outline,
  // where centroid and plane can disagree, are left out).
  sphere.cullBackFaces = 1;
  for (int j = 0; j < sphere.faceCount; ++j) {
    MeshFace& f = sphere.faces[j];
    const Vec3 c{(f.a->camera.x + f.b->camera.x + f.c->camera.x) / 3,
                 (f.a->camera.y + f.b->camera.y + f.c->camera.y) / 3,
                 (f.a->camera.z + f.b->camera.z + f.c->camera.z) / 3};
    const Vec3 out{c.x + 50, c.y + 50, c.z - 136};  // from the sphere's centre
    const double facing = -(out.x * c.x + out.y * c.y + out.z * c.z) /
                          std::sqrt((out.x * out.x + out.y * out.y + out.z * out.z) *
                                    (c.x * c.x + c.y * c.y + c.z * c.z));
    if (std::fabs(facing) > 0.2) {
      EXPECT_EQ(facesViewer(f), facing > 0) << j;
    }
  }

  column.rotate(90, 0, 1);
  column.setPosition(0, 20, 112);
  const Box pillar = extent(column);
  EXPECT_LT(pillar.top, 40);
  EXPECT_GT(pillar.bottom, 200);
  EXPECT_NEAR((pillar.left + pillar.right) / 2, 160, 6);
  EXPECT_LT(pillar.width(), 140);
  // The capital (file Z > 0, its vertices last) is above the plinth (first).
  EXPECT_LT(column.vertices[column.vertexCount - 1].screenY, column.vertices[0].screenY);

  emblem.rotate(90, 360, 1);  // face on, as at frame 90 of phase 1
  for (int i = 0; i < emblem.vertexCount; ++i) {
    Vec3& r = emblem.vertices[i].rotated;
    r = Vec3{r.x / 2, r.y / 2, r.z / 2};
  }
  emblem.setPosition(0, 20, 112);
  const Box logo = extent(emblem);
  EXPECT_GT(logo.width(), 160);
  EXPECT_GT(logo.left, 0);
  EXPECT_LT(logo.right, 320);
  EXPECT_LT(logo.bottom - logo.top, logo.width());
  // Drawn flat: through the middle of the Q's ring a row crosses the Q's left
  // and right strokes and the X where its bars meet, and the Q is open inside.
  std::vector<Pixel> frame(kFramePixels, 0);
  emblem.drawObjectFlat(frame.data());
  MeshVertex centreOfQ;
  centreOfQ.camera = Vec3{-40, 20, 112};  // file (-80, 0, 0) at half size
  projectVertex(centreOfQ);
  const Pixel* row = &frame[static_cast<std::size_t>(centreOfQ.screenY * kFrameWidth)];
  int strokes = 0;
  for (int x = 1; x < kFrameWidth; ++x) strokes += row[x] != 0 && row[x - 1] == 0;
  EXPECT_EQ(strokes, 3);
  EXPECT_EQ(row[centreOfQ.screenX], 0u);
  EXPECT_NE(row[centreOfQ.screenX - 40], 0u);  // the Q's left stroke
}

}  // namespace
}  // namespace tolvarin

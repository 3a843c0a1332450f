// The drivers: fast and clipping paths, culling, fans of clipped faces.
#include <gtest/gtest.h>

#include <vector>

#include "gfx3d/drivers.h"
#include "gfx3d_test_util.h"

namespace tolvarin {
namespace {

using test::Gfx3dTest;

struct Drawn {
  Vec3 p, q, r;
  const MeshFace* face;
};

std::vector<Drawn> trace(Mesh& mesh) {
  std::vector<Drawn> drawn;
  forEachDrawnTriangle(mesh, [&](MeshVertex* p, MeshVertex* q, MeshVertex* r, MeshFace& face) {
    // Every vertex handed on is projected from its current camera position.
    for (MeshVertex* v : {p, q, r}) {
      MeshVertex copy = *v;
      projectVertex(copy);
      EXPECT_EQ(v->screenX, copy.screenX);
      EXPECT_EQ(v->screenY, copy.screenY);
    }
    drawn.push_back(Drawn{p->camera, q->camera, r->camera, &face});
  });
  return drawn;
}

bool same(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// Face 0 is seen clockwise on screen (normal away from the viewer: kept by
// culling), face 1 is the same triangle wound the other way.
void twoSidedTriangle(Mesh& mesh, double z) {
  test::buildMesh(mesh, {{0, 0, z}, {20, 0, z}, {0, 20, z}}, {{0, 1, 2}, {0, 2, 1}});
}

TEST_F(Gfx3dTest, FastPathAndCulling) {
  Mesh mesh;
  twoSidedTriangle(mesh, 100);
  std::vector<Drawn> drawn = trace(mesh);
  EXPECT_EQ(mesh.needsClipping, 0);
  ASSERT_EQ(drawn.size(), 2u);  // no culling: both windings
  EXPECT_TRUE(same(drawn[0].q, mesh.vertices[1].camera));
  EXPECT_EQ(drawn[1].face, &mesh.faces[1]);
  mesh.cullBackFaces = 1;
  drawn = trace(mesh);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].face, &mesh.faces[0]);
  EXPECT_EQ(mesh.faces[0].normal.z, 1.0);  // culling recomputed the normal

  // Corner a at the viewer, or a zero normal: the test is not a number and fails.
  Mesh odd;
  test::buildMesh(odd, {{0, 0, 0}, {20, 0, 100}, {0, 20, 100}, {5, 5, 100}},
                  {{0, 1, 2}, {3, 3, 1}, {1, 2, 3}});
  odd.cullBackFaces = 1;
  drawn = trace(odd);
  EXPECT_EQ(odd.needsClipping, 1);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].face, &odd.faces[2]);
}

TEST_F(Gfx3dTest, ClippedFacesAreFanned) {
  // Quadrilateral: corner a behind the near plane. Clipper order: b, c, then
  // the crossings of (a, b) and (a, c); fans around the last one.
  Mesh quad;
  test::buildMesh(quad, {{0, 0, 5}, {-10, 0, 50}, {10, 0, 50}}, {{0, 1, 2}});
  std::vector<Drawn> drawn = trace(quad);
  EXPECT_EQ(quad.needsClipping, 1);
  ASSERT_EQ(drawn.size(), 3u);
  const Vec3 b = quad.vertices[1].camera, c = quad.vertices[2].camera;
  const Vec3 ac{10.0 * 5 / 45, 0, 10};
  for (const Drawn& d : drawn) {
    EXPECT_NEAR(d.p.x, ac.x, 1e-12);
    EXPECT_EQ(d.p.z, 10.0);
    EXPECT_EQ(d.face, &quad.faces[0]);
  }
  EXPECT_TRUE(same(drawn[0].q, b) && same(drawn[0].r, c));  // (P3, P0, P1)
  EXPECT_TRUE(same(drawn[1].q, b) && drawn[1].r.z == 10.0);  // (P3, P0, P2)
  EXPECT_TRUE(same(drawn[2].q, c) && drawn[2].r.z == 10.0);  // (P3, P1, P2)

  // Pentagon: six triangles (the corner point of planes 0 and 2 comes last).
  Mesh pentagon;
  test::buildMesh(pentagon, {{100, 60, 50}, {0, 0, 50}, {0, -20, 50}}, {{0, 1, 2}});
  pentagon.cullBackFaces = 1;  // computes the normal the corner point needs
  drawn = trace(pentagon);
  ASSERT_EQ(drawn.size(), 6u);
  for (const Drawn& d : drawn) EXPECT_TRUE(same(d.p, Vec3{50, 50, 50}));
  // Without culling the normal stays zero: no corner point, a quadrilateral.
  pentagon.cullBackFaces = 0;
  pentagon.faces[0].normal = Vec3{};
  EXPECT_EQ(trace(pentagon).size(), 3u);

  // A clipped triangle is drawn as it comes; six vertices are not drawn.
  Mesh corner, hexagon;
  test::buildMesh(corner, {{30, 60, 50}, {60, 30, 50}, {200, 200, 50}}, {{0, 1, 2}});
  corner.faces[0].normal = Vec3{0, 0, 1};
  drawn = trace(corner);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_TRUE(same(drawn[0].r, Vec3{50, 50, 50}));
  test::buildMesh(hexagon, {{0, -100, 50}, {100, 40, 50}, {-100, 40, 50}}, {{0, 1, 2}});
  EXPECT_EQ(trace(hexagon).size(), 0u);
}

TEST_F(Gfx3dTest, DriversDrawThroughTheirFillers) {
  // A square of two triangles at z = 100 seen face on, textured with u, v = x, y.
  Mesh square;
  test::buildMesh(square, {{-50, -50, 100}, {50, -50, 100}, {50, 50, 100}, {-50, 50, 100}},
                  {{0, 1, 2}, {0, 2, 3}});
  for (int i = 0; i < 4; ++i) {
    MeshVertex& v = square.vertices[i];
    projectVertex(v);
    square.setVertexUV(i, v.screenX, v.screenY);
  }
  auto texels = std::make_unique<Pixel[]>(kFramePixels);
  for (int i = 0; i < kFramePixels; ++i) texels[i] = 0x010000u + static_cast<Pixel>(i);
  const Pixel* texture = texels.get();
  square.faces[0].setTexture(std::move(texels), kFrameHeight);
  square.drawObjectTextured(frame.data());
  // Face 1 has no texture and draws nothing; face 0 maps one to one.
  EXPECT_EQ(at(120, 85), texture[85 * kFrameWidth + 120]);
  EXPECT_EQ(at(90, 150), 0u);

  frame.assign(kFramePixels, 0);
  clearDepthBuffer();
  square.drawObjectFlat(frame.data());
  EXPECT_EQ(countPixels(0xFFFFFF), 158 * 120);  // columns 81..238, rows 60..179

  frame.assign(kFramePixels, 0);
  square.drawObjectWire(frame.data());
  EXPECT_EQ(at(160, 120), 0xFFFFFFu);  // the diagonal
  EXPECT_EQ(at(100, 150), 0u);
}

}  // namespace
}  // namespace tolvarin

// The three meshes of the 3D scene, in file coordinates: Z up, and Y toward
// the viewer once the scene has tilted the object by 90 degrees about x (the
// loader negates Y, then the tilt maps file Z to screen up and file Y to
// depth). So the column stands along Z and the emblem is drawn in the X-Z
// plane, reading along +X, and extruded along Y.
//
// Every solid is closed and wound outward in file coordinates; after the
// loader's Y negation that is the winding the drivers' culling keeps.
#include <cmath>

#include "formats/d_writer.h"
#include "assets/data_manifest.h"
#include "gen/generated_file.h"
#include "gen/meshes/mesh_builder.h"

namespace tolvarin::gen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// esfera.d: a UV sphere of radius 42, 16 slices by 12 stacks (352 faces).
// The scene draws it at depths 136..270 in the upper-left quarter.
formats::DMesh makeSphere() {
  constexpr double kRadius = 42.0;
  constexpr int kSlices = 16;
  constexpr int kStacks = 12;
  MeshBuilder b("esfera");
  const std::int32_t north = b.vertex(0, 0, kRadius);
  std::vector<std::vector<std::int32_t>> rings;
  for (int i = 1; i < kStacks; ++i) {
    const double polar = kPi * i / kStacks;
    std::vector<std::int32_t> ring;
    for (int j = 0; j < kSlices; ++j) {
      const double azimuth = 2 * kPi * j / kSlices;
      ring.push_back(b.vertex(kRadius * std::sin(polar) * std::cos(azimuth),
                              kRadius * std::sin(polar) * std::sin(azimuth),
                              kRadius * std::cos(polar)));
    }
    rings.push_back(std::move(ring));
  }
  const std::int32_t south = b.vertex(0, 0, -kRadius);
  auto outwardOf = [&](std::int32_t a, std::int32_t c) {
    const auto& p = b.mesh().vertices;
    return Point{p[a][0] + p[c][0], p[a][1] + p[c][1], p[a][2] + p[c][2]};
  };
  for (int j = 0; j < kSlices; ++j) {
    const int k = (j + 1) % kSlices;
    b.triangle(north, rings.front()[j], rings.front()[k], {0, 0, 1});
    b.triangle(south, rings.back()[j], rings.back()[k], {0, 0, -1});
    for (std::size_t i = 0; i + 1 < rings.size(); ++i) {
      b.quad(rings[i][j], rings[i][k], rings[i + 1][k], rings[i + 1][j],
             outwardOf(rings[i][j], rings[i + 1][k]));
    }
  }
  return b.mesh();
}

// Sixteen concave flutes around the shaft: four samples per flute, the ridge
// at full radius and the groove 3 units deep.
double flutedRadius(double radius, double angle) {
  constexpr int kFlutes = 16;
  const double phase = std::fmod(angle * kFlutes / (2 * kPi), 1.0);
  return radius - 3.0 * std::sin(kPi * phase);
}

// Columna.d: a fluted column 200 units tall (Z -100..100): square plinth,
// two-step round base, slightly tapering fluted shaft, neck ring, flared echinus and a
// square abacus.
formats::DMesh makeColumn() {
  MeshBuilder b("Columna");
  b.box({-30, -30, -100}, {30, 30, -90});
  b.lathe({{27, -90}, {27, -85}, {23, -85}, {23, -80}}, 32);
  b.lathe({{19, -80}, {17, 74}}, 64, &flutedRadius);  // one section: no seams in the flutes
  b.lathe({{20, 74}, {20, 78}}, 32);
  b.lathe({{17, 78}, {22, 82}, {26, 86}}, 32);
  b.box({-29, -29, 86}, {29, 29, 96});
  return b.mesh();
}

// qx.d: the group's emblem, a bold geometric Q and X side by side, 310 units
// wide and 160 tall, 40 thick (Y -20..20). The scene draws it at half size.
formats::DMesh makeEmblem() {
  constexpr double kHalfDepth = 20.0;
  MeshBuilder b("qx");

  // Q: a ring about (-80, 0), outer radius 75, inner 45, in 32 segments.
  {
    constexpr int kSegments = 32;
    constexpr double kCx = -80, kOuter = 75, kInner = 45;
    std::vector<std::int32_t> of, ob, inf, inb;  // outer/inner, front/back
    for (int k = 0; k < kSegments; ++k) {
      const double a = 2 * kPi * k / kSegments;
      const double c = std::cos(a), s = std::sin(a);
      of.push_back(b.vertex(kCx + kOuter * c, kHalfDepth, kOuter * s));
      ob.push_back(b.vertex(kCx + kOuter * c, -kHalfDepth, kOuter * s));
      inf.push_back(b.vertex(kCx + kInner * c, kHalfDepth, kInner * s));
      inb.push_back(b.vertex(kCx + kInner * c, -kHalfDepth, kInner * s));
    }
    for (int k = 0; k < kSegments; ++k) {
      const int l = (k + 1) % kSegments;
      const double a = 2 * kPi * (k + 0.5) / kSegments;
      const Point radial{std::cos(a), 0, std::sin(a)};
      b.quad(of[k], of[l], inf[l], inf[k], {0, 1, 0});
      b.quad(ob[k], ob[l], inb[l], inb[k], {0, -1, 0});
      b.quad(of[k], of[l], ob[l], ob[k], radial);
      b.quad(inf[k], inf[l], inb[l], inb[k], {-radial[0], 0, -radial[2]});
    }
    // The tail: a bar from inside the ring out past its lower right.
    const double dx = 1 / std::sqrt(2.0), half = 15;
    const double x0 = kCx + 22, z0 = -22, x1 = kCx + 88, z1 = -88;
    b.prismXZ({{x0 - dx * half, z0 - dx * half},
               {x1 - dx * half, z1 - dx * half},
               {x1 + dx * half, z1 + dx * half},
               {x0 + dx * half, z0 + dx * half}},
              -kHalfDepth, kHalfDepth);
  }

  // X: two bars between the corners of the box X 5..155, Z -80..80, each 40
  // units wide across (horizontal ends).
  {
    constexpr double kLeft = 5, kRight = 155, kTop = 80, kBottom = -80, kWidth = 40;
    b.prismXZ({{kLeft, kTop},
               {kLeft + kWidth, kTop},
               {kRight, kBottom},
               {kRight - kWidth, kBottom}},
              -kHalfDepth, kHalfDepth);
    b.prismXZ({{kRight - kWidth, kTop},
               {kRight, kTop},
               {kLeft + kWidth, kBottom},
               {kLeft, kBottom}},
              -kHalfDepth, kHalfDepth);
  }
  return b.mesh();
}

GeneratedFile fileOf(const char* name, const formats::DMesh& mesh) {
  return GeneratedFile{name, formats::encodeD(mesh)};
}

}  // namespace

std::vector<GeneratedFile> generateMeshes() {
  return {fileOf(data::qxMesh.name, makeEmblem()), fileOf(data::esferaMesh.name, makeSphere()),
          fileOf(data::columnaMesh.name, makeColumn())};
}

}  // namespace tolvarin::gen

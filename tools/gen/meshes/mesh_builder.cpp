#include "gen/meshes/mesh_builder.h"

#include <cmath>

namespace tolvarin::gen {

namespace {

constexpr double kPi = 3.14159265358979323846;

Point sub(const Point& a, const Point& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Point cross(const Point& a, const Point& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

}  // namespace

std::int32_t MeshBuilder::vertex(double x, double y, double z) {
  mesh_.vertices.push_back({x, y, z});
  return static_cast<std::int32_t>(mesh_.vertices.size() - 1);
}

void MeshBuilder::triangle(std::int32_t a, std::int32_t b, std::int32_t c, const Point& outward) {
  const Point n = cross(sub(at(b), at(a)), sub(at(c), at(a)));
  if (dot(n, outward) < 0.0) std::swap(b, c);
  mesh_.faces.push_back({a, b, c});
}

void MeshBuilder::quad(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d,
                       const Point& outward) {
  triangle(a, b, c, outward);
  triangle(a, c, d, outward);
}

void MeshBuilder::prismXZ(const std::vector<std::array<double, 2>>& outline, double y0, double y1) {
  const int n = static_cast<int>(outline.size());
  double cx = 0, cz = 0;
  for (const auto& p : outline) cx += p[0] / n, cz += p[1] / n;
  std::vector<std::int32_t> back, front;
  for (const auto& p : outline) {
    back.push_back(vertex(p[0], y0, p[1]));
    front.push_back(vertex(p[0], y1, p[1]));
  }
  for (int i = 1; i + 1 < n; ++i) {
    triangle(back[0], back[i], back[i + 1], {0, -1, 0});
    triangle(front[0], front[i], front[i + 1], {0, 1, 0});
  }
  for (int i = 0; i < n; ++i) {
    const int j = (i + 1) % n;
    const double mx = (outline[i][0] + outline[j][0]) / 2 - cx;
    const double mz = (outline[i][1] + outline[j][1]) / 2 - cz;
    quad(back[i], back[j], front[j], front[i], {mx, 0, mz});
  }
}

void MeshBuilder::lathe(const std::vector<std::array<double, 2>>& profile, int segments,
                        double (*radiusAt)(double, double)) {
  std::vector<std::vector<std::int32_t>> rings;
  for (const auto& [radius, z] : profile) {
    std::vector<std::int32_t> ring;
    for (int k = 0; k < segments; ++k) {
      const double angle = 2 * kPi * k / segments;
      const double r = radiusAt ? radiusAt(radius, angle) : radius;
      ring.push_back(vertex(r * std::cos(angle), r * std::sin(angle), z));
    }
    rings.push_back(std::move(ring));
  }
  for (std::size_t i = 0; i + 1 < rings.size(); ++i) {
    for (int k = 0; k < segments; ++k) {
      const int l = (k + 1) % segments;
      const double angle = 2 * kPi * (k + 0.5) / segments;
      const double dr = profile[i][0] - profile[i + 1][0];  // slope of the wall
      const double dz = profile[i + 1][1] - profile[i][1];
      quad(rings[i][k], rings[i][l], rings[i + 1][l], rings[i + 1][k],
           {dz * std::cos(angle), dz * std::sin(angle), dr});
    }
  }
  const std::int32_t bottom = vertex(0, 0, profile.front()[1]);
  const std::int32_t top = vertex(0, 0, profile.back()[1]);
  for (int k = 0; k < segments; ++k) {
    const int l = (k + 1) % segments;
    triangle(bottom, rings.front()[k], rings.front()[l], {0, 0, -1});
    triangle(top, rings.back()[k], rings.back()[l], {0, 0, 1});
  }
}

void MeshBuilder::box(const Point& lo, const Point& hi) {
  std::int32_t v[8];
  for (int i = 0; i < 8; ++i) {
    v[i] = vertex(i & 1 ? hi[0] : lo[0], i & 2 ? hi[1] : lo[1], i & 4 ? hi[2] : lo[2]);
  }
  quad(v[0], v[1], v[3], v[2], {0, 0, -1});
  quad(v[4], v[5], v[7], v[6], {0, 0, 1});
  quad(v[0], v[1], v[5], v[4], {0, -1, 0});
  quad(v[2], v[3], v[7], v[6], {0, 1, 0});
  quad(v[0], v[2], v[6], v[4], {-1, 0, 0});
  quad(v[1], v[3], v[7], v[5], {1, 0, 0});
}

}  // namespace tolvarin::gen

#pragma once
// A small helper for building the generated meshes: vertices and triangles in
// file coordinates (Z up), each triangle wound so that its normal (b - a) x
// (c - a) points to the side the caller names as outside.
#include <array>
#include <cstdint>
#include <string>

#include "formats/d_writer.h"

namespace tolvarin::gen {

using Point = std::array<double, 3>;

class MeshBuilder {
 public:
  explicit MeshBuilder(std::string name) { mesh_.name = std::move(name); }

  std::int32_t vertex(double x, double y, double z);
  // Triangle a, b, c, swapped to b <-> c when its normal points against outward.
  void triangle(std::int32_t a, std::int32_t b, std::int32_t c, const Point& outward);
  // Quad a, b, c, d (in order around it) as triangles (a, b, c) and (a, c, d).
  void quad(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, const Point& outward);

  // A closed prism: the polygon `outline` (X, Z pairs, convex, in order) swept
  // along Y from y0 to y1.
  void prismXZ(const std::vector<std::array<double, 2>>& outline, double y0, double y1);
  // A closed solid of revolution about Z: rings of (radius, z) from bottom to
  // top, each with `segments` points; radiusAt scales a ring's radius by the
  // angle (for flutes). Capped at both ends.
  void lathe(const std::vector<std::array<double, 2>>& profile, int segments,
             double (*radiusAt)(double radius, double angle) = nullptr);
  // An axis-aligned box.
  void box(const Point& lo, const Point& hi);

  const formats::DMesh& mesh() const { return mesh_; }

 private:
  Point at(std::int32_t i) const { return mesh_.vertices[static_cast<std::size_t>(i)]; }

  formats::DMesh mesh_;
};

}  // namespace tolvarin::gen

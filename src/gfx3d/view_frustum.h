#pragma once
// The six-plane view volume: a pyramid with a 90-degree opening across and
// down, cut by a near and a far plane. Planes 0..3 are bottom (y <= z), top
// (y >= -z), right (x <= z) and left (x >= -z); 4 is far, 5 is near.
#include <cstdint>

#include "gfx3d/mesh.h"

namespace tolvarin {

inline constexpr std::uint16_t nearDistance = 10;
inline constexpr std::uint16_t farDistance = 1500;

class ViewFrustum {
 public:
  static constexpr int kPlaneCount = 6;

  ViewFrustum();
  ViewFrustum(const ViewFrustum&) = delete;
  ViewFrustum& operator=(const ViewFrustum&) = delete;

  // Makes the six planes from three points each: normal and plane constant.
  void build(double near, double far);

  // True when vertex.camera is inside plane p (0..5; false for any other p).
  // Side and near planes test s = normal . X - planeD against +-1e-7; the far
  // plane compares z with the z of its first point.
  [[nodiscard]] bool isInside(int p, const MeshVertex& vertex) const;

  // Bit p set for every plane p the vertex is outside of.
  [[nodiscard]] std::uint8_t outcode(const MeshVertex& vertex) const;

  // Plane p is always reached through this pointer.
  MeshFace* planes[kPlaneCount] = {};

 private:
  MeshVertex points_[kPlaneCount * 3];
  MeshFace faces_[kPlaneCount];
};

// The one view volume, built by setUp3D (raster.h).
extern ViewFrustum viewFrustum;

// normal . point - planeD for a face or a view plane.
[[nodiscard]] inline double planeDistance(const MeshFace& plane, const Vec3& point) {
  return plane.normal.x * point.x + plane.normal.y * point.y + plane.normal.z * point.z -
         plane.planeD;
}

}  // namespace tolvarin

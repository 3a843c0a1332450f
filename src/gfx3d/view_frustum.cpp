#include "gfx3d/view_frustum.h"

namespace tolvarin {

ViewFrustum viewFrustum;

namespace {

constexpr double kTolerance = 0.0000001;

}  // namespace

ViewFrustum::ViewFrustum() {
  for (int p = 0; p < kPlaneCount; ++p) {
    faces_[p].a = &points_[p * 3];
    faces_[p].b = &points_[p * 3 + 1];
    faces_[p].c = &points_[p * 3 + 2];
    planes[p] = &faces_[p];
  }
}

void ViewFrustum::build(double near, double far) {
  const Vec3 corners[kPlaneCount][3] = {
      {{0, 0, 0}, {1, 0, 0}, {0, 1, 1}},          // 0 bottom: y <= z
      {{0, 0, 0}, {1, 0, 0}, {0, -1, 1}},         // 1 top: y >= -z
      {{0, 0, 0}, {0, 1, 0}, {1, 0, 1}},          // 2 right: x <= z
      {{0, 0, 0}, {0, 1, 0}, {-1, 0, 1}},         // 3 left: x >= -z
      {{0, 0, far}, {1, 0, far}, {0, 1, far}},    // 4 far
      {{0, 0, near}, {1, 0, near}, {0, 1, near}}  // 5 near
  };
  for (int p = 0; p < kPlaneCount; ++p) {
    for (int k = 0; k < 3; ++k) {
      MeshVertex& v = points_[p * 3 + k];
      v = MeshVertex{};
      v.model = v.rotated = v.camera = corners[p][k];
    }
    faces_[p].computeNormal();
    faces_[p].computePlane();
  }
  for (int p = 0; p < kPlaneCount; ++p) planes[p] = &faces_[p];
}

bool ViewFrustum::isInside(int p, const MeshVertex& vertex) const {
  const Vec3& x = vertex.camera;
  switch (p) {
    case 0:
    case 3:
    case 5:
      return planeDistance(*planes[p], x) >= -kTolerance;
    case 1:
    case 2:
      return planeDistance(*planes[p], x) <= kTolerance;
    case 4:
      return x.z <= planes[4]->a->camera.z;
    default:
      return false;
  }
}

std::uint8_t ViewFrustum::outcode(const MeshVertex& vertex) const {
  std::uint8_t code = 0;
  for (int p = 0; p < kPlaneCount; ++p) {
    if (!isInside(p, vertex)) code = static_cast<std::uint8_t>(code | (1u << p));
  }
  return code;
}

void Mesh::classify() {
  if (!bounds) {
    bounds = std::make_unique<Mesh>();
    // Eight zeroed corners and no faces; allocation of eight cannot exceed the cap.
    (void)bounds->allocateVertices(8);
  }
  // A mesh without vertices gets a box of size zero at its position.
  Vec3 lo{}, hi{};
  if (vertexCount > 0) lo = hi = vertices[0].rotated;
  for (std::int32_t i = 0; i < vertexCount; ++i) {
    MeshVertex& v = vertices[static_cast<std::size_t>(i)];
    v.outcode = viewFrustum.outcode(v);
    const Vec3& r = v.rotated;
    if (r.x < lo.x) lo.x = r.x;
    if (r.x > hi.x) hi.x = r.x;
    if (r.y < lo.y) lo.y = r.y;
    if (r.y > hi.y) hi.y = r.y;
    if (r.z < lo.z) lo.z = r.z;
    if (r.z > hi.z) hi.z = r.z;
  }
  const Vec3 box[8] = {{lo.x, hi.y, lo.z}, {lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z},
                       {hi.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {lo.x, lo.y, hi.z},
                       {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}};
  bounds->position = position;
  for (int k = 0; k < 8; ++k) {
    MeshVertex& corner = bounds->vertices[static_cast<std::size_t>(k)];
    corner.model = corner.rotated = box[k];
    corner.camera = Vec3{box[k].x + position.x, box[k].y + position.y, box[k].z + position.z};
    corner.u = corner.v = 0;
    corner.outcode = viewFrustum.outcode(corner);
  }
}

}  // namespace tolvarin

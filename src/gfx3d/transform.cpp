#include "gfx3d/transform.h"

#include <cmath>

#include "gfx2d/screen.h"
#include "gfx2d/trig_tables.h"

namespace tolvarin {

std::int32_t reduceAngle(std::int32_t degrees) {
  if (degrees > 360) return degrees % 360;
  if (degrees < 0) return (degrees % 360 + 360) % 360;
  return degrees;
}

namespace {

// One rotation step in the plane of (p, q): p' = p c - q s, q' = p s + q c.
inline void turn(double& p, double& q, std::int32_t angle) {
  const double c = cosTable[angle];
  const double s = sinTable[angle];
  const double np = p * c - q * s;
  const double nq = p * s + q * c;
  p = np;
  q = nq;
}

// The three steps of a rotation, each skipped when its angle is 0.
inline void rotateInPlace(Vec3& v, std::int32_t ax, std::int32_t ay, std::int32_t az) {
  ax = reduceAngle(ax);
  ay = reduceAngle(ay);
  az = reduceAngle(az);
  if (ax != 0) turn(v.y, v.z, ax);
  if (ay != 0) turn(v.x, v.z, ay);
  if (az != 0) turn(v.x, v.y, az);
}

inline Vec3 add(const Vec3& a, const Vec3& b) { return Vec3{a.x + b.x, a.y + b.y, a.z + b.z}; }

}  // namespace

void rotateVertex(MeshVertex& vertex, std::int32_t ax, std::int32_t ay, std::int32_t az) {
  Vec3 v = vertex.model;
  rotateInPlace(v, ax, ay, az);
  vertex.rotated = v;
}

void Mesh::rotate(std::int32_t ax, std::int32_t ay, std::int32_t az) {
  for (std::int32_t i = 0; i < vertexCount; ++i) {
    MeshVertex& v = vertices[static_cast<std::size_t>(i)];
    rotateVertex(v, ax, ay, az);
    v.camera = add(v.rotated, position);
  }
}

void Mesh::updateCamera() {
  for (std::int32_t i = 0; i < vertexCount; ++i) {
    MeshVertex& v = vertices[static_cast<std::size_t>(i)];
    v.camera = add(v.rotated, position);
  }
}

void Mesh::setPosition(double x, double y, double z) {
  position = Vec3{x, y, z};
  updateCamera();
}

void Mesh::orbit(double px, double py, double pz, std::int32_t ax, std::int32_t ay,
                 std::int32_t az) {
  Vec3 q{position.x - px, position.y - py, position.z - pz};
  rotateInPlace(q, ax, ay, az);
  position = Vec3{q.x + px, q.y + py, q.z + pz};
  updateCamera();
}

void MeshFace::computeNormal() {
  const Vec3& pa = a->camera;
  const Vec3 e1{b->camera.x - pa.x, b->camera.y - pa.y, b->camera.z - pa.z};
  const Vec3 e2{c->camera.x - pa.x, c->camera.y - pa.y, c->camera.z - pa.z};
  const Vec3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
  const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  normal = length != 0.0 ? Vec3{n.x / length, n.y / length, n.z / length} : n;
}

void MeshFace::computePlane() {
  const Vec3& p = a->camera;
  planeD = normal.x * p.x + normal.y * p.y + normal.z * p.z;
}

std::int32_t truncToScreen(double value) {
  constexpr double kLimit = 1073741824.0;  // 2^30: room for the fillers' sums
  if (!(value == value)) return 0;
  if (value >= kLimit) return static_cast<std::int32_t>(kLimit);
  if (value <= -kLimit) return -static_cast<std::int32_t>(kLimit);
  return static_cast<std::int32_t>(value);
}

void projectVertex(MeshVertex& vertex) {
  const Vec3& c = vertex.camera;
  vertex.screenX = truncToScreen(projScaleX * c.x / c.z) + screenCentreX;
  vertex.screenY = truncToScreen(projScaleY * c.y / c.z) + screenCentreY;
}

}  // namespace tolvarin

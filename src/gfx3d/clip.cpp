#include "gfx3d/clip.h"

#include <cstdlib>

#include "gfx3d/transform.h"
#include "gfx3d/view_frustum.h"

namespace tolvarin {

void ClipResult::appendCorner(MeshVertex* corner) {
  if (count_ < kCapacity) entries_[static_cast<std::size_t>(count_)] = corner;
  ++count_;
}

void ClipResult::appendTemporary(const MeshVertex& vertex) {
  if (count_ < kCapacity) {
    // Every stored temporary takes one entry, so owned_ <= count_ < kCapacity.
    MeshVertex& slot = storage_[static_cast<std::size_t>(owned_++)];
    slot = vertex;
    entries_[static_cast<std::size_t>(count_)] = &slot;
  }
  ++count_;
}

namespace {

// A vertex at X in all three position triples, projected, with its outcode
// over all six planes, marked temporary.
MeshVertex makeTemporary(const Vec3& x) {
  MeshVertex w;
  w.model = w.rotated = w.camera = x;
  projectVertex(w);
  w.outcode = viewFrustum.outcode(w);
  w.isTemporary = 1;
  return w;
}

// The walk never takes more steps than this; only projections of points
// behind the viewer come near it.
constexpr std::int64_t kMaxWalkSteps = 1 << 16;

// Texture coordinates of w by a 24.8 fixed-point walk in screen space from P
// toward Q that stops on w's screen position.
void walkTextureCoordinates(const MeshVertex& P, const MeshVertex& Q, MeshVertex& w) {
  const std::int64_t dx = std::int64_t{Q.screenX} - P.screenX;
  const std::int64_t dy = std::int64_t{Q.screenY} - P.screenY;
  // The larger signed difference, not the larger absolute one.
  const std::int64_t steps = std::llabs(dx > dy ? dx : dy);
  if (steps == 0) {
    w.u = P.u;
    w.v = P.v;
    return;
  }
  const std::int64_t stepX = dx * 256 / steps;
  const std::int64_t stepY = dy * 256 / steps;
  const std::int64_t stepU = (std::int64_t{Q.u} - P.u) * 256 / steps;
  const std::int64_t stepV = (std::int64_t{Q.v} - P.v) * 256 / steps;
  std::int64_t x = std::int64_t{P.screenX} * 256;
  std::int64_t y = std::int64_t{P.screenY} * 256;
  std::int64_t u = std::int64_t{P.u} * 256;
  std::int64_t v = std::int64_t{P.v} * 256;
  const std::int64_t limit = steps < kMaxWalkSteps ? steps : kMaxWalkSteps;
  for (std::int64_t counter = 0; counter < limit; ++counter) {
    x += stepX;
    y += stepY;
    u += stepU;
    v += stepV;
    if ((x >> 8) == w.screenX && (y >> 8) == w.screenY) break;
  }
  // At most `steps` steps of at most |Q.u - P.u| / steps each: between P's
  // and Q's values, so within 32 bits.
  w.u = static_cast<std::int32_t>(u >> 8);
  w.v = static_cast<std::int32_t>(v >> 8);
}

// Rule of Sarrus for the matrix with rows r1, r2, r3.
double sarrus(const Vec3& r1, const Vec3& r2, const Vec3& r3) {
  return r1.x * r2.y * r3.z + r1.y * r2.z * r3.x + r1.z * r2.x * r3.y - r1.z * r2.y * r3.x -
         r1.x * r2.z * r3.y - r1.y * r2.x * r3.z;
}

// The planes a vertex is outside of, ascending.
struct PlaneList {
  int planes[ViewFrustum::kPlaneCount];
  int size = 0;
};

PlaneList planesOf(std::uint8_t outcode) {
  PlaneList list;
  for (int p = 0; p < ViewFrustum::kPlaneCount; ++p) {
    if (outcode & (1u << p)) list.planes[list.size++] = p;
  }
  return list;
}

bool liesOn(int p, const MeshVertex& v) {
  return planeDistance(*viewFrustum.planes[p], v.camera) == 0.0;
}

}  // namespace

MeshVertex clipEdge(int p, const MeshVertex& P, const MeshVertex& Q) {
  const MeshFace& plane = *viewFrustum.planes[p];
  const Vec3& n = plane.normal;
  const Vec3& a = P.camera;
  const Vec3 D{Q.camera.x - a.x, Q.camera.y - a.y, Q.camera.z - a.z};
  const double t =
      (plane.planeD - (n.x * a.x + n.y * a.y + n.z * a.z)) / (n.x * D.x + n.y * D.y + n.z * D.z);
  MeshVertex w = makeTemporary(Vec3{a.x + t * D.x, a.y + t * D.y, a.z + t * D.z});
  walkTextureCoordinates(P, Q, w);
  return w;
}

MeshVertex cornerVertex(MeshFace& face, int A, int B) {
  // The view planes' constants were computed when the volume was built and
  // would come out the same; only the face's own is refreshed.
  face.computePlane();
  const MeshFace& planeA = *viewFrustum.planes[A];
  const MeshFace& planeB = *viewFrustum.planes[B];
  const Vec3& r1 = face.normal;
  const Vec3& r2 = planeA.normal;
  const Vec3& r3 = planeB.normal;
  const double det = sarrus(r1, r2, r3);
  if (det == 0.0) return makeTemporary(Vec3{0.0, 0.0, -100.0});
  // Cramer's rule: column k replaced by the plane constants.
  const Vec3 d{face.planeD, planeA.planeD, planeB.planeD};
  const double x = sarrus({d.x, r1.y, r1.z}, {d.y, r2.y, r2.z}, {d.z, r3.y, r3.z}) / det;
  const double y = sarrus({r1.x, d.x, r1.z}, {r2.x, d.y, r2.z}, {r3.x, d.z, r3.z}) / det;
  const double z = sarrus({r1.x, r1.y, d.x}, {r2.x, r2.y, d.y}, {r3.x, r3.y, d.z}) / det;
  return makeTemporary(Vec3{x, y, z});
}

int clipTriangle(MeshFace& face, ClipResult& out) {
  out.reset();
  MeshVertex* const corners[3] = {face.a, face.b, face.c};

  // 1. Inside corners, in face order.
  int outside[3];
  int k = 0;
  for (int i = 0; i < 3; ++i) {
    if (corners[i]->outcode == 0) {
      out.appendCorner(corners[i]);
    } else {
      outside[k++] = i;
    }
  }

  // 2. Edge crossings: edges (a, b), (a, c), (c, b); candidates that fall
  // outside some other plane are dropped.
  const MeshVertex* const edges[3][2] = {
      {face.a, face.b}, {face.a, face.c}, {face.c, face.b}};
  for (const auto& edge : edges) {
    const MeshVertex& P = *edge[0];
    const MeshVertex& Q = *edge[1];
    if (P.outcode & Q.outcode) continue;  // both outside one plane
    const unsigned either = P.outcode | Q.outcode;
    for (int p = 0; p < ViewFrustum::kPlaneCount; ++p) {
      if (!(either & (1u << p))) continue;
      const MeshVertex w = clipEdge(p, P, Q);
      if (w.outcode == 0) out.appendTemporary(w);
    }
  }

  // 3..5. At most one corner point where an edge of the volume pierces the face.
  if (k == 1) {
    const PlaneList list = planesOf(corners[outside[0]]->outcode);
    if (list.size == 2) {
      const MeshVertex w = cornerVertex(face, list.planes[0], list.planes[1]);
      if (w.outcode == 0) out.appendTemporary(w);
    }
  } else if (k == 2 && out.count() == 3) {
    const PlaneList l1 = planesOf(corners[outside[0]]->outcode);
    const PlaneList l2 = planesOf(corners[outside[1]]->outcode);
    if (l1.size > 1 || l2.size > 1) {
      bool shared = false;
      for (int p = 0; p < ViewFrustum::kPlaneCount && !shared; ++p) {
        const int on = liesOn(p, *out[0]) + liesOn(p, *out[1]) + liesOn(p, *out[2]);
        shared = on >= 2;
      }
      if (!shared) {
        const PlaneList& l = l1.size > 1 ? l1 : l2;
        const MeshVertex w = cornerVertex(face, l.planes[0], l.planes[1]);
        if (w.outcode == 0) out.appendTemporary(w);  // becomes entry 3
      }
    } else if (l1.planes[0] != l2.planes[0]) {
      const MeshVertex w = cornerVertex(face, l1.planes[0], l2.planes[0]);
      if (w.outcode == 0) out.appendTemporary(w);
    }
  } else if (k == 3 && out.count() == 2) {
    int list[4];
    int size = 0;
    for (int p = 0; p < ViewFrustum::kPlaneCount; ++p) {
      for (int i = 0; i < 2; ++i) {
        if (liesOn(p, *out[i]) && size < 4) list[size++] = p;
      }
    }
    if (size == 2) {
      const MeshVertex w = cornerVertex(face, list[0], list[1]);
      if (w.outcode == 0) out.appendTemporary(w);  // becomes entry 2
    }
  }
  return out.count();
}

}  // namespace tolvarin

#pragma once
// Case-based clipping of one triangle against the view volume.
//
// The result is the list of vertices of the part of the triangle inside the
// volume, in no polygon order: inside corners first, then edge crossings edge
// by edge ((a,b), (a,c), (c,b)), then at most one corner point where an edge
// of the volume pierces the face. The drivers fan it around its last vertex.
#include <array>
#include <cstdint>

#include "gfx3d/mesh.h"

namespace tolvarin {

// What clipTriangle returns. It owns the new (temporary) vertices, so they are
// released when the result is reset or goes out of scope; entries that are
// face corners point into the mesh.
class ClipResult {
 public:
  // Normally at most six entries; numerically degenerate crossings can add
  // more. Those are counted but not stored, and no driver draws such a count.
  static constexpr int kCapacity = 8;

  ClipResult() = default;
  ClipResult(const ClipResult&) = delete;
  ClipResult& operator=(const ClipResult&) = delete;

  [[nodiscard]] int count() const { return count_; }
  // Entry i, for i < min(count(), kCapacity).
  [[nodiscard]] MeshVertex* operator[](int i) const { return entries_[static_cast<std::size_t>(i)]; }

  void reset() {
    count_ = 0;
    owned_ = 0;
  }
  // Appends a face corner.
  void appendCorner(MeshVertex* corner);
  // Appends a copy of a temporary vertex, owned by this result.
  void appendTemporary(const MeshVertex& vertex);

 private:
  std::array<MeshVertex*, kCapacity> entries_{};
  std::array<MeshVertex, kCapacity> storage_{};
  int count_ = 0;
  int owned_ = 0;
};

// The point of plane p (of viewFrustum) on the line from P to Q, as a new
// temporary vertex: projected, with its outcode, and with u and v from a walk
// in screen space from P toward Q (which uses P's and Q's screen positions as
// they are at the call).
[[nodiscard]] MeshVertex clipEdge(int p, const MeshVertex& P, const MeshVertex& Q);

// The point where the face's plane meets view planes A and B, as a new
// temporary vertex; (0, 0, -100) when the three planes do not meet in one
// point (or the face's normal is zero). Recomputes face.planeD.
[[nodiscard]] MeshVertex cornerVertex(MeshFace& face, int A, int B);

// Clips the face (corners with current camera positions and outcodes) into
// out and returns out.count().
int clipTriangle(MeshFace& face, ClipResult& out);

}  // namespace tolvarin

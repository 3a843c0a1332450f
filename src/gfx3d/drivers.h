#pragma once
// What the object drivers (Mesh::drawObjectWire, drawObjectFlat,
// drawObjectTextured) do before they reach a filler: classify the mesh, cull,
// clip, project and split clipped faces into fans. The three drivers differ
// only in the filler they hand the triangles to.
#include <cstdint>

#include "gfx3d/clip.h"
#include "gfx3d/mesh.h"
#include "gfx3d/transform.h"

namespace tolvarin {

// The culling test: recomputes face.normal and passes when the normal points
// away from the viewer, (n . a) / (|a| |n|) > 0 with a the camera position of
// corner a. Not a number (corner at the origin, zero normal) fails.
[[nodiscard]] bool facesViewer(MeshFace& face);

// Calls emit(p, q, r, face) for every triangle a driver draws, in drawing
// order, with the three vertices projected. Sets mesh.needsClipping.
//
// A clipped face of n vertices P0..Pn-1 gives every triangle that contains
// the last vertex (3 vertices are drawn as they come): for 4, (P3,P0,P1), (P3,P0,P2), (P3,P1,P2); for 5 the six
// of that kind. Other counts draw nothing. The clipper's result is not in
// polygon order, so the fans overlap; they cover the polygon whatever the order.
template <typename Emit>
void forEachDrawnTriangle(Mesh& mesh, Emit&& emit) {
  mesh.classify();
  bool allInside = true;
  for (int k = 0; k < 8; ++k) allInside = allInside && mesh.bounds->vertices[k].outcode == 0;
  mesh.needsClipping = allInside ? 0 : 1;

  ClipResult clipped;
  for (std::int32_t i = 0; i < mesh.faceCount; ++i) {
    MeshFace& face = mesh.faces[static_cast<std::size_t>(i)];
    const bool whole =
        allInside || (face.a->outcode | face.b->outcode | face.c->outcode) == 0;
    if (mesh.cullBackFaces == 1 && !facesViewer(face)) continue;
    if (whole) {
      projectVertex(*face.a);
      projectVertex(*face.b);
      projectVertex(*face.c);
      emit(face.a, face.b, face.c, face);
      continue;
    }
    // The corners are projected first so that the clipper's texture walk
    // starts from this frame's screen positions.
    projectVertex(*face.a);
    projectVertex(*face.b);
    projectVertex(*face.c);
    const int n = clipTriangle(face, clipped);
    if (n < 3 || n > 5) continue;
    for (int k = 0; k < n; ++k) projectVertex(*clipped[k]);
    if (n == 3) {
      emit(clipped[0], clipped[1], clipped[2], face);
      continue;
    }
    MeshVertex* const last = clipped[n - 1];
    for (int p = 0; p < n - 1; ++p) {
      for (int q = p + 1; q < n - 1; ++q) emit(last, clipped[p], clipped[q], face);
    }
  }
  // The clipper's temporary vertices go with `clipped`.
}

}  // namespace tolvarin

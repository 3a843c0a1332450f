#include "gfx3d/drivers.h"

#include <cmath>

#include "gfx3d/raster.h"

namespace tolvarin {

bool facesViewer(MeshFace& face) {
  face.computeNormal();
  const Vec3& n = face.normal;
  const Vec3& p = face.a->camera;
  const double cosine = (n.x * p.x + n.y * p.y + n.z * p.z) /
                        (std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z) *
                         std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z));
  return cosine > 0.0;  // NaN fails
}

void Mesh::drawObjectWire(Pixel* frame) {
  forEachDrawnTriangle(*this, [frame](MeshVertex* p, MeshVertex* q, MeshVertex* r, MeshFace& face) {
    drawWireTriangle(p, q, r, face.colour, frame);
  });
}

void Mesh::drawObjectFlat(Pixel* frame) {
  forEachDrawnTriangle(*this, [frame](MeshVertex* p, MeshVertex* q, MeshVertex* r, MeshFace& face) {
    fillFlatTriangle(p, q, r, face.colour, frame);
  });
}

void Mesh::drawObjectTextured(Pixel* frame) {
  forEachDrawnTriangle(*this, [frame](MeshVertex* p, MeshVertex* q, MeshVertex* r, MeshFace& face) {
    fillTexturedTriangle(p, q, r, face.texture.get(), frame, face.textureRows);
  });
}

}  // namespace tolvarin

#include "gfx3d/mesh.h"

#include <new>
#include <utility>

namespace tolvarin {

void MeshFace::setTexture(std::unique_ptr<Pixel[]> pixels, std::int32_t rows) {
  texture = std::move(pixels);
  textureRows = texture ? rows : 0;
}

Mesh::Mesh() = default;
Mesh::~Mesh() = default;

bool Mesh::allocateVertices(std::int32_t n) {
  if (n < 0 || n > kMaxMeshElements) return false;
  // Value-initialised: every field zero, outcode and isTemporary included.
  std::unique_ptr<MeshVertex[]> fresh(new (std::nothrow) MeshVertex[static_cast<std::size_t>(n)]());
  if (!fresh && n > 0) return false;
  vertices = std::move(fresh);
  vertexCount = n;
  return true;
}

bool Mesh::allocateFaces(std::int32_t n) {
  if (n < 0 || n > kMaxMeshElements) return false;
  std::unique_ptr<MeshFace[]> fresh(new (std::nothrow) MeshFace[static_cast<std::size_t>(n)]);
  if (!fresh && n > 0) return false;
  faces = std::move(fresh);
  faceCount = n;
  return true;
}

void Mesh::setVertex(std::int32_t i, double x, double y, double z) { setVertex(i, x, y, z, 0, 0); }

void Mesh::setVertex(std::int32_t i, double x, double y, double z, std::int32_t u, std::int32_t v) {
  MeshVertex& vx = vertices[static_cast<std::size_t>(i)];
  vx.model = vx.rotated = vx.camera = Vec3{x, y, z};
  vx.u = u;
  vx.v = v;
}

void Mesh::setVertexUV(std::int32_t i, std::int32_t u, std::int32_t v) {
  MeshVertex& vx = vertices[static_cast<std::size_t>(i)];
  vx.u = u;
  vx.v = v;
}

void Mesh::setFace(std::int32_t i, std::int32_t ia, std::int32_t ib, std::int32_t ic) {
  MeshVertex* base = vertices.get();
  setFace(i, base + ia, base + ib, base + ic);
}

void Mesh::setFace(std::int32_t i, MeshVertex* pa, MeshVertex* pb, MeshVertex* pc) {
  MeshFace& f = faces[static_cast<std::size_t>(i)];
  f.a = pa;
  f.b = pb;
  f.c = pc;
}

}  // namespace tolvarin

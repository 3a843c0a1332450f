#pragma once
// Triangle meshes: vertices, faces pointing into them, and a translation.
//
// Axes everywhere in the 3D code: x to the right, y downward (like screen
// rows), z away from the viewer. The loader negates the file's Y to get there.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "gfx2d/framebuffer.h"

namespace tolvarin {

struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

struct MeshVertex {
  Vec3 model;    // as loaded (or set); never changed by drawing
  Vec3 rotated;  // model after the mesh's rotation
  Vec3 camera;   // rotated + the mesh's position
  std::int32_t screenX = 0;  // projected pixel position, written by the drivers
  std::int32_t screenY = 0;
  std::int32_t u = 0;  // texture column and row (textured drawing only)
  std::int32_t v = 0;
  std::uint8_t outcode = 0;      // bit p set: camera lies outside view plane p
  std::uint8_t isTemporary = 0;  // 1 on a vertex the clipper made for one face
};

inline constexpr std::uint32_t defaultFaceColour = 0xFFFFFF;

struct MeshFace {
  MeshVertex* a = nullptr;
  MeshVertex* b = nullptr;
  MeshVertex* c = nullptr;
  Vec3 normal;         // unit normal of a -> b -> c (zero until computed)
  double planeD = 0.0;  // normal . a.camera, valid after computePlane
  // Owned texture: rows of 320 pixels, textureRows rows. Null unless set.
  std::unique_ptr<Pixel[]> texture;
  std::int32_t textureRows = 0;
  std::uint32_t colour = defaultFaceColour;

  // normal = normalised (b - a) x (c - a) of the camera positions; a zero
  // cross product is stored as it is.
  void computeNormal();
  // planeD = normal . a.camera, with the stored normal.
  void computePlane();
  // Hands the face a texture of 320 x rows pixels (rows > 0).
  void setTexture(std::unique_ptr<Pixel[]> pixels, std::int32_t rows);
};

// Counts above this are refused by the loader and by allocateVertices /
// allocateFaces (about 400 MB of vertices).
inline constexpr std::int32_t kMaxMeshElements = 4'000'000;

class Mesh {
 public:
  Mesh();
  ~Mesh();
  Mesh(const Mesh&) = delete;
  Mesh& operator=(const Mesh&) = delete;

  std::int32_t vertexCount = 0;
  std::int32_t faceCount = 0;
  std::unique_ptr<MeshVertex[]> vertices;
  std::unique_ptr<MeshFace[]> faces;
  Vec3 position;
  std::uint8_t cullBackFaces = 0;  // 1: faces turned away from the viewer are skipped
  std::uint8_t needsClipping = 0;  // written by the drivers each time they draw
  std::unique_ptr<Mesh> bounds;    // the eight bounding-box corners, made by classify

  // Reads a .d file. False (mesh unchanged) when the file cannot be opened or
  // is malformed: a count below 0 or above kMaxMeshElements, a face index
  // outside 0..vertexCount-1, or the end of the text before a keyword, count,
  // coordinate or index.
  [[nodiscard]] bool load(const char* fileName);
  // The same reader over text in memory (which may contain any bytes).
  [[nodiscard]] bool loadFromMemory(const char* text, std::size_t size);

  // Replaces the vertex array with n vertices (position fields zero, outcode
  // and isTemporary 0). False, with nothing changed, when n is below 0, above
  // kMaxMeshElements or cannot be allocated. Faces still point at the old
  // array, which is released: allocate vertices before setting faces.
  [[nodiscard]] bool allocateVertices(std::int32_t n);
  // Replaces the face array with n constructed faces; false as above.
  [[nodiscard]] bool allocateFaces(std::int32_t n);

  // Setters for meshes built in code; none checks its index.
  void setVertex(std::int32_t i, double x, double y, double z);
  void setVertex(std::int32_t i, double x, double y, double z, std::int32_t u, std::int32_t v);
  void setVertexUV(std::int32_t i, std::int32_t u, std::int32_t v);
  void setFace(std::int32_t i, std::int32_t ia, std::int32_t ib, std::int32_t ic);
  void setFace(std::int32_t i, MeshVertex* pa, MeshVertex* pb, MeshVertex* pc);

  // Transform (transform.cpp). Angles are whole degrees.
  void rotate(std::int32_t ax, std::int32_t ay, std::int32_t az);
  void setPosition(double x, double y, double z);
  void orbit(double px, double py, double pz, std::int32_t ax, std::int32_t ay, std::int32_t az);
  // Refreshes camera = rotated + position for every vertex.
  void updateCamera();

  // Outcodes of every vertex, and the bounding box of the rotated positions
  // in bounds with its corners' outcodes (view_frustum.cpp).
  void classify();

  // Drivers (drivers.cpp): draw the mesh in its current pose into frame.
  void drawObjectWire(Pixel* frame);
  void drawObjectFlat(Pixel* frame);
  void drawObjectTextured(Pixel* frame);
};

}  // namespace tolvarin

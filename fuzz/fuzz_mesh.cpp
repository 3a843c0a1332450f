// Fuzzes the .d reader, then sends whatever loads through the pipeline: a
// pose taken from the input's last bytes, classification, clipping and all
// three drivers into one frame.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "gfx2d/framebuffer.h"
#include "gfx2d/trig_tables.h"
#include "gfx3d/mesh.h"
#include "gfx3d/raster.h"

namespace {

using namespace tolvarin;

struct Pose {
  std::int32_t ax = 0, ay = 0, az = 0;
  double x = 0, y = 0, z = 100;
  bool cull = false, light = false;
};

Pose poseFrom(const std::uint8_t* data, std::size_t size) {
  Pose pose;
  if (size < 12) return pose;
  const std::uint8_t* p = data + size - 12;
  pose.ax = static_cast<std::int32_t>(p[0] | (p[1] << 8)) - 100;  // some angles below 0 or above 360
  pose.ay = static_cast<std::int32_t>(p[2] | (p[3] << 8)) - 100;
  pose.az = static_cast<std::int32_t>(p[4] | (p[5] << 8)) - 100;
  pose.x = static_cast<std::int8_t>(p[6]) * 4.0;
  pose.y = static_cast<std::int8_t>(p[7]) * 4.0;
  pose.z = static_cast<std::int16_t>(p[8] | (p[9] << 8)) / 16.0;
  pose.cull = p[10] & 1;
  pose.light = p[10] & 2;
  return pose;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    buildTrigTables();
    setUp3D();
    return true;
  }();
  (void)ready;
  static std::vector<Pixel> frame(kFramePixels);

  Mesh mesh;
  if (!mesh.loadFromMemory(reinterpret_cast<const char*>(data), size)) return 0;
  // Keep each run short: the pipeline cost grows with the face count.
  if (mesh.faceCount > 4096) return 0;

  const Pose pose = poseFrom(data, size);
  static const double light[3] = {0.5773502691896257, 0.5773502691896257, -0.5773502691896257};
  lightDirection = pose.light ? light : nullptr;
  mesh.cullBackFaces = pose.cull ? 1 : 0;
  // Textures on some faces, with the vertices' u and v taken from the input.
  for (std::int32_t i = 0; i < mesh.vertexCount; ++i) {
    mesh.setVertexUV(i, static_cast<std::int32_t>(i * 37) - 50, static_cast<std::int32_t>(i * 11) - 20);
  }
  for (std::int32_t j = 0; j < mesh.faceCount; j += 2) {
    mesh.faces[j].setTexture(std::make_unique<Pixel[]>(kFrameWidth * 4), 4);
  }
  mesh.rotate(pose.ax, pose.ay, pose.az);
  mesh.setPosition(pose.x, pose.y, pose.z);
  mesh.drawObjectWire(frame.data());
  mesh.drawObjectFlat(frame.data());
  clearDepthBuffer();
  mesh.drawObjectTextured(frame.data());
  clearDepthBuffer();
  lightDirection = nullptr;
  return 0;
}

#include "gfx3d/raster.h"

#include <algorithm>
#include <cmath>

#include "gfx2d/frame_kernels.h"
#include "gfx3d/view_frustum.h"

namespace tolvarin {

alignas(64) std::int32_t depthBuffer[kFramePixels];
const double* lightDirection = nullptr;

void clearDepthBuffer() { std::fill(std::begin(depthBuffer), std::end(depthBuffer), -1); }

void setUp3D() {
  clearDepthBuffer();
  viewFrustum.build(nearDistance, farDistance);
}

namespace {

// trunc(value) & 0xFF without an out-of-range conversion.
std::uint32_t lowByteOf(double value) {
  if (!(value >= -9.0e18 && value <= 9.0e18)) return 0;
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(value)) & 0xFFu;
}

}  // namespace

std::uint32_t shadeColour(const MeshVertex* v1, const MeshVertex* v2, const MeshVertex* v3,
                          std::uint32_t colour) {
  if (!lightDirection) return colour;
  const Vec3& a = v1->camera;
  const Vec3 e{v2->camera.x - a.x, v2->camera.y - a.y, v2->camera.z - a.z};
  const Vec3 f{v3->camera.x - a.x, v3->camera.y - a.y, v3->camera.z - a.z};
  const Vec3 n{e.y * f.z - e.z * f.y, e.z * f.x - e.x * f.z, e.x * f.y - e.y * f.x};
  const double* L = lightDirection;
  double intensity =
      std::fabs(n.x * L[0] + n.y * L[1] + n.z * L[2]) / std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  // Zero area gives 0/0; it shades to black like a face edge-on to the light.
  if (!std::isfinite(intensity)) intensity = 0.0;
  const std::uint32_t r = lowByteOf(intensity * ((colour >> 16) & 0xFFu));
  const std::uint32_t g = lowByteOf(intensity * ((colour >> 8) & 0xFFu));
  const std::uint32_t b = lowByteOf(intensity * (colour & 0xFFu));
  return (r << 16) | (g << 8) | b;
}

void drawWireTriangle(const MeshVertex* v1, const MeshVertex* v2, const MeshVertex* v3,
                      std::uint32_t colour, Pixel* frame) {
  const std::uint32_t shaded = shadeColour(v1, v2, v3, colour);
  drawLine(v1->screenX, v1->screenY, v2->screenX, v2->screenY, shaded, frame);
  drawLine(v2->screenX, v2->screenY, v3->screenX, v3->screenY, shaded, frame);
  drawLine(v3->screenX, v3->screenY, v1->screenX, v1->screenY, shaded, frame);
}

}  // namespace tolvarin

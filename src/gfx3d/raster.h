#pragma once
// Triangle fillers over projected vertices, and the depth buffer they share.
//
// Every filler takes the three vertices in face order, one 32-bit value (a
// colour or a texture) and the destination frame; vertices give their screen
// position (screenX, screenY), their camera-space depth (camera.z) and, for
// textures, u and v.
#include <cstdint>

#include "gfx2d/framebuffer.h"
#include "gfx3d/mesh.h"

namespace tolvarin {

// One entry per frame pixel (index y * 320 + x): -1 when nothing has been
// drawn there this frame, else trunc(z * 65536) of the nearest surface.
extern std::int32_t depthBuffer[kFramePixels];

// Null, or three doubles: the light's direction in camera space. Null draws
// the fillers' colours unshaded. Owned by whoever sets it.
extern const double* lightDirection;

// Fills depthBuffer with -1 and builds viewFrustum with nearDistance and
// farDistance. The 3D scene calls it on entry.
void setUp3D();
// Sets every depthBuffer entry back to -1.
void clearDepthBuffer();

// The depth value stored for camera depth z: trunc(z * 65536). Beyond the
// 32-bit range it is held at its ends, and NaN counts as the farthest value.
// Inline: the fillers call it for every pixel.
[[nodiscard]] inline std::int32_t depthFromZ(double z) {
  const double scaled = z * 65536.0;
  if (!(scaled < 2147483648.0)) return INT32_MAX;  // also NaN
  if (scaled <= -2147483649.0) return INT32_MIN;
  return static_cast<std::int32_t>(scaled);
}

// The colour lit by lightDirection: each channel times |n . L| / |n| with n the
// face normal of the camera positions, truncated (low 8 bits kept). A face of
// zero area shades to black; a null light returns the colour unchanged.
[[nodiscard]] std::uint32_t shadeColour(const MeshVertex* v1, const MeshVertex* v2,
                                        const MeshVertex* v3, std::uint32_t colour);

// The three edges as lines in the shaded colour, no depth test. An edge with
// an end off screen is not drawn.
void drawWireTriangle(const MeshVertex* v1, const MeshVertex* v2, const MeshVertex* v3,
                      std::uint32_t colour, Pixel* frame);

// Shaded, depth-tested fill: rows top inclusive to bottom exclusive, columns
// left inclusive to right exclusive, so triangles sharing an edge draw it once.
// Equal depth keeps what was there.
void fillFlatTriangle(const MeshVertex* v1, const MeshVertex* v2, const MeshVertex* v3,
                      std::uint32_t colour, Pixel* frame);

// The same fill with an affinely mapped texture of 320-pixel rows and
// textureRows rows, unshaded. Texture coordinates outside the texture are
// held to its edge; a null texture draws nothing.
void fillTexturedTriangle(const MeshVertex* v1, const MeshVertex* v2, const MeshVertex* v3,
                          const Pixel* texture, Pixel* frame,
                          std::int32_t textureRows = kFrameHeight);

}  // namespace tolvarin

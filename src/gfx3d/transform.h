#pragma once
// Rotation, translation and perspective projection of mesh vertices.
#include <cstdint>

#include "gfx3d/mesh.h"

namespace tolvarin {

// Angle reduction used by the rotations: an angle above 360 becomes its
// remainder modulo 360 (exactly 360 stays 360, the table's last entry); an
// angle below 0 is brought into 0..359 (the tables have no negative entries).
[[nodiscard]] std::int32_t reduceAngle(std::int32_t degrees);

// rotated = model turned about x, then y, then z by whole-degree table angles.
// A step whose (reduced) angle is 0 is skipped.
void rotateVertex(MeshVertex& vertex, std::int32_t ax, std::int32_t ay, std::int32_t az);

// Truncation toward zero that never leaves the range it may be used in:
// NaN gives 0, values beyond +-2^30 are held there.
[[nodiscard]] std::int32_t truncToScreen(double value);

// screenX = trunc(159 x / z) + 160, screenY = trunc(120 y / z) + 120 from the
// camera position. Meaningful for z > 0; a vertex with z <= 0 gets the same
// formula with the quotient held to +-2^30 (NaN to 0), never undefined.
void projectVertex(MeshVertex& vertex);

}  // namespace tolvarin

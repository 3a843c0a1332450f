#pragma once
// Shading of height fields: normals, diffuse and specular light, a chrome
// look from a reflected horizon, and bevel profiles from signed distances.
#include <vector>

#include "canvas.h"
#include "palette.h"

namespace tolvarin::gen {

struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

Vec3 normalise(Vec3 v);
inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Surface normal of a height field at (x, y) (y down the picture), heights
// multiplied by `strength` pixels per unit first.
Vec3 normalAt(const Field& height, int x, int y, double strength, bool wrap = false);

double diffuse(Vec3 normal, Vec3 light);
// Blinn-Phong highlight for a viewer looking straight into the picture.
double specular(Vec3 normal, Vec3 light, double power);

// Chrome: the reflected view ray looks up a horizon gradient (sky above,
// dark ground below, a bright band at the horizon).
Rgb chrome(Vec3 normal, const std::vector<GradientStop>& horizon);

// Rounded bevel: 0 at the outline (signed distance 0), rising to 1 at
// `width` pixels inside along a quarter circle, flat beyond.
double roundBevel(double signedDistance, double width);
// Same with a smooth (cosine-like) rise, flatter at both ends.
double softBevel(double signedDistance, double width);

}  // namespace tolvarin::gen

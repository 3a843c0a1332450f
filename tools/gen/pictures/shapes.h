#pragma once
// Signed-distance shapes and distance transforms. Distances are in pixels,
// negative inside a shape.
#include "canvas.h"

namespace tolvarin::gen {

struct Vec2 {
  double x = 0.0;
  double y = 0.0;
};

double length(double x, double y);
double sdCircle(double px, double py, double cx, double cy, double radius);
double sdEllipse(double px, double py, double cx, double cy, double rx, double ry);  // approximate
double sdBox(double px, double py, double cx, double cy, double halfW, double halfH, double round = 0.0);
// Distance to the segment a-b minus radius (a capsule).
double sdCapsule(double px, double py, Vec2 a, Vec2 b, double radius);
// Capsule whose radius goes from ra at a to rb at b.
double sdTaperedCapsule(double px, double py, Vec2 a, Vec2 b, double ra, double rb);
double smoothUnion(double a, double b, double k);
double smoothSubtract(double a, double from, double k);  // `from` minus `a`

// Coverage 0..1 of a signed distance with a one-pixel soft edge.
double coverage(double signedDistance);

// Euclidean distance from every pixel to the nearest pixel whose mask value
// is at least `threshold` (0 on such pixels).
Field distanceTo(const Field& mask, double threshold = 0.5);
// Signed distance of a mask: negative inside (mask >= threshold).
Field signedDistance(const Field& mask, double threshold = 0.5);

}  // namespace tolvarin::gen

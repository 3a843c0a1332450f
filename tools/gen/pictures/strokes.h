#pragma once
// Painted strokes: anti-aliased discs stamped along curves, for hair, lashes
// and other hand-drawn detail.
#include "canvas.h"
#include "shapes.h"

namespace tolvarin::gen {

// Blends a disc of `radius` (soft one-pixel edge) into the canvas.
void stampDisc(Canvas& canvas, double cx, double cy, double radius, Rgb colour, double alpha);

// A quadratic Bezier stroke from a over ctrl to b whose width runs from
// w0 to w1, with its opacity running from alpha0 to alpha1.
void strokeQuad(Canvas& canvas, Vec2 a, Vec2 ctrl, Vec2 b, double w0, double w1, Rgb colour,
                double alpha0, double alpha1);

// Point on that curve at t (0..1).
Vec2 quadPoint(Vec2 a, Vec2 ctrl, Vec2 b, double t);

}  // namespace tolvarin::gen

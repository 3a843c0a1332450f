#pragma once
// The QX emblem's shape, shared by the emblem pictures and the metal plate.

namespace tolvarin::gen {

struct EmblemSample {
  double ring;   // signed distance to the ring with its tail (pixels, < 0 inside)
  double cross;  // signed distance to the X
};

// The emblem at its picture size (ring radius 84 + 15), at (dx, dy) from its centre.
EmblemSample emblemShape(double dx, double dy);

}  // namespace tolvarin::gen

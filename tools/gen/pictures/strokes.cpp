#include "strokes.h"

#include <algorithm>
#include <cmath>

#include "det_math.h"

namespace tolvarin::gen {

void stampDisc(Canvas& canvas, double cx, double cy, double radius, Rgb colour, double alpha) {
  const int x0 = std::max(0, static_cast<int>(std::floor(cx - radius - 1.0)));
  const int x1 = std::min(canvas.width() - 1, static_cast<int>(std::ceil(cx + radius + 1.0)));
  const int y0 = std::max(0, static_cast<int>(std::floor(cy - radius - 1.0)));
  const int y1 = std::min(canvas.height() - 1, static_cast<int>(std::ceil(cy + radius + 1.0)));
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const double d = length(x + 0.5 - cx, y + 0.5 - cy) - radius;
      const double c = coverage(d);
      if (c > 0.0) blend(canvas.at(x, y), colour, c * alpha);
    }
  }
}

Vec2 quadPoint(Vec2 a, Vec2 ctrl, Vec2 b, double t) {
  const double u = 1.0 - t;
  return {u * u * a.x + 2.0 * u * t * ctrl.x + t * t * b.x, u * u * a.y + 2.0 * u * t * ctrl.y + t * t * b.y};
}

void strokeQuad(Canvas& canvas, Vec2 a, Vec2 ctrl, Vec2 b, double w0, double w1, Rgb colour,
                double alpha0, double alpha1) {
  const double span = length(ctrl.x - a.x, ctrl.y - a.y) + length(b.x - ctrl.x, b.y - ctrl.y);
  // Stamps a third of a pixel apart, each with a share of the opacity so
  // the overlapping stamps add up to about the stroke's opacity.
  const int steps = std::max(2, static_cast<int>(span * 3.0));
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    const Vec2 p = quadPoint(a, ctrl, b, t);
    const double w = mix(w0, w1, t);
    const double alpha = mix(alpha0, alpha1, t);
    const double share = 1.0 - detPow(1.0 - clamp01(alpha), 1.0 / std::max(1.0, w * 3.0));
    stampDisc(canvas, p.x, p.y, w * 0.5, colour, share);
  }
}

}  // namespace tolvarin::gen

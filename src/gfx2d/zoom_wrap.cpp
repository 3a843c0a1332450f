// zoomWrap as callers see it (it calls the active kernel set), and its
// reference: the rule of zoom_wrap_setup.h as a plain double loop.
#include "gfx2d/zoom_wrap.h"

#include <cstdint>

#include "gfx2d/kernel_set.h"
#include "gfx2d/zoom_wrap_setup.h"

namespace tolvarin {

using namespace detail::zoom_wrap;

namespace reference {

void zoomWrap(const Pixel* src, Pixel* dst, double z) {
  if (!zoomIsUsable(z)) return clearRows(dst);
  const std::int64_t x0 = originX(z);
  const std::int64_t y0 = originY(z);
  Pixel last = 0;
  for (int i = 0; i < kRows; ++i) {
    const std::int64_t sy = sourceStep(y0, i, z, kFrameHeight);
    for (int j = 0; j < kFrameWidth; ++j) {
      const std::int64_t sx = sourceStep(x0, j, z, kFrameWidth);
      const std::int64_t n = sy * kFrameWidth + sx;
      if (n >= 0 && n < kFramePixels) last = src[n];
      dst[i * kFrameWidth + j] = last;
    }
  }
}

}  // namespace reference

void zoomWrap(const Pixel* src, Pixel* dst, double z) { activeKernels().zoomWrap(src, dst, z); }

}  // namespace tolvarin

// The sampling blits as callers see them: each calls the active kernel set.
#include "gfx2d/sampling_blits.h"

#include "gfx2d/kernel_set.h"

namespace tolvarin {

void rotoZoom(const Pixel* src, Pixel* dst, int angle, float scale) {
  activeKernels().rotoZoom(src, dst, angle, scale);
}

void stretchBlit(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 const Pixel* src, Pixel* dst) {
  activeKernels().stretchBlit(x, y, w, h, src, dst);
}

void bumpLight(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
               const Pixel* relief, std::int32_t mode) {
  activeKernels().bumpLight(offsetX, offsetY, base, dst, relief, mode);
}

}  // namespace tolvarin

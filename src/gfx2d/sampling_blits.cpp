// The sampling blits as callers see them: each picks the fastest variant the
// processor runs, or the reference when TOLVARIN_SIMD=off.
#include "gfx2d/sampling_blits.h"

#include "gfx2d/kernel_variants.h"
#include "gfx2d/simd.h"

namespace tolvarin {

void rotoZoom(const Pixel* src, Pixel* dst, int angle, float scale) {
  TOLVARIN_DISPATCH(rotoZoom, src, dst, angle, scale)
  reference::rotoZoom(src, dst, angle, scale);
}

void stretchBlit(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 const Pixel* src, Pixel* dst) {
  TOLVARIN_DISPATCH(stretchBlit, x, y, w, h, src, dst)
  reference::stretchBlit(x, y, w, h, src, dst);
}

void bumpLight(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
               const Pixel* relief, std::int32_t mode) {
  TOLVARIN_DISPATCH(bumpLight, offsetX, offsetY, base, dst, relief, mode)
  reference::bumpLight(offsetX, offsetY, base, dst, relief, mode);
}

}  // namespace tolvarin

// NEON rotoZoom: source indices computed four at a time (the multiply by
// 320 is one instruction here), then fetched with plain loads
// (sampling_setup.h). A group of indices without a hole is copied without
// per-pixel tests.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_NEON_KERNELS
#include <arm_neon.h>

#include "gfx2d/sampling_setup.h"

namespace tolvarin::neon {

void rotoZoom(const Pixel* src, Pixel* dst, int angle, float scale) {
  const detail::RotoWalk walk = detail::rotoWalk(angle, scale);
  const std::uint32_t a = walk.a, b = walk.b;
  std::uint32_t rowU = walk.rowU, rowV = walk.rowV;
  // Lane i holds column x + i; 32-bit vector adds wrap like the scalar stepping.
  const std::uint32_t lanesU[4] = {0, b, 2 * b, 3 * b};
  const std::uint32_t lanesV[4] = {0, a, 2 * a, 3 * a};
  const uint32x4_t laneU = vld1q_u32(lanesU);
  const uint32x4_t laneV = vld1q_u32(lanesV);
  const uint32x4_t stepU = vdupq_n_u32(4 * b);
  const uint32x4_t stepV = vdupq_n_u32(4 * a);
  const uint32x4_t indexMask = vdupq_n_u32(0xFFFF);
  for (int y = 0; y < kFrameHeight; ++y) {
    uint32x4_t u = vaddq_u32(vdupq_n_u32(rowU), laneU);
    uint32x4_t v = vaddq_u32(vdupq_n_u32(rowV), laneV);
    Pixel* out = dst + y * kFrameWidth;
    for (int x = 0; x < kFrameWidth; x += 4) {
      // row * 320 + column with arithmetic shifts; the product wraps like
      // the scalar int arithmetic, and only the low 16 bits are kept.
      const int32x4_t row = vshrq_n_s32(vreinterpretq_s32_u32(v), 16);
      const int32x4_t column = vshrq_n_s32(vreinterpretq_s32_u32(u), 16);
      const uint32x4_t index = vandq_u32(vreinterpretq_u32_s32(vmlaq_n_s32(column, row, 320)), indexMask);
      alignas(16) std::int32_t lanes[4];
      vst1q_u32(reinterpret_cast<std::uint32_t*>(lanes), index);
      detail::fetchRotoGroup<4>(src, out + x, lanes,
                                vmaxvq_u32(index) > static_cast<std::uint32_t>(detail::kRotoLastIndex));
      u = vaddq_u32(u, stepU);
      v = vaddq_u32(v, stepV);
    }
    rowU -= a;
    rowV += b;
  }
}

}  // namespace tolvarin::neon

#endif

// The neon family's stretchBlit, without vectors: the planned rectangle
// (stretch_plan.h) with each row copied through the column table. A row is
// a gather, which NEON has no instruction for; the table and the copied
// repeat rows are what pay over the reference's two divisions per pixel.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_NEON_KERNELS
#include "gfx2d/stretch_plan.h"

namespace tolvarin::neon {

void stretchBlit(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 const Pixel* src, Pixel* dst) {
  detail::StretchPlan plan;
  if (!detail::planStretch(x, y, w, h, plan)) return;
  detail::drawPlanned(x, y, h, src, dst, plan,
                      [](const Pixel* row, const detail::StretchPlan& p, int count, Pixel* out) {
                        for (int i = 0; i < count; ++i) out[i] = row[p.sourceColumn[i]];
                      });
}

}  // namespace tolvarin::neon

#endif

// AVX2 stretchBlit: the planned rectangle (stretch_plan.h) with each row
// gathered eight pixels per instruction. The row copy carries the avx2 target
// attribute and is reached only after a run-time check of the processor.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_AVX2_KERNELS
#include <immintrin.h>

#include "gfx2d/stretch_plan.h"

namespace tolvarin::avx2 {
namespace {

__attribute__((target("avx2"))) void gatherRow(const Pixel* row, const detail::StretchPlan& plan,
                                               int count, Pixel* out) {
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i columns =
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(plan.sourceColumn + i));
    const __m256i pixels = _mm256_i32gather_epi32(reinterpret_cast<const int*>(row), columns, 4);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), pixels);
  }
  for (; i < count; ++i) out[i] = row[plan.sourceColumn[i]];
}

}  // namespace

void stretchBlit(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 const Pixel* src, Pixel* dst) {
  detail::StretchPlan plan;
  if (!detail::planStretch(x, y, w, h, plan)) return;
  detail::drawPlanned(x, y, h, src, dst, plan, gatherRow);
}

}  // namespace tolvarin::avx2

#endif

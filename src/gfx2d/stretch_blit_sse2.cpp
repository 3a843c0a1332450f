// Fast stretchBlit: source columns from a table built once per call, source
// rows divided once per row, and rows that repeat the previous source row
// copied from the row just drawn.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_SSE2_KERNELS
#include <cstring>

#include "gfx2d/stretch_plan.h"

namespace tolvarin {
namespace {

// Draws the planned rectangle; copyRow(sourceRow, plan, count, out) fills one row.
template <typename CopyRow>
inline void drawPlanned(std::int32_t x, std::int32_t y, std::int32_t h, const Pixel* src, Pixel* dst,
                        const detail::StretchPlan& plan, CopyRow copyRow) {
  const int count = static_cast<int>(plan.endColumn - plan.firstColumn);
  std::int64_t previousRow = -1;
  const Pixel* previousOut = nullptr;
  for (std::int64_t r = plan.firstRow; r < plan.endRow; ++r) {
    const std::int64_t sourceRow = r * 240 / h;
    Pixel* out = dst + (y + r) * kFrameWidth + x + plan.firstColumn;
    if (sourceRow == previousRow) {
      std::memcpy(out, previousOut, static_cast<std::size_t>(count) * sizeof(Pixel));
    } else {
      copyRow(src + sourceRow * kFrameWidth, plan, count, out);
    }
    previousRow = sourceRow;
    previousOut = out;
  }
}

}  // namespace

namespace sse2 {

void stretchBlit(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 const Pixel* src, Pixel* dst) {
  detail::StretchPlan plan;
  if (!detail::planStretch(x, y, w, h, plan)) return;
  drawPlanned(x, y, h, src, dst, plan,
              [](const Pixel* row, const detail::StretchPlan& p, int count, Pixel* out) {
                for (int i = 0; i < count; ++i) out[i] = row[p.sourceColumn[i]];
              });
}

}  // namespace sse2

#ifdef TOLVARIN_AVX2_KERNELS
}  // namespace tolvarin

#include <immintrin.h>

namespace tolvarin {
namespace avx2 {
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
  drawPlanned(x, y, h, src, dst, plan, gatherRow);
}

}  // namespace avx2
#endif
}  // namespace tolvarin

#endif

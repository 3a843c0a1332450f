// AVX2 zoomWrap: the table-driven path of zoom_wrap_setup.h, eight pixels per
// gather instruction. The row gather carries the avx2 target attribute and is
// reached only after a run-time check of the processor.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_AVX2_KERNELS
#include <immintrin.h>

#include <cstdint>

#include "gfx2d/zoom_wrap_setup.h"

namespace tolvarin {
namespace {

// One row whose every index is in range: out[j] = row[sx[j]], eight pixels
// per gather.
__attribute__((target("avx2"))) void gatherRowAvx2(const Pixel* row, const std::int32_t* sx, Pixel* out) {
  const auto* from = reinterpret_cast<const int*>(row);
  for (int j = 0; j < kFrameWidth; j += 8) {
    const __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sx + j));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j), _mm256_i32gather_epi32(from, index, 4));
  }
}

}  // namespace

void avx2::zoomWrap(const Pixel* src, Pixel* dst, double z) {
  detail::zoom_wrap::zoomWrapByTables<gatherRowAvx2>(src, dst, z);
}

}  // namespace tolvarin

#endif

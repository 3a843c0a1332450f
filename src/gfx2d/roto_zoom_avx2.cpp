// AVX2 rotoZoom: source indices computed eight at a time, then fetched with
// plain loads; on the processors we measured, plain loads beat the AVX2
// gather instruction here. A group of indices without a hole is copied
// without per-pixel tests. The function carries the avx2 target attribute and
// is reached only after a run-time check of the processor.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_AVX2_KERNELS
#include <immintrin.h>

#include <cstring>

#include "gfx2d/sampling_setup.h"

namespace tolvarin::avx2 {

__attribute__((target("avx2"))) void rotoZoom(const Pixel* src, Pixel* dst, int angle, float scale) {
  const detail::RotoWalk walk = detail::rotoWalk(angle, scale);
  const std::uint32_t a = walk.a, b = walk.b;
  std::uint32_t rowU = walk.rowU, rowV = walk.rowV;
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i laneU = _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(b)));
  const __m256i laneV = _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(a)));
  const __m256i stepU = _mm256_set1_epi32(static_cast<int>(8 * b));
  const __m256i stepV = _mm256_set1_epi32(static_cast<int>(8 * a));
  const __m256i width = _mm256_set1_epi32(320);
  const __m256i indexMask = _mm256_set1_epi32(0xFFFF);
  const __m256i lastIndex = _mm256_set1_epi32(detail::kRotoLastIndex);
  for (int y = 0; y < kFrameHeight; ++y) {
    __m256i u = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(rowU)), laneU);
    __m256i v = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(rowV)), laneV);
    Pixel* out = dst + y * kFrameWidth;
    for (int x = 0; x < kFrameWidth; x += 8) {
      const __m256i index = _mm256_and_si256(
          _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(v, 16), width), _mm256_srai_epi32(u, 16)),
          indexMask);
      if (_mm256_movemask_epi8(_mm256_cmpgt_epi32(index, lastIndex)) == 0) {
        // No hole: indices leave the vector two per 64-bit move, and pixels
        // are stored in pairs, which halves the store count.
        const __m128i low = _mm256_castsi256_si128(index);
        const __m128i high = _mm256_extracti128_si256(index, 1);
        const std::uint64_t pairs[4] = {static_cast<std::uint64_t>(_mm_cvtsi128_si64(low)),
                                        static_cast<std::uint64_t>(_mm_extract_epi64(low, 1)),
                                        static_cast<std::uint64_t>(_mm_cvtsi128_si64(high)),
                                        static_cast<std::uint64_t>(_mm_extract_epi64(high, 1))};
        for (int k = 0; k < 4; ++k) {
          const std::uint64_t two = std::uint64_t{src[static_cast<std::uint32_t>(pairs[k])]} |
                                    std::uint64_t{src[pairs[k] >> 32]} << 32;
          std::memcpy(out + x + 2 * k, &two, sizeof two);
        }
      } else {
        alignas(32) std::int32_t lanes[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), index);
        detail::fetchRotoGroup<8>(src, out + x, lanes, true);
      }
      u = _mm256_add_epi32(u, stepU);
      v = _mm256_add_epi32(v, stepV);
    }
    rowU -= a;
    rowV += b;
  }
}

}  // namespace tolvarin::avx2

#endif

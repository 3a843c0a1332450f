// SSE2 rotoZoom: source indices computed four at a time, then fetched with
// plain loads (sampling_setup.h). A group of indices without a hole is copied
// without per-pixel tests.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_SSE2_KERNELS
#include <emmintrin.h>

#include "gfx2d/sampling_setup.h"

namespace tolvarin::sse2 {

void rotoZoom(const Pixel* src, Pixel* dst, int angle, float scale) {
  const detail::RotoWalk walk = detail::rotoWalk(angle, scale);
  const std::uint32_t a = walk.a, b = walk.b;
  std::uint32_t rowU = walk.rowU, rowV = walk.rowV;
  // Lane i holds column x + i; 32-bit vector adds wrap like the scalar stepping.
  const __m128i laneU = _mm_setr_epi32(0, static_cast<int>(b), static_cast<int>(2 * b), static_cast<int>(3 * b));
  const __m128i laneV = _mm_setr_epi32(0, static_cast<int>(a), static_cast<int>(2 * a), static_cast<int>(3 * a));
  const __m128i stepU = _mm_set1_epi32(static_cast<int>(4 * b));
  const __m128i stepV = _mm_set1_epi32(static_cast<int>(4 * a));
  const __m128i indexMask = _mm_set1_epi32(0xFFFF);
  const __m128i lastIndex = _mm_set1_epi32(detail::kRotoLastIndex);
  for (int y = 0; y < kFrameHeight; ++y) {
    __m128i u = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(rowU)), laneU);
    __m128i v = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(rowV)), laneV);
    Pixel* out = dst + y * kFrameWidth;
    for (int x = 0; x < kFrameWidth; x += 4) {
      const __m128i row = _mm_srai_epi32(v, 16);
      // row * 320 as row * 256 + row * 64: SSE2 has no 32-bit multiply.
      const __m128i index = _mm_and_si128(
          _mm_add_epi32(_mm_add_epi32(_mm_slli_epi32(row, 8), _mm_slli_epi32(row, 6)), _mm_srai_epi32(u, 16)),
          indexMask);
      alignas(16) std::int32_t lanes[4];
      _mm_store_si128(reinterpret_cast<__m128i*>(lanes), index);
      detail::fetchRotoGroup<4>(src, out + x, lanes, _mm_movemask_epi8(_mm_cmpgt_epi32(index, lastIndex)) != 0);
      u = _mm_add_epi32(u, stepU);
      v = _mm_add_epi32(v, stepV);
    }
    rowU -= a;
    rowV += b;
  }
}

}  // namespace tolvarin::sse2

#endif

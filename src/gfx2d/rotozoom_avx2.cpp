// AVX2 rotoZoom: eight source indices per step, fetched with a masked gather
// that keeps the old dst pixel wherever the index lands on a hole.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_X86_KERNELS
#include <immintrin.h>

#include "gfx2d/sampling_setup.h"

namespace tolvarin::avx2 {

__attribute__((target("avx2"))) void rotoZoom(const Pixel* src, Pixel* dst, int angle, float scale) {
  const detail::RotoSteps steps = detail::rotoSteps(angle, scale);
  const std::uint32_t a = static_cast<std::uint32_t>(steps.a);
  const std::uint32_t b = static_cast<std::uint32_t>(steps.b);
  std::uint32_t rowU = (65536u - b) * 160u;
  std::uint32_t rowV = (65536u - a) * 120u;
  // Lane i holds column x + i; vector adds wrap like the scalar stepping.
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i laneU = _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(b)));
  const __m256i laneV = _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(a)));
  const __m256i stepU = _mm256_set1_epi32(static_cast<int>(b * 8u));
  const __m256i stepV = _mm256_set1_epi32(static_cast<int>(a * 8u));
  const __m256i width = _mm256_set1_epi32(320);
  const __m256i indexMask = _mm256_set1_epi32(0xFFFF);
  const __m256i firstHole = _mm256_set1_epi32(64001);
  const int* source = reinterpret_cast<const int*>(src);
  for (int y = 0; y < kFrameHeight; ++y) {
    __m256i u = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(rowU)), laneU);
    __m256i v = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(rowV)), laneV);
    Pixel* out = dst + y * kFrameWidth;
    for (int x = 0; x < kFrameWidth; x += 8) {
      const __m256i index = _mm256_and_si256(
          _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(v, 16), width), _mm256_srai_epi32(u, 16)),
          indexMask);
      const __m256i inside = _mm256_cmpgt_epi32(firstHole, index);  // index <= 64000
      __m256i* target = reinterpret_cast<__m256i*>(out + x);
      const __m256i previous = _mm256_loadu_si256(target);
      _mm256_storeu_si256(target, _mm256_mask_i32gather_epi32(previous, source, index, inside, 4));
      u = _mm256_add_epi32(u, stepU);
      v = _mm256_add_epi32(v, stepV);
    }
    rowU -= a;
    rowV += b;
  }
}

}  // namespace tolvarin::avx2

#endif

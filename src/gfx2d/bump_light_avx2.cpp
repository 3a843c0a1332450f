// AVX2 bumpLight: eight pixels per step, each channel in a 16-bit lane. The
// range argument of bump_light_sse2.cpp holds here unchanged. Every function
// carries the avx2 target attribute and is reached only after a run-time check.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_AVX2_KERNELS
#include <immintrin.h>

#include "gfx2d/sampling_setup.h"

#define TOLVARIN_AVX2 __attribute__((target("avx2")))

namespace tolvarin::avx2 {
namespace {

TOLVARIN_AVX2 inline __m256i load(const Pixel* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

TOLVARIN_AVX2 inline __m256i cappedSquare(__m256i sum) {
  const __m256i quarter =
      _mm256_min_epi16(_mm256_srli_epi16(_mm256_abs_epi16(sum), 2), _mm256_set1_epi16(16));
  return _mm256_mullo_epi16(quarter, quarter);
}

template <bool Divide>
TOLVARIN_AVX2 inline __m256i lightHalf(__m256i left, __m256i right, __m256i up, __m256i down,
                                       __m256i base, __m256i termX, __m256i termY, __m256i scale) {
  const __m256i gx2 = cappedSquare(_mm256_add_epi16(_mm256_sub_epi16(left, right), termX));
  const __m256i gy2 = cappedSquare(_mm256_add_epi16(_mm256_sub_epi16(up, down), termY));
  const __m256i light = _mm256_max_epi16(
      _mm256_sub_epi16(_mm256_sub_epi16(_mm256_set1_epi16(255), gx2), gy2), _mm256_setzero_si256());
  const __m256i scaled = Divide ? _mm256_mulhi_epu16(base, scale) : _mm256_mullo_epi16(base, scale);
  return _mm256_add_epi16(scaled, light);
}

template <bool Divide>
TOLVARIN_AVX2 void bumpRows(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
                            const Pixel* relief, __m256i scale) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
  const __m256i eight = _mm256_set1_epi16(8);
  // Unpacking works within 128-bit halves: the low unpack holds pixels
  // x, x+1 | x+4, x+5 and the high one x+2, x+3 | x+6, x+7.
  const auto t = [offsetX](int dx) { return static_cast<short>(offsetX + dx); };
  const __m256i startLo = _mm256_setr_epi16(t(0), t(0), t(0), t(0), t(1), t(1), t(1), t(1),
                                            t(4), t(4), t(4), t(4), t(5), t(5), t(5), t(5));
  const __m256i startHi = _mm256_add_epi16(startLo, _mm256_set1_epi16(2));
  for (int y = 1; y <= 238; ++y) {
    const __m256i termY = _mm256_set1_epi16(static_cast<short>(offsetY + y - 1));
    __m256i termLo = startLo;
    __m256i termHi = startHi;
    for (int x = 0; x < kFrameWidth; x += 8) {
      const int p = y * kFrameWidth + x;
      const __m256i left = load(relief + p - 1);
      const __m256i right = load(relief + p + 1);
      const __m256i up = load(relief + p - kFrameWidth);
      const __m256i down = load(relief + p + kFrameWidth);
      const __m256i b = load(base + p);
      const __m256i lo = lightHalf<Divide>(
          _mm256_unpacklo_epi8(left, zero), _mm256_unpacklo_epi8(right, zero),
          _mm256_unpacklo_epi8(up, zero), _mm256_unpacklo_epi8(down, zero),
          _mm256_unpacklo_epi8(b, zero), termLo, termY, scale);
      const __m256i hi = lightHalf<Divide>(
          _mm256_unpackhi_epi8(left, zero), _mm256_unpackhi_epi8(right, zero),
          _mm256_unpackhi_epi8(up, zero), _mm256_unpackhi_epi8(down, zero),
          _mm256_unpackhi_epi8(b, zero), termHi, termY, scale);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + p),
                          _mm256_and_si256(_mm256_packus_epi16(lo, hi), colour));
      termLo = _mm256_add_epi16(termLo, eight);
      termHi = _mm256_add_epi16(termHi, eight);
    }
  }
}

}  // namespace

TOLVARIN_AVX2 void bumpLight(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base,
                             Pixel* dst, const Pixel* relief, std::int32_t mode) {
  const std::int32_t ox = detail::clampBumpOffset(offsetX);
  const std::int32_t oy = detail::clampBumpOffset(offsetY);
  const detail::BumpScale scale = detail::bumpScale(mode);
  if (scale.divide) {
    bumpRows<true>(ox, oy, base, dst, relief, _mm256_set1_epi16(scale.factor));
  } else {
    bumpRows<false>(ox, oy, base, dst, relief, _mm256_set1_epi16(scale.factor));
  }
  detail::clearBumpBorderRows(dst);
}

}  // namespace tolvarin::avx2

#endif

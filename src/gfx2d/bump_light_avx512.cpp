// AVX-512 (BW) bumpLight: sixteen pixels per step, each channel in a 16-bit
// lane; otherwise the AVX2 kernel's arithmetic, lane for lane, and the range
// argument of bump_light_sse2.cpp holds unchanged. Every function carries the
// avx512bw target attribute and is reached only after a run-time check.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_AVX512_KERNELS
#include <immintrin.h>

#include "gfx2d/sampling_setup.h"

#define TOLVARIN_AVX512 __attribute__((target("avx512f,avx512bw")))

namespace tolvarin::avx512 {
namespace {

TOLVARIN_AVX512 inline __m512i load(const Pixel* p) { return _mm512_loadu_si512(p); }

TOLVARIN_AVX512 inline __m512i cappedSquare(__m512i sum) {
  const __m512i quarter =
      _mm512_min_epi16(_mm512_srli_epi16(_mm512_abs_epi16(sum), 2), _mm512_set1_epi16(16));
  return _mm512_mullo_epi16(quarter, quarter);
}

template <bool Divide>
TOLVARIN_AVX512 inline __m512i lightHalf(__m512i left, __m512i right, __m512i up, __m512i down,
                                         __m512i base, __m512i termX, __m512i termY, __m512i scale) {
  const __m512i gx2 = cappedSquare(_mm512_add_epi16(_mm512_sub_epi16(left, right), termX));
  const __m512i gy2 = cappedSquare(_mm512_add_epi16(_mm512_sub_epi16(up, down), termY));
  const __m512i light = _mm512_max_epi16(
      _mm512_sub_epi16(_mm512_sub_epi16(_mm512_set1_epi16(255), gx2), gy2), _mm512_setzero_si512());
  const __m512i scaled = Divide ? _mm512_mulhi_epu16(base, scale) : _mm512_mullo_epi16(base, scale);
  return _mm512_add_epi16(scaled, light);
}

template <bool Divide>
TOLVARIN_AVX512 void bumpRows(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
                              const Pixel* relief, __m512i scale) {
  const __m512i zero = _mm512_setzero_si512();
  const __m512i colour = _mm512_set1_epi32(0x00FFFFFF);
  const __m512i sixteen = _mm512_set1_epi16(16);
  // Unpacking works within 128-bit quarters: quarter q of the low unpack
  // holds pixels 4q, 4q+1 and of the high one 4q+2, 4q+3.
  alignas(64) short start[32];
  for (int q = 0; q < 4; ++q) {
    for (int i = 0; i < 4; ++i) {
      start[q * 8 + i] = static_cast<short>(offsetX + 4 * q);
      start[q * 8 + 4 + i] = static_cast<short>(offsetX + 4 * q + 1);
    }
  }
  const __m512i startLo = _mm512_load_si512(start);
  const __m512i startHi = _mm512_add_epi16(startLo, _mm512_set1_epi16(2));
  for (int y = 1; y <= 238; ++y) {
    const __m512i termY = _mm512_set1_epi16(static_cast<short>(offsetY + y - 1));
    __m512i termLo = startLo;
    __m512i termHi = startHi;
    for (int x = 0; x < kFrameWidth; x += 16) {
      const int p = y * kFrameWidth + x;
      const __m512i left = load(relief + p - 1);
      const __m512i right = load(relief + p + 1);
      const __m512i up = load(relief + p - kFrameWidth);
      const __m512i down = load(relief + p + kFrameWidth);
      const __m512i b = load(base + p);
      const __m512i lo = lightHalf<Divide>(
          _mm512_unpacklo_epi8(left, zero), _mm512_unpacklo_epi8(right, zero),
          _mm512_unpacklo_epi8(up, zero), _mm512_unpacklo_epi8(down, zero),
          _mm512_unpacklo_epi8(b, zero), termLo, termY, scale);
      const __m512i hi = lightHalf<Divide>(
          _mm512_unpackhi_epi8(left, zero), _mm512_unpackhi_epi8(right, zero),
          _mm512_unpackhi_epi8(up, zero), _mm512_unpackhi_epi8(down, zero),
          _mm512_unpackhi_epi8(b, zero), termHi, termY, scale);
      _mm512_storeu_si512(dst + p, _mm512_and_si512(_mm512_packus_epi16(lo, hi), colour));
      termLo = _mm512_add_epi16(termLo, sixteen);
      termHi = _mm512_add_epi16(termHi, sixteen);
    }
  }
}

}  // namespace

TOLVARIN_AVX512 void bumpLight(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base,
                               Pixel* dst, const Pixel* relief, std::int32_t mode) {
  const std::int32_t ox = detail::clampBumpOffset(offsetX);
  const std::int32_t oy = detail::clampBumpOffset(offsetY);
  const detail::BumpScale scale = detail::bumpScale(mode);
  if (scale.divide) {
    bumpRows<true>(ox, oy, base, dst, relief, _mm512_set1_epi16(scale.factor));
  } else {
    bumpRows<false>(ox, oy, base, dst, relief, _mm512_set1_epi16(scale.factor));
  }
  detail::clearBumpBorderRows(dst);
}

}  // namespace tolvarin::avx512

#endif

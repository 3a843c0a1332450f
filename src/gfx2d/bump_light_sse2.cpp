// SSE2 bumpLight: four pixels per step, each channel in a 16-bit lane.
//
// Everything fits 16 bits once the offsets are clamped (sampling_setup.h):
// gradient sums stay within +-2600, their quarters are capped at 16 (any
// larger one gives light 0 anyway), so squares are at most 256, the light
// lies in -257..255 before the floor at 0, and a base channel times a mode of
// at most 127 plus the light stays below 32768.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_SSE2_KERNELS
#include <emmintrin.h>

#include "gfx2d/sampling_setup.h"

namespace tolvarin::sse2 {
namespace {

inline __m128i load(const Pixel* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// min(|sum| >> 2, 16) squared, per lane.
inline __m128i cappedSquare(__m128i sum) {
  const __m128i magnitude = _mm_max_epi16(sum, _mm_sub_epi16(_mm_setzero_si128(), sum));
  const __m128i quarter = _mm_min_epi16(_mm_srli_epi16(magnitude, 2), _mm_set1_epi16(16));
  return _mm_mullo_epi16(quarter, quarter);
}

// One half (two pixels) of a step: light from the gradients plus the scaled base.
template <bool Divide>
inline __m128i lightHalf(__m128i left, __m128i right, __m128i up, __m128i down, __m128i base,
                         __m128i termX, __m128i termY, __m128i scale) {
  const __m128i gx2 = cappedSquare(_mm_add_epi16(_mm_sub_epi16(left, right), termX));
  const __m128i gy2 = cappedSquare(_mm_add_epi16(_mm_sub_epi16(up, down), termY));
  const __m128i light = _mm_max_epi16(
      _mm_sub_epi16(_mm_sub_epi16(_mm_set1_epi16(255), gx2), gy2), _mm_setzero_si128());
  // Division by d >= 2 as a multiply by ceil(65536 / d) keeping the high half:
  // exact for every channel value 0..255 and d up to 128.
  const __m128i scaled = Divide ? _mm_mulhi_epu16(base, scale) : _mm_mullo_epi16(base, scale);
  return _mm_add_epi16(scaled, light);
}

template <bool Divide>
void bumpRows(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
              const Pixel* relief, __m128i scale) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  for (int y = 1; y <= 238; ++y) {
    const __m128i termY = _mm_set1_epi16(static_cast<short>(offsetY + y - 1));
    // offsetX + x per lane: pixels x, x+1 in the low half, x+2, x+3 in the high.
    const short tx = static_cast<short>(offsetX);
    __m128i termLo = _mm_setr_epi16(tx, tx, tx, tx, static_cast<short>(tx + 1), static_cast<short>(tx + 1),
                                    static_cast<short>(tx + 1), static_cast<short>(tx + 1));
    __m128i termHi = _mm_add_epi16(termLo, _mm_set1_epi16(2));
    const __m128i four = _mm_set1_epi16(4);
    for (int x = 0; x < kFrameWidth; x += 4) {
      const int p = y * kFrameWidth + x;
      const __m128i left = load(relief + p - 1);
      const __m128i right = load(relief + p + 1);
      const __m128i up = load(relief + p - kFrameWidth);
      const __m128i down = load(relief + p + kFrameWidth);
      const __m128i b = load(base + p);
      const __m128i lo = lightHalf<Divide>(
          _mm_unpacklo_epi8(left, zero), _mm_unpacklo_epi8(right, zero), _mm_unpacklo_epi8(up, zero),
          _mm_unpacklo_epi8(down, zero), _mm_unpacklo_epi8(b, zero), termLo, termY, scale);
      const __m128i hi = lightHalf<Divide>(
          _mm_unpackhi_epi8(left, zero), _mm_unpackhi_epi8(right, zero), _mm_unpackhi_epi8(up, zero),
          _mm_unpackhi_epi8(down, zero), _mm_unpackhi_epi8(b, zero), termHi, termY, scale);
      // The pack saturates each channel at 255; the top byte is cleared.
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + p),
                       _mm_and_si128(_mm_packus_epi16(lo, hi), colour));
      termLo = _mm_add_epi16(termLo, four);
      termHi = _mm_add_epi16(termHi, four);
    }
  }
}

}  // namespace

void bumpLight(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
               const Pixel* relief, std::int32_t mode) {
  const std::int32_t ox = detail::clampBumpOffset(offsetX);
  const std::int32_t oy = detail::clampBumpOffset(offsetY);
  const detail::BumpScale scale = detail::bumpScale(mode);
  if (scale.divide) {
    bumpRows<true>(ox, oy, base, dst, relief, _mm_set1_epi16(scale.factor));
  } else {
    bumpRows<false>(ox, oy, base, dst, relief, _mm_set1_epi16(scale.factor));
  }
  detail::clearBumpBorderRows(dst);
}

}  // namespace tolvarin::sse2

#endif

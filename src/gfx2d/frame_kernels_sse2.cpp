// SSE2 versions of the per-pixel frame kernels, four pixels per step. SSE2 is
// part of every x86-64 processor, so these need no run-time check.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_SSE2_KERNELS
#include <emmintrin.h>

#include <cstring>

namespace tolvarin::sse2 {
namespace {

inline __m128i load(const Pixel* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void store(Pixel* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

}  // namespace

void fillFrame(Pixel* dst, std::uint32_t colour) {
  const __m128i v = _mm_set1_epi32(static_cast<int>(colour));
  for (int i = 0; i < kFramePixels; i += 4) store(dst + i, v);
}

void copyFrame(const Pixel* src, Pixel* dst) {
  for (int i = 0; i < kFramePixels; i += 8) {
    const __m128i first = load(src + i);
    const __m128i second = load(src + i + 4);
    store(dst + i, first);
    store(dst + i + 4, second);
  }
}

void crossFade(const Pixel* srcA, const Pixel* srcB, Pixel* dst, std::int32_t weightR,
               std::int32_t weightG, std::int32_t weightB) {
  const int kR = weightR & 0xFF;
  const int kG = weightG & 0xFF;
  const int kB = weightB & 0xFF;
  // Lane pairs per pixel: (B, G) then (R, top byte); the top byte is weighted 0.
  const __m128i lowA = _mm_set1_epi32(kB | kR << 16);
  const __m128i highA = _mm_set1_epi32(kG);
  const __m128i lowB = _mm_set1_epi32((255 - kB) | (255 - kR) << 16);
  const __m128i highB = _mm_set1_epi32(255 - kG);
  const __m128i highBytes = _mm_set1_epi16(static_cast<short>(0xFF00));
  for (int i = 0; i < kFramePixels; i += 4) {
    const __m128i a = load(srcA + i);
    const __m128i b = load(srcB + i);
    // With a channel in the high byte of a 16-bit lane, the high half of the
    // unsigned product, (c << 8) * k >> 16, is exactly c*k >> 8. The sum is at
    // most 255*255 >> 8 = 254 and never needs saturating.
    const __m128i lowSum = _mm_add_epi16(_mm_mulhi_epu16(_mm_slli_epi16(a, 8), lowA),
                                         _mm_mulhi_epu16(_mm_slli_epi16(b, 8), lowB));
    const __m128i highSum = _mm_add_epi16(_mm_mulhi_epu16(_mm_and_si128(a, highBytes), highA),
                                          _mm_mulhi_epu16(_mm_and_si128(b, highBytes), highB));
    store(dst + i, _mm_or_si128(lowSum, _mm_slli_epi16(highSum, 8)));
  }
}

void overlayKeyed(const Pixel* top, const Pixel* bottom, Pixel* dst) {
  const __m128i zero = _mm_setzero_si128();
  for (int i = 0; i < kFramePixels; i += 4) {
    const __m128i t = load(top + i);
    const __m128i keyed = _mm_cmpeq_epi32(t, zero);
    // Where top is 0, OR-ing it in changes nothing.
    store(dst + i, _mm_or_si128(t, _mm_and_si128(keyed, load(bottom + i))));
  }
}

void maskFrame(const Pixel* src, const Pixel* mask, Pixel* dst) {
  const __m128i zero = _mm_setzero_si128();
  for (int i = 0; i < kFramePixels; i += 4) {
    const __m128i masked = _mm_cmpeq_epi32(load(mask + i), zero);
    store(dst + i, _mm_andnot_si128(masked, load(src + i)));
  }
}

void averageFrames(Pixel* dst, const Pixel* srcA, const Pixel* srcB) {
  const __m128i ones = _mm_set1_epi8(1);
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  for (int i = 0; i < kFramePixels; i += 4) {
    const __m128i a = load(srcA + i);
    const __m128i b = load(srcB + i);
    // The byte average rounds up, (a + b + 1) >> 1; subtracting the low bit
    // of a ^ b turns it into the truncating (a + b) >> 1.
    const __m128i roundedUp = _mm_avg_epu8(a, b);
    const __m128i oddSum = _mm_and_si128(_mm_xor_si128(a, b), ones);
    store(dst + i, _mm_and_si128(_mm_sub_epi8(roundedUp, oddSum), colour));
  }
}

void subtractFromBytes(const Pixel* src, Pixel* dst, std::uint8_t amount) {
  const __m128i sub = _mm_set1_epi8(static_cast<char>(amount));
  for (int i = 0; i < kFramePixels; i += 4) store(dst + i, _mm_subs_epu8(load(src + i), sub));
}

void mirrorQuadrants(Pixel* frame) {
  for (int row = 0; row < 120; ++row) {
    Pixel* line = frame + row * kFrameWidth;
    for (int x = 0; x < 160; x += 4) {
      // Pixels x..x+3 land reversed on 319-x-3..319-x.
      store(line + 316 - x, _mm_shuffle_epi32(load(line + x), 0x1B));
    }
  }
  for (int k = 0; k < 119; ++k) {
    std::memcpy(frame + (120 + k) * kFrameWidth, frame + (119 - k) * kFrameWidth,
                kFrameWidth * sizeof(Pixel));
  }
}

}  // namespace tolvarin::sse2

#endif

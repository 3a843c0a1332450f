// SSE2 versions of the per-pixel frame kernels, four pixels per step. SSE2 is
// part of every x86-64 processor, so these need no run-time check.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_X86_KERNELS
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
  const short kR = static_cast<short>(weightR & 0xFF);
  const short kG = static_cast<short>(weightG & 0xFF);
  const short kB = static_cast<short>(weightB & 0xFF);
  // 16-bit lanes in memory order B, G, R, top byte; the top byte gets weight 0
  // on both sides, so it comes out 0.
  const __m128i weightA = _mm_setr_epi16(kB, kG, kR, 0, kB, kG, kR, 0);
  const __m128i weightBv = _mm_setr_epi16(static_cast<short>(255 - kB), static_cast<short>(255 - kG),
                                          static_cast<short>(255 - kR), 0,
                                          static_cast<short>(255 - kB), static_cast<short>(255 - kG),
                                          static_cast<short>(255 - kR), 0);
  const __m128i zero = _mm_setzero_si128();
  for (int i = 0; i < kFramePixels; i += 4) {
    const __m128i a = load(srcA + i);
    const __m128i b = load(srcB + i);
    // Products stay below 65536, so the low 16 bits and a logical shift are exact.
    const __m128i lo = _mm_add_epi16(
        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), weightA), 8),
        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), weightBv), 8));
    const __m128i hi = _mm_add_epi16(
        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), weightA), 8),
        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), weightBv), 8));
    store(dst + i, _mm_packus_epi16(lo, hi));
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

// AVX2 versions of the per-pixel frame kernels. Every function carries the
// avx2 target attribute (the file is built for the SSE2 baseline) and is only
// reached after a run-time check of the processor.
//
// Each kernel handles the pixels before dst's next 32-byte boundary one at a
// time, then 16 pixels per step with aligned stores, then the rest one at a
// time. Work frames start on a cache line (allocateFrame), where there is no
// head, but callers may pass any Pixel buffer, and unaligned 32-byte steps
// split every other cache line, which cost up to a third of the speed. One
// pixel at a time uses the same per-pixel rules as the reference, and runs
// first, so in-place calls stay correct.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_AVX2_KERNELS
#include <immintrin.h>

#include <cstring>

#include "gfx2d/pixel_ops.h"

#define TOLVARIN_AVX2 __attribute__((target("avx2")))

namespace tolvarin::avx2 {
namespace {

TOLVARIN_AVX2 inline __m256i load(const Pixel* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
TOLVARIN_AVX2 inline void storeAligned(Pixel* p, __m256i v) {
  _mm256_store_si256(reinterpret_cast<__m256i*>(p), v);
}

// Per channel (a*k >> 8) + (b*(255-k) >> 8) without unpacking: each 16-bit
// lane holds a channel in its high byte, so the high half of the unsigned
// product, (c << 8) * k >> 16, is exactly c*k >> 8. The sum is at most
// 255*255 >> 8 = 254 and never needs saturating.
struct FadeVectors {
  __m256i lowA, highA, lowB, highB;  // weights of the (B, R) lanes and the (G, top) lanes
};

TOLVARIN_AVX2 inline FadeVectors fadeVectors(const detail::FadeWeights8& k) {
  // Lane pairs per pixel: (B, G) then (R, top byte); the top byte is weighted 0.
  return {_mm256_set1_epi32(static_cast<int>(k.b | k.r << 16)), _mm256_set1_epi32(static_cast<int>(k.g)),
          _mm256_set1_epi32(static_cast<int>((255 - k.b) | (255 - k.r) << 16)),
          _mm256_set1_epi32(static_cast<int>(255 - k.g))};
}

TOLVARIN_AVX2 inline __m256i fade(__m256i a, __m256i b, const FadeVectors& w) {
  const __m256i highBytes = _mm256_set1_epi16(static_cast<short>(0xFF00));
  // B and R (the low byte of each lane) moved up; G and the top byte already there.
  const __m256i lowSum = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_slli_epi16(a, 8), w.lowA),
                                          _mm256_mulhi_epu16(_mm256_slli_epi16(b, 8), w.lowB));
  const __m256i highSum = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_and_si256(a, highBytes), w.highA),
                                           _mm256_mulhi_epu16(_mm256_and_si256(b, highBytes), w.highB));
  return _mm256_or_si256(lowSum, _mm256_slli_epi16(highSum, 8));
}

TOLVARIN_AVX2 inline __m256i overlay(__m256i top, __m256i bottom) {
  // Where top is 0, OR-ing it in changes nothing.
  const __m256i keyed = _mm256_cmpeq_epi32(top, _mm256_setzero_si256());
  return _mm256_or_si256(top, _mm256_and_si256(keyed, bottom));
}

TOLVARIN_AVX2 inline __m256i mask(__m256i src, __m256i key) {
  return _mm256_andnot_si256(_mm256_cmpeq_epi32(key, _mm256_setzero_si256()), src);
}

// The byte average rounds up, (a + b + 1) >> 1; subtracting the low bit of
// a ^ b makes it the truncating (a + b) >> 1. The top byte is cleared.
TOLVARIN_AVX2 inline __m256i average(__m256i a, __m256i b) {
  const __m256i odd = _mm256_and_si256(_mm256_xor_si256(a, b), _mm256_set1_epi8(1));
  return _mm256_and_si256(_mm256_sub_epi8(_mm256_avg_epu8(a, b), odd), _mm256_set1_epi32(0x00FFFFFF));
}

}  // namespace

TOLVARIN_AVX2 void fillFrame(Pixel* dst, std::uint32_t colour) {
  const int head = detail::pixelsTo32ByteBoundary(dst);
  const __m256i v = _mm256_set1_epi32(static_cast<int>(colour));
  int i = 0;
  for (; i < head; ++i) dst[i] = colour;
  for (; i + 16 <= kFramePixels; i += 16) {
    storeAligned(dst + i, v);
    storeAligned(dst + i + 8, v);
  }
  for (; i < kFramePixels; ++i) dst[i] = colour;
}

TOLVARIN_AVX2 void crossFade(const Pixel* srcA, const Pixel* srcB, Pixel* dst,
                             std::int32_t weightR, std::int32_t weightG, std::int32_t weightB) {
  const detail::FadeWeights8 k = detail::fadeWeights(weightR, weightG, weightB);
  const FadeVectors w = fadeVectors(k);
  const int head = detail::pixelsTo32ByteBoundary(dst);
  int i = 0;
  for (; i < head; ++i) dst[i] = detail::fadePixel(srcA[i], srcB[i], k);
  for (; i + 16 <= kFramePixels; i += 16) {
    const __m256i first = fade(load(srcA + i), load(srcB + i), w);
    const __m256i second = fade(load(srcA + i + 8), load(srcB + i + 8), w);
    storeAligned(dst + i, first);
    storeAligned(dst + i + 8, second);
  }
  for (; i < kFramePixels; ++i) dst[i] = detail::fadePixel(srcA[i], srcB[i], k);
}

TOLVARIN_AVX2 void overlayKeyed(const Pixel* top, const Pixel* bottom, Pixel* dst) {
  const int head = detail::pixelsTo32ByteBoundary(dst);
  int i = 0;
  for (; i < head; ++i) dst[i] = detail::overlayPixel(top[i], bottom[i]);
  for (; i + 16 <= kFramePixels; i += 16) {
    const __m256i first = overlay(load(top + i), load(bottom + i));
    const __m256i second = overlay(load(top + i + 8), load(bottom + i + 8));
    storeAligned(dst + i, first);
    storeAligned(dst + i + 8, second);
  }
  for (; i < kFramePixels; ++i) dst[i] = detail::overlayPixel(top[i], bottom[i]);
}

TOLVARIN_AVX2 void maskFrame(const Pixel* src, const Pixel* key, Pixel* dst) {
  const int head = detail::pixelsTo32ByteBoundary(dst);
  int i = 0;
  for (; i < head; ++i) dst[i] = detail::maskPixel(src[i], key[i]);
  for (; i + 16 <= kFramePixels; i += 16) {
    const __m256i first = mask(load(src + i), load(key + i));
    const __m256i second = mask(load(src + i + 8), load(key + i + 8));
    storeAligned(dst + i, first);
    storeAligned(dst + i + 8, second);
  }
  for (; i < kFramePixels; ++i) dst[i] = detail::maskPixel(src[i], key[i]);
}

TOLVARIN_AVX2 void averageFrames(Pixel* dst, const Pixel* srcA, const Pixel* srcB) {
  const int head = detail::pixelsTo32ByteBoundary(dst);
  int i = 0;
  for (; i < head; ++i) dst[i] = detail::averagePixel(srcA[i], srcB[i]);
  for (; i + 16 <= kFramePixels; i += 16) {
    const __m256i first = average(load(srcA + i), load(srcB + i));
    const __m256i second = average(load(srcA + i + 8), load(srcB + i + 8));
    storeAligned(dst + i, first);
    storeAligned(dst + i + 8, second);
  }
  for (; i < kFramePixels; ++i) dst[i] = detail::averagePixel(srcA[i], srcB[i]);
}

TOLVARIN_AVX2 void subtractFromBytes(const Pixel* src, Pixel* dst, std::uint8_t amount) {
  const __m256i sub = _mm256_set1_epi8(static_cast<char>(amount));
  const int head = detail::pixelsTo32ByteBoundary(dst);
  int i = 0;
  for (; i < head; ++i) dst[i] = detail::subtractPixel(src[i], amount);
  for (; i + 16 <= kFramePixels; i += 16) {
    const __m256i first = _mm256_subs_epu8(load(src + i), sub);
    const __m256i second = _mm256_subs_epu8(load(src + i + 8), sub);
    storeAligned(dst + i, first);
    storeAligned(dst + i + 8, second);
  }
  for (; i < kFramePixels; ++i) dst[i] = detail::subtractPixel(src[i], amount);
}

TOLVARIN_AVX2 void mirrorQuadrants(Pixel* frame) {
  const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
  for (int row = 0; row < 120; ++row) {
    Pixel* line = frame + row * kFrameWidth;
    for (int x = 0; x < 160; x += 8) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(line + 312 - x),
                          _mm256_permutevar8x32_epi32(load(line + x), reverse));
    }
  }
  for (int k = 0; k < 119; ++k) {
    std::memcpy(frame + (120 + k) * kFrameWidth, frame + (119 - k) * kFrameWidth,
                kFrameWidth * sizeof(Pixel));
  }
}

}  // namespace tolvarin::avx2

#endif

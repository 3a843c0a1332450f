// AVX2 versions of the per-pixel frame kernels, eight pixels per step. Every
// function carries the avx2 target attribute (the file is built for the SSE2
// baseline) and is only reached after a run-time check of the processor.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_X86_KERNELS
#include <immintrin.h>

#include <cstring>

#define TOLVARIN_AVX2 __attribute__((target("avx2")))

namespace tolvarin::avx2 {
namespace {

TOLVARIN_AVX2 inline __m256i load(const Pixel* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
TOLVARIN_AVX2 inline void store(Pixel* p, __m256i v) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

}  // namespace

TOLVARIN_AVX2 void fillFrame(Pixel* dst, std::uint32_t colour) {
  const __m256i v = _mm256_set1_epi32(static_cast<int>(colour));
  for (int i = 0; i < kFramePixels; i += 8) store(dst + i, v);
}

// A plain vector loop: on the processors we measured, the C library's copy
// of a frame-sized block was no faster and varied more.
TOLVARIN_AVX2 void copyFrame(const Pixel* src, Pixel* dst) {
  for (int i = 0; i < kFramePixels; i += 16) {
    const __m256i first = load(src + i);
    const __m256i second = load(src + i + 8);
    store(dst + i, first);
    store(dst + i + 8, second);
  }
}

namespace {

// Per channel (a*k >> 8) + (b*(255-k) >> 8) without unpacking: each 16-bit
// lane holds a channel in its high byte, so the high half of the unsigned
// product, (c << 8) * k >> 16, is exactly c*k >> 8. The sum is at most
// 255*255 >> 8 = 254 and never needs saturating.
struct FadeWeights {
  __m256i lowA, highA, lowB, highB;  // weights of the B/R lanes and the G/top lanes
};

TOLVARIN_AVX2 inline __m256i fadeVector(__m256i a, __m256i b, const FadeWeights& w) {
  const __m256i highBytes = _mm256_set1_epi16(static_cast<short>(0xFF00));
  // B and R (the low byte of each lane) moved to the high byte; G and the top byte in place.
  const __m256i lowSum = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_slli_epi16(a, 8), w.lowA),
                                          _mm256_mulhi_epu16(_mm256_slli_epi16(b, 8), w.lowB));
  const __m256i highSum = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_and_si256(a, highBytes), w.highA),
                                           _mm256_mulhi_epu16(_mm256_and_si256(b, highBytes), w.highB));
  return _mm256_or_si256(lowSum, _mm256_slli_epi16(highSum, 8));
}

}  // namespace

TOLVARIN_AVX2 void crossFade(const Pixel* srcA, const Pixel* srcB, Pixel* dst,
                             std::int32_t weightR, std::int32_t weightG, std::int32_t weightB) {
  const int kR = weightR & 0xFF;
  const int kG = weightG & 0xFF;
  const int kB = weightB & 0xFF;
  // Lane pairs per pixel: (B, G) then (R, top byte); the top byte is weighted 0.
  const FadeWeights w{_mm256_set1_epi32(kB | kR << 16), _mm256_set1_epi32(kG),
                      _mm256_set1_epi32((255 - kB) | (255 - kR) << 16), _mm256_set1_epi32(255 - kG)};
  for (int i = 0; i < kFramePixels; i += 16) {
    const __m256i first = fadeVector(load(srcA + i), load(srcB + i), w);
    const __m256i second = fadeVector(load(srcA + i + 8), load(srcB + i + 8), w);
    store(dst + i, first);
    store(dst + i + 8, second);
  }
}

namespace {

TOLVARIN_AVX2 inline __m256i overlay(__m256i top, __m256i bottom) {
  // Where top is 0, OR-ing it in changes nothing.
  const __m256i keyed = _mm256_cmpeq_epi32(top, _mm256_setzero_si256());
  return _mm256_or_si256(top, _mm256_and_si256(keyed, bottom));
}

}  // namespace

TOLVARIN_AVX2 void overlayKeyed(const Pixel* top, const Pixel* bottom, Pixel* dst) {
  for (int i = 0; i < kFramePixels; i += 16) {
    const __m256i first = overlay(load(top + i), load(bottom + i));
    const __m256i second = overlay(load(top + i + 8), load(bottom + i + 8));
    store(dst + i, first);
    store(dst + i + 8, second);
  }
}

TOLVARIN_AVX2 void maskFrame(const Pixel* src, const Pixel* mask, Pixel* dst) {
  const __m256i zero = _mm256_setzero_si256();
  for (int i = 0; i < kFramePixels; i += 16) {
    const __m256i first = _mm256_andnot_si256(_mm256_cmpeq_epi32(load(mask + i), zero), load(src + i));
    const __m256i second =
        _mm256_andnot_si256(_mm256_cmpeq_epi32(load(mask + i + 8), zero), load(src + i + 8));
    store(dst + i, first);
    store(dst + i + 8, second);
  }
}

namespace {

// The byte average rounds up, (a + b + 1) >> 1; subtracting the low bit of
// a ^ b turns it into the truncating (a + b) >> 1.
TOLVARIN_AVX2 inline __m256i truncatingAverage(__m256i a, __m256i b) {
  return _mm256_sub_epi8(_mm256_avg_epu8(a, b), _mm256_and_si256(_mm256_xor_si256(a, b), _mm256_set1_epi8(1)));
}

}  // namespace

TOLVARIN_AVX2 void averageFrames(Pixel* dst, const Pixel* srcA, const Pixel* srcB) {
  const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
  // Two vectors per step keep more loads in flight.
  for (int i = 0; i < kFramePixels; i += 16) {
    const __m256i first = truncatingAverage(load(srcA + i), load(srcB + i));
    const __m256i second = truncatingAverage(load(srcA + i + 8), load(srcB + i + 8));
    store(dst + i, _mm256_and_si256(first, colour));
    store(dst + i + 8, _mm256_and_si256(second, colour));
  }
}

TOLVARIN_AVX2 void mirrorQuadrants(Pixel* frame) {
  const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
  for (int row = 0; row < 120; ++row) {
    Pixel* line = frame + row * kFrameWidth;
    for (int x = 0; x < 160; x += 8) {
      store(line + 312 - x, _mm256_permutevar8x32_epi32(load(line + x), reverse));
    }
  }
  for (int k = 0; k < 119; ++k) {
    std::memcpy(frame + (120 + k) * kFrameWidth, frame + (119 - k) * kFrameWidth,
                kFrameWidth * sizeof(Pixel));
  }
}

}  // namespace tolvarin::avx2

#endif

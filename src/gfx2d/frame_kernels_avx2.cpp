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

TOLVARIN_AVX2 void crossFade(const Pixel* srcA, const Pixel* srcB, Pixel* dst,
                             std::int32_t weightR, std::int32_t weightG, std::int32_t weightB) {
  const short kR = static_cast<short>(weightR & 0xFF);
  const short kG = static_cast<short>(weightG & 0xFF);
  const short kB = static_cast<short>(weightB & 0xFF);
  const short cR = static_cast<short>(255 - kR);
  const short cG = static_cast<short>(255 - kG);
  const short cB = static_cast<short>(255 - kB);
  // Lanes B, G, R, top byte per pixel; the top byte is weighted 0 on both sides.
  const __m256i weightA = _mm256_setr_epi16(kB, kG, kR, 0, kB, kG, kR, 0, kB, kG, kR, 0, kB, kG, kR, 0);
  const __m256i weightBv = _mm256_setr_epi16(cB, cG, cR, 0, cB, cG, cR, 0, cB, cG, cR, 0, cB, cG, cR, 0);
  const __m256i zero = _mm256_setzero_si256();
  for (int i = 0; i < kFramePixels; i += 8) {
    const __m256i a = load(srcA + i);
    const __m256i b = load(srcB + i);
    // Unpack and pack both work within 128-bit halves, so pixel order survives.
    const __m256i lo = _mm256_add_epi16(
        _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(a, zero), weightA), 8),
        _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(b, zero), weightBv), 8));
    const __m256i hi = _mm256_add_epi16(
        _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(a, zero), weightA), 8),
        _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(b, zero), weightBv), 8));
    store(dst + i, _mm256_packus_epi16(lo, hi));
  }
}

TOLVARIN_AVX2 void overlayKeyed(const Pixel* top, const Pixel* bottom, Pixel* dst) {
  const __m256i zero = _mm256_setzero_si256();
  for (int i = 0; i < kFramePixels; i += 8) {
    const __m256i t = load(top + i);
    const __m256i keyed = _mm256_cmpeq_epi32(t, zero);
    store(dst + i, _mm256_or_si256(t, _mm256_and_si256(keyed, load(bottom + i))));
  }
}

TOLVARIN_AVX2 void maskFrame(const Pixel* src, const Pixel* mask, Pixel* dst) {
  const __m256i zero = _mm256_setzero_si256();
  for (int i = 0; i < kFramePixels; i += 8) {
    const __m256i masked = _mm256_cmpeq_epi32(load(mask + i), zero);
    store(dst + i, _mm256_andnot_si256(masked, load(src + i)));
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

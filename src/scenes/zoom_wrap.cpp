// zoomWrap: the centred, tiling rescale of the opening scene, as a plain
// double loop (the reference) and as the table-driven version the scene uses.
//
// Both follow one rule. With x0 = 320 - (trunc(160z - 160) rem 320) and
// y0 = 240 - (trunc(120z - 120) rem 240), screen pixel (j, i) of rows 0..238
// reads source index n = (trunc(y0 + i z) rem 240) * 320 + (trunc(x0 + j z) rem 320),
// rem following the dividend's sign. An n outside 0..76799 (only possible for
// z < 0) repeats the last pixel written, 0 before the first.
#include <cmath>
#include <cstdint>

#include "scenes/logo_zoom.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

#include "gfx2d/simd.h"
#define TOLVARIN_ZOOM_AVX2 1
#endif

namespace tolvarin {
namespace {

constexpr int kRows = 239;  // row 239 of dst is never written

// Beyond this the products no longer fit the integer steps; no scene comes
// anywhere near it (the opening scene's z stays below 25).
constexpr double kMaxZoom = 1.0e12;

bool zoomIsUsable(double z) { return std::fabs(z) < kMaxZoom; }  // false for NaN too

// The two origins. Integer remainders of int64 values: the sign follows the
// dividend, as the rule asks.
std::int64_t originX(double z) { return 320 - static_cast<std::int64_t>(160.0 * z - 160.0) % 320; }
std::int64_t originY(double z) { return 240 - static_cast<std::int64_t>(120.0 * z - 120.0) % 240; }

// One source coordinate. The reference and the fast version call this same
// function, so they round identically.
std::int64_t sourceStep(std::int64_t origin, int step, double z, int wrap) {
  return static_cast<std::int64_t>(static_cast<double>(origin) + static_cast<double>(step) * z) % wrap;
}

// An unusable z reaches no source pixel: every written pixel repeats the
// starting value 0.
void clearRows(Pixel* dst) {
  for (int n = 0; n < kRows * kFrameWidth; ++n) dst[n] = 0;
}

// One row whose every index is in range: out[j] = row[sx[j]].
void gatherRow(const Pixel* row, const std::int32_t* sx, Pixel* out) {
  for (int j = 0; j < kFrameWidth; ++j) out[j] = row[sx[j]];
}

#ifdef TOLVARIN_ZOOM_AVX2
// The same, eight pixels per gather. Reached only when the processor has
// AVX2 (and TOLVARIN_SIMD is not off).
__attribute__((target("avx2"))) void gatherRowAvx2(const Pixel* row, const std::int32_t* sx, Pixel* out) {
  const auto* from = reinterpret_cast<const int*>(row);
  for (int j = 0; j < kFrameWidth; j += 8) {
    const __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sx + j));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j), _mm256_i32gather_epi32(from, index, 4));
  }
}
#endif

}  // namespace

namespace reference {

void zoomWrap(const Pixel* src, Pixel* dst, double z) {
  if (!zoomIsUsable(z)) return clearRows(dst);
  const std::int64_t x0 = originX(z);
  const std::int64_t y0 = originY(z);
  Pixel last = 0;
  for (int i = 0; i < kRows; ++i) {
    const std::int64_t sy = sourceStep(y0, i, z, kFrameHeight);
    for (int j = 0; j < kFrameWidth; ++j) {
      const std::int64_t sx = sourceStep(x0, j, z, kFrameWidth);
      const std::int64_t n = sy * kFrameWidth + sx;
      if (n >= 0 && n < kFramePixels) last = src[n];
      dst[i * kFrameWidth + j] = last;
    }
  }
}

}  // namespace reference

// sx depends only on the column and sy only on the row, so both are worked out
// once per call; the pixel loop is then a gather. Rows whose every index is
// in range (all of them for z >= 0) skip the per-pixel range test.
void zoomWrap(const Pixel* src, Pixel* dst, double z) {
  if (!zoomIsUsable(z)) return clearRows(dst);
  const std::int64_t x0 = originX(z);
  const std::int64_t y0 = originY(z);

  std::int32_t sx[kFrameWidth];
  bool columnsInRange = true;
  for (int j = 0; j < kFrameWidth; ++j) {
    sx[j] = static_cast<std::int32_t>(sourceStep(x0, j, z, kFrameWidth));
    columnsInRange = columnsInRange && sx[j] >= 0;
  }

#ifdef TOLVARIN_ZOOM_AVX2
  auto* const gather = detail::simdLevel() == detail::SimdLevel::Avx2 ? gatherRowAvx2 : gatherRow;
#else
  auto* const gather = gatherRow;
#endif
  Pixel last = 0;
  for (int i = 0; i < kRows; ++i) {
    const std::int32_t sy = static_cast<std::int32_t>(sourceStep(y0, i, z, kFrameHeight));
    Pixel* out = dst + i * kFrameWidth;
    if (columnsInRange && sy >= 0) {
      gather(src + sy * kFrameWidth, sx, out);
      last = out[kFrameWidth - 1];
      continue;
    }
    for (int j = 0; j < kFrameWidth; ++j) {
      const std::int32_t n = sy * kFrameWidth + sx[j];
      if (n >= 0 && n < kFramePixels) last = src[n];
      out[j] = last;
    }
  }
}

}  // namespace tolvarin

// zoomWrap: the centred, tiling rescale of the opening scene, as a plain
// double loop (the reference) and as table-driven fast paths: the sse2
// family gathers each row with scalar loads, the avx2 family eight pixels
// per gather instruction.
//
// Both follow one rule. With x0 = 320 - (trunc(160z - 160) rem 320) and
// y0 = 240 - (trunc(120z - 120) rem 240), screen pixel (j, i) of rows 0..238
// reads source index n = (trunc(y0 + i z) rem 240) * 320 + (trunc(x0 + j z) rem 320),
// rem following the dividend's sign. An n outside 0..76799 (only possible for
// z < 0) repeats the last pixel written, 0 before the first.
#include "gfx2d/zoom_wrap.h"

#include <cmath>
#include <cstdint>

#include "gfx2d/kernel_set.h"
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_AVX2_KERNELS
#include <immintrin.h>
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
[[maybe_unused]] void gatherRow(const Pixel* row, const std::int32_t* sx, Pixel* out) {
  for (int j = 0; j < kFrameWidth; ++j) out[j] = row[sx[j]];
}

#ifdef TOLVARIN_AVX2_KERNELS
// The same, eight pixels per gather.
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

namespace {

// sx depends only on the column and sy only on the row, so both are worked out
// once per call; the pixel loop is then a gather. Rows whose every index is
// in range (all of them for z >= 0) skip the per-pixel range test.
template <void (*Gather)(const Pixel*, const std::int32_t*, Pixel*)>
[[maybe_unused]] void zoomWrapByTables(const Pixel* src, Pixel* dst, double z) {
  if (!zoomIsUsable(z)) return clearRows(dst);
  const std::int64_t x0 = originX(z);
  const std::int64_t y0 = originY(z);

  std::int32_t sx[kFrameWidth];
  bool columnsInRange = true;
  for (int j = 0; j < kFrameWidth; ++j) {
    sx[j] = static_cast<std::int32_t>(sourceStep(x0, j, z, kFrameWidth));
    columnsInRange = columnsInRange && sx[j] >= 0;
  }

  Pixel last = 0;
  for (int i = 0; i < kRows; ++i) {
    const std::int32_t sy = static_cast<std::int32_t>(sourceStep(y0, i, z, kFrameHeight));
    Pixel* out = dst + i * kFrameWidth;
    if (columnsInRange && sy >= 0) {
      Gather(src + sy * kFrameWidth, sx, out);
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

}  // namespace

void zoomWrap(const Pixel* src, Pixel* dst, double z) { activeKernels().zoomWrap(src, dst, z); }

#ifdef TOLVARIN_SSE2_KERNELS
void sse2::zoomWrap(const Pixel* src, Pixel* dst, double z) { zoomWrapByTables<gatherRow>(src, dst, z); }
#endif
#ifdef TOLVARIN_AVX2_KERNELS
void avx2::zoomWrap(const Pixel* src, Pixel* dst, double z) { zoomWrapByTables<gatherRowAvx2>(src, dst, z); }
#endif

}  // namespace tolvarin

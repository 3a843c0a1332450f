#pragma once
// zoomWrap's rule, shared by the reference (zoom_wrap.cpp) and the
// table-driven fast paths (zoom_wrap_sse2.cpp, zoom_wrap_avx2.cpp), so that
// every variant rounds identically.
//
// With x0 = 320 - (trunc(160z - 160) rem 320) and
// y0 = 240 - (trunc(120z - 120) rem 240), screen pixel (j, i) of rows 0..238
// reads source index n = (trunc(y0 + i z) rem 240) * 320 + (trunc(x0 + j z) rem 320),
// rem following the dividend's sign. An n outside 0..76799 (only possible for
// z < 0) repeats the last pixel written, 0 before the first.
#include <cmath>
#include <cstdint>

#include "gfx2d/framebuffer.h"

namespace tolvarin::detail::zoom_wrap {

inline constexpr int kRows = 239;  // row 239 of dst is never written

// Beyond this the products no longer fit the integer steps; no scene comes
// anywhere near it (the opening scene's z stays below 25).
inline constexpr double kMaxZoom = 1.0e12;

inline bool zoomIsUsable(double z) { return std::fabs(z) < kMaxZoom; }  // false for NaN too

// The two origins. Integer remainders of int64 values: the sign follows the
// dividend, as the rule asks.
inline std::int64_t originX(double z) { return 320 - static_cast<std::int64_t>(160.0 * z - 160.0) % 320; }
inline std::int64_t originY(double z) { return 240 - static_cast<std::int64_t>(120.0 * z - 120.0) % 240; }

// One source coordinate. The reference and the fast paths call this same
// function, so they round identically.
inline std::int64_t sourceStep(std::int64_t origin, int step, double z, int wrap) {
  return static_cast<std::int64_t>(static_cast<double>(origin) + static_cast<double>(step) * z) % wrap;
}

// An unusable z reaches no source pixel: every written pixel repeats the
// starting value 0.
inline void clearRows(Pixel* dst) {
  for (int n = 0; n < kRows * kFrameWidth; ++n) dst[n] = 0;
}

// The fast paths: sx depends only on the column and sy only on the row, so
// both are worked out once per call; the pixel loop is then a gather, one row
// per Gather(row, sx, out) call. Rows whose every index is in range (all of
// them for z >= 0) skip the per-pixel range test.
template <void (*Gather)(const Pixel*, const std::int32_t*, Pixel*)>
void zoomWrapByTables(const Pixel* src, Pixel* dst, double z) {
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

}  // namespace tolvarin::detail::zoom_wrap

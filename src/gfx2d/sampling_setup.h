#pragma once
// Per-call set-up shared by every variant of the sampling blits, so that the
// reference and the fast paths start from the same numbers, and the pieces
// one kernel's fast paths share across families.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gfx2d/extended_product.h"
#include "gfx2d/framebuffer.h"
#include "gfx2d/trig_tables.h"

namespace tolvarin::detail {

// rotoZoom's per-pixel source steps in 16.16 fixed point: (b, a) along a row,
// (-a, b) down the frame.
struct RotoSteps {
  std::int32_t a;  // trunc(s * sin)
  std::int32_t b;  // trunc(s * cos)
};

inline RotoSteps rotoSteps(int angle, float scale) {
  // The tables hold 0..360; other angles would read outside them.
  if (angle < 0 || angle > 360) angle = ((angle % 360) + 360) % 360;
  // The factor is 65535, not 65536 (scale times it is exact in a double),
  // and the products are formed in extended precision before truncation.
  const double s = static_cast<double>(scale) * 65535.0;
  return {truncatedExtendedProduct(s, sinTable[angle]), truncatedExtendedProduct(s, cosTable[angle])};
}

// The walk over the source: the steps as the unsigned 32-bit values the
// stepping adds (their sums wrap), and the source position of the frame's
// top-left pixel.
struct RotoWalk {
  std::uint32_t a, b;
  std::uint32_t rowU, rowV;
};

inline RotoWalk rotoWalk(int angle, float scale) {
  const RotoSteps steps = rotoSteps(angle, scale);
  const auto a = static_cast<std::uint32_t>(steps.a);
  const auto b = static_cast<std::uint32_t>(steps.b);
  return {a, b, (65536u - b) * 160u, (65536u - a) * 120u};
}

// rotoZoom's wrapped source indices above this one are holes: the pixel keeps
// its previous value.
inline constexpr std::int32_t kRotoLastIndex = 64000;

// The fast rotoZoom paths: copies the pixels of one group of `Lanes` indices
// into out.
template <int Lanes>
inline void fetchRotoGroup(const Pixel* src, Pixel* out, const std::int32_t* index, bool anyHole) {
  if (!anyHole) {
    for (int k = 0; k < Lanes; ++k) out[k] = src[index[k]];
  } else {
    for (int k = 0; k < Lanes; ++k)
      if (index[k] <= kRotoLastIndex) out[k] = src[index[k]];
  }
}

// bumpLight's mode: the low byte taken as a signed 8-bit value.
inline int bumpMode(std::int32_t mode) {
  return static_cast<std::int8_t>(static_cast<std::uint8_t>(mode & 0xFF));
}

// Light offsets beyond this size only ever give gradient sums whose quarter is
// 16 or more, i.e. light 0, so the fast paths clamp them to fit 16-bit lanes.
inline constexpr std::int32_t kBumpOffsetLimit = 2048;

inline std::int32_t clampBumpOffset(std::int32_t offset) {
  return offset < -kBumpOffsetLimit ? -kBumpOffsetLimit
                                    : (offset > kBumpOffsetLimit ? kBumpOffsetLimit : offset);
}

// How the SIMD bumpLight kernels scale a base channel by the mode in a 16-bit
// lane: modes -2 and below divide, as a high-half multiply by
// ceil(65536 / |mode|) (exact for 8-bit channels, and at most 32768); the
// others multiply by the mode, or by 1 for modes -1 to 1.
struct BumpScale {
  bool divide;
  short factor;
};

inline BumpScale bumpScale(std::int32_t mode) {
  const int m = bumpMode(mode);
  if (m <= -2) return {true, static_cast<short>((65536 + (-m) - 1) / (-m))};
  return {false, static_cast<short>(m >= 2 ? m : 1)};
}

// The SIMD kernels light rows 1 to 238; the first and last rows are black.
inline void clearBumpBorderRows(Pixel* dst) {
  std::fill_n(dst, kFrameWidth, Pixel{0});
  std::fill_n(dst + (kFrameHeight - 1) * kFrameWidth, kFrameWidth, Pixel{0});
}

}  // namespace tolvarin::detail

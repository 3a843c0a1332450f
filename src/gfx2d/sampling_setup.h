#pragma once
// Per-call set-up shared by every variant of the sampling blits, so that the
// reference and the fast paths start from the same numbers.
#include <cmath>
#include <cstdint>

#include "gfx2d/extended_product.h"
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

}  // namespace tolvarin::detail

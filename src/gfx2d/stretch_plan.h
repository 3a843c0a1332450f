#pragma once
// The visible part of a stretchBlit rectangle and its source columns, worked
// out once per call so the fast paths need no division per pixel, and the row
// loop those paths share: source rows divided once per row, and rows that
// repeat the previous source row copied from the row just drawn.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "gfx2d/framebuffer.h"

namespace tolvarin::detail {

struct StretchPlan {
  std::int64_t firstRow = 0;     // rectangle rows r drawn: firstRow <= r < endRow
  std::int64_t endRow = 0;
  std::int64_t firstColumn = 0;  // rectangle columns c drawn: firstColumn <= c < endColumn
  std::int64_t endColumn = 0;
  std::int32_t sourceColumn[kFrameWidth];  // c * 320 / w for each drawn column, in order
};

// False when nothing of the rectangle is drawn.
[[nodiscard]] inline bool planStretch(std::int32_t x, std::int32_t y, std::int32_t w,
                                      std::int32_t h, StretchPlan& plan) {
  if (w <= 0 || h <= 0) return false;
  plan.firstRow = std::max<std::int64_t>(0, -std::int64_t{y});
  plan.endRow = std::min<std::int64_t>(h, std::int64_t{kFrameHeight} - y);
  plan.firstColumn = std::max<std::int64_t>(0, -std::int64_t{x});
  plan.endColumn = std::min<std::int64_t>(w, std::int64_t{kFrameWidth} - x);
  if (plan.firstRow >= plan.endRow || plan.firstColumn >= plan.endColumn) return false;
  // c * 320 / w stepped as quotient and remainder: exact, no division per column.
  const std::int64_t numerator = plan.firstColumn * 320;
  std::int64_t quotient = numerator / w;
  std::int64_t remainder = numerator % w;
  const std::int64_t stepQuotient = 320 / w;
  const std::int64_t stepRemainder = 320 % w;
  for (std::int64_t c = plan.firstColumn; c < plan.endColumn; ++c) {
    plan.sourceColumn[c - plan.firstColumn] = static_cast<std::int32_t>(quotient);
    quotient += stepQuotient;
    remainder += stepRemainder;
    if (remainder >= w) {
      remainder -= w;
      ++quotient;
    }
  }
  return true;
}

// Draws the planned rectangle; copyRow(sourceRow, plan, count, out) fills one row.
template <typename CopyRow>
inline void drawPlanned(std::int32_t x, std::int32_t y, std::int32_t h, const Pixel* src, Pixel* dst,
                        const StretchPlan& plan, CopyRow copyRow) {
  const int count = static_cast<int>(plan.endColumn - plan.firstColumn);
  std::int64_t previousRow = -1;
  const Pixel* previousOut = nullptr;
  for (std::int64_t r = plan.firstRow; r < plan.endRow; ++r) {
    const std::int64_t sourceRow = r * 240 / h;
    Pixel* out = dst + (y + r) * kFrameWidth + x + plan.firstColumn;
    if (sourceRow == previousRow) {
      std::memcpy(out, previousOut, static_cast<std::size_t>(count) * sizeof(Pixel));
    } else {
      copyRow(src + sourceRow * kFrameWidth, plan, count, out);
    }
    previousRow = sourceRow;
    previousOut = out;
  }
}

}  // namespace tolvarin::detail

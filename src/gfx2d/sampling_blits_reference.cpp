// Plain versions of the sampling blits: one pixel at a time, exactly the
// per-channel rules. They define the results every fast path must match.
#include <algorithm>
#include <cstdlib>

#include "gfx2d/sampling_blits.h"
#include "gfx2d/sampling_setup.h"

namespace tolvarin::reference {

void rotoZoom(const Pixel* src, Pixel* dst, int angle, float scale) {
  const detail::RotoWalk walk = detail::rotoWalk(angle, scale);
  const std::uint32_t a = walk.a, b = walk.b;
  std::uint32_t rowU = walk.rowU, rowV = walk.rowV;
  for (int y = 0; y < kFrameHeight; ++y) {
    std::uint32_t u = rowU;
    std::uint32_t v = rowV;
    Pixel* out = dst + y * kFrameWidth;
    for (int x = 0; x < kFrameWidth; ++x) {
      const std::int32_t row = static_cast<std::int32_t>(v) >> 16;  // arithmetic shift
      const std::int32_t column = static_cast<std::int32_t>(u) >> 16;
      const std::uint32_t index = static_cast<std::uint32_t>(row * 320 + column) & 0xFFFFu;
      // Indices 64001..65535 leave holes that show the previous frame.
      if (index <= 64000u) out[x] = src[index];
      u += b;
      v += a;
    }
    rowU -= a;
    rowV += b;
  }
}

void stretchBlit(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 const Pixel* src, Pixel* dst) {
  if (h <= 0 || w <= 0) return;
  // Only the part of the rectangle inside the frame is drawn; the source
  // position of each drawn pixel is the one of the whole rectangle.
  const std::int64_t firstRow = std::max<std::int64_t>(0, -std::int64_t{y});
  const std::int64_t endRow = std::min<std::int64_t>(h, std::int64_t{kFrameHeight} - y);
  const std::int64_t firstColumn = std::max<std::int64_t>(0, -std::int64_t{x});
  const std::int64_t endColumn = std::min<std::int64_t>(w, std::int64_t{kFrameWidth} - x);
  for (std::int64_t r = firstRow; r < endRow; ++r) {
    const std::int64_t sourceRow = r * 240 / h;
    for (std::int64_t c = firstColumn; c < endColumn; ++c) {
      dst[(y + r) * kFrameWidth + x + c] = src[sourceRow * kFrameWidth + c * 320 / w];
    }
  }
}

void bumpLight(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
               const Pixel* relief, std::int32_t mode) {
  const int m = detail::bumpMode(mode);
  for (int y = 1; y <= 238; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      const int p = y * kFrameWidth + x;
      // Neighbours by linear index: at the row ends they come from the
      // adjacent rows.
      const Pixel left = relief[p - 1];
      const Pixel right = relief[p + 1];
      const Pixel up = relief[p - kFrameWidth];
      const Pixel down = relief[p + kFrameWidth];
      const Pixel b = base[p];
      Pixel out = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        const std::int64_t sumX = std::int64_t{static_cast<std::int32_t>((left >> shift) & 0xFF)} -
                                  static_cast<std::int32_t>((right >> shift) & 0xFF) + offsetX + x;
        const std::int64_t sumY = std::int64_t{static_cast<std::int32_t>((up >> shift) & 0xFF)} -
                                  static_cast<std::int32_t>((down >> shift) & 0xFF) + offsetY + (y - 1);
        // Any quarter of 16 or more already gives light 0; capping it keeps
        // the squares small for any offset.
        const std::int64_t gx = std::min<std::int64_t>(std::llabs(sumX) >> 2, 16);
        const std::int64_t gy = std::min<std::int64_t>(std::llabs(sumY) >> 2, 16);
        const std::int64_t light = std::max<std::int64_t>(0, 255 - gx * gx - gy * gy);

        std::int32_t channel = static_cast<std::int32_t>((b >> shift) & 0xFF);
        if (m >= 2) {
          channel *= m;
        } else if (m <= -1) {
          channel /= -m;
        }
        const std::int64_t value = std::min<std::int64_t>(255, channel + light);
        out |= static_cast<Pixel>(value) << shift;
      }
      dst[p] = out;
    }
  }
  std::fill_n(dst, kFrameWidth, Pixel{0});
  std::fill_n(dst + 239 * kFrameWidth, kFrameWidth, Pixel{0});
}

}  // namespace tolvarin::reference

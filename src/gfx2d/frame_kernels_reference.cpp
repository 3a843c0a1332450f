// Plain versions of the frame kernels: one pixel at a time, exactly the
// per-channel rules. They define the results every fast path must match.
#include <cstdlib>

#include "gfx2d/frame_kernels.h"
#include "gfx2d/pixel_ops.h"
#include "gfx2d/screen.h"

namespace tolvarin::reference {

void fillFrame(Pixel* dst, std::uint32_t colour) {
  for (int i = 0; i < kFramePixels; ++i) dst[i] = colour;
}

void copyFrame(const Pixel* src, Pixel* dst) {
  for (int i = 0; i < kFramePixels; ++i) dst[i] = src[i];
}

void crossFade(const Pixel* srcA, const Pixel* srcB, Pixel* dst, std::int32_t weightR,
               std::int32_t weightG, std::int32_t weightB) {
  const detail::FadeWeights8 weights = detail::fadeWeights(weightR, weightG, weightB);
  for (int i = 0; i < kFramePixels; ++i) dst[i] = detail::fadePixel(srcA[i], srcB[i], weights);
}

void overlayKeyed(const Pixel* top, const Pixel* bottom, Pixel* dst) {
  for (int i = 0; i < kFramePixels; ++i) dst[i] = detail::overlayPixel(top[i], bottom[i]);
}

void maskFrame(const Pixel* src, const Pixel* mask, Pixel* dst) {
  for (int i = 0; i < kFramePixels; ++i) dst[i] = detail::maskPixel(src[i], mask[i]);
}

void averageFrames(Pixel* dst, const Pixel* srcA, const Pixel* srcB) {
  for (int i = 0; i < kFramePixels; ++i) dst[i] = detail::averagePixel(srcA[i], srcB[i]);
}

void subtractFromBytes(const Pixel* src, Pixel* dst, std::uint8_t amount) {
  for (int i = 0; i < kFramePixels; ++i) dst[i] = detail::subtractPixel(src[i], amount);
}

void mirrorQuadrants(Pixel* frame) {
  for (int row = 0; row < 120; ++row) {
    Pixel* line = frame + row * kFrameWidth;
    for (int x = 0; x < 160; ++x) line[319 - x] = line[x];
  }
  // 119 rows, not 120: row 239 keeps what it held.
  for (int k = 0; k < 119; ++k) {
    const Pixel* from = frame + (119 - k) * kFrameWidth;
    Pixel* to = frame + (120 + k) * kFrameWidth;
    for (int x = 0; x < kFrameWidth; ++x) to[x] = from[x];
  }
}

void drawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
              std::uint32_t colour, Pixel* dst) {
  const std::int32_t width = static_cast<std::uint16_t>(screenWidth);
  const std::int32_t height = static_cast<std::uint16_t>(screenHeight);
  // No clipping: a line with any endpoint off screen is not drawn at all.
  if (x0 < 0 || y0 < 0 || x1 < 0 || y1 < 0) return;
  if (x0 >= width || x1 >= width || y0 >= height || y1 >= height) return;

  const std::int32_t dx = x1 - x0;
  const std::int32_t dy = y1 - y0;
  const std::int32_t sx = (dx > 0) - (dx < 0);
  const std::int32_t sy = (dy > 0) - (dy < 0);
  const bool xMajor = std::abs(dx) > std::abs(dy);  // a tie steps as y-major
  const std::int32_t major = xMajor ? std::abs(dx) : std::abs(dy);
  const std::int32_t minor = xMajor ? std::abs(dy) : std::abs(dx);
  const std::int32_t straightX = xMajor ? sx : 0;
  const std::int32_t straightY = xMajor ? 0 : sy;

  std::int32_t err = major >> 1;
  std::int32_t x = x0;
  std::int32_t y = y0;
  for (std::int32_t n = 0; n <= major; ++n) {
    dst[y * kFrameWidth + x] = colour;
    err += minor;
    if (err >= major) {
      err -= major;
      x += sx;
      y += sy;
    } else {
      x += straightX;
      y += straightY;
    }
  }
}

}  // namespace tolvarin::reference

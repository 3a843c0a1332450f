// The frame kernels as callers see them: each picks the fastest variant the
// processor runs, or the reference when TOLVARIN_SIMD=off.
#include "gfx2d/frame_kernels.h"

#include "gfx2d/kernel_variants.h"
#include "gfx2d/simd.h"

namespace tolvarin {

void fillFrame(Pixel* dst, std::uint32_t colour) {
  TOLVARIN_DISPATCH(fillFrame, dst, colour)
  reference::fillFrame(dst, colour);
}

void copyFrame(const Pixel* src, Pixel* dst) {
#ifdef TOLVARIN_X86_KERNELS
  // 16-byte steps copy a frame as fast as 32-byte ones (the copy is bound by
  // the caches) and are not slowed by a misaligned destination.
  if (detail::simdLevel() != detail::SimdLevel::None) return sse2::copyFrame(src, dst);
#endif
  reference::copyFrame(src, dst);
}

void crossFade(const Pixel* srcA, const Pixel* srcB, Pixel* dst, std::int32_t weightR,
               std::int32_t weightG, std::int32_t weightB) {
  TOLVARIN_DISPATCH(crossFade, srcA, srcB, dst, weightR, weightG, weightB)
  reference::crossFade(srcA, srcB, dst, weightR, weightG, weightB);
}

void overlayKeyed(const Pixel* top, const Pixel* bottom, Pixel* dst) {
  TOLVARIN_DISPATCH(overlayKeyed, top, bottom, dst)
  reference::overlayKeyed(top, bottom, dst);
}

void maskFrame(const Pixel* src, const Pixel* mask, Pixel* dst) {
  TOLVARIN_DISPATCH(maskFrame, src, mask, dst)
  reference::maskFrame(src, mask, dst);
}

void averageFrames(Pixel* dst, const Pixel* srcA, const Pixel* srcB) {
  TOLVARIN_DISPATCH(averageFrames, dst, srcA, srcB)
  reference::averageFrames(dst, srcA, srcB);
}

void mirrorQuadrants(Pixel* frame) {
  TOLVARIN_DISPATCH(mirrorQuadrants, frame)
  reference::mirrorQuadrants(frame);
}

void drawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
              std::uint32_t colour, Pixel* dst) {
  // A line touches at most 320 pixels; there is nothing for SIMD to win.
  reference::drawLine(x0, y0, x1, y1, colour, dst);
}

}  // namespace tolvarin

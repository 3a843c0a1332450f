// The frame kernels as callers see them: each calls the active kernel set.
#include "gfx2d/frame_kernels.h"

#include "gfx2d/kernel_set.h"

namespace tolvarin {

void fillFrame(Pixel* dst, std::uint32_t colour) { activeKernels().fillFrame(dst, colour); }

void copyFrame(const Pixel* src, Pixel* dst) { activeKernels().copyFrame(src, dst); }

void crossFade(const Pixel* srcA, const Pixel* srcB, Pixel* dst, std::int32_t weightR,
               std::int32_t weightG, std::int32_t weightB) {
  activeKernels().crossFade(srcA, srcB, dst, weightR, weightG, weightB);
}

void overlayKeyed(const Pixel* top, const Pixel* bottom, Pixel* dst) {
  activeKernels().overlayKeyed(top, bottom, dst);
}

void maskFrame(const Pixel* src, const Pixel* mask, Pixel* dst) { activeKernels().maskFrame(src, mask, dst); }

void averageFrames(Pixel* dst, const Pixel* srcA, const Pixel* srcB) {
  activeKernels().averageFrames(dst, srcA, srcB);
}

void mirrorQuadrants(Pixel* frame) { activeKernels().mirrorQuadrants(frame); }

void drawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
              std::uint32_t colour, Pixel* dst) {
  activeKernels().drawLine(x0, y0, x1, y1, colour, dst);
}

void subtractFromBytes(const Pixel* src, Pixel* dst, std::uint8_t amount) {
  activeKernels().subtractFromBytes(src, dst, amount);
}

}  // namespace tolvarin

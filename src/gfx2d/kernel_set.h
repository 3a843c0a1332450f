#pragma once
// Every pixel kernel as one set of functions per implementation family: the
// plain references and the SIMD fast paths. The public kernel functions call
// the active set, chosen once per run: the fastest family this processor
// runs, or the references when the environment variable TOLVARIN_SIMD is
// "off". That one choice covers every kernel of the program.
#include <cstdint>
#include <vector>

#include "gfx2d/framebuffer.h"

namespace tolvarin {

struct KernelSet {
  const char* name;  // "reference", "sse2", "simd128", "avx2", "avx512", "neon"
  void (*fillFrame)(Pixel* dst, std::uint32_t colour);
  void (*copyFrame)(const Pixel* src, Pixel* dst);
  void (*crossFade)(const Pixel* srcA, const Pixel* srcB, Pixel* dst, std::int32_t weightR, std::int32_t weightG,
                    std::int32_t weightB);
  void (*overlayKeyed)(const Pixel* top, const Pixel* bottom, Pixel* dst);
  void (*maskFrame)(const Pixel* src, const Pixel* mask, Pixel* dst);
  void (*averageFrames)(Pixel* dst, const Pixel* srcA, const Pixel* srcB);
  void (*mirrorQuadrants)(Pixel* frame);
  void (*drawLine)(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::uint32_t colour,
                   Pixel* dst);
  void (*subtractFromBytes)(const Pixel* src, Pixel* dst, std::uint8_t amount);
  void (*rotoZoom)(const Pixel* src, Pixel* dst, int angle, float scale);
  void (*stretchBlit)(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, const Pixel* src,
                      Pixel* dst);
  void (*bumpLight)(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
                    const Pixel* relief, std::int32_t mode);
  void (*zoomWrap)(const Pixel* src, Pixel* dst, double z);
  void (*tunnelPixels)(const std::uint8_t* distance, const std::uint8_t* angle, const Pixel* texture,
                       const std::int32_t* wobble, int shift, Pixel* dst);
};

// The plain scalar kernels, which define the results.
[[nodiscard]] const KernelSet& referenceKernels();

// Every set this build can run on this processor, the references first, then
// from the slowest family to the fastest.
[[nodiscard]] std::vector<const KernelSet*> availableKernelSets();

// The set the kernel functions call: chosen on the first call and kept.
[[nodiscard]] const KernelSet& activeKernels();

namespace detail {
// Tests only: makes the kernel functions call `set` (null: the chosen one again).
void overrideActiveKernels(const KernelSet* set);
}  // namespace detail

}  // namespace tolvarin

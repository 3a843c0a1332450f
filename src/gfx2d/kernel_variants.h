#pragma once
// The x86-64 fast paths, one namespace per instruction set. The dispatchers in
// frame_kernels.cpp and sampling_blits.cpp choose among them; tests call them
// directly to compare each with the reference. The avx2 functions may only be
// called when detail::cpuHasAvx2() is true. copyFrame has only the SSE2
// variant (wider steps gain nothing on a copy), drawLine none at all.
#include <cstdint>

#include "gfx2d/framebuffer.h"

#if defined(__x86_64__) && defined(__GNUC__)
#define TOLVARIN_X86_KERNELS 1

namespace tolvarin::sse2 {
void fillFrame(Pixel* dst, std::uint32_t colour);
void copyFrame(const Pixel* src, Pixel* dst);
void crossFade(const Pixel* srcA, const Pixel* srcB, Pixel* dst, std::int32_t weightR,
               std::int32_t weightG, std::int32_t weightB);
void overlayKeyed(const Pixel* top, const Pixel* bottom, Pixel* dst);
void maskFrame(const Pixel* src, const Pixel* mask, Pixel* dst);
void averageFrames(Pixel* dst, const Pixel* srcA, const Pixel* srcB);
void mirrorQuadrants(Pixel* frame);
void rotoZoom(const Pixel* src, Pixel* dst, int angle, float scale);
void stretchBlit(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 const Pixel* src, Pixel* dst);
void bumpLight(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
               const Pixel* relief, std::int32_t mode);
}  // namespace tolvarin::sse2

namespace tolvarin::avx2 {
void fillFrame(Pixel* dst, std::uint32_t colour);
void crossFade(const Pixel* srcA, const Pixel* srcB, Pixel* dst, std::int32_t weightR,
               std::int32_t weightG, std::int32_t weightB);
void overlayKeyed(const Pixel* top, const Pixel* bottom, Pixel* dst);
void maskFrame(const Pixel* src, const Pixel* mask, Pixel* dst);
void averageFrames(Pixel* dst, const Pixel* srcA, const Pixel* srcB);
void mirrorQuadrants(Pixel* frame);
void rotoZoom(const Pixel* src, Pixel* dst, int angle, float scale);
void stretchBlit(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 const Pixel* src, Pixel* dst);
void bumpLight(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
               const Pixel* relief, std::int32_t mode);
}  // namespace tolvarin::avx2

// Inside a dispatcher: returns through the AVX2 or SSE2 variant of a kernel,
// or falls through to the statement after it when fast paths are off.
#define TOLVARIN_DISPATCH(name, ...)                              \
  switch (detail::simdLevel()) {                                  \
    case detail::SimdLevel::Avx2: return avx2::name(__VA_ARGS__); \
    case detail::SimdLevel::Sse2: return sse2::name(__VA_ARGS__); \
    case detail::SimdLevel::None: break;                          \
  }

#else
#define TOLVARIN_DISPATCH(name, ...)
#endif

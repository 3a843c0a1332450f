#pragma once
// The fast paths, one namespace per family. kernel_set.cpp gathers them into
// the sets the dispatch chooses from; tests reach them through those sets.
//
// sse2: 128-bit steps (and the table-driven versions of kernels that gain
//   from tables more than from vectors). Built wherever SSE2 is the baseline.
// avx2: 256-bit steps, in functions with the avx2 target attribute (never
//   whole files), reached only after a run-time check of the processor.
// avx512: 512-bit steps (AVX-512 BW) for the kernel that gains most from
//   them, bumpLight; the same attribute and check rules as avx2.
// neon: 128-bit steps on arm64, where NEON (Advanced SIMD) is part of every
//   processor: built whenever the compiler targets it, no run-time check;
//   only for the kernels GCC's own vectorising of the references leaves slow.
// simd128 (WebAssembly with -msimd128): no code of its own; the SSE2 family
//   compiled to wasm SIMD through Emscripten's SSE2 headers, for the kernels
//   where that beats the references (kernel_set.cpp).
// A set takes the kernels its family does not speed up from a slower family
// or the references; kernel_set.cpp says which and why.
//
// Family F's code of a kernel is in <kernel>_<F>.cpp, the kernel's name in
// snake case (avx2::bumpLight in bump_light_avx2.cpp), except the per-pixel
// frame kernels, which share frame_kernels_<F>.cpp. Each such file holds one
// family only, inside #ifdef TOLVARIN_<F>_KERNELS below, so that builds
// without the family compile it to nothing. CMakeLists.txt has the whole rule.
#include <cstdint>

#include "gfx2d/framebuffer.h"

#if defined(__SSE2__)
#define TOLVARIN_SSE2_KERNELS 1
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#define TOLVARIN_AVX2_KERNELS 1
#define TOLVARIN_AVX512_KERNELS 1
#endif
#if defined(__aarch64__) && defined(__ARM_NEON)
#define TOLVARIN_NEON_KERNELS 1
#endif
#if defined(__SSE2__) && defined(__wasm_simd128__)
#define TOLVARIN_SIMD128_KERNELS 1
#endif

namespace tolvarin {

#ifdef TOLVARIN_SSE2_KERNELS
namespace sse2 {
void fillFrame(Pixel* dst, std::uint32_t colour);
void copyFrame(const Pixel* src, Pixel* dst);
void crossFade(const Pixel* srcA, const Pixel* srcB, Pixel* dst, std::int32_t weightR,
               std::int32_t weightG, std::int32_t weightB);
void overlayKeyed(const Pixel* top, const Pixel* bottom, Pixel* dst);
void maskFrame(const Pixel* src, const Pixel* mask, Pixel* dst);
void averageFrames(Pixel* dst, const Pixel* srcA, const Pixel* srcB);
void mirrorQuadrants(Pixel* frame);
void subtractFromBytes(const Pixel* src, Pixel* dst, std::uint8_t amount);
void rotoZoom(const Pixel* src, Pixel* dst, int angle, float scale);
void stretchBlit(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 const Pixel* src, Pixel* dst);
void bumpLight(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
               const Pixel* relief, std::int32_t mode);
void zoomWrap(const Pixel* src, Pixel* dst, double z);
void tunnelPixels(const std::uint8_t* distance, const std::uint8_t* angle, const Pixel* texture,
                  const std::int32_t* wobble, int shift, Pixel* dst);
}  // namespace sse2
#endif

#ifdef TOLVARIN_AVX2_KERNELS
namespace avx2 {
void fillFrame(Pixel* dst, std::uint32_t colour);
void crossFade(const Pixel* srcA, const Pixel* srcB, Pixel* dst, std::int32_t weightR,
               std::int32_t weightG, std::int32_t weightB);
void overlayKeyed(const Pixel* top, const Pixel* bottom, Pixel* dst);
void maskFrame(const Pixel* src, const Pixel* mask, Pixel* dst);
void averageFrames(Pixel* dst, const Pixel* srcA, const Pixel* srcB);
void mirrorQuadrants(Pixel* frame);
void subtractFromBytes(const Pixel* src, Pixel* dst, std::uint8_t amount);
void rotoZoom(const Pixel* src, Pixel* dst, int angle, float scale);
void stretchBlit(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 const Pixel* src, Pixel* dst);
void bumpLight(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
               const Pixel* relief, std::int32_t mode);
void zoomWrap(const Pixel* src, Pixel* dst, double z);
}  // namespace avx2
#endif

#ifdef TOLVARIN_AVX512_KERNELS
namespace avx512 {
void bumpLight(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
               const Pixel* relief, std::int32_t mode);
}  // namespace avx512
#endif

#ifdef TOLVARIN_NEON_KERNELS
namespace neon {
void crossFade(const Pixel* srcA, const Pixel* srcB, Pixel* dst, std::int32_t weightR,
               std::int32_t weightG, std::int32_t weightB);
void averageFrames(Pixel* dst, const Pixel* srcA, const Pixel* srcB);
void subtractFromBytes(const Pixel* src, Pixel* dst, std::uint8_t amount);
void rotoZoom(const Pixel* src, Pixel* dst, int angle, float scale);
void stretchBlit(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 const Pixel* src, Pixel* dst);
void bumpLight(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
               const Pixel* relief, std::int32_t mode);
void zoomWrap(const Pixel* src, Pixel* dst, double z);
void tunnelPixels(const std::uint8_t* distance, const std::uint8_t* angle, const Pixel* texture,
                  const std::int32_t* wobble, int shift, Pixel* dst);
}  // namespace neon
#endif

}  // namespace tolvarin

#include "gfx2d/kernel_set.h"

#include <atomic>

#include "gfx2d/frame_kernels.h"
#include "gfx2d/kernel_variants.h"
#include "gfx2d/sampling_blits.h"
#include "gfx2d/simd.h"
#include "gfx2d/tunnel_pixels.h"
#include "gfx2d/zoom_wrap.h"

// The tables name every slot, so each line says which family fills it (a set
// that differs from another in a few kernels is that set with those slots
// named). Slots out of KernelSet's order stop the build (clang would only
// warn), and so does a kernel whose type does not match its slot; a slot left
// out is found by the dispatch test, which checks every set has all of them.
#ifdef __clang__
#pragma clang diagnostic error "-Wreorder-init-list"
#endif

namespace tolvarin {
namespace {

constexpr KernelSet kReference{
    .name = "reference",
    .fillFrame = reference::fillFrame,
    .copyFrame = reference::copyFrame,
    .crossFade = reference::crossFade,
    .overlayKeyed = reference::overlayKeyed,
    .maskFrame = reference::maskFrame,
    .averageFrames = reference::averageFrames,
    .mirrorQuadrants = reference::mirrorQuadrants,
    .drawLine = reference::drawLine,
    .subtractFromBytes = reference::subtractFromBytes,
    .rotoZoom = reference::rotoZoom,
    .stretchBlit = reference::stretchBlit,
    .bumpLight = reference::bumpLight,
    .zoomWrap = reference::zoomWrap,
    .tunnelPixels = reference::tunnelPixels,
};

#ifdef TOLVARIN_SSE2_KERNELS
// A line touches at most 320 pixels: there is nothing for vectors to win.
constexpr KernelSet kSse2{
    .name = "sse2",
    .fillFrame = sse2::fillFrame,
    .copyFrame = sse2::copyFrame,
    .crossFade = sse2::crossFade,
    .overlayKeyed = sse2::overlayKeyed,
    .maskFrame = sse2::maskFrame,
    .averageFrames = sse2::averageFrames,
    .mirrorQuadrants = sse2::mirrorQuadrants,
    .drawLine = reference::drawLine,
    .subtractFromBytes = sse2::subtractFromBytes,
    .rotoZoom = sse2::rotoZoom,
    .stretchBlit = sse2::stretchBlit,
    .bumpLight = sse2::bumpLight,
    .zoomWrap = sse2::zoomWrap,
    .tunnelPixels = sse2::tunnelPixels,
};
#endif

#ifdef TOLVARIN_SIMD128_KERNELS
// The SSE2 family compiled to wasm SIMD, where it pays: under node the
// references (which the compiler vectorises for wasm itself) fill, mask,
// cross-fade and overlay a frame as fast or faster than Emscripten's
// translation of the SSE2 code (docs/performance.md).
constexpr KernelSet kSimd128 = [] {
  KernelSet set = kSse2;
  set.name = "simd128";
  set.fillFrame = reference::fillFrame;
  set.crossFade = reference::crossFade;
  set.overlayKeyed = reference::overlayKeyed;
  set.maskFrame = reference::maskFrame;
  return set;
}();
#endif

#ifdef TOLVARIN_AVX2_KERNELS
// 32-byte steps copy a frame no faster than 16-byte ones (the copy is bound
// by the caches), and the tunnel's lookups are scalar loads either way.
constexpr KernelSet kAvx2{
    .name = "avx2",
    .fillFrame = avx2::fillFrame,
    .copyFrame = sse2::copyFrame,
    .crossFade = avx2::crossFade,
    .overlayKeyed = avx2::overlayKeyed,
    .maskFrame = avx2::maskFrame,
    .averageFrames = avx2::averageFrames,
    .mirrorQuadrants = avx2::mirrorQuadrants,
    .drawLine = reference::drawLine,
    .subtractFromBytes = avx2::subtractFromBytes,
    .rotoZoom = avx2::rotoZoom,
    .stretchBlit = avx2::stretchBlit,
    .bumpLight = avx2::bumpLight,
    .zoomWrap = avx2::zoomWrap,
    .tunnelPixels = sse2::tunnelPixels,
};
#endif

#ifdef TOLVARIN_AVX512_KERNELS
// The AVX2 set with AVX-512's bumpLight, the heaviest kernel of the light scenes.
constexpr KernelSet kAvx512 = [] {
  KernelSet set = kAvx2;
  set.name = "avx512";
  set.bumpLight = avx512::bumpLight;
  return set;
}();
#endif

#ifdef TOLVARIN_NEON_KERNELS
// NEON where it pays. GCC vectorises the references of fill, copy, overlay,
// mask and the mirror for arm64 by itself, to the same loads, stores and
// instruction counts per pixel as NEON by hand; the byte arithmetic of the
// fade, the average and the subtraction it does not, and the sampling
// kernels gain from the vector index maths and the tables of the x86
// families (docs/performance.md). A line touches at most 320 pixels.
constexpr KernelSet kNeon{
    .name = "neon",
    .fillFrame = reference::fillFrame,
    .copyFrame = reference::copyFrame,
    .crossFade = neon::crossFade,
    .overlayKeyed = reference::overlayKeyed,
    .maskFrame = reference::maskFrame,
    .averageFrames = neon::averageFrames,
    .mirrorQuadrants = reference::mirrorQuadrants,
    .drawLine = reference::drawLine,
    .subtractFromBytes = neon::subtractFromBytes,
    .rotoZoom = neon::rotoZoom,
    .stretchBlit = neon::stretchBlit,
    .bumpLight = neon::bumpLight,
    .zoomWrap = neon::zoomWrap,
    .tunnelPixels = neon::tunnelPixels,
};
#endif

const KernelSet& chooseKernels() {
  if (!simdEnabled()) return kReference;
  return *availableKernelSets().back();
}

std::atomic<const KernelSet*> g_override{nullptr};

}  // namespace

const KernelSet& referenceKernels() { return kReference; }

std::vector<const KernelSet*> availableKernelSets() {
  std::vector<const KernelSet*> sets{&kReference};
#ifdef TOLVARIN_SSE2_KERNELS
  sets.push_back(&kSse2);
#endif
#ifdef TOLVARIN_SIMD128_KERNELS
  sets.push_back(&kSimd128);
#endif
#ifdef TOLVARIN_NEON_KERNELS
  sets.push_back(&kNeon);
#endif
#ifdef TOLVARIN_AVX2_KERNELS
  if (detail::cpuHasAvx2()) sets.push_back(&kAvx2);
#endif
#ifdef TOLVARIN_AVX512_KERNELS
  if (detail::cpuHasAvx2() && detail::cpuHasAvx512()) sets.push_back(&kAvx512);
#endif
  return sets;
}

const KernelSet& activeKernels() {
  static const KernelSet& chosen = chooseKernels();
  const KernelSet* forced = g_override.load(std::memory_order_relaxed);
  return forced != nullptr ? *forced : chosen;
}

namespace detail {
void overrideActiveKernels(const KernelSet* set) { g_override.store(set, std::memory_order_relaxed); }
}  // namespace detail

}  // namespace tolvarin

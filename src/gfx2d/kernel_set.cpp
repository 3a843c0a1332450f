#include "gfx2d/kernel_set.h"

#include <atomic>

#include "gfx2d/frame_kernels.h"
#include "gfx2d/kernel_variants.h"
#include "gfx2d/sampling_blits.h"
#include "gfx2d/simd.h"
#include "gfx2d/tunnel_pixels.h"
#include "gfx2d/zoom_wrap.h"

namespace tolvarin {
namespace {

constexpr KernelSet kReference{
    "reference",           reference::fillFrame,       reference::copyFrame,    reference::crossFade,
    reference::overlayKeyed, reference::maskFrame,     reference::averageFrames, reference::mirrorQuadrants,
    reference::drawLine,   reference::subtractFromBytes, reference::rotoZoom,   reference::stretchBlit,
    reference::bumpLight,  reference::zoomWrap,        reference::tunnelPixels,
};

#ifdef TOLVARIN_SSE2_KERNELS
// A line touches at most 320 pixels: there is nothing for vectors to win.
constexpr KernelSet kSse2{
    "sse2",           sse2::fillFrame,        sse2::copyFrame,   sse2::crossFade,  sse2::overlayKeyed,
    sse2::maskFrame,  sse2::averageFrames,    sse2::mirrorQuadrants, reference::drawLine,
    sse2::subtractFromBytes, sse2::rotoZoom,  sse2::stretchBlit, sse2::bumpLight,  sse2::zoomWrap,
    sse2::tunnelPixels,
};
#endif

#ifdef TOLVARIN_SIMD128_KERNELS
// The SSE2 family compiled to wasm SIMD, where it pays: under node the
// references (which the compiler vectorises for wasm itself) fill, mask,
// cross-fade and overlay a frame as fast or faster than Emscripten's
// translation of the SSE2 code (docs/performance.md).
constexpr KernelSet kSimd128{
    "simd128",        reference::fillFrame,   sse2::copyFrame,   reference::crossFade, reference::overlayKeyed,
    reference::maskFrame, sse2::averageFrames, sse2::mirrorQuadrants, reference::drawLine,
    sse2::subtractFromBytes, sse2::rotoZoom,  sse2::stretchBlit, sse2::bumpLight,  sse2::zoomWrap,
    sse2::tunnelPixels,
};
#endif

#ifdef TOLVARIN_AVX2_KERNELS
// 32-byte steps copy a frame no faster than 16-byte ones (the copy is bound
// by the caches), and the tunnel's lookups are scalar loads either way.
constexpr KernelSet kAvx2{
    "avx2",           avx2::fillFrame,        sse2::copyFrame,   avx2::crossFade,  avx2::overlayKeyed,
    avx2::maskFrame,  avx2::averageFrames,    avx2::mirrorQuadrants, reference::drawLine,
    avx2::subtractFromBytes, avx2::rotoZoom,  avx2::stretchBlit, avx2::bumpLight,  avx2::zoomWrap,
    sse2::tunnelPixels,
};
#endif

#ifdef TOLVARIN_AVX512_KERNELS
// The AVX2 set with AVX-512's bumpLight, the heaviest kernel of the light scenes.
constexpr KernelSet kAvx512{
    "avx512",         avx2::fillFrame,        sse2::copyFrame,   avx2::crossFade,  avx2::overlayKeyed,
    avx2::maskFrame,  avx2::averageFrames,    avx2::mirrorQuadrants, reference::drawLine,
    avx2::subtractFromBytes, avx2::rotoZoom,  avx2::stretchBlit, avx512::bumpLight, avx2::zoomWrap,
    sse2::tunnelPixels,
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

#pragma once
// The kernels the golden test pins, one entry per implementation family:
// the plain references, the SIMD fast paths this machine runs, and what the
// program's dispatch picks.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#define XXH_INLINE_ALL
#include <xxhash.h>

#include "gfx2d/frame_kernels.h"
#include "gfx2d/kernel_variants.h"
#include "gfx2d/sampling_blits.h"
#include "gfx2d/simd.h"
#include "gfx2d/trig_tables.h"
#include "scenes/byte_fade.h"
#include "scenes/greetings.h"
#include "scenes/logo_zoom.h"

namespace tolvarin::golden {

struct KernelVariant {
  std::string name;
  std::function<void(Pixel*, std::uint32_t)> fillFrame;
  std::function<void(const Pixel*, Pixel*)> copyFrame;
  std::function<void(const Pixel*, const Pixel*, Pixel*, std::int32_t, std::int32_t, std::int32_t)> crossFade;
  std::function<void(const Pixel*, const Pixel*, Pixel*)> overlayKeyed;
  std::function<void(const Pixel*, const Pixel*, Pixel*)> maskFrame;
  std::function<void(Pixel*, const Pixel*, const Pixel*)> averageFrames;
  std::function<void(Pixel*)> mirrorQuadrants;
  std::function<void(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::uint32_t, Pixel*)> drawLine;
  std::function<void(const Pixel*, Pixel*, std::uint8_t)> subtractFromBytes;
  std::function<void(const Pixel*, Pixel*, int, float)> rotoZoom;
  std::function<void(std::int32_t, std::int32_t, std::int32_t, std::int32_t, const Pixel*, Pixel*)> stretchBlit;
  std::function<void(std::int32_t, std::int32_t, const Pixel*, Pixel*, const Pixel*, std::int32_t)> bumpLight;
  std::function<void(const Pixel*, Pixel*, double)> zoomWrap;
  // One tunnel frame of the greetings at frame frameNo, wobble phase and shift.
  std::function<void(const Pixel* texture, int frameNo, int phase, int shift, Pixel* dst)> drawTunnel;
};

// The demo's tunnel tables, built once.
inline const TunnelTables& tunnelTables() {
  static std::unique_ptr<std::uint8_t[]> distance(new std::uint8_t[kFramePixels]);
  static std::unique_ptr<std::uint8_t[]> angle(new std::uint8_t[kFramePixels]);
  static const TunnelTables tables = [] {
    TunnelTables t{240, 320, distance.get(), angle.get()};
    buildTunnelTables(t);
    return t;
  }();
  return tables;
}

inline std::uint64_t tunnelTablesHash() {
  const TunnelTables& t = tunnelTables();
  return XXH3_64bits(t.distance, kFramePixels) ^ XXH3_64bits(t.angle, kFramePixels) * 3;
}

inline void tunnelFrame(const Pixel* texture, int frameNo, int phase, int shift, Pixel* dst) {
  std::int32_t wobble[kWobbleEntries];
  greetingsWobble(greetingsAmplitude(frameNo), phase, wobble);
  drawTunnel(tunnelTables(), texture, wobble, shift, dst);
}

inline std::vector<KernelVariant> kernelVariants() {
  std::vector<KernelVariant> list;
  list.push_back({"reference", reference::fillFrame, reference::copyFrame, reference::crossFade,
                  reference::overlayKeyed, reference::maskFrame, reference::averageFrames,
                  reference::mirrorQuadrants, reference::drawLine, subtractFromBytes, reference::rotoZoom,
                  reference::stretchBlit, reference::bumpLight, reference::zoomWrap, tunnelFrame});
  list.push_back({"dispatched", fillFrame, copyFrame, crossFade, overlayKeyed, maskFrame, averageFrames,
                  mirrorQuadrants, drawLine, subtractFromBytes, rotoZoom, stretchBlit, bumpLight, zoomWrap,
                  tunnelFrame});
#ifdef TOLVARIN_X86_KERNELS
  list.push_back({"sse2", sse2::fillFrame, sse2::copyFrame, sse2::crossFade, sse2::overlayKeyed, sse2::maskFrame,
                  sse2::averageFrames, sse2::mirrorQuadrants, reference::drawLine, subtractFromBytes,
                  sse2::rotoZoom, sse2::stretchBlit, sse2::bumpLight, zoomWrap, tunnelFrame});
  if (detail::cpuHasAvx2()) {
    list.push_back({"avx2", avx2::fillFrame, sse2::copyFrame, avx2::crossFade, avx2::overlayKeyed,
                    avx2::maskFrame, avx2::averageFrames, avx2::mirrorQuadrants, reference::drawLine,
                    subtractFromBytes, avx2::rotoZoom, avx2::stretchBlit, avx2::bumpLight, zoomWrap, tunnelFrame});
  }
#endif
  return list;
}

}  // namespace tolvarin::golden

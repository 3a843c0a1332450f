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
#include "gfx2d/kernel_set.h"
#include "gfx2d/sampling_blits.h"
#include "gfx2d/trig_tables.h"
#include "gfx2d/zoom_wrap.h"
#include "scenes/greetings.h"

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

// One tunnel frame as the greetings draw it, through one set's tunnel kernel.
inline void tunnelFrame(const KernelSet& set, const Pixel* texture, int frameNo, int phase, int shift, Pixel* dst) {
  std::int32_t wobble[kWobbleEntries];
  greetingsWobble(greetingsAmplitude(frameNo), phase, wobble);
  const TunnelTables& t = tunnelTables();
  set.tunnelPixels(t.distance, t.angle, texture, wobble, shift, dst);
}

inline KernelVariant variantOf(const KernelSet& set) {
  return {set.name,         set.fillFrame,       set.copyFrame,       set.crossFade,   set.overlayKeyed,
          set.maskFrame,    set.averageFrames,   set.mirrorQuadrants, set.drawLine,    set.subtractFromBytes,
          set.rotoZoom,     set.stretchBlit,     set.bumpLight,       set.zoomWrap,
          [&set](const Pixel* texture, int frameNo, int phase, int shift, Pixel* dst) {
            tunnelFrame(set, texture, frameNo, phase, shift, dst);
          }};
}

// Every kernel set this machine runs, and the kernel functions the program
// calls (through the active set), which go through the scene's own tunnel.
inline std::vector<KernelVariant> kernelVariants() {
  std::vector<KernelVariant> list;
  for (const KernelSet* set : availableKernelSets()) list.push_back(variantOf(*set));
  list.push_back({"dispatched", fillFrame, copyFrame, crossFade, overlayKeyed, maskFrame, averageFrames,
                  mirrorQuadrants, drawLine, subtractFromBytes, rotoZoom, stretchBlit, bumpLight, zoomWrap,
                  [](const Pixel* texture, int frameNo, int phase, int shift, Pixel* dst) {
                    std::int32_t wobble[kWobbleEntries];
                    greetingsWobble(greetingsAmplitude(frameNo), phase, wobble);
                    drawTunnel(tunnelTables(), texture, wobble, shift, dst);
                  }});
  return list;
}

}  // namespace tolvarin::golden

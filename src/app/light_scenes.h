#pragma once
// The three light scenes the demo sequence draws itself after the logo: a
// light sweeping over a picture, the same over a cross-fade, and a rotating
// zoom with a picture strobe. They share the light angle and their buffers.
#include <memory>

#include "gfx2d/framebuffer.h"

namespace tolvarin {

struct LightSceneState {
  int b = 0;          // light angle, degrees; carries on from the sweep into the cross-fade
  int idx = 0;        // second light angle
  int syncCount = 0;  // syncs seen by the sweep
  int fadeWeight = 0;
  std::unique_ptr<Pixel[]> fadeBuffer;  // allocated before the cross-fade sweep
  std::unique_ptr<Pixel[]> zoomBase;    // allocated before the rotating zoom
  std::unique_ptr<Pixel[]> zoomMap;
};

void LightSweep(LightSceneState& s);
void CrossfadeSweep(LightSceneState& s);
void RotozoomStrobe(LightSceneState& s);

}  // namespace tolvarin

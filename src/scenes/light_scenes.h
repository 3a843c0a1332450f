#pragma once
// The three light scenes after the logo, which the demo sequence draws itself:
// a light sweeping over a picture, the same over a cross-fade, and a rotating
// zoom with a picture strobe. Each lights a picture through the logo's relief
// with bumpLight, straight into the locked surface, and ends on one
// over-bright frame (mode 7) when its music condition is met, or without it
// on a key. They share the light angles and their work buffers, which the
// demo sequence keeps.
#include "gfx2d/framebuffer.h"

namespace tolvarin {

struct LightSceneState {
  int b = 0;          // light angle, degrees; carries on from the sweep into the cross-fade
  int idx = 0;        // second light angle, degrees
  int syncCount = 0;  // syncs seen by the sweep
  int fadeWeight = 0; // weight of the logo in the cross-fade, 0..255
  FrameBuffer fadeBuffer;  // allocated before the cross-fade sweep
  FrameBuffer zoomBase;    // allocated before the rotating zoom: the turned logo
  FrameBuffer zoomMap;     // and its turned relief
};

void LightSweep(LightSceneState& s);
void CrossfadeSweep(LightSceneState& s);
void RotozoomStrobe(LightSceneState& s);

}  // namespace tolvarin

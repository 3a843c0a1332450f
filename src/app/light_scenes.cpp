// The three light scenes after the logo. Each lights a picture through the
// relief of the logo with bumpLight, each frame drawn straight into the
// locked surface, and each ends on one over-bright frame (mode 7) when its
// music condition is met, or without it on a key.
#include "app/light_scenes.h"

#include <algorithm>

#include "app/startup_objects.h"
#include "gfx2d/frame_kernels.h"
#include "gfx2d/sampling_blits.h"
#include "platform/trace.h"
#include "scenes/scene_common.h"
#include "scenes/shared_state.h"

namespace tolvarin {
namespace {

const Pixel* frameOf(const Picture* picture) { return picturePixels(picture, kFrameWidth, kFrameHeight); }

// A cleared frame-sized buffer for a scene whose caller did not provide one.
void ensureFrame(std::unique_ptr<Pixel[]>& buffer) {
  if (!buffer) buffer.reset(new Pixel[kFramePixels]());
}

void lightFrame(int offsetX, int offsetY, const Pixel* base, const Pixel* relief, int mode) {
  Pixel* frame = display().lock();
  bumpLight(offsetX, offsetY, base, frame, relief, mode);
  showFrame();
}

// The strobe: three pictures, each held 0.1 s by busy-waiting on the demo's
// stopwatch. True when a key came during a hold: the scene then ends at once.
bool strobe() {
  TraceScope run("RotozoomStrobe.strobe");
  Timer& timer = demoTimer();
  for (const Picture* picture : {imgWave, imgAloneFlash, imgMetal}) {
    timer.set(0.0);
    timer.start();
    Pixel* frame = display().lock();
    copyFrame(frameOf(picture), frame);
    showFrame();
    while (timer.time() < 0.1) {
    }
    // The timer is left running: the next strobe sets it again.
    if (keyPending()) return true;
  }
  timer.stop();
  return false;
}

}  // namespace

void LightSweep(LightSceneState& s) {
  TraceScope scene("LightSweep");
  const Pixel* base = frameOf(imgHofobia2);
  const Pixel* relief = frameOf(imgQxMap1);
  s.b = 0;
  s.syncCount = 0;
  if (keyPending()) return;
  for (;;) {
    s.idx = (s.b + 250) % 360;
    lightFrame(lightOffsetX(s.b), lightOffsetY(s.idx), base, relief, 0);
    s.b = (s.b + 28) % 360;
    if (syncIsSet()) {
      clearSyncFlag();
      ++s.syncCount;
    }
    // Exactly one sync: a second one before an odd order leaves only a key
    // to end the scene.
    if (s.syncCount == 1 && musicOrderIsOdd()) {
      lightFrame(lightOffsetX(s.b), lightOffsetY(s.idx), frameOf(imgHofobia), relief, 7);
      return;
    }
    if (keyPending()) return;
  }
}

void CrossfadeSweep(LightSceneState& s) {
  TraceScope scene("CrossfadeSweep");
  const Pixel* logo = frameOf(imgQx);
  const Pixel* base = frameOf(imgHofobia2);
  const Pixel* relief = frameOf(imgQxMap1);
  if (keyPending()) return;
  ensureFrame(s.fadeBuffer);
  s.idx = 0;
  s.fadeWeight = 0;
  // The light's second angle stays 0: offsetY = 100 cos 0 - 120 = -20.
  const int offsetY = lightOffsetY(0);
  for (;;) {
    if (s.fadeWeight < 255) s.fadeWeight = std::min(s.fadeWeight + 4, 255);
    crossFade(logo, base, s.fadeBuffer.get(), s.fadeWeight, s.fadeWeight, s.fadeWeight);
    lightFrame(lightOffsetX(s.b), offsetY, s.fadeBuffer.get(), relief, 0);
    s.b = (s.b + 28) % 360;
    // The sync is not consumed here: once one has come, the first odd order ends the scene.
    if (syncIsSet() && musicOrderIsOdd()) {
      lightFrame(lightOffsetX(s.b), offsetY, s.fadeBuffer.get(), relief, 7);
      return;
    }
    if (keyPending()) return;
  }
}

void RotozoomStrobe(LightSceneState& s) {
  TraceScope scene("RotozoomStrobe");
  const Pixel* logo = frameOf(imgQx);
  const Pixel* relief = frameOf(imgQxMap1);
  int rotation = 0;  // R, degrees
  int zoomPhase = 0;  // k, degrees
  int light = 0;  // j, degrees
  int frameCount = 0;  // c
  if (keyPending()) return;
  // rotoZoom leaves some pixels as they were, so both buffers start cleared.
  ensureFrame(s.zoomBase);
  ensureFrame(s.zoomMap);
  for (;;) {
    ++frameCount;
    // Swings between 0.01 and 4.01 source pixels per screen pixel.
    const float scale = static_cast<float>(2.01 - 2.0 * cosTable[zoomPhase]);
    rotoZoom(logo, s.zoomBase.get(), rotation, scale);
    rotoZoom(relief, s.zoomMap.get(), rotation, scale);

    int nextRotation = rotation;  // the picture starts turning at order 13
    if (musicOrder() >= 13) {
      nextRotation = (rotation + 8) % 360;
      if (frameCount % 5 == 0 && strobe()) return;
    }
    if (musicOrder() >= 19) {
      // idx is still the previous frame's (0 on the first frame after the cross-fade sweep).
      lightFrame(lightOffsetX(light), lightOffsetY(s.idx), s.zoomBase.get(), s.zoomMap.get(), 7);
      return;
    }
    zoomPhase = (zoomPhase + 2) % 360;
    s.idx = (light + 250) % 360;
    lightFrame(lightOffsetX(light), lightOffsetY(s.idx), s.zoomBase.get(), s.zoomMap.get(), 0);
    light = (light + 28) % 360;
    if (keyPending()) return;
    rotation = nextRotation;
  }
}

}  // namespace tolvarin

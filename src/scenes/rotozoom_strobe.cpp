// RotozoomStrobe: the logo and its relief turn and zoom in and out under the
// circling light; from order 13 the picture turns and every fifth frame a
// strobe flashes three pictures; order 19 ends the scene on one over-bright
// frame.
#include "gfx2d/frame_kernels.h"
#include "gfx2d/sampling_blits.h"
#include "platform/timer.h"
#include "platform/trace.h"
#include "scenes/light_scenes.h"
#include "scenes/scene_common.h"
#include "scenes/shared_state.h"

namespace tolvarin {
namespace {

// The strobe: three pictures, each held 0.1 s by busy-waiting on the demo's
// stopwatch. True when a key came during a hold: the scene then ends at once.
bool strobe() {
  TraceScope run("RotozoomStrobe.strobe");
  Timer& timer = *demoTimer;
  for (const Picture* picture : {imgWave, imgAloneFlash, imgMetal}) {
    timer.set(0.0);
    timer.start();
    Pixel* frame = display().lock();
    copyFrame(screenPicture(picture), frame);
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

void RotozoomStrobe(LightSceneState& s) {
  TraceScope scene("RotozoomStrobe");
  const Pixel* logo = screenPicture(imgQx);
  const Pixel* relief = screenPicture(imgQxMap1);
  int R = 0;  // rotation of the picture, degrees
  int k = 0;  // zoom phase, degrees
  int j = 0;  // light angle, degrees
  int c = 0;  // frames drawn
  if (keyPending()) return;
  // rotoZoom leaves some pixels as they were, so both buffers start cleared.
  ensureFrame(s.zoomBase);
  ensureFrame(s.zoomMap);
  for (;;) {
    ++c;
    // Swings between 0.01 and 4.01 source pixels per screen pixel.
    const float scale = static_cast<float>(2.01 - 2.0 * cosTable[k]);
    rotoZoom(logo, s.zoomBase.get(), R, scale);
    rotoZoom(relief, s.zoomMap.get(), R, scale);

    int nextR = R;  // the picture starts turning at order 13
    if (musicOrder() >= 13) {
      nextR = (R + 8) % 360;
      if (c % 5 == 0 && strobe()) return;
    }
    if (musicOrder() >= 19) {
      // idx is still the previous frame's (0 on the first frame after the cross-fade sweep).
      lightFrame(lightOffsetX(j), lightOffsetY(s.idx), s.zoomBase.get(), s.zoomMap.get(), 7);
      return;
    }
    k = (k + 2) % 360;
    s.idx = (j + 250) % 360;
    lightFrame(lightOffsetX(j), lightOffsetY(s.idx), s.zoomBase.get(), s.zoomMap.get(), 0);
    j = (j + 28) % 360;
    if (keyPending()) return;
    R = nextR;
  }
}

}  // namespace tolvarin

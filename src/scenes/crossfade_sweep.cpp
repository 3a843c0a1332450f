// CrossfadeSweep: the light sweep carries on while the logo fades in over the
// picture. One sync arms the end for good; the first odd order after it ends
// the scene on one over-bright frame.
#include <algorithm>

#include "gfx2d/frame_kernels.h"
#include "platform/trace.h"
#include "scenes/light_scenes.h"
#include "scenes/scene_common.h"
#include "scenes/shared_state.h"

namespace tolvarin {

void CrossfadeSweep(LightSceneState& s) {
  TraceScope scene("CrossfadeSweep");
  const Pixel* logo = screenPicture(imgQx);
  const Pixel* base = screenPicture(imgHofobia2);
  const Pixel* relief = screenPicture(imgQxMap1);
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
    if (syncWaiting() && musicOrderIsOdd()) {
      lightFrame(lightOffsetX(s.b), offsetY, s.fadeBuffer.get(), relief, 7);
      return;
    }
    if (keyPending()) return;
  }
}

}  // namespace tolvarin

// LightSweep: a light circling over a picture, bent by the logo's relief.
// Ends on one over-bright frame of the other picture once exactly one sync
// has come and the order is odd.
#include "platform/trace.h"
#include "scenes/light_scenes.h"
#include "scenes/scene_common.h"
#include "scenes/shared_state.h"

namespace tolvarin {

void LightSweep(LightSceneState& s) {
  TraceScope scene("LightSweep");
  const Pixel* base = screenPicture(imgHofobia2);
  const Pixel* relief = screenPicture(imgQxMap1);
  s.b = 0;
  s.syncCount = 0;
  if (keyPending()) return;
  for (;;) {
    s.idx = (s.b + 250) % 360;
    lightFrame(lightOffsetX(s.b), lightOffsetY(s.idx), base, relief, 0);
    s.b = (s.b + 28) % 360;
    if (takeSync()) ++s.syncCount;
    // Exactly one sync: a second one before an odd order leaves only a key
    // to end the scene.
    if (s.syncCount == 1 && musicOrderIsOdd()) {
      lightFrame(lightOffsetX(s.b), lightOffsetY(s.idx), screenPicture(imgHofobia), relief, 7);
      return;
    }
    if (keyPending()) return;
  }
}

}  // namespace tolvarin

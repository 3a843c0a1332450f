#include "scenes/scene_common.h"

#include "gfx2d/sampling_blits.h"
#include "scenes/shared_state.h"

namespace tolvarin {

void lightFrame(int offsetX, int offsetY, const Pixel* base, const Pixel* relief, int mode) {
  Pixel* frame = display().lock();
  bumpLight(offsetX, offsetY, base, frame, relief, mode);
  showFrame();
}

const Pixel* screenPicture(const Picture* picture) { return picturePixels(picture, kFrameWidth, kFrameHeight); }

void waitForSyncOrKey() {
  if (keyPending()) return;
  for (;;) {
    if (takeSync()) return;
    if (keyPending()) return;
  }
}

void consumeKey() {
  if (keyPending()) display().readKey();
}

}  // namespace tolvarin

// The still picture between the rotating zoom and the story: one frame, which
// stays on screen while the demo sequence waits for the next sync.
#include "scenes/still_picture.h"

#include "gfx2d/frame_kernels.h"
#include "scenes/scene_common.h"
#include "scenes/shared_state.h"

namespace tolvarin {

void StillPicture() {
  Pixel* frame = display().lock();
  copyFrame(screenPicture(imgOjs), frame);
  showFrame();
}

}  // namespace tolvarin

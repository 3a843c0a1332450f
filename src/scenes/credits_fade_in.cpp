// CreditsFadeIn: the closing picture rises from black, one step a frame; the
// last frame drawn still has 1 subtracted. A key stops the fade at once.
#include <cstdint>

#include "platform/trace.h"
#include "gfx2d/frame_kernels.h"
#include "scenes/scene_common.h"
#include "scenes/shared_state.h"
#include "scenes/credits_fade_in.h"

namespace tolvarin {

void CreditsFadeIn() {
  TraceScope scene("CreditsFadeIn");
  const Pixel* creds = screenPicture(imgCreds);
  int counter = 255;
  do {
    Pixel* frame = display().lock();
    subtractFromBytes(creds, frame, static_cast<std::uint8_t>(counter));
    showFrame();
    if (keyPending()) break;
    --counter;
  } while (counter > 0);
}

}  // namespace tolvarin

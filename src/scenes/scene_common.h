#pragma once
// Small pieces every scene uses: the light offsets handed to bumpLight, the
// music's order number, the key, the end of a frame, and the two waits of the
// demo sequence that scenes share.
#include <cstdint>

#include "gfx2d/framebuffer.h"
#include "gfx2d/trig_tables.h"
#include "platform/display.h"
#include "platform/music_clock.h"

namespace tolvarin {

class Picture;

// The light spot's offsets for bumpLight: trunc(100 cos(angle) - 160) and
// trunc(100 cos(angle) - 120), in double precision. The spot then sits near
// screen (160 - 100 cos a, 121 - 100 cos b).
inline int lightOffsetX(int angle) { return static_cast<int>(100.0 * cosTable[angle] - 160.0); }
inline int lightOffsetY(int angle) { return static_cast<int>(100.0 * cosTable[angle] - 120.0); }

// The music, through its clock: the order number the module has reached (the
// low byte of the position), and the syncs.
inline unsigned musicOrder() { return musicClock().position() & 0xFFu; }
inline bool musicOrderIsOdd() { return (musicClock().position() & 1u) != 0; }
inline bool takeSync() { return musicClock().takeSync(); }
inline bool syncWaiting() { return musicClock().syncWaiting(); }
inline void clearSync() { musicClock().clearSync(); }

inline bool keyPending() { return display().keyPressed(); }

// Ends a frame drawn into the locked surface: unlock, then present.
inline void showFrame() {
  display().unlock();
  display().present();
}

// One frame lit by bumpLight straight into the locked surface, then shown.
void lightFrame(int offsetX, int offsetY, const Pixel* base, const Pixel* relief, int mode);

// The pixels of a 320x240 picture, or black when it is missing or smaller.
const Pixel* screenPicture(const Picture* picture);

// A cleared frame for a scene whose caller did not provide one.
inline void ensureFrame(FrameBuffer& buffer) {
  if (!buffer) buffer = allocateFrame();
}

// If a key is pending, returns at once (the sync flag untouched); otherwise
// polls until a sync arrives (and clears it) or a key is pending.
void waitForSyncOrKey();
// Reads and discards a pending key, if any.
void consumeKey();

}  // namespace tolvarin

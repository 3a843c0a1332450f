#pragma once
// Small pieces every scene uses: the light offsets handed to bumpLight, the
// music's order number, the key test and the end of a frame.
#include <cstdint>

#include "gfx2d/trig_tables.h"
#include "platform/display.h"
#include "platform/music.h"

namespace tolvarin {

// The light spot's offsets for bumpLight: trunc(100 cos(angle) - 160) and
// trunc(100 cos(angle) - 120), in double precision. The spot then sits near
// screen (160 - 100 cos a, 121 - 100 cos b).
inline int lightOffsetX(int angle) { return static_cast<int>(100.0 * cosTable[angle] - 160.0); }
inline int lightOffsetY(int angle) { return static_cast<int>(100.0 * cosTable[angle] - 120.0); }

// The order number the module has reached: the low byte of the position.
inline unsigned musicOrder() { return musicPosition() & 0xFFu; }
inline bool musicOrderIsOdd() { return (musicPosition() & 1u) != 0; }

inline bool keyPending() { return display().keyPressed(); }

// Ends a frame drawn into the locked surface: unlock, then present.
inline void showFrame() {
  display().unlock();
  display().present();
}

}  // namespace tolvarin

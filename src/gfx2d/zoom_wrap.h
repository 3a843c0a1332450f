#pragma once
// zoomWrap: a centred, wrapping rescale of a 320x240 frame, the opening
// scene's zoom.
#include "gfx2d/framebuffer.h"

namespace tolvarin {

// Rescales src by z source pixels per screen pixel: z > 1 shrinks and tiles
// the picture, z < 1 enlarges it. Writes rows 0..238 of dst; row 239 keeps
// what it held. For z >= 0 every read lies inside src; a negative z may point
// outside it, and such a pixel repeats the last one written (0 at first). A z
// of 1e12 or more in size (or NaN) reaches nothing and writes 0.
void zoomWrap(const Pixel* src, Pixel* dst, double z);

namespace reference {
// The rule as a plain double loop over the destination.
void zoomWrap(const Pixel* src, Pixel* dst, double z);
}  // namespace reference

}  // namespace tolvarin

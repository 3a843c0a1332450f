#pragma once
// The opening scene: the logo flies in and fades in under a moving
// bump-mapped light, zooms far in, back out, cross-fades, and ends on one
// over-bright frame.
#include "gfx2d/framebuffer.h"

namespace tolvarin {

// A centred, wrapping rescale of a 320x240 frame by z source pixels per
// screen pixel: z > 1 shrinks and tiles the picture, z < 1 enlarges it.
// Writes rows 0..238 of dst.
void zoomWrap(const Pixel* src, Pixel* dst, double z);

void LogoZoom();

}  // namespace tolvarin

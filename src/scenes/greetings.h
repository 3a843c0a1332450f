#pragma once
// The textured tunnel carrying the sixteen greetings.
#include <cstdint>

#include "gfx2d/framebuffer.h"
#include "gfx2d/tunnel_pixels.h"

namespace tolvarin {

// Distance and angle of every screen pixel from the centre, one byte each,
// row-major. The demo sequence owns the two tables.
struct TunnelTables {
  std::int32_t height = 0;
  std::int32_t width = 0;
  std::uint8_t* distance = nullptr;
  std::uint8_t* angle = nullptr;
};

// Fills both tables from the record's height and width.
void buildTunnelTables(TunnelTables& tables);

// The wobble's amplitude at frame frameNo (1, 2, ...):
// 150 - trunc(-150 sin(frameNo mod 360)), within 1..299.
int greetingsAmplitude(int frameNo);

// wobble[k] = trunc(amp sin(((phase + k) mod 256) x 0.0122718463046875)),
// k = 0..255: half a sine wave along the tunnel, scrolled by phase (>= 0).
void greetingsWobble(int amp, int phase, std::int32_t* wobble);

// One tunnel frame: pixel n shows texel row (wobble[d] + t + shift) mod 256,
// column (d + shift) mod 256 of the 256x256 texture, with d and t the
// distance and angle of pixel n. Tables that are not a 320x240 pair give a
// black frame.
void drawTunnel(const TunnelTables& tables, const Pixel* texture, const std::int32_t* wobble, int shift,
                Pixel* dst);

// The scene. The tables must have been filled by buildTunnelTables.
void Greetings(const TunnelTables& tables);

}  // namespace tolvarin

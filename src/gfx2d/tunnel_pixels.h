#pragma once
// The textured tunnel of the greetings: one lookup per pixel in a 256x256
// texture, from per-pixel distance and angle tables.
#include <cstdint>

#include "gfx2d/framebuffer.h"

namespace tolvarin {

inline constexpr int kTunnelTextureSize = 256;
inline constexpr int kWobbleEntries = 256;

// One tunnel frame: with d = distance[n] and t = angle[n], pixel n shows the
// texel at row (wobble[d] + t + shift) mod 256, column (d + shift) mod 256 of
// the 256x256 texture (the low 8 bits of each sum). distance and angle hold
// one byte per pixel of the frame; wobble holds 256 entries.
void tunnelPixels(const std::uint8_t* distance, const std::uint8_t* angle, const Pixel* texture,
                  const std::int32_t* wobble, int shift, Pixel* dst);

namespace reference {
void tunnelPixels(const std::uint8_t* distance, const std::uint8_t* angle, const Pixel* texture,
                  const std::int32_t* wobble, int shift, Pixel* dst);
}  // namespace reference

}  // namespace tolvarin

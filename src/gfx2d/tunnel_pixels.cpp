// tunnelPixels as callers see it (it calls the active kernel set), and its
// reference: the rule as it stands.
#include "gfx2d/tunnel_pixels.h"

#include "gfx2d/kernel_set.h"

namespace tolvarin {

void tunnelPixels(const std::uint8_t* distance, const std::uint8_t* angle, const Pixel* texture,
                  const std::int32_t* wobble, int shift, Pixel* dst) {
  activeKernels().tunnelPixels(distance, angle, texture, wobble, shift, dst);
}

void reference::tunnelPixels(const std::uint8_t* distance, const std::uint8_t* angle, const Pixel* texture,
                             const std::int32_t* wobble, int shift, Pixel* dst) {
  for (int n = 0; n < kFramePixels; ++n) {
    const int d = distance[n];
    const int t = angle[n];
    const std::uint32_t column = static_cast<std::uint32_t>(d + shift) & 0xFF;
    const std::uint32_t row = static_cast<std::uint32_t>(wobble[d] + t + shift) & 0xFF;
    dst[n] = texture[row * kTunnelTextureSize + column];
  }
}

}  // namespace tolvarin

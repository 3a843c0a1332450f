// The neon family's tunnelPixels: everything but the angle folded into one
// 16-bit index per distance, so a pixel costs two byte loads, an add and a
// texel load, and four texels are written with one store.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_NEON_KERNELS
#include <arm_neon.h>

namespace tolvarin {

void neon::tunnelPixels(const std::uint8_t* distance, const std::uint8_t* angle, const Pixel* texture,
                        const std::int32_t* wobble, int shift, Pixel* dst) {
  // Row (wobble[d] + shift) and column (d + shift), both mod 256, as one
  // index per distance; adding t << 8 and keeping 16 bits moves the row by t
  // with the same wrap.
  std::uint32_t byDistance[256];
  for (int d = 0; d < 256; ++d) {
    const std::uint32_t row = static_cast<std::uint32_t>(wobble[d] + shift) & 0xFF;
    const std::uint32_t column = static_cast<std::uint32_t>(d + shift) & 0xFF;
    byDistance[d] = row << 8 | column;
  }
  auto texel = [&](int n) {
    return texture[(byDistance[distance[n]] + (std::uint32_t{angle[n]} << 8)) & 0xFFFF];
  };
  for (int n = 0; n < kFramePixels; n += 4) {
    const std::uint32_t texels[4] = {texel(n), texel(n + 1), texel(n + 2), texel(n + 3)};
    vst1q_u32(dst + n, vld1q_u32(texels));
  }
}

}  // namespace tolvarin

#endif

// NEON versions of the per-pixel frame kernels, four pixels (16 bytes) per
// step. NEON is part of every arm64 processor, so these need no run-time
// check. Frames hold 76800 pixels, a whole number of steps.
//
// Only the kernels whose byte arithmetic GCC does not vectorise well on its
// own are here: for fill, copy, overlay, mask and the mirror, its vectorised
// references already run the same loads, stores and instructions per pixel
// as hand-written NEON (docs/performance.md has the counts).
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_NEON_KERNELS
#include <arm_neon.h>

namespace tolvarin::neon {
namespace {

inline uint8x16_t loadBytes(const Pixel* p) { return vld1q_u8(reinterpret_cast<const std::uint8_t*>(p)); }
inline void storeBytes(Pixel* p, uint8x16_t v) { vst1q_u8(reinterpret_cast<std::uint8_t*>(p), v); }

}  // namespace

void crossFade(const Pixel* srcA, const Pixel* srcB, Pixel* dst, std::int32_t weightR,
               std::int32_t weightG, std::int32_t weightB) {
  const auto kR = static_cast<std::uint8_t>(weightR & 0xFF);
  const auto kG = static_cast<std::uint8_t>(weightG & 0xFF);
  const auto kB = static_cast<std::uint8_t>(weightB & 0xFF);
  // Byte weights in pixel order (B, G, R, top byte); the top byte is weighted
  // 0 from both sources and comes out 0.
  const std::uint8_t weightsA[16] = {kB, kG, kR, 0, kB, kG, kR, 0, kB, kG, kR, 0, kB, kG, kR, 0};
  const uint8x16_t wA = vld1q_u8(weightsA);
  const uint8x16_t wB = vbicq_u8(vsubq_u8(vdupq_n_u8(255), wA), vreinterpretq_u8_u32(vdupq_n_u32(0xFF000000u)));
  for (int i = 0; i < kFramePixels; i += 4) {
    const uint8x16_t a = loadBytes(srcA + i);
    const uint8x16_t b = loadBytes(srcB + i);
    // Each 8x8-bit product exactly in 16 bits, shifted on its own as the rule
    // asks; the two halves sum to at most 255 * 255 >> 8 = 254, no overflow.
    const uint8x8_t lowA = vshrn_n_u16(vmull_u8(vget_low_u8(a), vget_low_u8(wA)), 8);
    const uint8x8_t lowB = vshrn_n_u16(vmull_u8(vget_low_u8(b), vget_low_u8(wB)), 8);
    const uint8x16_t termA = vshrn_high_n_u16(lowA, vmull_high_u8(a, wA), 8);
    const uint8x16_t termB = vshrn_high_n_u16(lowB, vmull_high_u8(b, wB), 8);
    storeBytes(dst + i, vaddq_u8(termA, termB));
  }
}

void averageFrames(Pixel* dst, const Pixel* srcA, const Pixel* srcB) {
  const uint8x16_t colour = vreinterpretq_u8_u32(vdupq_n_u32(0x00FFFFFF));
  for (int i = 0; i < kFramePixels; i += 4) {
    // The halving add is the truncating (a + b) >> 1 of each byte.
    storeBytes(dst + i, vandq_u8(vhaddq_u8(loadBytes(srcA + i), loadBytes(srcB + i)), colour));
  }
}

void subtractFromBytes(const Pixel* src, Pixel* dst, std::uint8_t amount) {
  const uint8x16_t sub = vdupq_n_u8(amount);
  for (int i = 0; i < kFramePixels; i += 4) storeBytes(dst + i, vqsubq_u8(loadBytes(src + i), sub));
}

}  // namespace tolvarin::neon

#endif

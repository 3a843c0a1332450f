// NEON versions of the per-pixel frame kernels, four pixels (16 bytes) per
// step. NEON is part of every arm64 processor, so these need no run-time
// check. Frames hold 76800 pixels, a whole number of steps.
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_NEON_KERNELS
#include <arm_neon.h>

#include <cstring>

namespace tolvarin::neon {
namespace {

inline uint8x16_t loadBytes(const Pixel* p) { return vld1q_u8(reinterpret_cast<const std::uint8_t*>(p)); }
inline void storeBytes(Pixel* p, uint8x16_t v) { vst1q_u8(reinterpret_cast<std::uint8_t*>(p), v); }
inline uint32x4_t load(const Pixel* p) { return vld1q_u32(p); }
inline void store(Pixel* p, uint32x4_t v) { vst1q_u32(p, v); }

}  // namespace

void fillFrame(Pixel* dst, std::uint32_t colour) {
  const uint32x4_t v = vdupq_n_u32(colour);
  for (int i = 0; i < kFramePixels; i += 8) {
    store(dst + i, v);
    store(dst + i + 4, v);
  }
}

void copyFrame(const Pixel* src, Pixel* dst) {
  for (int i = 0; i < kFramePixels; i += 8) {
    const uint32x4_t first = load(src + i);
    const uint32x4_t second = load(src + i + 4);
    store(dst + i, first);
    store(dst + i + 4, second);
  }
}

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

void overlayKeyed(const Pixel* top, const Pixel* bottom, Pixel* dst) {
  for (int i = 0; i < kFramePixels; i += 4) {
    const uint32x4_t t = load(top + i);
    store(dst + i, vbslq_u32(vceqzq_u32(t), load(bottom + i), t));
  }
}

void maskFrame(const Pixel* src, const Pixel* mask, Pixel* dst) {
  for (int i = 0; i < kFramePixels; i += 4) {
    store(dst + i, vbicq_u32(load(src + i), vceqzq_u32(load(mask + i))));
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

void mirrorQuadrants(Pixel* frame) {
  for (int row = 0; row < 120; ++row) {
    Pixel* line = frame + row * kFrameWidth;
    for (int x = 0; x < 160; x += 4) {
      // Pixels x..x+3 land reversed on 319-x-3..319-x.
      const uint32x4_t pairsSwapped = vrev64q_u32(load(line + x));
      store(line + 316 - x, vextq_u32(pairsSwapped, pairsSwapped, 2));
    }
  }
  // 119 rows, not 120: row 239 keeps what it held.
  for (int k = 0; k < 119; ++k) {
    std::memcpy(frame + (120 + k) * kFrameWidth, frame + (119 - k) * kFrameWidth,
                kFrameWidth * sizeof(Pixel));
  }
}

}  // namespace tolvarin::neon

#endif

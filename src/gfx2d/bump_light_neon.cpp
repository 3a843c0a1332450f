// NEON bumpLight: four pixels per step, each channel in a 16-bit lane, by the
// same arithmetic as the SSE2 version (bump_light_sse2.cpp says why it all
// fits 16 bits once the offsets are clamped).
#include "gfx2d/kernel_variants.h"

#ifdef TOLVARIN_NEON_KERNELS
#include <arm_neon.h>

#include "gfx2d/sampling_setup.h"

namespace tolvarin::neon {
namespace {

inline uint8x16_t loadBytes(const Pixel* p) { return vld1q_u8(reinterpret_cast<const std::uint8_t*>(p)); }

// min(|sum| >> 2, 16) squared, per lane.
inline int16x8_t cappedSquare(int16x8_t sum) {
  const uint16x8_t quarter = vminq_u16(vshrq_n_u16(vreinterpretq_u16_s16(vabsq_s16(sum)), 2), vdupq_n_u16(16));
  return vreinterpretq_s16_u16(vmulq_u16(quarter, quarter));
}

// The 16-bit lanes of 8 bytes, as signed values 0..255.
inline int16x8_t widenLow(uint8x16_t v) { return vreinterpretq_s16_u16(vmovl_u8(vget_low_u8(v))); }
inline int16x8_t widenHigh(uint8x16_t v) { return vreinterpretq_s16_u16(vmovl_high_u8(v)); }

// One half (two pixels) of a step: light from the gradients plus the scaled base.
template <bool Divide>
inline int16x8_t lightHalf(int16x8_t left, int16x8_t right, int16x8_t up, int16x8_t down, int16x8_t base,
                           int16x8_t termX, int16x8_t termY, uint16x8_t scale) {
  const int16x8_t gx2 = cappedSquare(vaddq_s16(vsubq_s16(left, right), termX));
  const int16x8_t gy2 = cappedSquare(vaddq_s16(vsubq_s16(up, down), termY));
  const int16x8_t light = vmaxq_s16(vsubq_s16(vsubq_s16(vdupq_n_s16(255), gx2), gy2), vdupq_n_s16(0));
  const uint16x8_t b = vreinterpretq_u16_s16(base);
  uint16x8_t scaled;
  if constexpr (Divide) {
    // Division by d >= 2 as a multiply by ceil(65536 / d) keeping the high
    // half of each 32-bit product: exact for channels 0..255, d up to 128.
    const uint32x4_t low = vmull_u16(vget_low_u16(b), vget_low_u16(scale));
    const uint32x4_t high = vmull_high_u16(b, scale);
    scaled = vuzp2q_u16(vreinterpretq_u16_u32(low), vreinterpretq_u16_u32(high));
  } else {
    scaled = vmulq_u16(b, scale);
  }
  return vaddq_s16(vreinterpretq_s16_u16(scaled), light);
}

template <bool Divide>
void bumpRows(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
              const Pixel* relief, uint16x8_t scale) {
  const uint8x16_t colour = vreinterpretq_u8_u32(vdupq_n_u32(0x00FFFFFF));
  const auto tx = static_cast<std::int16_t>(offsetX);
  const auto tx1 = static_cast<std::int16_t>(offsetX + 1);
  const std::int16_t firstTerms[8] = {tx, tx, tx, tx, tx1, tx1, tx1, tx1};
  const int16x8_t four = vdupq_n_s16(4);
  for (int y = 1; y <= 238; ++y) {
    const int16x8_t termY = vdupq_n_s16(static_cast<std::int16_t>(offsetY + y - 1));
    // offsetX + x per lane: pixels x, x+1 in the low half, x+2, x+3 in the high.
    int16x8_t termLo = vld1q_s16(firstTerms);
    int16x8_t termHi = vaddq_s16(termLo, vdupq_n_s16(2));
    for (int x = 0; x < kFrameWidth; x += 4) {
      const int p = y * kFrameWidth + x;
      const uint8x16_t left = loadBytes(relief + p - 1);
      const uint8x16_t right = loadBytes(relief + p + 1);
      const uint8x16_t up = loadBytes(relief + p - kFrameWidth);
      const uint8x16_t down = loadBytes(relief + p + kFrameWidth);
      const uint8x16_t b = loadBytes(base + p);
      const int16x8_t lo = lightHalf<Divide>(widenLow(left), widenLow(right), widenLow(up), widenLow(down),
                                             widenLow(b), termLo, termY, scale);
      const int16x8_t hi = lightHalf<Divide>(widenHigh(left), widenHigh(right), widenHigh(up),
                                             widenHigh(down), widenHigh(b), termHi, termY, scale);
      // The saturating narrow clamps each channel to 0..255; the top byte is cleared.
      const uint8x16_t out = vqmovun_high_s16(vqmovun_s16(lo), hi);
      vst1q_u8(reinterpret_cast<std::uint8_t*>(dst + p), vandq_u8(out, colour));
      termLo = vaddq_s16(termLo, four);
      termHi = vaddq_s16(termHi, four);
    }
  }
}

}  // namespace

void bumpLight(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
               const Pixel* relief, std::int32_t mode) {
  const std::int32_t ox = detail::clampBumpOffset(offsetX);
  const std::int32_t oy = detail::clampBumpOffset(offsetY);
  const detail::BumpScale scale = detail::bumpScale(mode);
  const uint16x8_t factor = vdupq_n_u16(static_cast<std::uint16_t>(scale.factor));
  if (scale.divide) {
    bumpRows<true>(ox, oy, base, dst, relief, factor);
  } else {
    bumpRows<false>(ox, oy, base, dst, relief, factor);
  }
  detail::clearBumpBorderRows(dst);
}

}  // namespace tolvarin::neon

#endif

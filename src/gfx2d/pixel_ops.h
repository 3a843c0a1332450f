#pragma once
// One pixel of each per-pixel frame kernel, exactly the per-channel rules.
// The reference loops are made of these, and the fast paths use them for the
// few pixels before and after their vector steps.
#include <cstdint>

#include "gfx2d/framebuffer.h"

namespace tolvarin::detail {

constexpr std::uint32_t channelAt(Pixel p, int shift) { return (p >> shift) & 0xFFu; }

// Fade weights: the low byte of each channel's weight.
struct FadeWeights8 {
  std::uint32_t r, g, b;
};

inline FadeWeights8 fadeWeights(std::int32_t weightR, std::int32_t weightG, std::int32_t weightB) {
  return {static_cast<std::uint32_t>(weightR) & 0xFFu, static_cast<std::uint32_t>(weightG) & 0xFFu,
          static_cast<std::uint32_t>(weightB) & 0xFFu};
}

inline Pixel fadePixel(Pixel a, Pixel b, const FadeWeights8& w) {
  const auto channel = [a, b](int shift, std::uint32_t k) {
    // Each product is shifted on its own and the complement is 255 - k, so a
    // full weight loses one step: 255 * 255 >> 8 = 254.
    const std::uint32_t termA = (channelAt(a, shift) * k) >> 8;
    const std::uint32_t termB = (channelAt(b, shift) * (255u - k)) >> 8;
    const std::uint32_t sum = termA + termB;
    return (sum > 255u ? 255u : sum) << shift;
  };
  return channel(16, w.r) | channel(8, w.g) | channel(0, w.b);  // top byte 0
}

inline Pixel overlayPixel(Pixel top, Pixel bottom) { return top != 0 ? top : bottom; }

inline Pixel maskPixel(Pixel src, Pixel mask) { return mask != 0 ? src : 0; }

inline Pixel subtractPixel(Pixel p, std::uint32_t amount) {
  Pixel out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t b = channelAt(p, shift);
    out |= (b > amount ? b - amount : 0u) << shift;
  }
  return out;
}

inline Pixel averagePixel(Pixel a, Pixel b) {
  Pixel out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    out |= ((channelAt(a, shift) + channelAt(b, shift)) >> 1) << shift;
  }
  return out;
}

// Pixels from p up to the next 32-byte boundary (0..7). Vector steps from
// there never split a cache line when all buffers share p's alignment, as
// frames from one allocator and rows of one picture do.
inline int pixelsTo32ByteBoundary(const Pixel* p) {
  return static_cast<int>(((32u - (reinterpret_cast<std::uintptr_t>(p) & 31u)) & 31u) / sizeof(Pixel));
}

}  // namespace tolvarin::detail

#pragma once
// Whole-frame kernels: fills, copies, blends, keyed overlay, mask, average,
// four-fold mirror and lines. Every buffer is one 320x240 frame of 0x00RRGGBB
// pixels (kFramePixels values, no alignment required). The per-pixel kernels
// accept any two arguments naming the same buffer; partially overlapping
// buffers are not supported.
//
// The unqualified functions call the active kernel set (kernel_set.h): SIMD
// fast paths where they pay, with the same bits as the plain versions in
// tolvarin::reference.
#include <cstdint>

#include "gfx2d/framebuffer.h"

namespace tolvarin {

// Every pixel of dst becomes colour, all 32 bits.
void fillFrame(Pixel* dst, std::uint32_t colour);
// dst[i] = src[i] for the whole frame (source first).
void copyFrame(const Pixel* src, Pixel* dst);
// Per channel: (a*k >> 8) + (b*(255-k) >> 8), saturated, k = low byte of the
// channel's weight; bits 24-31 of the result are 0.
void crossFade(const Pixel* srcA, const Pixel* srcB, Pixel* dst, std::int32_t weightR,
               std::int32_t weightG, std::int32_t weightB);
// dst[i] = top[i] unless top[i] is exactly 0, then bottom[i].
void overlayKeyed(const Pixel* top, const Pixel* bottom, Pixel* dst);
// dst[i] = src[i] where mask[i] is non-zero, else 0.
void maskFrame(const Pixel* src, const Pixel* mask, Pixel* dst);
// Per channel (a + b) >> 1; bits 24-31 of the result are 0 (destination first).
void averageFrames(Pixel* dst, const Pixel* srcA, const Pixel* srcB);
// Every byte of every pixel (all four) becomes max(byte - amount, 0): the
// fades to and from black. src and dst may be the same buffer.
void subtractFromBytes(const Pixel* src, Pixel* dst, std::uint8_t amount);
// Mirrors the upper-left quarter into the other three, in place. Row 239 is
// left untouched (rows 120..238 mirror rows 119..1).
void mirrorQuadrants(Pixel* frame);
// Bresenham line including both endpoints; nothing at all when an endpoint
// lies off the 320x240 screen.
void drawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
              std::uint32_t colour, Pixel* dst);

namespace reference {
// Plain scalar versions, written straight from the per-channel rules. The
// fast paths are tested against these.
void fillFrame(Pixel* dst, std::uint32_t colour);
void copyFrame(const Pixel* src, Pixel* dst);
void crossFade(const Pixel* srcA, const Pixel* srcB, Pixel* dst, std::int32_t weightR,
               std::int32_t weightG, std::int32_t weightB);
void overlayKeyed(const Pixel* top, const Pixel* bottom, Pixel* dst);
void maskFrame(const Pixel* src, const Pixel* mask, Pixel* dst);
void averageFrames(Pixel* dst, const Pixel* srcA, const Pixel* srcB);
void mirrorQuadrants(Pixel* frame);
void subtractFromBytes(const Pixel* src, Pixel* dst, std::uint8_t amount);
void drawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
              std::uint32_t colour, Pixel* dst);
}  // namespace reference

}  // namespace tolvarin

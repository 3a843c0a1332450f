#pragma once
// Kernels that build a frame by reading another image at computed positions:
// the rotating zoom, the rectangle stretch and the bump-mapped light. Buffers
// are 320 pixels per row, 0x00RRGGBB, no alignment required.
//
// The unqualified functions call the active kernel set (kernel_set.h): SIMD
// fast paths where they pay, with the same bits as the plain versions in
// tolvarin::reference.
#include <cstdint>

#include "gfx2d/framebuffer.h"

namespace tolvarin {

// Draws src rotated by `angle` whole degrees and scaled, as a sheared tiling:
// source indices wrap through a 16-bit mask, and dst pixels whose index falls
// on 64001..65535 keep their previous value. src must hold at least 64001
// pixels. Reads sinTable/cosTable (buildTrigTables() must have run); angles
// outside 0..360 are reduced modulo 360.
void rotoZoom(const Pixel* src, Pixel* dst, int angle, float scale);

// Scales the 320x240 src into the w x h rectangle of dst at (x, y); nothing
// when w or h is not positive. Parts of the rectangle outside the frame are
// not drawn. src and dst must be different buffers.
void stretchBlit(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 const Pixel* src, Pixel* dst);

// Lights base through the gradients of relief with a spot centred near
// (-offsetX, 1 - offsetY) into dst rows 1..238, and sets rows 0 and 239 to 0.
// The low byte of mode, taken as signed, scales the base: m >= 2 multiplies,
// m <= -1 divides by |m|, 0 and 1 keep it. dst may be base, but not relief.
void bumpLight(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
               const Pixel* relief, std::int32_t mode);

namespace reference {
// Plain scalar versions; the fast paths are tested against these.
void rotoZoom(const Pixel* src, Pixel* dst, int angle, float scale);
void stretchBlit(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 const Pixel* src, Pixel* dst);
void bumpLight(std::int32_t offsetX, std::int32_t offsetY, const Pixel* base, Pixel* dst,
               const Pixel* relief, std::int32_t mode);
}  // namespace reference

}  // namespace tolvarin

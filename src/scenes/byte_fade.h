#pragma once
// Subtracts one amount from all four bytes of every pixel of a frame,
// stopping at 0: the fades to and from black of several scenes.
#include <cstdint>

#include "gfx2d/framebuffer.h"

namespace tolvarin {

// dst[i] = src[i] with every byte b replaced by max(b - amount, 0), for the
// 76800 pixels of a frame. src and dst may be the same buffer.
void subtractFromBytes(const Pixel* src, Pixel* dst, std::uint8_t amount);

}  // namespace tolvarin

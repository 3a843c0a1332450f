#pragma once
// Writes 0x00RRGGBB pixels as an 8-bit RGB PNG file (libpng).
#include <string>

#include "gfx2d/framebuffer.h"

namespace tolvarin {

// stride is the distance between rows in pixels. Returns false, with nothing
// left behind, when the file cannot be written.
[[nodiscard]] bool writePng(const std::string& path, int width, int height, const Pixel* pixels,
                            int stride);

}  // namespace tolvarin

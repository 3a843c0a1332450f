#pragma once
// A picture loaded from a .g file (PCX layout): 8-bit paletted files give
// pixels whose channels are the palette's values divided by 4 (0..63), 24-bit
// planar files give their full 8-bit channels. Pixels are 0x00RRGGBB, rows
// top to bottom with no gap, like a frame.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "gfx2d/framebuffer.h"

namespace tolvarin {

class Picture {
 public:
  Picture() = default;
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  Picture(Picture&&) noexcept = default;
  Picture& operator=(Picture&&) noexcept = default;
  ~Picture() = default;

  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::array<std::uint8_t, 768> palette{};  // r, g, b per entry; written only by 8-bit files
  std::unique_ptr<Pixel[]> pixels;          // width*height pixels, null when nothing is loaded

  // Reads the whole file and decodes it with loadFromMemory. A file that
  // cannot be read, or holds fewer than 4 bytes, leaves the record untouched.
  [[nodiscard]] bool load(const char* fileName);

  // Decodes a .g image held in memory. False, with no pixels, for fewer than
  // 128 bytes, a width or height of 0, more than kMaxPixels pixels, or no
  // memory; the size fields then hold what the header said. Run-length data
  // or a palette cut short decode as if the missing bytes were 0.
  [[nodiscard]] bool loadFromMemory(const std::uint8_t* data, std::size_t size);

  static constexpr std::uint64_t kMaxPixels = 16'000'000;
};

}  // namespace tolvarin

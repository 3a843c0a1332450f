#pragma once
// The one pixel layout everything draws into: 320x240 pixels of 0x00RRGGBB,
// rows top to bottom with no gap between them.
#include <cstddef>
#include <cstdint>

namespace tolvarin {

using Pixel = std::uint32_t;

inline constexpr int kFrameWidth = 320;
inline constexpr int kFrameHeight = 240;
inline constexpr int kFramePixels = kFrameWidth * kFrameHeight;  // 76800
inline constexpr std::size_t kFrameBytes = kFramePixels * sizeof(Pixel);  // 307200

}  // namespace tolvarin

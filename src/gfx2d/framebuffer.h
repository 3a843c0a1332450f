#pragma once
// The one pixel layout everything draws into: 320x240 pixels of 0x00RRGGBB,
// rows top to bottom with no gap between them.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace tolvarin {

using Pixel = std::uint32_t;

inline constexpr int kFrameWidth = 320;
inline constexpr int kFrameHeight = 240;
inline constexpr int kFramePixels = kFrameWidth * kFrameHeight;  // 76800
inline constexpr std::size_t kFrameBytes = kFramePixels * sizeof(Pixel);  // 307200

namespace detail {
// Frames start on a cache line, so the kernels' vector steps never split one.
inline constexpr std::align_val_t kFrameAlignment{64};
struct FrameDeleter {
  void operator()(Pixel* pixels) const { ::operator delete[](pixels, kFrameAlignment); }
};
}  // namespace detail

// A frame-sized buffer owned by one object. Every work frame of the program
// is made by allocateFrame.
using FrameBuffer = std::unique_ptr<Pixel[], detail::FrameDeleter>;

// A new frame, cleared to 0 (black).
inline FrameBuffer allocateFrame() {
  auto* pixels = static_cast<Pixel*>(::operator new[](kFrameBytes, detail::kFrameAlignment));
  for (int i = 0; i < kFramePixels; ++i) pixels[i] = 0;
  return FrameBuffer(pixels);
}

}  // namespace tolvarin

#pragma once
// Frame buffers for kernel tests: deliberately misaligned (by default one
// pixel past the allocation's start, as a row pointer into a taller picture
// would be) and filled from a seeded generator that favours 0x00 and 0xFF.
#include <cstdint>
#include <random>
#include <vector>

#include "gfx2d/framebuffer.h"

namespace tolvarin::test {

class TestFrame {
 public:
  // offset: pixels between the storage's start and the frame (1 by default).
  explicit TestFrame(Pixel fill = 0, int extraPixels = 0, int offset = 1)
      : storage_(static_cast<std::size_t>(kFramePixels + extraPixels + offset), fill), offset_(offset) {}
  Pixel* data() { return storage_.data() + offset_; }
  const Pixel* data() const { return storage_.data() + offset_; }
  Pixel& at(int x, int y) { return data()[y * kFrameWidth + x]; }
  Pixel at(int x, int y) const { return data()[y * kFrameWidth + x]; }
  std::vector<Pixel> pixels() const { return {data(), data() + kFramePixels}; }

 private:
  std::vector<Pixel> storage_;
  int offset_;
};

// Channels are 0x00 or 0xFF half of the time; the top byte is usually 0 and
// the whole pixel is 0 about one time in eight (the overlay and mask key).
inline Pixel biasedPixel(std::mt19937& rng) {
  const auto pick = [&rng]() -> Pixel {
    const unsigned r = rng() % 4;
    return r == 0 ? 0x00u : (r == 1 ? 0xFFu : rng() & 0xFFu);
  };
  if (rng() % 8 == 0) return 0;
  Pixel p = pick() << 16 | pick() << 8 | pick();
  if (rng() % 16 == 0) p |= pick() << 24;
  return p;
}

inline void fillBiased(TestFrame& frame, std::mt19937& rng) {
  for (int i = 0; i < kFramePixels; ++i) frame.data()[i] = biasedPixel(rng);
}

}  // namespace tolvarin::test

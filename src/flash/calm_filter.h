#pragma once
// Calm mode: the frames as drawn, except where one would complete a fourth
// flash within a second (see flash_meter.h). Such a frame is blended toward
// the frame shown before it, as little as keeps it from completing the
// flash: a strobe becomes its pictures laid over the scene at reduced
// contrast, an over-bright frame a softer one. Frames that flash no more
// than three times a second pass untouched; the filter never changes how
// many frames there are or when they are shown.
#include <cstdint>
#include <vector>

#include "flash/flash_meter.h"
#include "gfx2d/framebuffer.h"

namespace tolvarin {

inline constexpr int kMaxFlashesPerSecond = 3;

class CalmFilter {
 public:
  CalmFilter();

  // The frame to show in place of `frame`, shown at `time` seconds. The
  // result stays valid until the next call.
  const Pixel* apply(const Pixel* frame, double time);

  // Frames changed so far.
  std::int64_t softened() const { return softened_; }
  const FlashMeter& meter() const { return meter_; }

 private:
  const Pixel* show(const Pixel* frame, const FrameChange& change, double time);

  FlashMeter meter_;
  std::vector<std::uint32_t> luminance_;
  FrameBuffer shown_;  // the frame shown last (black before the first)
  FrameBuffer mix_;
  std::int64_t softened_ = 0;
};

// `weight` eighths of `to` over (8 - weight) eighths of `from`, per channel.
void blendEighths(const Pixel* from, const Pixel* to, int weight, Pixel* out);

}  // namespace tolvarin

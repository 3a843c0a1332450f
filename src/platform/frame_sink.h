#pragma once
// Something that receives every presented frame: screenshots, frame hashes,
// the video recorder.
#include <cstdint>

#include "gfx2d/framebuffer.h"

namespace tolvarin {

class FrameSink {
 public:
  virtual ~FrameSink() = default;
  // A frame became visible at demo time `shownAt` (seconds); `index` counts
  // presented frames from 0.
  virtual void frame(const Pixel* pixels, std::int64_t index, double shownAt) = 0;
  // The run ended at `endTime`; flush and close. Returns false on failure.
  [[nodiscard]] virtual bool finish(double endTime) = 0;
};

}  // namespace tolvarin

#pragma once
// Something that receives every presented frame: screenshots, frame hashes,
// the video recorder.
#include <cstdint>

#include "gfx2d/framebuffer.h"

namespace tolvarin {

class FrameSink {
 public:
  virtual ~FrameSink() = default;
  // The outputs begin at demo time `time` (a run started later than its
  // beginning); `mediaStart` is the first frame boundary from there, where
  // video and sound begin, and `screen` what the screen shows (null: black).
  // Not called for a run that starts at its beginning.
  virtual void begin(double time, double mediaStart, const Pixel* screen) {}
  // A frame became visible at demo time `shownAt` (seconds); `index` counts
  // presented frames from 0.
  virtual void frame(const Pixel* pixels, std::int64_t index, double shownAt) = 0;
  // The run ended at `endTime`; flush and close. Returns false on failure.
  [[nodiscard]] virtual bool finish(double endTime) = 0;
};

}  // namespace tolvarin

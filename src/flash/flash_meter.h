#pragma once
// Counts flashes in a sequence of frames, by the general flash rule of the
// web's accessibility guidelines (WCAG 2.x, "three flashes or below"):
//   - relative luminance per pixel (sRGB decoded to linear light, weighted
//     0.2126 R + 0.7152 G + 0.0722 B), 0 for black, 1 for white;
//   - a pixel's change is measured from where its luminance last turned
//     (the start of its present rise or fall), so a change spread over
//     several frames counts the same at any frame rate;
//   - a transition: at least a quarter of the frame has risen (or fallen)
//     by 0.1 or more, the darker of the two states under 0.8, and at least
//     twice as much of the frame goes that way as the other way (a moving
//     pattern, where as much darkens as brightens, is motion, not a flash);
//     the frame's state stays "risen" until a fall, so a held or growing
//     change is one transition;
//   - a flash is a pair of opposite transitions (a rise then a fall, or a
//     fall then a rise), counted when the second one happens.
// Integer arithmetic throughout: every target counts the same flashes.
#include <cstdint>
#include <string>
#include <vector>

#include "gfx2d/framebuffer.h"

namespace tolvarin {

// Relative luminance in units of 1/100000000 (white is 100000000).
inline constexpr std::uint32_t kLuminanceOne = 100000000;

std::uint32_t relativeLuminance(Pixel pixel);

// What one frame would do against the meter's current state.
struct FrameChange {
  int risen = 0;   // pixels up by 0.1 or more since they last turned, the darker state under 0.8
  int fallen = 0;  // pixels down by as much, likewise
  bool rise() const;  // enough of the frame up for a transition to brighter
  bool fall() const;  // likewise to darker
};

class FlashMeter {
 public:
  FlashMeter();

  // What `frame` would change if it were the next one (nothing is recorded).
  FrameChange measure(const Pixel* frame) const;
  // Whether a frame with this change, shown next, would complete a flash (0 or 1).
  int flashesOf(const FrameChange& change) const;
  // The next frame, shown at `time` seconds. Returns the flashes it completed.
  int observe(const Pixel* frame, double time);

  // The same on a frame's luminance (luminanceOf), for callers that weigh
  // one frame more than once.
  FrameChange measureLuminance(const std::uint32_t* luminance) const;
  // `change` is what measureLuminance gave for this frame.
  int observeLuminance(const std::uint32_t* luminance, const FrameChange& change, double time);
  // measureLuminance by the rule's own steps, pixel by pixel: the plain
  // reference the fast count is proven against.
  FrameChange measureByRuns(const std::uint32_t* luminance) const;

  // The times of every flash so far, in order.
  const std::vector<double>& flashTimes() const { return flashes_; }
  // Flashes in the second up to `time`: those after time - 1 (a microsecond
  // more, so that rounding of frame times never hides one).
  int flashesWithinSecondBefore(double time) const;

 private:
  int transitionOf(const FrameChange& change) const;
  void thresholds(std::size_t from, std::size_t to);

  // Per pixel: its luminance in the frame before, where its present rise
  // or fall began, and which it is (+1 rising, -1 falling, 0 not moved yet).
  // Signed, as the values fit (white is 10^8) and vector units compare
  // signed numbers directly.
  std::vector<std::int32_t> last_;
  std::vector<std::int32_t> turn_;
  std::vector<std::int32_t> direction_;
  // The luminance at which each pixel will count as risen (at or above) or
  // fallen (at or below) in the next frame, from the three above.
  std::vector<std::int32_t> riseAt_;
  std::vector<std::int32_t> fallAt_;
  mutable std::vector<std::uint32_t> scratch_;
  int state_ = 0;  // the frame's state: +1 after a transition to brighter, -1 to darker
  int open_ = 0;   // a transition not yet paired with an opposite one: +1, -1 or 0
  std::vector<double> flashes_;
};

// The relative luminance of every pixel of a frame.
void luminanceOf(const Pixel* frame, std::uint32_t* out);

// Flashes per second of a run, for reports and tests.
struct FlashSummary {
  std::vector<int> perSecond;  // flashes whose time falls in [s, s + 1), s = 0, 1, ...
  int worstWindow = 0;         // the most flashes in any window of one second
  double worstWindowStart = 0; // where that window starts (its first flash)
  int total = 0;
};

FlashSummary summarizeFlashes(const std::vector<double>& times, double endTime);

// The report --flash-report writes: the rule, then one line per second,
// then the worst window and the seconds over the limit of 3.
std::string flashReport(const FlashSummary& summary, int fps);

}  // namespace tolvarin

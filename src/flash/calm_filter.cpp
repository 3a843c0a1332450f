#include "flash/calm_filter.h"

#include <algorithm>

namespace tolvarin {

void blendEighths(const Pixel* from, const Pixel* to, int weight, Pixel* out) {
  const std::uint32_t w = static_cast<std::uint32_t>(weight);
  for (int i = 0; i < kFramePixels; ++i) {
    const Pixel a = from[i];
    const Pixel b = to[i];
    Pixel mixed = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const std::uint32_t ca = (a >> shift) & 0xFF;
      const std::uint32_t cb = (b >> shift) & 0xFF;
      mixed |= ((ca * (8 - w) + cb * w) / 8) << shift;
    }
    out[i] = mixed;
  }
}

CalmFilter::CalmFilter() : luminance_(kFramePixels), shown_(allocateFrame()), mix_(allocateFrame()) {}

const Pixel* CalmFilter::show(const Pixel* frame, const FrameChange& change, double time) {
  meter_.observeLuminance(luminance_.data(), change, time);
  if (frame != shown_.get()) std::copy(frame, frame + kFramePixels, shown_.get());
  return shown_.get();
}

const Pixel* CalmFilter::apply(const Pixel* frame, double time) {
  luminanceOf(frame, luminance_.data());
  FrameChange change = meter_.measureLuminance(luminance_.data());
  if (meter_.flashesOf(change) == 0 || meter_.flashesWithinSecondBefore(time) < kMaxFlashesPerSecond) {
    return show(frame, change, time);
  }
  ++softened_;
  // The strongest blend that completes no flash. Weight 0 is the frame
  // shown before, which never does: showing it again moves no pixel.
  for (int weight = 7; weight > 0; --weight) {
    blendEighths(shown_.get(), frame, weight, mix_.get());
    luminanceOf(mix_.get(), luminance_.data());
    change = meter_.measureLuminance(luminance_.data());
    if (meter_.flashesOf(change) == 0) return show(mix_.get(), change, time);
  }
  luminanceOf(shown_.get(), luminance_.data());
  return show(shown_.get(), meter_.measureLuminance(luminance_.data()), time);
}

}  // namespace tolvarin

#pragma once
// The progress of a long headless run, on a terminal: one line updated in
// place (demo time of the music's length, percent, frames per second, speed
// against real time, time left), then one summary line. Nothing for runs
// shorter than `delay` seconds of wall time.
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "platform/frame_sink.h"

namespace tolvarin {


class ProgressMeter final : public FrameSink {
 public:
  using Clock = std::function<double()>;  // wall seconds

  // `musicEnd` gives the demo time at which the music ends, once known.
  ProgressMeter(std::FILE* out, std::function<std::optional<double>()> musicEnd, double delay = 1.0,
                Clock wall = steadySeconds());

  void frame(const Pixel* pixels, std::int64_t index, double shownAt) override;
  bool finish(double endTime) override;

  // The in-place line for a run at demo time `t` of `end`, `frames` frames
  // after `elapsed` wall seconds.
  static std::string statusLine(double t, double end, std::int64_t frames, double elapsed);
  static std::string summaryLine(double t, std::int64_t frames, double elapsed);

 private:
  static Clock steadySeconds();

  std::FILE* out_;
  std::function<std::optional<double>()> musicEnd_;
  double delay_;
  Clock wall_;
  double started_;
  double nextUpdate_;
  std::int64_t frames_ = 0;
  bool shown_ = false;
};

}  // namespace tolvarin

#include "platform/progress_meter.h"

#include <algorithm>

namespace tolvarin {
namespace {

constexpr double kUpdateSeconds = 0.25;

std::string format(const char* pattern, auto... values) {
  char text[160];
  std::snprintf(text, sizeof text, pattern, values...);
  return text;
}

}  // namespace

ProgressMeter::Clock ProgressMeter::steadySeconds() {
  return [] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  };
}

ProgressMeter::ProgressMeter(std::FILE* out, std::function<std::optional<double>()> musicEnd, double delay,
                             Clock wall)
    : out_(out), musicEnd_(std::move(musicEnd)), delay_(delay), wall_(std::move(wall)), started_(wall_()),
      nextUpdate_(started_ + delay) {}

std::string ProgressMeter::statusLine(double t, double end, std::int64_t frames, double elapsed) {
  const double percent = end > 0.0 ? std::min(100.0, 100.0 * t / end) : 0.0;
  const double speed = elapsed > 0.0 ? t / elapsed : 0.0;
  const double left = speed > 0.0 ? std::max(0.0, end - t) / speed : 0.0;
  const double fps = elapsed > 0.0 ? static_cast<double>(frames) / elapsed : 0.0;
  return format("%6.1f s of %.1f s  %3.0f%%  %5.0f frames/s  %5.1fx real time  %4.1f s left", t, end, percent, fps,
                speed, left);
}

std::string ProgressMeter::summaryLine(double t, std::int64_t frames, double elapsed) {
  return format("%.1f s of demo in %.2f s: %lld frames, %.0f frames/s, %.1fx real time", t, elapsed,
                static_cast<long long>(frames), elapsed > 0.0 ? static_cast<double>(frames) / elapsed : 0.0,
                elapsed > 0.0 ? t / elapsed : 0.0);
}

void ProgressMeter::frame(const Pixel*, std::int64_t, double shownAt) {
  ++frames_;
  // Looking at the clock every frame would cost more than the line.
  if (frames_ % 16 != 0) return;
  const double now = wall_();
  if (now < nextUpdate_) return;
  nextUpdate_ = now + kUpdateSeconds;
  const double end = musicEnd_().value_or(shownAt);
  std::fprintf(out_, "\r%s ", statusLine(shownAt, std::max(end, shownAt), frames_, now - started_).c_str());
  std::fflush(out_);
  shown_ = true;
}

bool ProgressMeter::finish(double endTime) {
  if (!shown_) return true;
  std::fprintf(out_, "\r\033[K%s\n", summaryLine(endTime, frames_, wall_() - started_).c_str());
  std::fflush(out_);
  return true;
}

}  // namespace tolvarin

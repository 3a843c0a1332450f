#include "app/flash_report.h"

#include <cstdio>

namespace tolvarin {

bool FlashReportSink::open(const std::string& path) {
  if (path == "-") {
    toStdout_ = true;
    return true;
  }
  out_.reset(std::fopen(path.c_str(), "wb"));
  return static_cast<bool>(out_);
}

void FlashReportSink::begin(double time, double, const Pixel* screen) {
  // A run started later: changes count from what the screen showed there.
  if (screen != nullptr) meter_.observe(screen, time);
}

void FlashReportSink::frame(const Pixel* pixels, std::int64_t, double shownAt) { meter_.observe(pixels, shownAt); }

bool FlashReportSink::finish(double endTime) {
  const std::string report = flashReport(summarizeFlashes(meter_.flashTimes(), endTime), fps_);
  if (toStdout_) return std::fputs(report.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
  return std::fputs(report.c_str(), out_.get()) >= 0 && closeChecked(out_);
}

}  // namespace tolvarin

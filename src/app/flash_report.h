#pragma once
// --flash-report FILE: counts the flashes of the frames as shown (see
// flash/flash_meter.h) and writes, when the run ends, the flashes of every
// second of demo time and the worst second ('-' writes to stdout).
#include <string>

#include "flash/flash_meter.h"
#include "platform/file_handle.h"
#include "platform/frame_sink.h"

namespace tolvarin {

class FlashReportSink final : public FrameSink {
 public:
  explicit FlashReportSink(int fps) : fps_(fps) {}
  [[nodiscard]] bool open(const std::string& path);
  void begin(double time, double mediaStart, const Pixel* screen) override;
  void frame(const Pixel* pixels, std::int64_t index, double shownAt) override;
  bool finish(double endTime) override;

 private:
  int fps_;
  bool toStdout_ = false;
  FileHandle out_;
  FlashMeter meter_;
};

}  // namespace tolvarin

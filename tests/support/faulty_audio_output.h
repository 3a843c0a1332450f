#pragma once
// A sound output for tests of the audio layer in real time, played by hand:
// pump(t) asks for every buffer the device would have asked for by the
// test's clock time t, on the test's thread, at the device's exact pace. The
// test can pull it out (it asks for nothing more, says it is lost, and will
// not open) and plug it in again. Every buffer it asks for is noted in a log
// it shares with the test's other outputs, so the test knows when each frame
// of the stream was heard, whichever output played it.
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_output.h"

namespace tolvarin::testing {

// When each stretch of the stream (every frame mixed, in order) is heard.
class HeardLog {
 public:
  void add(double heardAt, std::int64_t frames) {
    entries_.push_back({heardAt, next_, frames});
    next_ += frames;
  }
  // Seconds at which stream frame `frame` is heard; NaN before it is mixed.
  [[nodiscard]] double heardAt(std::int64_t frame) const {
    for (auto e = entries_.rbegin(); e != entries_.rend(); ++e) {
      if (frame >= e->first && frame < e->first + e->frames) {
        return e->at + static_cast<double>(frame - e->first) / kRate;
      }
    }
    return std::numeric_limits<double>::quiet_NaN();
  }
  // A new stream (the music starts again).
  void reset() {
    entries_.clear();
    next_ = 0;
  }

  static constexpr double kRate = 44100.0;

 private:
  struct Entry {
    double at;
    std::int64_t first;
    std::int64_t frames;
  };
  std::vector<Entry> entries_;
  std::int64_t next_ = 0;
};

class FaultyAudioOutput final : public AudioOutput {
 public:
  FaultyAudioOutput(std::shared_ptr<HeardLog> log, int bufferFrames, double latency)
      : log_(std::move(log)), bufferFrames_(bufferFrames), latency_(latency),
        pcm_(static_cast<std::size_t>(bufferFrames) * 2) {}

  bool open(Mixer mixer, std::string& reason) override {
    if (!pluggedIn_) {
      ++failedOpens;
      reason = "unplugged";
      return false;
    }
    mixer_ = std::move(mixer);
    open_ = true;
    removed_ = false;
    return true;
  }
  void resume() override { playing_ = true; }
  void pause() override { playing_ = false; }
  void close() override {
    open_ = false;
    playing_ = false;
    removed_ = false;
    mixer_ = nullptr;
    nextAt_ = std::numeric_limits<double>::quiet_NaN();
  }
  int bufferFrames() const override { return bufferFrames_; }
  double outputLatency() const override { return latency_; }
  bool lost() const override { return removed_; }

  // Asks for each buffer whose time has come by `now` (the first at once).
  void pump(double now) {
    if (!asking()) return;
    if (std::isnan(nextAt_)) nextAt_ = now;
    while (nextAt_ <= now) {
      mixer_(pcm_.data(), static_cast<std::size_t>(bufferFrames_));
      log_->add(nextAt_ + latency_, bufferFrames_);
      nextAt_ += bufferFrames_ / HeardLog::kRate;
    }
  }
  // Pulled out: while open it asks for nothing more and is lost; it does not
  // open until it is plugged in again.
  void unplug() {
    pluggedIn_ = false;
    if (open_) removed_ = true;
  }
  void plugIn() { pluggedIn_ = true; }
  // Open, resumed and there: it asks for buffers.
  [[nodiscard]] bool asking() const { return open_ && playing_ && !removed_; }

  int failedOpens = 0;

 private:
  std::shared_ptr<HeardLog> log_;
  int bufferFrames_;
  double latency_;
  std::vector<std::int16_t> pcm_;
  Mixer mixer_;
  bool pluggedIn_ = true;
  bool open_ = false;
  bool playing_ = false;
  bool removed_ = false;
  double nextAt_ = std::numeric_limits<double>::quiet_NaN();
};

}  // namespace tolvarin::testing

#pragma once
// The --trace event log: one JSON object per line,
//   {"t":12.345,"frame":740,"order":3,"row":16,"event":"begin","scene":"LightSweep"}
// Events: begin and end of every scene and phase ("Scene.phase"), sync (a
// marker of the music arrived) and key (a key press became pending). sync and
// key lines name the innermost scene or phase running at the time.
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_handle.h"

namespace tolvarin {

struct TraceStamp {
  double time = 0.0;
  std::int64_t frame = 0;
  std::uint32_t position = 0;  // order in the low word, row in the high word
};

class Tracer {
 public:
  Tracer() = default;
  ~Tracer();
  Tracer(const Tracer&) = delete;
  Tracer& operator=(const Tracer&) = delete;

  // "-" writes to stderr. False when the file cannot be opened.
  [[nodiscard]] bool open(const std::string& path, std::function<TraceStamp()> stamp);
  bool enabled() const { return out_ != nullptr; }
  // A muted trace follows the scenes but writes nothing.
  void setMuted(bool muted) { muted_ = muted; }

  void begin(std::string_view scene);
  void end(std::string_view scene);
  // Thread-safe: the music's sync arrives on the audio thread in real time.
  void event(std::string_view event);

 private:
  void write(std::string_view event, std::string_view scene);

  std::mutex mutex_;
  FileHandle file_;         // the trace file, unless it goes to stderr
  std::FILE* out_ = nullptr;  // where lines go: file_ or stderr
  std::function<TraceStamp()> stamp_;
  std::vector<std::string> open_;  // scenes and phases running, outermost first
  std::atomic<bool> muted_{false};
};

// Emits begin on construction and end on destruction, into the current
// runtime's tracer (nothing when tracing is off or no runtime exists).
class TraceScope {
 public:
  explicit TraceScope(std::string_view name);
  ~TraceScope();
  TraceScope(const TraceScope&) = delete;
  TraceScope& operator=(const TraceScope&) = delete;

 private:
  std::string name_;
};

}  // namespace tolvarin

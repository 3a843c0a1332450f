#include "platform/runtime.h"

#include <algorithm>
#include <cstdio>
#include <thread>

namespace tolvarin {
namespace {

constexpr std::int64_t kNsPerSecond = 1'000'000'000;
constexpr std::int64_t kPollNs = 1'000'000;  // one poll of virtual time: 1 ms
// Real time: a busy-wait loop that polls this often without presenting a
// frame yields the CPU for a moment on each further poll.
constexpr int kPollsBeforeYield = 16;

Runtime* g_current = nullptr;

std::int64_t secondsToNs(double s) { return static_cast<std::int64_t>(s * static_cast<double>(kNsPerSecond)); }

// Real time: longer than this between two readings of the clock, beyond a
// frame, is a stall. The audio thread reads it every ~12 ms and the main
// thread at every poll and frame, so a gap this long means no thread ran.
constexpr double kStallSeconds = 0.25;

double steadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

Runtime::Runtime(RuntimeConfig config, std::unique_ptr<PixelBackend> pixels, std::unique_ptr<AudioLibrary> audio)
    : config_(std::move(config)),
      pixels_(std::move(pixels)),
      audio_(std::move(audio)),
      nextDeadline_(std::chrono::steady_clock::now()) {
  if (!config_.realClock) config_.realClock = steadySeconds;
  clockOrigin_ = config_.realClock();
  const bool deferred = config_.startTime.has_value() || config_.startAtMark;
  virtual_ = config_.mode == TimeMode::Virtual || deferred;
  outputStarted_ = !deferred;
  if (isVirtual() && config_.fps <= 0) config_.fps = 60;
  if (config_.fps > 0) stallGap_ = kStallSeconds + 1.0 / config_.fps;
  tracer_.setMuted(deferred);
}

void Runtime::startOutput() {
  if (outputStarted_) return;
  outputStarted_ = true;
  const double t = now();
  tracer_.setMuted(false);
  // Video and sound begin on the first frame boundary from here, so the
  // recording's first frame and first sample fall together.
  const double mediaStart = isVirtual() ? static_cast<double>(frameBoundaryNs(virtualNs_, false)) / kNsPerSecond : t;
  for (auto& sink : sinks_) sink->begin(t, mediaStart, lastPresented_);
  audio_->beginOutput(mediaStart);
  if (config_.mode == TimeMode::Real) {
    // From here on the clock is the real one, carrying on from this time.
    virtual_ = false;
    {
      std::lock_guard lock(stallMutex_);
      const double stalled = stalledSeconds_.load(std::memory_order_relaxed);
      clockOrigin_ = config_.realClock() - (t + stalled + pixels_->pausedSeconds());
      lastReading_ = t + stalled;
    }
    nextDeadline_ = std::chrono::steady_clock::now();
    audio_->goLive();
  }
}

Runtime::~Runtime() {
  if (g_current == this) g_current = nullptr;
}

double Runtime::now() const {
  if (virtual_) return static_cast<double>(virtualNs_) / static_cast<double>(kNsPerSecond);
  if (!leavesOutStalls_.load(std::memory_order_relaxed)) {
    return readClock() - stalledSeconds_.load(std::memory_order_relaxed);
  }
  // One reading at a time, so every thread sees the stall left out once and
  // the time never goes back.
  std::lock_guard lock(stallMutex_);
  const double t = readClock();
  double stalled = stalledSeconds_.load(std::memory_order_relaxed);
  if (t - lastReading_ > stallGap_) {
    // Nothing ran for that long: demo time carries on from the last reading.
    stalled += t - lastReading_;
    stalledSeconds_.store(stalled, std::memory_order_relaxed);
  }
  lastReading_ = std::max(lastReading_, t);
  return t - stalled;
}

double Runtime::readClock() const {
  // The output's pauses count as they go (a hidden browser tab), so they
  // never look like a gap between readings.
  return config_.realClock() - clockOrigin_ - pixels_->pausedSeconds();
}

void Runtime::leaveOutStalls() {
  if (virtual_) return;
  std::lock_guard lock(stallMutex_);
  if (leavesOutStalls_.load(std::memory_order_relaxed)) return;
  lastReading_ = readClock();  // the time until now is no stall
  leavesOutStalls_.store(true, std::memory_order_relaxed);
}

void Runtime::poll() {
  if (isVirtual()) {
    advanceVirtualNs(virtualNs_ + kPollNs);
    return;
  }
  pumpInput();
  if (++pollsSincePresent_ > kPollsBeforeYield) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

void Runtime::advanceTo(double seconds) {
  if (isVirtual()) advanceVirtualNs(secondsToNs(seconds));
}

void Runtime::advanceVirtualNs(std::int64_t targetNs) {
  if (targetNs <= virtualNs_) return;
  virtualNs_ = targetNs;
  const double t = now();
  // The outputs begin before anything of this moment happens (a sync of
  // this moment is traced).
  if (!outputStarted_ && config_.startTime && t >= *config_.startTime) {
    startOutput();
    if (!virtual_) return;  // a window run: real time goes on from here
  }
  for (auto& listener : timeListeners_) listener(t);
  while (nextScriptKey_ < config_.keyTimes.size() && config_.keyTimes[nextScriptKey_] <= t) {
    ++nextScriptKey_;
    pushKey();
  }
}

bool Runtime::openOutput(const char* title) {
  outputOpen_ = pixels_->open(title);
  return outputOpen_;
}

void Runtime::closeOutput() {
  if (outputOpen_) pixels_->close();
  outputOpen_ = false;
}

std::int64_t Runtime::frameBoundaryNs(std::int64_t ns, bool strictly) const {
  const std::int64_t fps = config_.fps;
  auto boundary = [fps](std::int64_t k) { return (k * kNsPerSecond + fps - 1) / fps; };
  std::int64_t k = ns * fps / kNsPerSecond;
  while (strictly ? boundary(k) <= ns : boundary(k) < ns) ++k;
  return boundary(k);
}

void Runtime::present(const Pixel* frame) {
  if (isVirtual()) {
    // The frame becomes visible at the next frame boundary after now.
    advanceVirtualNs(frameBoundaryNs(virtualNs_, true));
    if (frameFilter_) frame = frameFilter_(frame, now());
  } else {
    pumpInput();
    paceRealFrame();
    if (frameFilter_) frame = frameFilter_(frame, now());
    pixels_->show(frame);
    for (auto& listener : pollListeners_) listener();
  }
  pollsSincePresent_ = 0;
  lastPresented_ = frame;
  const std::int64_t index = framesPresented_.fetch_add(1, std::memory_order_relaxed);
  const double shownAt = now();
  if (outputStarted_) {
    for (auto& sink : sinks_) sink->frame(frame, index, shownAt);
  }
  for (auto& hook : presentHooks_) hook(index);
}

void Runtime::paceRealFrame() {
  if (config_.fps <= 0 || pixels_->pacesItself()) return;
  using namespace std::chrono;
  const auto period = duration_cast<steady_clock::duration>(duration<double>(1.0 / config_.fps));
  const auto current = steady_clock::now();
  if (nextDeadline_ > current) {
    std::this_thread::sleep_until(nextDeadline_);
    nextDeadline_ += period;
  } else if (current - nextDeadline_ > 3 * period) {
    nextDeadline_ = current + period;  // fell far behind: start a new schedule from here
  } else {
    nextDeadline_ += period;
  }
}

void Runtime::pumpInput() {
  const InputEvents events = pixels_->pumpEvents();
  for (int i = 0; i < events.keyPresses; ++i) pushKey();
  if (events.closeRequested) windowClosed_ = true;
  for (auto& listener : pollListeners_) listener();
}

void Runtime::pushKey() {
  ++pendingKeys_;
  tracer_.event("key");
}

bool Runtime::keyPending() {
  poll();
  return pendingKeys_ > 0 || inputEnded();
}

void Runtime::takeKey() {
  for (;;) {
    if (pendingKeys_ > 0) {
      --pendingKeys_;
      return;
    }
    if (inputEnded()) return;
    if (isVirtual()) {
      // Jump to the next scripted key, or step on until the music is over.
      std::int64_t target = virtualNs_ + 10 * kPollNs;
      if (nextScriptKey_ < config_.keyTimes.size()) {
        target = std::max(virtualNs_ + kPollNs, secondsToNs(config_.keyTimes[nextScriptKey_]));
      }
      advanceVirtualNs(target);
    } else {
      pumpInput();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
}

bool Runtime::inputEnded() {
  if (windowClosed_ || closeRequested_.load(std::memory_order_relaxed)) return true;
  const double t = now();
  if (config_.until && t >= *config_.until) return true;
  if (!isVirtual()) return false;
  if (t - static_cast<double>(passStartNs_) / kNsPerSecond >= config_.passTimeLimit) {
    stoppedByLimit_ = true;
    return true;
  }
  if (nextScriptKey_ < config_.keyTimes.size() || !musicEndsInput_) return false;
  return musicOver();
}

bool Runtime::musicOver() {
  const auto ended = audio_->musicEndedAt();
  return ended && now() >= *ended + config_.musicEndGrace;
}

bool Runtime::holdUntilKeyOrMusicEnd() {
  for (;;) {
    if (pendingKeys_ > 0) {
      --pendingKeys_;
      return true;
    }
    if (inputEnded()) return false;
    if (musicOver()) return true;
    if (isVirtual()) {
      advanceVirtualNs(virtualNs_ + 10 * kPollNs);
    } else {
      pumpInput();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
}

void Runtime::advanceToWholeSecond() {
  if (!isVirtual()) return;
  advanceVirtualNs((virtualNs_ + kNsPerSecond - 1) / kNsPerSecond * kNsPerSecond);
}

std::uint32_t Runtime::musicPositionNow() {
  const HMUSIC handle = musicHandle();
  return handle != 0 ? audio_->BASS_ChannelGetPosition(handle) : 0;
}

void Runtime::showMessage(const char* caption, const char* text) {
  if (messageHandler_) {
    messageHandler_(caption, text);
  } else if (pixels_->hasDisplay()) {
    pixels_->showMessageBox(caption, text);
  } else {
    std::fprintf(stderr, "%s: %s\n", caption, text);
  }
}

bool Runtime::finish() {
  bool ok = true;
  const double end = now();
  for (auto& sink : sinks_) ok = sink->finish(end) && ok;
  sinks_.clear();
  return ok;
}

Runtime* currentRuntime() { return g_current; }

Runtime& runtime() { return *g_current; }

RuntimeScope::RuntimeScope(Runtime& runtime) : previous_(g_current) { g_current = &runtime; }

RuntimeScope::~RuntimeScope() { g_current = previous_; }

}  // namespace tolvarin

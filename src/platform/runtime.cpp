#include "platform/runtime.h"

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

}  // namespace

Runtime::Runtime(RuntimeConfig config, std::unique_ptr<PixelBackend> pixels, std::unique_ptr<AudioLibrary> audio)
    : config_(std::move(config)),
      pixels_(std::move(pixels)),
      audio_(std::move(audio)),
      start_(std::chrono::steady_clock::now()),
      nextDeadline_(start_) {
  if (isVirtual() && config_.fps <= 0) config_.fps = 60;
}

Runtime::~Runtime() {
  if (g_current == this) g_current = nullptr;
}

double Runtime::now() const {
  if (isVirtual()) return static_cast<double>(virtualNs_) / static_cast<double>(kNsPerSecond);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
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

void Runtime::present(const Pixel* frame) {
  if (isVirtual()) {
    // The frame becomes visible at the next frame boundary after now.
    const std::int64_t fps = config_.fps;
    auto boundary = [fps](std::int64_t k) { return (k * kNsPerSecond + fps - 1) / fps; };
    std::int64_t k = virtualNs_ * fps / kNsPerSecond + 1;
    while (boundary(k) <= virtualNs_) ++k;
    advanceVirtualNs(boundary(k));
  } else {
    pumpInput();
    paceRealFrame();
    pixels_->show(frame);
  }
  pollsSincePresent_ = 0;
  const std::int64_t index = framesPresented_.fetch_add(1, std::memory_order_relaxed);
  const double shownAt = now();
  for (auto& sink : sinks_) sink->frame(frame, index, shownAt);
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
  if (t >= config_.virtualTimeLimit) return true;
  if (nextScriptKey_ < config_.keyTimes.size()) return false;
  const auto ended = audio_->musicEndedAt();
  return ended && t >= *ended + config_.musicEndGrace;
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

#include "platform/silent_audio_output.h"

#include <chrono>
#include <vector>

namespace tolvarin {

SilentAudioOutput::SilentAudioOutput(int bufferFrames, std::function<double()> clock)
    : bufferFrames_(bufferFrames), clock_(std::move(clock)) {
  if (!clock_) {
    clock_ = [] { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); };
  }
}

bool SilentAudioOutput::open(Mixer mixer, std::string&) {
  mixer_ = std::move(mixer);
  return true;
}

void SilentAudioOutput::resume() {
  paused_ = false;
  if (!thread_.joinable()) {
    quit_ = false;
    thread_ = std::thread([this] { run(); });
  }
}

void SilentAudioOutput::close() {
  quit_ = true;
  if (thread_.joinable()) thread_.join();
}

void SilentAudioOutput::run() {
  std::vector<std::int16_t> buffer(static_cast<std::size_t>(bufferFrames_) * 2);
  const double period = static_cast<double>(bufferFrames_) / 44100.0;
  double next = clock_();
  while (!quit_) {
    if (!paused_) mixer_(buffer.data(), static_cast<std::size_t>(bufferFrames_));
    next += period;
    const double wait = next - clock_();
    if (wait > 0) std::this_thread::sleep_for(std::chrono::duration<double>(wait));
  }
}

}  // namespace tolvarin

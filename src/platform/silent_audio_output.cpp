#include "platform/silent_audio_output.h"

#include <chrono>
#include <vector>

namespace tolvarin {

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
  using namespace std::chrono;
  std::vector<std::int16_t> buffer(static_cast<std::size_t>(bufferFrames_) * 2);
  const auto period = duration_cast<steady_clock::duration>(duration<double>(double(bufferFrames_) / 44100.0));
  auto next = steady_clock::now();
  while (!quit_) {
    if (!paused_) mixer_(buffer.data(), static_cast<std::size_t>(bufferFrames_));
    next += period;
    std::this_thread::sleep_until(next);
  }
}

}  // namespace tolvarin

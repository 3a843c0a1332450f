#pragma once
// The stand-in for a missing sound device: a thread that takes the mixed
// music at the real rate and drops it, so the music clock, the syncs and the
// position run exactly as with sound.
#include <atomic>
#include <functional>
#include <thread>

#include "platform/audio_output.h"

namespace tolvarin {

class SilentAudioOutput final : public AudioOutput {
 public:
  // Paced by `clock` (seconds; empty: the steady clock): given the demo
  // clock, it keeps the music in step with demo time, making up a buffer it
  // was late for (a busy machine) but not the time the clock leaves out (a
  // stall of the whole program).
  explicit SilentAudioOutput(int bufferFrames = 512, std::function<double()> clock = {});
  ~SilentAudioOutput() override { close(); }

  bool open(Mixer mixer, std::string& reason) override;
  void resume() override;
  void pause() override { paused_ = true; }
  void close() override;
  int bufferFrames() const override { return bufferFrames_; }
  // Nothing is queued: a buffer counts as heard when it is mixed.
  double outputLatency() const override { return 0.0; }

 private:
  void run();

  Mixer mixer_;
  int bufferFrames_;
  std::function<double()> clock_;
  std::atomic<bool> quit_{false};
  std::atomic<bool> paused_{true};
  std::thread thread_;
};

}  // namespace tolvarin

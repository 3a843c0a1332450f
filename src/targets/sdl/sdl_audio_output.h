#pragma once
// The sound device through SDL2: buffers of 512 frames, asked for on SDL's
// audio thread. open() takes the default output device.
#include <cstdint>

#include "platform/audio_output.h"

namespace tolvarin {

class SdlAudioOutput final : public AudioOutput {
 public:
  SdlAudioOutput() = default;
  ~SdlAudioOutput() override { close(); }
  SdlAudioOutput(const SdlAudioOutput&) = delete;
  SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

  bool open(Mixer mixer, std::string& reason) override;
  void resume() override;
  void pause() override;
  void close() override;
  int bufferFrames() const override { return bufferFrames_; }
  double outputLatency() const override { return outputLatency_; }
  // SDL marks the device stopped when it is disconnected (and sends
  // SDL_AUDIODEVICEREMOVED); its thread then goes on calling the callback at
  // the same pace, into a buffer nobody hears, until the device is closed.
  bool lost() const override;

 private:
  static void callback(void* self, std::uint8_t* stream, int bytes);

  Mixer mixer_;
  std::uint32_t device_ = 0;  // SDL audio device id, 0 = none
  int bufferFrames_ = 0;
  double outputLatency_ = 0.0;
};

}  // namespace tolvarin

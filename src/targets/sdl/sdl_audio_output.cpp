#include "targets/sdl/sdl_audio_output.h"

#include <SDL.h>

#include <cstring>

namespace tolvarin {
namespace {

constexpr int kSampleRate = 44100;
constexpr int kDeviceBufferFrames = 512;  // at most 1024: keeps "heard" within ~12 ms of "mixed"

}  // namespace

void SdlAudioOutput::callback(void* self, std::uint8_t* stream, int bytes) {
  static_cast<SdlAudioOutput*>(self)->mixer_(reinterpret_cast<std::int16_t*>(stream),
                                             static_cast<std::size_t>(bytes) / 4);
}

bool SdlAudioOutput::open(Mixer mixer, std::string& reason) {
  mixer_ = std::move(mixer);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    reason = SDL_GetError();
    return false;
  }
  SDL_AudioSpec want{};
  want.freq = kSampleRate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = kDeviceBufferFrames;
  want.callback = &SdlAudioOutput::callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device_ == 0) {
    reason = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  bufferFrames_ = have.samples;
  // A sound card plays a buffer about one buffer period after it was mixed;
  // SDL's file and null drivers take it the moment it is mixed.
  const char* driver = SDL_GetCurrentAudioDriver();
  const bool noOutputQueue =
      driver != nullptr && (std::strcmp(driver, "disk") == 0 || std::strcmp(driver, "dummy") == 0);
  outputLatency_ = noOutputQueue ? 0.0 : static_cast<double>(bufferFrames_) / kSampleRate;
  return true;
}

void SdlAudioOutput::resume() {
  if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
}

void SdlAudioOutput::pause() {
  if (device_ != 0) SDL_PauseAudioDevice(device_, 1);
}

bool SdlAudioOutput::lost() const {
  // The status SDL keeps for the device itself: no event queue needed (none
  // is pumped in some real-time runs, and the window's pump is not ours).
  return device_ != 0 && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED;
}

void SdlAudioOutput::close() {
  if (device_ == 0) return;
  SDL_CloseAudioDevice(device_);  // no callback runs after this returns
  device_ = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace tolvarin

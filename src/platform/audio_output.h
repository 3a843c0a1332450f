#pragma once
// Where the music goes in real time: a sound device that asks for buffers as
// it plays them. The audio layer mixes the module into each buffer it is
// asked for; what calls it, and on which thread, is the output's business.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace tolvarin {

class AudioOutput {
 public:
  // Fills `frames` stereo frames of 16-bit samples at 44100 Hz.
  using Mixer = std::function<void(std::int16_t* out, std::size_t frames)>;

  virtual ~AudioOutput() = default;

  // Opens the output, paused. False, with the reason, when there is none.
  [[nodiscard]] virtual bool open(Mixer mixer, std::string& reason) = 0;
  // Starts or stops asking for buffers.
  virtual void resume() = 0;
  virtual void pause() = 0;
  // Closes the output; the mixer is not called any more once this returns.
  virtual void close() = 0;
  // Stereo frames per buffer asked for.
  [[nodiscard]] virtual int bufferFrames() const = 0;
  // Seconds from mixing a buffer to hearing its first sample.
  [[nodiscard]] virtual double outputLatency() const = 0;
  // True once the device has gone away while open (a USB headset pulled
  // out): what it is given is no longer heard. The audio layer asks at every
  // poll of the runtime, closes it, plays on with the silent stand-in on the
  // same clock, and tries open() again every few seconds: an output that
  // opens again has a device again (the default one). Safe from any thread.
  [[nodiscard]] virtual bool lost() const { return false; }

  // An output without a thread of its own (the browser page's): it calls the
  // mixer only from service(), on the program's thread, which the audio
  // layer calls at every poll of the runtime; the audio layer then releases
  // the rows it has heard at those polls too, and starts no thread either.
  // During the mixer call outputLatency() is exact for the buffer it fills.
  [[nodiscard]] virtual bool threadless() const { return false; }
  virtual void service() {}
  // A threadless output: how much of its stream (every frame the mixer
  // filled since open) has been heard by now, in seconds; the rows are
  // released by it, so they follow what is heard even when the output's
  // latency moves.
  [[nodiscard]] virtual double heardSeconds() const { return 0.0; }
};

}  // namespace tolvarin

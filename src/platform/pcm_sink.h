#pragma once
// Receives the music as it is heard: interleaved 16-bit stereo at 44100 Hz.
#include <cstddef>
#include <cstdint>

namespace tolvarin {

class PcmSink {
 public:
  virtual ~PcmSink() = default;
  virtual void write(const std::int16_t* interleaved, std::size_t frames) = 0;
};

}  // namespace tolvarin

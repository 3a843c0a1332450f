#pragma once
// Writes 16-bit stereo 44100 Hz PCM to a WAV file; the header's sizes are
// filled in by close().
#include <cstdio>
#include <string>

#include "platform/file_handle.h"
#include "platform/pcm_sink.h"

namespace tolvarin {

class WavWriter final : public PcmSink {
 public:
  WavWriter() = default;
  ~WavWriter() override;
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  [[nodiscard]] bool open(const std::string& path);
  void write(const std::int16_t* interleaved, std::size_t frames) override;
  // Completes the header. False when any write failed.
  [[nodiscard]] bool close();
  const std::string& path() const { return path_; }

 private:
  FileHandle file_;
  std::string path_;
  std::uint64_t dataBytes_ = 0;
  bool failed_ = false;
};

}  // namespace tolvarin

#pragma once
// The frame sinks behind --shot, --frame-hashes and --record.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_handle.h"
#include "platform/frame_sink.h"
#include "platform/pcm_sink.h"
#include "platform/subprocess.h"

namespace tolvarin {

// XXH3, 64 bits, of the 307200 bytes of a frame (its 0x00RRGGBB pixels as
// the little-endian machines we build for hold them).
std::uint64_t frameHash(const Pixel* frame);

// The first line of a --frame-hashes file: says how the hashes were made.
inline constexpr const char* kFrameHashHeader = "# index, demo time in seconds, XXH3-64 of the frame's 307200 bytes";

// --shot T:FILE: a PNG of what the screen shows at demo time T, that is the
// last frame presented at or before T (black before the first frame).
class ScreenshotSink final : public FrameSink {
 public:
  struct Shot {
    double time;
    std::string path;
  };
  // Writes a 320x240 frame to a file; false on failure.
  using Writer = std::function<bool(const std::string& path, const Pixel* frame)>;
  explicit ScreenshotSink(std::vector<Shot> shots, Writer writer = pngWriter());
  static Writer pngWriter();
  void begin(double time, double mediaStart, const Pixel* screen) override;
  void frame(const Pixel* pixels, std::int64_t index, double shownAt) override;
  bool finish(double endTime) override;

 private:
  bool take(const Shot& shot);

  std::vector<Shot> pending_;  // sorted by time
  Writer writer_;
  FrameBuffer shown_;
  bool failed_ = false;
};

// --frame-hashes FILE: a comment line, then "index time hash" per presented frame.
class FrameHashSink final : public FrameSink {
 public:
  [[nodiscard]] bool open(const std::string& path);
  void frame(const Pixel* pixels, std::int64_t index, double shownAt) override;
  bool finish(double endTime) override;

 private:
  FileHandle out_;
};

// Sound handed to an encoder program through a pipe as it is rendered.
class EncoderSink final : public PcmSink {
 public:
  [[nodiscard]] bool start(const std::vector<std::string>& argv) { return encoder_.start(argv); }
  void write(const std::int16_t* interleaved, std::size_t frames) override;
  // Closes the pipe and waits; true when everything was taken and encoded.
  [[nodiscard]] bool finish() { return encoder_.finish() == 0 && !failed_; }

 private:
  Subprocess encoder_;
  bool failed_ = false;
};

// --record FILE: every frame boundary of the run as one video frame (frames
// held across busy waits are repeated), piped as bgr0 to the ffmpeg program,
// while a second ffmpeg encodes the music as it is rendered; at the end the
// two are put together. .mkv gives lossless video (FFV1) and FLAC sound;
// anything else H.264 and AAC.
class VideoRecorder final : public FrameSink {
 public:
  VideoRecorder(std::string path, int fps, int scale);
  ~VideoRecorder() override;
  // Starts both encoders. False with a message on stderr when that fails.
  [[nodiscard]] bool start();
  // Where the music for the video goes; give it to the audio layer.
  std::shared_ptr<PcmSink> soundSink() const { return sound_; }

  void begin(double time, double mediaStart, const Pixel* screen) override;
  void frame(const Pixel* pixels, std::int64_t index, double shownAt) override;
  bool finish(double endTime) override;

 private:
  void emitUpTo(std::int64_t boundary);  // repeats the held frame up to boundary - 1
  void removeTemporaries();

  std::string path_;
  std::string videoTemp_;
  std::string soundTemp_;
  int fps_;
  int scale_;
  Subprocess encoder_;
  std::shared_ptr<EncoderSink> sound_;
  FrameBuffer held_;
  std::int64_t nextBoundary_ = 0;
  bool failed_ = false;
  bool started_ = false;
};

}  // namespace tolvarin

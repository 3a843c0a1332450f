#include "platform/frame_sinks.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstring>

#include "png/png_writer.h"

#ifdef TOLVARIN_XXH3_DISPATCH
#include <xxh_x86dispatch.h>  // XXH3_64bits becomes the library's run-time dispatch
#else
#define XXH_INLINE_ALL
#include <xxhash.h>
#endif

namespace tolvarin {

std::uint64_t frameHash(const Pixel* frame) { return XXH3_64bits(frame, kFrameBytes); }

// --- ScreenshotSink ---

ScreenshotSink::Writer ScreenshotSink::pngWriter() {
  return [](const std::string& path, const Pixel* frame) {
    return writePng(path, kFrameWidth, kFrameHeight, frame, kFrameWidth);
  };
}

ScreenshotSink::ScreenshotSink(std::vector<Shot> shots, Writer writer)
    : pending_(std::move(shots)), writer_(std::move(writer)), shown_(allocateFrame()) {
  std::stable_sort(pending_.begin(), pending_.end(), [](const Shot& a, const Shot& b) { return a.time < b.time; });
}

bool ScreenshotSink::take(const Shot& shot) {
  if (writer_(shot.path, shown_.get())) return true;
  std::fprintf(stderr, "tolvarin: cannot write the screenshot %s\n", shot.path.c_str());
  return false;
}

void ScreenshotSink::begin(double time, double, const Pixel* screen) {
  // The run starts later than these: there was nothing to see.
  while (!pending_.empty() && pending_.front().time < time) {
    std::fprintf(stderr, "tolvarin: no screenshot %s: the run starts at %.3f s, after %.3f s\n",
                 pending_.front().path.c_str(), time, pending_.front().time);
    pending_.erase(pending_.begin());
  }
  if (screen != nullptr) std::memcpy(shown_.get(), screen, kFrameBytes);
}

void ScreenshotSink::frame(const Pixel* pixels, std::int64_t, double shownAt) {
  // Shots before this frame's time show the frame that was on screen until now.
  while (!pending_.empty() && pending_.front().time < shownAt) {
    if (!take(pending_.front())) failed_ = true;
    pending_.erase(pending_.begin());
  }
  if (!pending_.empty()) std::memcpy(shown_.get(), pixels, kFrameBytes);
}

bool ScreenshotSink::finish(double endTime) {
  for (const Shot& shot : pending_) {
    if (shot.time <= endTime) {
      if (!take(shot)) failed_ = true;
    } else {
      std::fprintf(stderr, "tolvarin: no screenshot %s: the run ended at %.3f s, before %.3f s\n", shot.path.c_str(),
                   endTime, shot.time);
    }
  }
  pending_.clear();
  return !failed_;
}

// --- FrameHashSink ---

bool FrameHashSink::open(const std::string& path) {
  out_.reset(std::fopen(path.c_str(), "wb"));
  if (!out_) return false;
  std::fprintf(out_.get(), "%s\n", kFrameHashHeader);
  return true;
}

void FrameHashSink::frame(const Pixel* pixels, std::int64_t index, double shownAt) {
  std::fprintf(out_.get(), "%" PRId64 " %.6f %016" PRIx64 "\n", index, shownAt, frameHash(pixels));
}

bool FrameHashSink::finish(double) { return closeChecked(out_); }

// --- VideoRecorder ---

namespace {

bool isMkv(const std::string& path) {
  return path.size() >= 4 && path.compare(path.size() - 4, 4, ".mkv") == 0;
}

}  // namespace

void EncoderSink::write(const std::int16_t* interleaved, std::size_t frames) {
  if (failed_ || frames == 0) return;
  // Raw s16le, as the little-endian machines we build for hold it.
  if (!encoder_.write(interleaved, frames * 2 * sizeof(std::int16_t))) failed_ = true;
}

VideoRecorder::VideoRecorder(std::string path, int fps, int scale)
    : path_(std::move(path)), fps_(fps), scale_(std::max(1, scale)), held_(allocateFrame()) {
  videoTemp_ = path_ + (isMkv(path_) ? ".video.mkv" : ".video.mp4");
  soundTemp_ = path_ + (isMkv(path_) ? ".sound.flac" : ".sound.m4a");
  sound_ = std::make_shared<EncoderSink>();
}

VideoRecorder::~VideoRecorder() {
  if (started_) {
    encoder_.finish();
    (void)sound_->finish();
    removeTemporaries();
  }
}

void VideoRecorder::removeTemporaries() {
  std::remove(videoTemp_.c_str());
  std::remove(soundTemp_.c_str());
}

bool VideoRecorder::start() {
  const std::vector<std::string> quiet{"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y"};
  std::vector<std::string> video = quiet;
  video.insert(video.end(), {"-f", "rawvideo", "-pix_fmt", "bgr0", "-s", "320x240", "-r", std::to_string(fps_),
                             "-i", "pipe:0"});
  if (scale_ > 1) {
    video.insert(video.end(), {"-vf", "scale=iw*" + std::to_string(scale_) + ":ih*" + std::to_string(scale_) +
                                          ":flags=neighbor"});
  }
  if (isMkv(path_)) {
    video.insert(video.end(), {"-c:v", "ffv1", "-level", "3"});
  } else {
    // H.264 in 4:2:0, which every player takes. For sharp pixel art the
    // fastest preset is also the truest: without deblocking, B-frames and
    // psychovisual tuning it keeps edges and flashes that the slower presets
    // smear, at four times the speed; a low CRF keeps it near lossless. The
    // colours are tagged as the BT.601 matrix they were converted with.
    video.insert(video.end(), {"-c:v", "libx264", "-preset", "ultrafast", "-crf", "12", "-pix_fmt", "yuv420p",
                               "-colorspace", "smpte170m", "-color_primaries", "smpte170m", "-color_trc",
                               "smpte170m", "-color_range", "tv"});
  }
  video.push_back(videoTemp_);

  std::vector<std::string> sound = quiet;
  sound.insert(sound.end(), {"-f", "s16le", "-ar", "44100", "-ac", "2", "-i", "pipe:0"});
  if (isMkv(path_)) {
    sound.insert(sound.end(), {"-c:a", "flac"});
  } else {
    sound.insert(sound.end(), {"-c:a", "aac", "-b:a", "192k"});
  }
  sound.push_back(soundTemp_);

  if (!encoder_.start(video) || !sound_->start(sound)) {
    std::fprintf(stderr, "tolvarin: recording needs the ffmpeg program, which could not be started "
                         "(is it installed and on the PATH?)\n");
    encoder_.finish();
    (void)sound_->finish();
    removeTemporaries();  // an encoder that did start may have made its file
    return false;
  }
  started_ = true;
  return true;
}

void VideoRecorder::emitUpTo(std::int64_t boundary) {
  for (; nextBoundary_ < boundary && !failed_; ++nextBoundary_) {
    if (!encoder_.write(held_.get(), kFrameBytes)) {
      std::fprintf(stderr, "tolvarin: ffmpeg stopped taking frames\n");
      failed_ = true;
    }
  }
}

void VideoRecorder::begin(double, double mediaStart, const Pixel* screen) {
  // The video starts at this boundary, with what the screen shows there.
  nextBoundary_ = std::llround(mediaStart * fps_);
  if (screen != nullptr) std::memcpy(held_.get(), screen, kFrameBytes);
}

void VideoRecorder::frame(const Pixel* pixels, std::int64_t, double shownAt) {
  if (!started_ || failed_) return;
  // In virtual time a frame is shown exactly at a frame boundary.
  const std::int64_t boundary = std::llround(shownAt * fps_);
  emitUpTo(boundary);
  std::memcpy(held_.get(), pixels, kFrameBytes);
  if (nextBoundary_ == boundary) emitUpTo(boundary + 1);
}

bool VideoRecorder::finish(double endTime) {
  if (!started_) return false;
  emitUpTo(static_cast<std::int64_t>(std::floor(endTime * fps_)) + 1);
  const bool videoOk = encoder_.finish() == 0 && !failed_;
  const bool soundOk = sound_->finish();
  started_ = false;
  bool ok = videoOk && soundOk;
  if (ok) {
    // Both streams are encoded already: putting them together only copies.
    ok = runProgram({"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-i", videoTemp_, "-i",
                     soundTemp_, "-map", "0:v", "-map", "1:a", "-c", "copy", "-movflags", "+faststart", path_}) == 0;
  }
  if (!ok) std::fprintf(stderr, "tolvarin: recording %s failed\n", path_.c_str());
  removeTemporaries();
  return ok;
}

}  // namespace tolvarin

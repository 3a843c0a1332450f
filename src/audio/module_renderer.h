#pragma once
// Plays a tracker module through libopenmpt and reports, sample-stamped, each
// new row it reaches and whether the marker instrument starts a note there.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace openmpt {
class module;
}

namespace tolvarin {

struct MusicEvent {
  std::int64_t sample = 0;     // first sample at which the row is known to play
  std::uint32_t position = 0;  // order in the low word, row in the high word
  bool marker = false;         // the marker instrument has a note on this row
};

class ModuleRenderer {
 public:
  static constexpr int kSampleRate = 44100;
  // Rows are looked for after every chunk of this many frames (at most 256,
  // shorter than any row can be), which bounds how late a row is stamped.
  static constexpr int kChunkFrames = 64;
  static constexpr int kMarkerInstrument = 32;

  ModuleRenderer();
  ~ModuleRenderer();
  ModuleRenderer(const ModuleRenderer&) = delete;
  ModuleRenderer& operator=(const ModuleRenderer&) = delete;

  // Loads a module file. Returns 0, or an error code of the audio layer
  // (BASS_ERROR_FILEOPEN when unreadable, BASS_ERROR_FORMAT when not a module).
  [[nodiscard]] int load(const std::string& path);
  [[nodiscard]] int loadFromMemory(const std::uint8_t* data, std::size_t size);

  // Renders up to `frames` stereo frames (interleaved 16-bit) and appends the
  // rows reached to `events`. Returns the frames rendered; fewer than asked
  // only when the module ends; nothing after that.
  std::size_t render(std::int16_t* out, std::size_t frames, std::vector<MusicEvent>& events);

  bool ended() const { return ended_; }
  std::int64_t samplesRendered() const { return samples_; }
  // The module's length when played once from the start, in seconds.
  double durationSeconds() const;
  std::uint32_t lastPosition() const { return lastPosition_; }

 private:
  bool rowHasMarker(int pattern, int row) const;

  std::unique_ptr<openmpt::module> module_;
  std::int64_t samples_ = 0;
  int lastOrder_ = -1;
  int lastPattern_ = -1;
  int lastRow_ = -1;
  std::uint32_t lastPosition_ = 0;
  bool ended_ = false;
};

}  // namespace tolvarin

#pragma once
// Writer for Scream Tracker 3 modules (.s3m): header, order list,
// parapointers, sample instruments and packed 64-row patterns. Used by the
// generator for the demo's music and by tests to make fixture modules.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tolvarin::formats {

inline constexpr int kS3mRows = 64;
inline constexpr int kS3mMaxChannels = 16;
inline constexpr std::uint8_t kS3mNoNote = 255;
inline constexpr std::uint8_t kS3mNoteCut = 254;
inline constexpr std::uint8_t kS3mOrderSkip = 254;  // "+++": players pass over it
inline constexpr std::uint8_t kS3mOrderEnd = 255;

// Note byte: high nibble octave, low nibble semitone (0 = C).
constexpr std::uint8_t s3mNote(int octave, int semitone) {
  return static_cast<std::uint8_t>((octave << 4) | semitone);
}
// Effect letters as stored: A = 1, B = 2, ... Z = 26.
constexpr std::uint8_t s3mEffect(char letter) { return static_cast<std::uint8_t>(letter - 'A' + 1); }

struct S3mCell {
  std::uint8_t note = kS3mNoNote;
  std::uint8_t instrument = 0;  // 1-based; 0 = none
  int volume = -1;              // 0..64, or -1 for an empty volume column
  std::uint8_t command = 0;     // 0 = none, else s3mEffect(letter)
  std::uint8_t info = 0;

  bool empty() const { return note == kS3mNoNote && instrument == 0 && volume < 0 && command == 0; }
};

struct S3mPattern {
  std::array<std::array<S3mCell, kS3mMaxChannels>, kS3mRows> rows{};  // rows[row][channel]
};

struct S3mSample {
  std::string name;
  std::vector<std::int16_t> data;  // mono PCM; written as 16-bit when sixteenBit, else 8-bit
  bool sixteenBit = false;
  bool loop = false;
  std::uint32_t loopStart = 0;
  std::uint32_t loopEnd = 0;
  std::uint8_t volume = 64;
  std::uint32_t c2spd = 8363;  // sample rate at which note C-4 plays the sample unchanged
};

struct S3mModule {
  std::string title;
  int channels = 8;  // channels in use, 1..16, panned left/right alternately
  // Default panning per channel, 0 (left) .. 15 (right); when given (one
  // value per channel in use) the file carries a panning table.
  std::vector<int> channelPanning;
  std::uint8_t initialSpeed = 6;
  std::uint8_t initialTempo = 125;
  std::uint8_t globalVolume = 64;
  std::uint8_t masterVolume = 0x30;  // stereo flag is added by the writer
  std::vector<std::uint8_t> orders;  // pattern numbers, kS3mOrderSkip or kS3mOrderEnd
  std::vector<S3mSample> instruments;  // instruments[0] is instrument 1
  std::vector<S3mPattern> patterns;
};

// The complete file. Instruments without data are written as empty sample slots.
std::vector<std::uint8_t> encodeS3m(const S3mModule& module);

}  // namespace tolvarin::formats

#pragma once
// The song as one strip of rows, one cell per channel, written by the parts
// and cut into orders afterwards; and the small text notations the parts use.
#include <array>
#include <string_view>
#include <vector>

#include "formats/s3m_writer.h"

namespace tolvarin::gen::music {

enum Channel : int {
  kChKick,
  kChSnare,
  kChHat,
  kChPerc,
  kChBass,
  kChLead,
  kChEcho,
  kChArp,
  kChChip,
  kChPad1,
  kChPad2,
  kChPad3,
  kChFx,
  kChControl,  // markers, speed changes and pattern breaks
  kChannels
};

class Score {
 public:
  explicit Score(int rows) : rows_(static_cast<std::size_t>(rows)) {}
  int rows() const { return static_cast<int>(rows_.size()); }
  formats::S3mCell& at(int row, int channel) { return rows_.at(static_cast<std::size_t>(row))[channel]; }
  const formats::S3mCell& at(int row, int channel) const {
    return rows_.at(static_cast<std::size_t>(row))[channel];
  }

  // A note (octave * 12 + semitone) of an instrument; volume -1 = the sample's.
  void note(int row, int channel, int note, int instrument, int volume = -1);
  void cut(int row, int channel);
  void volume(int row, int channel, int volume);
  void effect(int row, int channel, char letter, int info);

 private:
  std::vector<std::array<formats::S3mCell, kChannels>> rows_;
};

// "C-4", "C4", "G#3", "Bb2" -> note number; -1 if not a note.
int parseNote(std::string_view text);

// Writes a line of space-separated steps from `row` on, one row per step:
// a note name ("A4", "G#5"), "." (nothing: the note goes on) or "^" (note
// cut). "|" separators are ignored. Returns the row after the last step.
int writeLine(Score& score, int channel, int instrument, int row, std::string_view steps, int volume,
              int transpose = 0);

// Drum hits, one character a row: 'X' loud, 'x' normal, 'o' soft, '.' none.
// Spaces and '|' are ignored. Returns the row after the last step.
int writeHits(Score& score, int channel, int instrument, int row, std::string_view steps,
              std::array<int, 3> volumes);

}  // namespace tolvarin::gen::music

// The lead theme, its echo and its doubling, the e-piano of the breakdown
// and the interlude. A minor; the theme is eight bars over
// Am F C G Am F G E, in a dotted (3 + 3 + 2) rhythm.
#include <string_view>

#include "gen/music/instruments.h"
#include "gen/music/parts.h"
#include "gen/music/song_form.h"

namespace tolvarin::gen::music {
namespace {

constexpr std::string_view kTheme[8] = {
    "A4 . . C5 . . E5 . . . D5 . C5 . B4 .",  // Am
    "C5 . . A4 . . F4 . . . . . A4 . C5 .",   // F
    "E5 . . D5 . . C5 . . . G4 . C5 . E5 .",  // C
    "D5 . . . . . B4 . . . G4 . . . . ^",     // G
    "A4 . . C5 . . E5 . . . D5 . C5 . E5 .",  // Am
    "F5 . . . . . E5 . C5 . . . A4 . . .",    // F
    "B4 . . D5 . . G5 . . . F5 . D5 . B4 .",  // G
    "E5 . . . . . . . B4 . . . G#4 . . ^",    // E
};

// The e-piano's line in the breakdown, eighth notes over F G Em Am F G E E.
constexpr std::string_view kBreakdownLine[8] = {
    "C5 . . A4 . . F4 .", "D5 . . B4 . . G4 .", "E5 . . B4 . . G4 .", "A4 . . . C5 . E5 .",
    "F5 . . . C5 . A4 .", "D5 . . . B4 . G4 .", "G#4 . . . B4 . D5 .", "E5 . . . . . . .",
};

// The lead alone, softly, over F G Am Am before the credits.
constexpr std::string_view kBreakdownLead[4] = {
    "C5 . . . A4 . . .", "D5 . . . B4 . . .", "E5 . . . . . . .", "E5 . D5 . C5 . B4 .",
};

// Broken chords over the interlude's F G Am E.
constexpr std::string_view kInterludeLine[4] = {
    "F4 . . A4 . . C5 . . . A4 . C5 . F5 .",
    "G4 . . B4 . . D5 . . . B4 . D5 . G5 .",
    "A4 . . C5 . . E5 . . . C5 . E5 . A5 .",
    "G#4 . . B4 . . E5 . . . B4 . G#4 . E4 .",
};

// The peak's second half climbs instead of answering: arpeggios up to the
// top of the range over Am F G E.
constexpr std::string_view kClimb[4] = {
    "A4 . C5 . E5 . A5 . G5 . E5 . C5 . E5 .",  // Am
    "F5 . . . A5 . . . C6 . . . A5 . F5 .",     // F
    "G5 . . . B5 . . . D6 . . . B5 . G5 .",     // G
    "G#5 . . . B5 . . . E6 . . . . . . ^",      // E
};

constexpr std::string_view kEnding[2] = {
    "A4 . . C5 . . F5 . . . E5 . C5 . A4 .",  // F
    "B4 . . D5 . . . . . . . . . . . ^",      // G (the G5 is reached by a glide)
};

// Vibrato on every lead note that is held for at least six rows, from its
// fourth row on: fine vibrato (U63, a fifth to a third of a semitone at
// 4 Hz), since H swings a whole semitone at the lead's sample rate.
void addVibrato(Score& s) {
  int start = -1;
  for (int row = 0; row <= s.rows(); ++row) {
    const bool ends = row == s.rows() || s.at(row, kChLead).note != formats::kS3mNoNote;
    if (!ends) continue;
    if (start >= 0 && row - start >= 6 && s.at(start, kChLead).instrument == kLead) {
      for (int r = start + 3; r < row; ++r) {
        if (s.at(r, kChLead).command == 0) s.effect(r, kChLead, 'U', 0x63);
      }
    }
    start = row < s.rows() && s.at(row, kChLead).note < formats::kS3mNoteCut ? row : -1;
  }
}

// Tone portamento (G) from the sounding note to `note`, starting at `row`
// and kept going for `rows` rows.
void slide(Score& s, int row, int note, int speed, int rows) {
  formats::S3mCell& c = s.at(row, kChLead);
  c.note = formats::s3mNote(note / 12, note % 12);
  c.instrument = 0;  // no new attack: the same note glides
  s.effect(row, kChLead, 'G', speed);
  for (int r = row + 1; r < row + rows; ++r) s.effect(r, kChLead, 'G', 0);
}

// The lead's notes again, `delay` rows later and quieter, on the echo channel.
void echo(Score& s, int fromRow, int toRow, int delay, int volume) {
  for (int row = fromRow; row < toRow && row + delay < s.rows(); ++row) {
    const formats::S3mCell& c = s.at(row, kChLead);
    if (c.note == formats::kS3mNoNote) continue;
    formats::S3mCell& e = s.at(row + delay, kChEcho);
    e.note = c.note;
    e.instrument = c.instrument;
    e.volume = c.note == formats::kS3mNoteCut ? -1 : volume;
  }
}

// The theme's notes an octave up on the echo channel, plucked.
void doubling(Score& s, int fromRow, int toRow, int volume) {
  for (int row = fromRow; row < toRow; ++row) {
    const formats::S3mCell& c = s.at(row, kChLead);
    if (c.note >= formats::kS3mNoteCut) continue;
    s.note(row, kChEcho, (c.note >> 4) * 12 + (c.note & 15) + 12, kPluck, volume);
  }
}

int theme(Score& s, int bar, int bars, int volume, int firstThemeBar = 0) {
  int row = rowAt(bar, 0);
  for (int i = 0; i < bars; ++i) row = writeLine(s, kChLead, kLead, row, kTheme[(firstThemeBar + i) % 8], volume);
  return row;
}

}  // namespace

void writeMelody(Score& s) {
  // Main A: the theme, with a dotted-eighth echo.
  int end = theme(s, kThemeABar, 8, 46);
  echo(s, rowAt(kThemeABar, 0), end, 3, 20);
  // Climax under the strobe: the first half again, doubled an octave up.
  end = theme(s, kClimaxBar, 4, 50);
  doubling(s, rowAt(kClimaxBar, 0), end, 24);
  slide(s, rowAt(27, 12), 3 * 12 + 7, 0x08, 3);  // the last G dives an octave into the breakdown
  s.cut(rowAt(kBreakdownFirstBar, 0), kChEcho);

  // Breakdown: e-piano, then the lead alone, then the e-piano again over
  // the half-time beat and the build.
  int row = rowAt(kBreakdownFirstBar, 0);
  for (std::string_view line : kBreakdownLine) row = writeLine(s, kChLead, kBell, row, line, 36);
  for (std::string_view line : kBreakdownLead) row = writeLine(s, kChLead, kLead, row, line, 32);
  for (std::string_view line : kBreakdownLine) row = writeLine(s, kChLead, kBell, row, line, 36);
  echo(s, rowAt(kBreakdownFirstBar, 0), row, 3, 14);
  s.cut(rowAt(47, 7), kChLead);

  // Main B: the theme with its echo; interlude on e-piano; the peak doubled.
  end = theme(s, kMainBBar, 8, 46);
  echo(s, rowAt(kMainBBar, 0), end, 3, 20);
  row = rowAt(kInterludeBar, 0);
  for (std::string_view line : kInterludeLine) row = writeLine(s, kChLead, kBell, row, line, 36);
  echo(s, rowAt(kInterludeBar, 0), row, 3, 14);
  end = theme(s, kPeakBar, 4, 50);
  doubling(s, rowAt(kPeakBar, 0), end, 30);
  for (std::string_view line : kClimb) end = writeLine(s, kChLead, kLead, end, line, 46);
  echo(s, rowAt(kPeakBar + 4, 0), end, 3, 18);
  row = writeLine(s, kChLead, kLead, end, kEnding[0], 46);
  row = writeLine(s, kChLead, kLead, row, kEnding[1], 46);
  slide(s, rowAt(69, 6), 5 * 12 + 7, 0x02, 3);  // D glides up to G
  echo(s, end, row, 3, 20);

  // Outro: the theme once more, quieter, and the last A held into the fade.
  end = theme(s, kOutroBar, 8, 34);
  echo(s, rowAt(kOutroBar, 0), end, 3, 16);
  s.note(rowAt(kFinalChordBar, 0), kChLead, 4 * 12 + 9, kLead, 30);
  s.cut(rowAt(kFinalChordBar, 0), kChEcho);

  addVibrato(s);
}

}  // namespace tolvarin::gen::music

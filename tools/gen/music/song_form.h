#pragma once
// The song's form: 81 bars in A minor at 128 BPM, the rows each bar takes in
// the one long strip of rows the parts are written into, and the chord of
// every bar.
#include <array>

namespace tolvarin::gen::music {

inline constexpr int kBars = 81;
// Bars 28..47 are the breakdown, played at speed 12: a row is an eighth note.
inline constexpr int kBreakdownFirstBar = 28;
inline constexpr int kBreakdownEndBar = 48;
inline constexpr int kSpeed = 6;
inline constexpr int kBreakdownSpeed = 12;
inline constexpr int kTempo = 128;

// Sections, by first bar.
inline constexpr int kIntroBar = 0;
inline constexpr int kBuildBar = 8;
inline constexpr int kMainABar = 12;
inline constexpr int kThemeABar = 16;
inline constexpr int kClimaxBar = 24;
inline constexpr int kMainBBar = 48;
inline constexpr int kInterludeBar = 56;
inline constexpr int kPeakBar = 60;
inline constexpr int kOutroBar = 70;
inline constexpr int kFinalChordBar = 78;

int rowsPerBar(int bar);  // 16, or 8 in the breakdown
int barRow(int bar);      // first row of the bar; barRow(kBars) is the song's length
int songRows();

struct Chord {
  int root;                 // pitch class of the bass, 0 = C
  std::array<int, 3> pad;   // the pad's voicing, note numbers (octave * 12 + semitone)
};

Chord chordOfBar(int bar);

}  // namespace tolvarin::gen::music

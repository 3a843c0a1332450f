#include "gen/music/song_form.h"

namespace tolvarin::gen::music {
namespace {

enum ChordName { Am, F, C, G, E, Em, Dm };

constexpr Chord kChords[] = {
    {9, {45, 48, 52}},  // Am: A3 C4 E4
    {5, {45, 48, 53}},  // F:  A3 C4 F4
    {0, {43, 48, 52}},  // C:  G3 C4 E4
    {7, {43, 47, 50}},  // G:  G3 B3 D4
    {4, {44, 47, 52}},  // E:  G#3 B3 E4
    {4, {43, 47, 52}},  // Em: G3 B3 E4
    {2, {45, 50, 53}},  // Dm: A3 D4 F4
};

// i - VI - III - VII, then VI - VII - V back to the tonic.
constexpr ChordName kMain[8] = {Am, F, C, G, Am, F, G, E};
constexpr ChordName kBreakdown[8] = {F, G, Em, Am, F, G, E, E};

ChordName chordNameOfBar(int bar) {
  if (bar < kBuildBar) return kMain[bar % 8];
  if (bar < kThemeABar) return kMain[(bar - kBuildBar) % 4];
  if (bar < kClimaxBar) return kMain[bar - kThemeABar];
  if (bar < kBreakdownFirstBar) return kMain[bar - kClimaxBar];
  if (bar < 36) return kBreakdown[bar - kBreakdownFirstBar];
  if (bar < 40) {
    constexpr ChordName kTurn[4] = {F, G, Am, Am};
    return kTurn[bar - 36];
  }
  if (bar < kMainBBar) return kBreakdown[bar - 40];
  if (bar < kInterludeBar) return kMain[bar - kMainBBar];
  if (bar < kPeakBar) {
    constexpr ChordName kInterlude[4] = {F, G, Am, E};
    return kInterlude[bar - kInterludeBar];
  }
  if (bar < 68) return kMain[bar - kPeakBar];
  if (bar < kOutroBar) return bar == 68 ? F : G;
  if (bar < kFinalChordBar) return kMain[bar - kOutroBar];
  return Am;
}

}  // namespace

int rowsPerBar(int bar) { return bar >= kBreakdownFirstBar && bar < kBreakdownEndBar ? 8 : 16; }

int barRow(int bar) {
  int row = 0;
  for (int b = 0; b < bar; ++b) row += rowsPerBar(b);
  return row;
}

int songRows() { return barRow(kBars); }

Chord chordOfBar(int bar) { return kChords[chordNameOfBar(bar)]; }

}  // namespace tolvarin::gen::music

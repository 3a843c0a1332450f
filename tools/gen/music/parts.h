#pragma once
// The parts of the song, each written into the score bar by bar.
#include "gen/music/score.h"

namespace tolvarin::gen::music {

void writeDrums(Score& score);      // kick, snare and clap, hats, toms and fills
void writeEffects(Score& score);    // crashes and risers at the section changes
void writeBass(Score& score);
void writeHarmony(Score& score);    // pads, the plucked arpeggio and the chip arpeggio
void writeMelody(Score& score);     // lead theme, its echo and doubling, e-piano
void writeControl(Score& score);    // speed changes and the sync markers

// First row of step `step` of bar `bar`.
int rowAt(int bar, int step);

}  // namespace tolvarin::gen::music

#pragma once
// The module's sounds, each synthesized by code: drums and effects as
// one-shots, pitched voices as bandlimited additive waveforms whose loops
// hold a whole number of cycles of every partial (so they loop seamlessly).
#include <string>
#include <vector>

namespace tolvarin::gen::music {

struct Voice {
  std::string name;
  std::vector<double> pcm;  // mono, -1..1
  int c2spd = 8363;         // playback rate of note C-4
  bool sixteenBit = true;
  int loopStart = -1;       // loops [loopStart, pcm.size()) when >= 0
};

// Drums and effects, played at C-4.
Voice makeKick();
Voice makeSnare();
Voice makeClosedHat();
Voice makeOpenHat();
Voice makeCrash();
Voice makeRiser();
// Pitched voices; each sounds the note it is played at.
Voice makeTom();
Voice makeBass();
Voice makeLead();
Voice makePluck();
Voice makePad();
Voice makeChip();
Voice makeBell();

// Playback rate of note C-4 for a voice rendered at `sampleRate` whose pitch
// is the note `baseNote` (octave * 12 + semitone).
int c2spdFor(double sampleRate, int baseNote);

}  // namespace tolvarin::gen::music

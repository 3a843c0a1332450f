// Bass, pads and arpeggios, all following the chord of each bar.
#include <algorithm>

#include "gen/music/instruments.h"
#include "gen/music/parts.h"
#include "gen/music/song_form.h"

namespace tolvarin::gen::music {
namespace {

constexpr Channel kPadChannels[3] = {kChPad1, kChPad2, kChPad3};

// The bass note of a chord: F1 to B1, or C2 to E2.
int bassNote(const Chord& c) { return c.root >= 5 ? 12 + c.root : 24 + c.root; }

// 3 for a minor chord, 4 for a major one.
int thirdOf(const Chord& c) {
  for (int n : c.pad) {
    if (n % 12 == (c.root + 3) % 12) return 3;
  }
  return 4;
}

// Rolling offbeat bass: the root on each "and", its octave on the sixteenth
// after, and a rest on the beat where the kick sits.
void offbeatBar(Score& s, int bar, int volume) {
  const int n = bassNote(chordOfBar(bar));
  for (int beat = 0; beat < 4; ++beat) {
    s.cut(rowAt(bar, beat * 4), kChBass);
    s.note(rowAt(bar, beat * 4 + 2), kChBass, n, kBass, volume);
    s.note(rowAt(bar, beat * 4 + 3), kChBass, n + 12, kBass, volume * 5 / 8);
  }
}

void sustainedBass(Score& s, int bar, int volume) {
  if (bar > 0 && chordOfBar(bar - 1).root == chordOfBar(bar).root && s.at(rowAt(bar - 1, 0), kChBass).note != 255) {
    return;  // the same root goes on ringing
  }
  s.note(rowAt(bar, 0), kChBass, bassNote(chordOfBar(bar)), kBass, volume);
}

void writeBassLine(Score& s) {
  for (int bar = 4; bar < 6; ++bar) sustainedBass(s, bar, 28);
  for (int bar = 6; bar < kBuildBar; ++bar) offbeatBar(s, bar, 32);
  for (int bar = kBuildBar; bar < kBreakdownFirstBar; ++bar) offbeatBar(s, bar, bar < kMainABar ? 42 : 46);
  for (int bar = kBreakdownFirstBar; bar < 40; ++bar) sustainedBass(s, bar, 24);
  for (int bar = 40; bar < kBreakdownEndBar; ++bar) {
    // Offbeat eighths under the half-time beat and the build, the octave on
    // every second one; the beats are left to the kick.
    const int n = bassNote(chordOfBar(bar));
    for (int step = 0; step < 8; ++step) {
      if (step % 2 == 0) {
        s.cut(rowAt(bar, step), kChBass);
      } else {
        s.note(rowAt(bar, step), kChBass, n + (step % 4 == 3 ? 12 : 0), kBass, bar < 44 ? 34 : 40);
      }
    }
  }
  for (int bar = kMainBBar; bar < kInterludeBar; ++bar) offbeatBar(s, bar, 46);
  for (int bar = kInterludeBar; bar < 59; ++bar) sustainedBass(s, bar, 28);
  offbeatBar(s, 59, 40);
  for (int bar = kPeakBar; bar < kFinalChordBar; ++bar) offbeatBar(s, bar, bar < kOutroBar ? 46 : 42);
  s.note(rowAt(kFinalChordBar, 0), kChBass, bassNote(chordOfBar(kFinalChordBar)), kBass, 40);
}

void padChord(Score& s, int row, const Chord& c, int volume, int offset = -1) {
  for (int v = 0; v < 3; ++v) {
    s.note(row, kPadChannels[v], c.pad[static_cast<std::size_t>(v)], kPad, volume);
    if (offset >= 0) s.effect(row, kPadChannels[v], 'O', offset);
  }
}

// Held chords, struck again only when the chord changes.
void heldPads(Score& s, int firstBar, int endBar, int volume) {
  for (int bar = firstBar; bar < endBar; ++bar) {
    const Chord c = chordOfBar(bar);
    if (bar > firstBar && chordOfBar(bar - 1).pad == c.pad) continue;
    padChord(s, rowAt(bar, 0), c, volume);
  }
}

// A trance gate: the chord on every eighth, started past its attack and cut
// a sixteenth later.
void gatedPads(Score& s, int firstBar, int endBar, int volume) {
  for (int bar = firstBar; bar < endBar; ++bar) {
    for (int step = 0; step < 16; step += 2) {
      padChord(s, rowAt(bar, step), chordOfBar(bar), step % 4 == 0 ? volume : volume * 3 / 4, kPadLoopOffset);
      for (Channel ch : kPadChannels) s.cut(rowAt(bar, step + 1), ch);
    }
  }
}

// Volume-column ramp on the three pad channels over the given rows.
void padRamp(Score& s, int fromRow, int toRow, int fromVolume, int toVolume) {
  for (int row = fromRow; row < toRow; row += 2) {
    const int v = fromVolume + (toVolume - fromVolume) * (row - fromRow) / (toRow - fromRow);
    for (Channel ch : kPadChannels) s.volume(row, ch, v);
  }
}

void writePads(Score& s) {
  heldPads(s, kIntroBar, kMainABar, 22);
  padRamp(s, rowAt(0, 0), rowAt(2, 0), 6, 22);
  heldPads(s, kMainABar, kClimaxBar, 22);
  gatedPads(s, kClimaxBar, kBreakdownFirstBar, 32);
  heldPads(s, kBreakdownFirstBar, kBreakdownEndBar, 22);
  padRamp(s, rowAt(46, 0), rowAt(kBreakdownEndBar, 0), 22, 34);
  heldPads(s, kMainBBar, kInterludeBar, 20);
  heldPads(s, kInterludeBar, kPeakBar, 22);
  gatedPads(s, kPeakBar, 68, 34);
  heldPads(s, 68, kFinalChordBar, 20);
  padChord(s, rowAt(kFinalChordBar, 0), chordOfBar(kFinalChordBar), 26);
}

// Sixteenth-note arpeggio of the chord an octave up, up and down.
void arpBar(Score& s, Channel ch, int bar, int volume) {
  static constexpr int kOrder[16] = {0, 1, 2, 3, 1, 2, 3, 2, 0, 1, 2, 3, 1, 2, 3, 2};
  const Chord c = chordOfBar(bar);
  const int tones[4] = {c.pad[0] + 12, c.pad[1] + 12, c.pad[2] + 12, c.pad[0] + 24};
  for (int step = 0; step < 16; ++step) {
    s.note(rowAt(bar, step), ch, tones[kOrder[step]], kPluck, step % 4 == 0 ? volume : volume * 2 / 3);
  }
}

void writeArps(Score& s) {
  for (int bar = 10; bar < kBreakdownFirstBar; ++bar) arpBar(s, kChArp, bar, bar < kMainABar ? 20 : 28);
  for (int bar = kMainBBar; bar < kFinalChordBar; ++bar) {
    const bool soft = bar >= kOutroBar || (bar >= kInterludeBar && bar < kPeakBar);
    arpBar(s, kChArp, bar, soft ? 20 : 28);
  }
}

// The chip's arpeggio effect (J): the chord's root with its third and fifth
// cycled every tick, two notes a bar.
void chipBar(Score& s, int bar, int volume) {
  const Chord c = chordOfBar(bar);
  const int third = thirdOf(c);
  const int root = 4 * 12 + c.root + (c.root < 4 ? 12 : 0);
  const int info = (third << 4) | 7;
  for (int step = 0; step < 16; ++step) {
    if (step % 8 == 0) s.note(rowAt(bar, step), kChChip, root, kChip, step == 0 ? volume : volume - 6);
    s.effect(rowAt(bar, step), kChChip, 'J', info);
  }
}

void writeChip(Score& s) {
  for (int bar = kIntroBar; bar < kBuildBar; ++bar) chipBar(s, bar, 18);
  for (int bar = kPeakBar; bar < 68; ++bar) chipBar(s, bar, 12);  // sparkle over the peak
  s.cut(rowAt(68, 0), kChChip);
  for (int bar = kOutroBar; bar < kFinalChordBar; ++bar) chipBar(s, bar, 14);
  s.cut(rowAt(kBuildBar, 0), kChChip);
  s.cut(rowAt(kFinalChordBar, 0), kChChip);
}

}  // namespace

void writeBass(Score& score) { writeBassLine(score); }

void writeHarmony(Score& score) {
  writePads(score);
  writeArps(score);
  writeChip(score);
}

}  // namespace tolvarin::gen::music

// Drums and effects. Four on the floor with claps on two and four and
// offbeat-accented hats in the driving sections, a half-time beat and a
// snare build in the breakdown, fills into every section change.
#include "gen/music/instruments.h"
#include "gen/music/parts.h"
#include "gen/music/song_form.h"

namespace tolvarin::gen::music {
namespace {

constexpr const char* kFourOnTheFloor = "X...X...X...X...";
constexpr const char* kClaps = "....X.......X...";
constexpr const char* kHats = "ooXo ooXo ooXo ooXo";

bool driving(int bar) {
  return (bar >= kMainABar && bar < kBreakdownFirstBar) || (bar >= kMainBBar && bar < kInterludeBar) ||
         (bar >= kPeakBar && bar < kOutroBar);
}

bool openHats(int bar) { return (bar >= kClimaxBar && bar < kBreakdownFirstBar) || (bar >= kPeakBar && bar < 68); }

// Snare hits on every row from `first` to `last` of the bar, getting louder.
void snareRoll(Score& s, int bar, int first, int last, int fromVolume, int toVolume) {
  for (int step = first; step <= last; ++step) {
    const int v = fromVolume + (toVolume - fromVolume) * (step - first) / std::max(1, last - first);
    s.note(rowAt(bar, step), kChSnare, 4 * 12, kSnare, v);
  }
}

// Toms falling through the last beat or two of a bar.
void tomFill(Score& s, int bar, const char* line) { writeLine(s, kChPerc, kTom, rowAt(bar, 0), line, 36); }

void intro(Score& s) {
  for (int bar = 2; bar < kBuildBar; ++bar) writeHits(s, kChHat, kClosedHat, rowAt(bar, 0), kHats, {18, 12, 8});
  for (int bar = 4; bar < kBuildBar; ++bar) writeHits(s, kChKick, kKick, rowAt(bar, 0), kFourOnTheFloor, {40, 0, 0});
  // The last intro bar swells on eighth-note snares into the build.
  for (int step = 0; step < 16; step += 2) s.note(rowAt(7, step), kChSnare, 4 * 12, kSnare, 14 + step * 2);
}

void build(Score& s) {
  for (int bar = kBuildBar; bar < kMainABar; ++bar) {
    writeHits(s, kChKick, kKick, rowAt(bar, 0), bar == 11 ? "X...X...X......." : kFourOnTheFloor, {52, 0, 0});
    writeHits(s, kChHat, kClosedHat, rowAt(bar, 0), kHats, {28, 20, 12});
  }
  writeHits(s, kChSnare, kSnare, rowAt(10, 0), kClaps, {42, 0, 0});
  snareRoll(s, 11, 0, 15, 14, 44);
  // Sixteenths into thirty-seconds over the last beat: retrigger every 3 ticks.
  for (int step = 12; step < 16; ++step) s.effect(rowAt(11, step), kChSnare, 'Q', 0x03);
}

void drivingBar(Score& s, int bar) {
  // A fill with toms at the end of each phrase, two snares at other four-bar ends.
  const bool phraseEnd = bar == 15 || bar == 23 || bar == 27 || bar == 55 || bar == 67 || bar == 69;
  const bool lastOfFour = (bar % 4) == 3;
  writeHits(s, kChKick, kKick, rowAt(bar, 0), bar == 27 || bar == 69 ? "X...X...X......." : kFourOnTheFloor,
            {50, 0, 0});
  writeHits(s, kChHat, kClosedHat, rowAt(bar, 0), kHats, {32, 22, 14});
  if (openHats(bar)) {
    for (int step = 2; step < 16; step += 4) s.note(rowAt(bar, step), kChHat, 4 * 12, kOpenHat, bar >= kPeakBar ? 34 : 30);
  }
  writeHits(s, kChSnare, kSnare, rowAt(bar, 0), kClaps, {46, 0, 0});
  if (phraseEnd) {
    snareRoll(s, bar, 12, 15, 28, 42);
    tomFill(s, bar, ". . . . . . . . G4 . E4 . C4 . A3 .");
  } else if (lastOfFour) {
    s.note(rowAt(bar, 14), kChSnare, 4 * 12, kSnare, 30);
    s.note(rowAt(bar, 15), kChSnare, 4 * 12, kSnare, 38);
  }
}

void breakdown(Score& s) {
  // Eight rows a bar here: each row is an eighth note.
  for (int bar = 36; bar < 40; ++bar) writeHits(s, kChHat, kClosedHat, rowAt(bar, 0), "oxoxoxox", {0, 16, 9});
  for (int bar = 40; bar < 44; ++bar) {
    writeHits(s, kChKick, kKick, rowAt(bar, 0), "X....x..", {52, 38, 0});
    writeHits(s, kChSnare, kSnare, rowAt(bar, 0), "....X...", {44, 0, 0});
    writeHits(s, kChHat, kClosedHat, rowAt(bar, 0), "oXoXoXoX", {24, 0, 12});
  }
  for (int bar = 44; bar < kBreakdownEndBar; ++bar) {
    writeHits(s, kChKick, kKick, rowAt(bar, 0), bar == 47 ? "X.X.X..." : "X.X.X.X.", {52, 0, 0});
    writeHits(s, kChHat, kClosedHat, rowAt(bar, 0), "oxoxoxox", {0, 22, 12});
  }
  // The snare build: quarters, eighths, then retriggered sixteenths and
  // thirty-seconds, louder all the way; the last eighth is left empty.
  for (int step = 0; step < 8; step += 2) s.note(rowAt(44, step), kChSnare, 4 * 12, kSnare, 18 + step * 2);
  for (int step = 0; step < 8; ++step) s.note(rowAt(45, step), kChSnare, 4 * 12, kSnare, 26 + step * 2);
  for (int step = 0; step < 8; ++step) {
    s.note(rowAt(46, step), kChSnare, 4 * 12, kSnare, 30 + step * 2);
    s.effect(rowAt(46, step), kChSnare, 'Q', 0x06);
  }
  for (int step = 0; step < 7; ++step) {
    s.note(rowAt(47, step), kChSnare, 4 * 12, kSnare, 34 + step);
    s.effect(rowAt(47, step), kChSnare, 'Q', 0x03);
  }
  s.cut(rowAt(47, 7), kChSnare);
}

void interlude(Score& s) {
  for (int bar = kInterludeBar; bar < kPeakBar; ++bar) {
    writeHits(s, kChHat, kClosedHat, rowAt(bar, 0), kHats, {24, 16, 10});
  }
  writeHits(s, kChKick, kKick, rowAt(58, 0), "X.......X.......", {44, 0, 0});
  writeHits(s, kChKick, kKick, rowAt(59, 0), "X...X...X...X.X.", {50, 0, 0});
  snareRoll(s, 59, 0, 15, 12, 44);
}

void outro(Score& s) {
  for (int bar = kOutroBar; bar < kFinalChordBar; ++bar) {
    const bool thinning = bar >= 74;
    writeHits(s, kChKick, kKick, rowAt(bar, 0), kFourOnTheFloor, {thinning ? 44 : 52, 0, 0});
    writeHits(s, kChHat, kClosedHat, rowAt(bar, 0), kHats, thinning ? std::array{22, 14, 0} : std::array{30, 20, 12});
    if (!thinning) writeHits(s, kChSnare, kSnare, rowAt(bar, 0), kClaps, {40, 0, 0});
  }
  tomFill(s, 77, ". . . . . . . . . . . . E4 . C4 .");
  s.note(rowAt(kFinalChordBar, 0), kChKick, 4 * 12, kKick, 52);
}

}  // namespace

int rowAt(int bar, int step) { return barRow(bar) + step; }

void writeDrums(Score& score) {
  intro(score);
  build(score);
  for (int bar = 0; bar < kBars; ++bar) {
    if (driving(bar)) drivingBar(score, bar);
  }
  breakdown(score);
  interlude(score);
  outro(score);
}

void writeEffects(Score& score) {
  // Risers over the two bars before each drop (at speed 12 two bars last
  // just as long, the tempo being the same).
  for (int bar : {6, 10, 46, 58, 68}) score.note(rowAt(bar, 0), kChFx, 4 * 12, kRiser, 40);
  for (int bar : {kBuildBar, kMainABar, kThemeABar, 20, kClimaxBar, kBreakdownFirstBar, 40, kMainBBar, 52,
                  kPeakBar, 64, kOutroBar, kFinalChordBar}) {
    const bool soft = bar == kBuildBar || bar == 20 || bar == 52 || bar == 40;
    score.note(rowAt(bar, 0), kChFx, 4 * 12, kCrash, soft ? 26 : 40);
  }
}

}  // namespace tolvarin::gen::music

#pragma once
// The 3D scene's counters and the poses they give, frame by frame, apart from
// any drawing: where the sphere and the logo stand and how far they turn.
// Everything is tied to frames, not to time.
#include <cstdint>

namespace tolvarin {

struct Scene3DMotion {
  std::int32_t frames = 0;     // frames stepped, both phases
  std::int32_t spin = 0;       // the sphere's spin about all three axes, degrees
  std::int32_t approach = 150; // the sphere's depth while it comes nearer
  std::int32_t travel = 410;   // phase 1: the logo's depth as it comes nearer; phase 2: the sphere's as it moves away
  std::int32_t logoSwing = 0;  // the logo's turn about y this frame, 0..360 degrees
  double zLogo = 245.0;        // the logo's (and the column's) depth
  double zSphere = 0.0;        // first set by the first frame stepped
  // Phase 2 only.
  std::int32_t slide = 0;      // the sphere's slide into place, 2 per frame
  std::int32_t swing = 0;      // the sphere's swing angle, 4 degrees per frame once in place
  double xy = 0.0;             // the sphere's x and y (the same value) this frame
  double yLogo = 20.0;         // the logo's height while it sinks away
};

// One phase-1 frame: logoSwing from frames before the step, then frames,
// travel, spin and approach move on and the depths follow travel: the logo and the column come nearer by 2 a frame
// from 408 and stop at 112; the sphere comes nearer from 149 to 136, then
// moves away by 1 a frame to 270.
void stepPhase1(Scene3DMotion& m);

// Between the phases: slide, swing and yLogo start again, and approach and
// travel are set so that phase 2 continues the sphere's depth from the spin
// reached.
void startPhase2(Scene3DMotion& m);

// One phase-2 frame, up to the drawing: frames, spin, approach and travel
// move on, logoSwing from frames after the step, the sphere's depth and xy. The sphere slides along the diagonal
// from -48 to -2 in 24 frames, is at 0 in the 25th, then swings between 0
// and -150 every 90 frames, and from the 115th frame also in depth (95..445).
// yLogo is not touched here: it moves only while the logo is drawn.
void stepPhase2(Scene3DMotion& m);

}  // namespace tolvarin
